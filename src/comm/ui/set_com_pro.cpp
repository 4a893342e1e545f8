#include "comm/ui/set_com_pro.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "comm/ui/serial_device_report.h"
#include "comm/update_package.h"
#include "platform/serial_devices.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"

namespace dravik::comm {

namespace {

constexpr int kDialogTop = 80;

}  // namespace

TsetCOMpro::TsetCOMpro(QWidget* parent) : QDialog(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("setCOMpro"));
  setWindowTitle(QString::fromUtf8(package_text::kPortDialogCaption));

  auto* label = new QLabel(QString::fromUtf8(package_text::kPortLabel), this);
  label->setObjectName(QStringLiteral("Label1"));
  list_ = new QComboBox(this);
  list_->setObjectName(QStringLiteral("ComboBox1"));
  list_->setMinimumContentsLength(24);
  // The items name the devices found at run time; language files leave them alone.
  list_->setProperty("dravikRuntimeText", true);
  label->setBuddy(list_);
  auto* help = new QToolButton(this);
  help->setObjectName(QStringLiteral("SpeedButton1"));
  help->setText(QStringLiteral("?"));
  help->setToolTip(QStringLiteral("设备管理器"));
  connect(help, &QToolButton::clicked, this, &TsetCOMpro::SpeedButton1Click);

  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(list_, 1);
  row->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  const ui::DialogButtons buttons =
      ui::AddDialogButtons(*this, *layout, QStringLiteral("确认(&Y)"), {"BitBtn1", "BitBtn2"});
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Load(ComPortMap(), 0);
}

void TsetCOMpro::Load(const ComPortMap& ports, int portIndex) {
  ports_ = ports;
  list_->clear();
  for (int i = 0; i < kComPortCount; ++i) {
    list_->addItem(QString::fromStdString(ports.DisplayText(i)));
  }
  list_->setCurrentIndex(std::clamp(portIndex, 0, kComPortCount - 1));
}

int TsetCOMpro::SelectedIndex() const {
  return list_->currentIndex();
}

void TsetCOMpro::SpeedButton1Click() {
  const std::vector<std::string> detected = lister_ ? lister_() : platform::ListSerialDevices();
  const Bilingual report = SerialDeviceReport(DescribeSerialDevices(ports_, detected));
  desktop_.Show(this, desktop_.Chinese() ? QStringLiteral("串口设备") : QStringLiteral("Serial devices"),
             QMessageBox::Information, desktop_.Text(report));
}

void TsetCOMpro::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceFromTop(this, kDialogTop);
}

}  // namespace dravik::comm
