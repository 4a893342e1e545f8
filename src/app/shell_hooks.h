#pragma once
// Everything the shell asks of the desktop: the desktop hooks every window shares, the
// welcome form and starting a second instance. The main window calls them through this
// table so tests can answer in place of a user.

#include <QString>
#include <functional>

#include "ui/desktop_hooks.h"

namespace dravik::app {

struct ShellHooks {
  ui::DesktopHooks desktop;
  // Shows the welcome form (modal).
  std::function<void()> showWelcome;
  // Starts another instance of the program; false with the reason when it cannot.
  // Unset: the program itself is started.
  std::function<bool(QString* error)> startInstance;

  bool StartInstance(QString* error) const;
};

}  // namespace dravik::app
