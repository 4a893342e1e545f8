#pragma once
// The message box a download or firmware upgrade ends with, when its end calls for one.

#include <optional>
#include <string>

#include "platform/bilingual.h"
#include "platform/port_open_error.h"
#include "ui/desktop_hooks.h"

class QWidget;

namespace dravik::comm {

// The dialog's own box for a port that would not open.
struct PortFailureBox {
  const char* caption;
  std::string text;
};

// A port that would not open gets `portFailure`, followed by what Linux says about the port
// (busy, missing, or a permission the user lacks); any other end its job's message under
// the program's caption.
void ShowJobEndBox(const ui::DesktopHooks& hooks, QWidget* parent,
                   const std::optional<PortFailureBox>& portFailure,
                   const std::optional<platform::PortOpenError>& portError,
                   const std::optional<Bilingual>& message);

}  // namespace dravik::comm
