#pragma once
// The port dialog "下载端口设置": which of COM1 ... COM8 the download and the firmware
// upgrade use. Each position shows the Linux device it names; the "?" button lists the
// serial devices the system sees, since there is no device manager to open.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "comm/com_port_map.h"
#include "ui/desktop_hooks.h"

class QComboBox;

namespace dravik::comm {

class TsetCOMpro : public QDialog {
  Q_OBJECT

 public:
  explicit TsetCOMpro(QWidget* parent = nullptr);

  void SetDesktopHooks(ui::DesktopHooks desktop) { desktop_ = std::move(desktop); }
  // The devices the "?" report also lists besides the COM positions; unset: the machine's.
  void SetDeviceLister(std::function<std::vector<std::string>()> lister) {
    lister_ = std::move(lister);
  }

  // Fills the list from `ports` and preselects `portIndex` (0 = COM1).
  void Load(const ComPortMap& ports, int portIndex);
  int SelectedIndex() const;
  QComboBox* PortList() const { return list_; }

  // The "?" button: the serial devices Linux sees.
  void SpeedButton1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* list_ = nullptr;
  ComPortMap ports_;
  ui::DesktopHooks desktop_;
  std::function<std::vector<std::string>()> lister_;
};

}  // namespace dravik::comm
