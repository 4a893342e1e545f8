#pragma once
// What the three settings dialogs (work parameters, alarm list, keyboard LEDs) ask of the
// program around them: the desktop (boxes, the colour chooser, the interface language,
// the status bar), and Save and the page-attribute dialog's key names. The main window
// fills the table; tests answer in place of a user. Whatever is left unset falls back to
// a plain desktop behaviour or to nothing.

#include <QString>
#include <cstdint>
#include <functional>

#include "ui/desktop_hooks.h"

class QObject;

namespace dravik::params {

struct SettingsDialogHooks {
  ui::DesktopHooks desktop;
  std::function<void()> enableSave;  // the settings page was written
  // The page-attribute dialog's key names follow the panel model.
  std::function<void()> refreshKeyNames;
};

// The style sheet that paints a colour panel with a stored colour.
QString ColourPanelStyle(std::uint32_t colour);

// Where the settings dialogs open: this far above the middle of the screen.
inline constexpr int kDialogAboveMiddle = 100;

// Marks a component whose texts the program sets while running, so the language files
// leave it alone (the property the language-file writer looks for).
void MarkRuntimeText(QObject* object);

}  // namespace dravik::params
