#pragma once
// What a property dialog needs from the program around it, handed over each time it
// opens: the desktop (boxes, colour chooser, interface language, modal run), the register
// kinds of the work parameters, the size of the page being edited, the bit switch's panel
// keys, the function key's jump targets, the PLC device help and the picture library.

#include <functional>
#include <string>
#include <vector>

#include "params/device_resources.h"
#include "ui/desktop_hooks.h"

namespace dravik::pictures {
class PictureLibrary;
}

namespace dravik::elements {

struct PropertyContext {
  // Unset: the plain Qt boxes and dialogs.
  const ui::DesktopHooks* hooks = nullptr;
  // Unset: no register kind is known, so stored operands are kept as they are.
  const params::DeviceLists* lists = nullptr;
  int pageWidth = 0;  // the canvas of the page window
  int pageHeight = 0;
  // The bit switch's key list: one name per key row of the panel, then the cursor item
  // (PanelKeyItems).
  std::vector<std::string> panelKeys;
  // The function key's jump-target list as the page list has it now (UTF-8): position =
  // page number, "当前页" / "Current page" first.
  std::vector<std::string> jumpTargets;
  // The "?" buttons: the PLC device help of link 0 (Link 1) or 1 (Link 2).
  std::function<void(int link)> deviceHelp;
  // The project's picture library the picture element shows from; unset: every picture
  // shows the placeholder.
  pictures::PictureLibrary* pictures = nullptr;
  // Opens the picture library window with picture `chosenId` selected and gives back the
  // ID chosen there (`chosenId` when the window was cancelled).
  std::function<int(int chosenId)> choosePicture;
};

}  // namespace dravik::elements
