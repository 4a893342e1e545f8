#include "velnor/ui/velnor_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "comm/device_jobs.h"
#include "comm/ui/serial_device_report.h"
#include "platform/serial_devices.h"
#include "velnor/headless_update.h"
#include "velnor/package_image.h"

namespace dravik::velnor {

namespace {

const QString kCaption = QStringLiteral("Velnor");

}  // namespace

TVelnorForm::TVelnorForm(comm::ComPortMap ports, std::filesystem::path imageFile,
                         ui::DesktopHooks desktop, QWidget* parent)
    : QWidget(parent), ports_(std::move(ports)), desktop_(std::move(desktop)) {
  setObjectName(QStringLiteral("VelnorForm"));
  setWindowTitle(Text({"Velnor 面板画面更新", "Velnor panel update"}));

  auto* imageCaption = new QLabel(Text({"画面数据:", "Device image:"}), this);
  image_label_ = new QLabel(this);
  image_label_->setObjectName(QStringLiteral("ImageLabel"));
  image_label_->setWordWrap(true);
  image_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  image_label_->setAccessibleName(Text({"画面数据", "Device image"}));

  auto* portCaption = new QLabel(Text({"下载端口(&P):", "&Port:"}), this);
  ports_list_ = new QComboBox(this);
  ports_list_->setObjectName(QStringLiteral("PortList"));
  ports_list_->setAccessibleName(Text({"下载端口", "Port"}));
  ports_list_->setMinimumContentsLength(28);
  portCaption->setBuddy(ports_list_);
  for (int i = 0; i < comm::kComPortCount; ++i) {
    ports_list_->addItem(QString::fromStdString(ports_.DisplayText(i)));
  }
  // Start on the first position that names a device.
  for (int i = 0; i < comm::kComPortCount; ++i) {
    if (!ports_.Device(i).empty()) {
      ports_list_->setCurrentIndex(i);
      break;
    }
  }
  auto* devices = new QToolButton(this);
  devices->setObjectName(QStringLiteral("DevicesButton"));
  devices->setText(QStringLiteral("?"));
  devices->setToolTip(Text({"串口设备", "Serial devices"}));
  devices->setAccessibleName(Text({"串口设备", "Serial devices"}));
  connect(devices, &QToolButton::clicked, this, &TVelnorForm::DevicesClick);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ProgressBar"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setAccessibleName(Text({"进度", "Progress"}));
  status_ = new QLabel(Text(comm::download_label::kReady), this);
  status_->setObjectName(QStringLiteral("StatusLabel"));
  status_->setWordWrap(true);
  status_->setAccessibleName(Text({"状态", "Status"}));

  download_ = new QPushButton(Text({"下载(&D)", "&Download"}), this);
  download_->setObjectName(QStringLiteral("DownloadButton"));
  download_->setDefault(true);
  close_ = new QPushButton(Text({"关闭(&C)", "&Close"}), this);
  close_->setObjectName(QStringLiteral("CloseButton"));
  connect(download_, &QPushButton::clicked, this, &TVelnorForm::DownloadClick);
  connect(close_, &QPushButton::clicked, this, &TVelnorForm::CloseClick);

  auto* grid = new QGridLayout;
  grid->addWidget(imageCaption, 0, 0);
  grid->addWidget(image_label_, 0, 1, 1, 2);
  grid->addWidget(portCaption, 1, 0);
  grid->addWidget(ports_list_, 1, 1);
  grid->addWidget(devices, 1, 2);
  grid->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(download_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(progress_);
  layout->addWidget(status_);
  layout->addLayout(buttons);

  Result<std::vector<std::uint8_t>> image = LoadPackageImage(imageFile);
  if (image) {
    image_ = std::move(*image);
    image_label_->setText(Text(ImageSummary(imageFile, image_.size())));
  } else {
    image_label_->setText(Text(image.error().Text()));
    status_->setText(Text({"没有可下载的画面数据。", "There is no device image to download."}));
  }
  SetIdle(true);
}

TVelnorForm::~TVelnorForm() {
  cancel_.store(true);
  worker_.Join();
}

std::string TVelnorForm::ChosenDevice() const {
  return ports_.Device(ports_list_->currentIndex());
}

void TVelnorForm::SetIdle(bool idle) {
  download_->setEnabled(idle && ImageReady());
  ports_list_->setEnabled(idle);
  close_->setText(idle ? Text({"关闭(&C)", "&Close"}) : Text({"取消(&N)", "Ca&ncel"}));
}

void TVelnorForm::DownloadClick() {
  if (!ImageReady() || worker_.Running()) return;
  const std::string device = ChosenDevice();
  if (device.empty()) {
    desktop_.Show(this, kCaption, QMessageBox::Warning,
                  Text({"这个端口没有对应的串口设备，请选择其它端口。",
                        "This position names no serial device; please choose another port."}));
    return;
  }
  cancel_.store(false);
  progress_->setValue(0);
  SetIdle(false);
  worker_.StartJob(this, &TVelnorForm::OnProgress, &TVelnorForm::OnEnd,
                   [this, device](const comm::DownloadProgressFn& report) {
                     return comm::RunDownload(comm::DeviceLine::Named(device), image_, report,
                                              &cancel_);
                   });
}

void TVelnorForm::OnProgress(const comm::DownloadProgress& view) {
  progress_->setValue(view.progressBar);
  status_->setText(Text(view.label));
}

void TVelnorForm::OnEnd(const comm::DownloadOutcome& outcome) {
  worker_.Join();
  const Bilingual result = DownloadResultText(outcome, image_.size());
  progress_->setValue(outcome.ok() ? 100 : 0);
  status_->setText(Text(result));
  SetIdle(true);
  if (closeWhenDone_) {
    close();
  } else {
    desktop_.Show(this, kCaption, outcome.ok() ? QMessageBox::Information : QMessageBox::Warning,
                  Text(result));
  }
  emit finished(outcome.ok());
}

void TVelnorForm::CloseClick() {
  if (worker_.Running()) {
    cancel_.store(true);
    status_->setText(
        Text({"正在取消（当前数据块发送完后停止）…", "Cancelling (after the block being sent)…"}));
    return;
  }
  close();
}

void TVelnorForm::DevicesClick() {
  const Bilingual report =
      comm::SerialDeviceReport(comm::DescribeSerialDevices(ports_, platform::ListSerialDevices()));
  desktop_.Show(this, Text({"串口设备", "Serial devices"}), QMessageBox::Information, Text(report));
}

void TVelnorForm::closeEvent(QCloseEvent* event) {
  // Leaving mid-block would leave the panel with part of an image: cancel and wait.
  if (worker_.Running()) {
    cancel_.store(true);
    closeWhenDone_ = true;
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace dravik::velnor
