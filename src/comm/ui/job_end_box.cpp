#include "comm/ui/job_end_box.h"

namespace dravik::comm {

void ShowJobEndBox(const ui::DesktopHooks& hooks, QWidget* parent,
                   const std::optional<PortFailureBox>& portFailure,
                   const std::optional<platform::PortOpenError>& portError,
                   const std::optional<Bilingual>& message) {
  if (portFailure) {
    std::string text = portFailure->text;
    if (portError) text += "\r\r" + portError->Message().In(hooks.Chinese());
    hooks.Show(parent, QString::fromUtf8(portFailure->caption), QMessageBox::Information,
               ui::LineText(text));
  } else if (message) {
    hooks.Show(parent, *message, QMessageBox::Warning);
  }
}

}  // namespace dravik::comm
