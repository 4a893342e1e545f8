#include "comm/ui/download_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "comm/device_jobs.h"
#include "comm/ui/job_end_box.h"
#include "ui/dialog_place.h"

namespace dravik::comm {

namespace {

constexpr int kStartDelayMs = 50;
constexpr int kOffsetAboveCentre = 100;

// The dialog's labels read the same in both interface languages.
QString LabelText(const Bilingual& label) {
  return QString::fromStdString(label.chinese);
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

void TDownloadForm::Prepare(std::vector<std::uint8_t> image, ComPortMap ports, int portIndex) {
  image_ = std::move(image);
  ports_ = std::move(ports);
  portIndex_ = portIndex;
}

void TDownloadForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceAboveCentre(this, kOffsetAboveCentre);
  if (started_ || timer1_.isActive()) return;
  label_->setText(QString::fromStdString(download_label::kReady.chinese));
  progress_->setValue(0);
  outcome_.reset();
  lastState_ = DownloadState::Ready;
  cancelFlag_.store(false);
  closeWhenStopped_ = false;
  timer1_.start();
}

void TDownloadForm::Timer1Timer() {
  timer1_.stop();
  started_ = true;
  worker_.StartJob(this, &TDownloadForm::ShowProgress, &TDownloadForm::Ended,
                   [this, bytes = image_,
                    line = DeviceLine::At(ports_, portIndex_)](const DownloadProgressFn& report) {
                     return RunDownload(line, bytes, report, &cancelFlag_);
                   });
}

void TDownloadForm::ShowProgress(const DownloadProgress& progress) {
  lastState_ = progress.state;
  label_->setText(LabelText(progress.label));
  progress_->setValue(progress.progressBar);
  emit progressShown(progress);
}

void TDownloadForm::Ended(const DownloadOutcome& outcome) {
  worker_.Join();
  started_ = false;
  outcome_ = outcome;
  // An end that leaves the panel incomplete is said in the interface language.
  label_->setText(outcome.notice ? sink_.Text(*outcome.notice) : LabelText(outcome.label));
  emit downloadEnded(outcome);

  std::optional<PortFailureBox> portFailure;
  if (outcome.end == DownloadEnd::PortOpenFailed) {
    portFailure = PortFailureBox{download_text::kPortBusyCaption, download_text::kPortBusyMessage};
  }
  ShowJobEndBox(sink_, this, portFailure, outcome.portError, outcome.message);

  // Only a download the panel took whole closes the dialog by itself; any other end stays
  // on screen with its label until the user closes it.
  const bool finished = outcome.ok();
  const bool closes = finished || closeWhenStopped_;
  if (finished) {
    QDialog::accept();
  } else if (closeWhenStopped_) {
    QDialog::reject();
  }
  if (outcome.end == DownloadEnd::Unconfirmed) {
    sink_.Show(closes ? parentWidget() : this, QString::fromUtf8(ui::kProgramCaption),
               QMessageBox::Warning, sink_.Text(*outcome.notice));
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
