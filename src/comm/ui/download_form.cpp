#include "comm/ui/download_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <system_error>

#include "comm/register_mirror.h"
#include "comm/ui/dialog_place.h"
#include "platform/files.h"
#include "platform/serial_port_posix.h"

namespace dravik::comm {

namespace {

constexpr int kStartDelayMs = 50;
constexpr int kOffsetAboveCentre = 100;
constexpr char kCaptionDravik[] = "Dravik ";

// QX.bin as the download sends it; a file the panel could never hold is refused before
// it is read, whatever its size.
Result<std::vector<std::uint8_t>> ReadImage(const std::filesystem::path& file) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec && size > kMaxImageSize) {
    return Error{"The image " + file.string() + " has " + std::to_string(size) +
                 " bytes, more than the 153,600 bytes (150 KB) the panel holds."};
  }
  return platform::ReadFileBytes(file);
}

}  // namespace

TDownloadForm::TDownloadForm(QWidget* parent) : QDialog(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("DownloadForm"));
  setWindowTitle(QString::fromUtf8(download_text::kCaption));

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  label_ = new QLabel(QString::fromUtf8(download_text::kReadyInitial), this);
  label_->setObjectName(QStringLiteral("Label1"));
  // The download writes this label; language files leave it alone.
  label_->setProperty("dravikRuntimeText", true);
  label_->setMinimumWidth(300);
  cancel_ = new QPushButton(QString::fromUtf8(download_text::kCancelButton), this);
  cancel_->setObjectName(QStringLiteral("BitBtn1"));
  connect(cancel_, &QPushButton::clicked, this, &TDownloadForm::BitBtn1Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(progress_);
  layout->addWidget(label_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setSingleShot(true);
  timer1_.setInterval(kStartDelayMs);
  connect(&timer1_, &QTimer::timeout, this, &TDownloadForm::Timer1Timer);
}

TDownloadForm::~TDownloadForm() {
  // The port belongs to the worker; it closes it on its way out.
  cancelFlag_.store(true);
  worker_.Join();
}

void TDownloadForm::Prepare(std::filesystem::path imageFile, ComPortMap ports, int portIndex) {
  imageFile_ = std::move(imageFile);
  ports_ = std::move(ports);
  portIndex_ = portIndex;
}

void TDownloadForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  PlaceAboveCentre(this, kOffsetAboveCentre);
  if (started_ || timer1_.isActive()) return;
  label_->setText(QString::fromUtf8(download_text::kReady));
  progress_->setValue(0);
  outcome_.reset();
  lastState_ = DownloadState::Ready;
  cancelFlag_.store(false);
  closeWhenStopped_ = false;
  timer1_.start();
}

void TDownloadForm::Timer1Timer() {
  timer1_.stop();
  Result<std::vector<std::uint8_t>> image = ReadImage(imageFile_);
  if (!image) {
    // Nothing to send: one press of Cancel closes the dialog.
    cancelFlag_.store(true);
    label_->setText(QString::fromUtf8(download_text::kTransferFailed));
    DownloadOutcome refused;
    refused.end = DownloadEnd::ImageRefused;
    refused.label = download_text::kTransferFailed;
    outcome_ = refused;
    sink_.Show(this, QString::fromUtf8(kCaptionDravik), QMessageBox::Warning,
               sink_.Text({"无法读取画面数据：" + image.message(),
                           "The image cannot be read: " + image.message()}));
    return;
  }
  started_ = true;
  const auto port = static_cast<TComPortNumber>(std::clamp(portIndex_, 0, kComPortCount - 1));
  worker_.Start([this, bytes = std::move(*image), ports = ports_, port] {
    RealClock clock;
    TVorCommDriver driver(std::make_unique<platform::PosixSerialPort>(), clock, ports);
    DownloadSession session(
        driver, clock, ProgramRegisterMirror(), bytes, port,
        [this](const DownloadProgress& progress) {
          PostTo(this, [this, progress] { ShowProgress(progress); });
        },
        &cancelFlag_);
    const DownloadOutcome outcome = session.Run();
    PostTo(this, [this, outcome] { Ended(outcome); });
  });
}

void TDownloadForm::ShowProgress(const DownloadProgress& progress) {
  lastState_ = progress.state;
  label_->setText(QString::fromStdString(progress.label));
  progress_->setValue(progress.progressBar);
  emit progressShown(progress);
}

void TDownloadForm::Ended(const DownloadOutcome& outcome) {
  worker_.Join();
  started_ = false;
  outcome_ = outcome;
  label_->setText(QString::fromStdString(outcome.label));
  emit downloadEnded(outcome);

  if (outcome.end == DownloadEnd::PortOpenFailed) {
    std::string text = download_text::kPortBusyMessage;
    // Linux can say why: busy, missing, or a permission the user lacks.
    if (outcome.portError) text += "\r\r" + outcome.portError->message.In(sink_.Chinese());
    sink_.Show(this, QString::fromUtf8(download_text::kPortBusyCaption), QMessageBox::Information,
               compiler::BoxText(text));
  } else if (outcome.message) {
    sink_.Show(this, QString::fromUtf8(kCaptionDravik), QMessageBox::Warning,
               sink_.Text(*outcome.message));
  }

  const bool finished = lastState_ == DownloadState::Finished;
  const bool closes = finished || closeWhenStopped_;
  if (finished) {
    QDialog::accept();
  } else if (closeWhenStopped_) {
    QDialog::reject();
  }
  if (!outcome.unacknowledgedBlocks.empty()) {
    sink_.Show(closes ? parentWidget() : this, QString::fromUtf8(kCaptionDravik),
               QMessageBox::Warning,
               sink_.Text(UnacknowledgedBlocksWarning(outcome.unacknowledgedBlocks)));
  }
}

void TDownloadForm::BitBtn1Click() {
  if (cancelFlag_.load()) {
    Stop(true);
  } else {
    cancelFlag_.store(true);
  }
}

void TDownloadForm::reject() {
  Stop(true);
}

void TDownloadForm::Stop(bool closeWhenStopped) {
  if (!started_) {
    timer1_.stop();
    QDialog::reject();
    return;
  }
  // The worker holds the port: let it stop at its next chance, then close.
  cancelFlag_.store(true);
  closeWhenStopped_ = closeWhenStopped;
}

}  // namespace dravik::comm
