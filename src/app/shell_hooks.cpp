#include "app/shell_hooks.h"

#include <QProcess>

#include "platform/paths.h"

namespace dravik::app {

bool ShellHooks::StartInstance(QString* error) const {
  if (startInstance) return startInstance(error);
  const QString program = QString::fromStdString(platform::ExecutablePath().string());
  if (QProcess::startDetached(program, {})) return true;
  if (error != nullptr) *error = program;
  return false;
}

}  // namespace dravik::app
