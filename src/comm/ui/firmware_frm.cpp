#include "comm/ui/firmware_frm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "comm/device_jobs.h"
#include "comm/ui/job_end_box.h"
#include "ui/dialog_place.h"

namespace dravik::comm {

namespace {

constexpr int kOffsetAboveCentre = 100;

}  // namespace

Bilingual StopFirmwareQuestion() {
  return {
      "固件更新正在进行。\r现在停止，面板中的固件将不完整，需要重新更新后才能使用。\r"
      "确定要停止更新吗？",
      "A firmware upgrade is in progress.\rIf it stops now, the panel's firmware stays "
      "incomplete until it is upgraded again.\rStop the upgrade?"};
}

Bilingual StoppingFirmwareLabel() {
  return {"正在停止更新。。。", "Stopping the upgrade..."};
}

Bilingual NoFirmwareImageMessage() {
  return {"没有安装固件映像，也没有选择固件文件。",
          "No firmware image is installed and none was chosen."};
}

TFirmwareFrm::TFirmwareFrm(QWidget* parent) : QDialog(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("FirmwareFrm"));
  setWindowTitle(QString::fromUtf8(firmware_text::kCaption));

  ports_ = new QComboBox(this);
  ports_->setObjectName(QStringLiteral("ComboBox1"));
  ports_->setMinimumContentsLength(24);
  // The items name the devices found at run time; language files leave them alone.
  ports_->setProperty("dravikRuntimeText", true);
  start_ = new QPushButton(QString::fromUtf8(firmware_text::kStartButton), this);
  start_->setObjectName(QStringLiteral("Button1"));
  connect(start_, &QPushButton::clicked, this, &TFirmwareFrm::Button1Click);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setProperty("dravikRuntimeText", true);
  label_ = new QLabel(QString::fromUtf8(firmware_text::kReady), this);
  label_->setObjectName(QStringLiteral("Label1"));
  label_->setProperty("dravikRuntimeText", true);

  note_ = new QPlainTextEdit(this);
  note_->setObjectName(QStringLiteral("Memo1"));
  note_->setReadOnly(true);
  QStringList lines;
  for (const char* line : firmware_text::kNoteLines) lines << QString::fromUtf8(line);
  note_->setPlainText(lines.join(QLatin1Char('\n')));
  QPalette palette = note_->palette();
  palette.setColor(QPalette::Text, Qt::red);
  note_->setPalette(palette);
  note_->setFixedHeight(note_->fontMetrics().lineSpacing() * 6 + 12);

  auto* row = new QHBoxLayout;
  row->addWidget(ports_, 1);
  row->addWidget(start_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(progress_);
  layout->addWidget(label_);
  layout->addWidget(note_);
  setMinimumWidth(380);
  Prepare(ComPortMap(), 0, std::nullopt);
}

TFirmwareFrm::~TFirmwareFrm() {
  cancelFlag_.store(true);
  worker_.Join();
}

void TFirmwareFrm::Prepare(const ComPortMap& ports, int portIndex,
                           std::optional<std::filesystem::path> firmwareFile) {
  portMap_ = ports;
  firmwareFile_ = std::move(firmwareFile);
  if (running_) return;  // the running upgrade keeps its port
  ports_->clear();
  for (int i = 0; i < kComPortCount; ++i)
    ports_->addItem(QString::fromStdString(ports.DisplayText(i)));
  ports_->setCurrentIndex(std::clamp(portIndex, 0, kComPortCount - 1));
}

void TFirmwareFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceAboveCentre(this, kOffsetAboveCentre);
  if (!running_) label_->setText(QString::fromUtf8(firmware_text::kReady));
}

void TFirmwareFrm::Button1Click() {
  if (running_) return;
  std::optional<std::filesystem::path> file = firmwareFile_;
  if (!file && chooser_) file = chooser_();
  if (!file) {
    sink_.Show(this, QString::fromUtf8(ui::kProgramCaption), QMessageBox::Warning,
               sink_.Text(NoFirmwareImageMessage()));
    return;
  }
  Result<std::vector<std::uint8_t>> image = LoadFirmwareImage(*file);
  if (!image) {
    sink_.Show(this, QString::fromUtf8(ui::kProgramCaption), QMessageBox::Warning,
               sink_.Text(image.error().Text()));
    return;
  }
  // A file that is no application for the panel (a device image, a picture) would leave it
  // without working firmware: it goes only when the user insists.
  if (Status looksRight = CheckFirmwareVectorTable(*image); !looksRight) {
    const Bilingual question = Explained({"", ""}, looksRight.error()).Text();
    const Bilingual ask{question.chinese + "\r\r仍然写入这个文件吗？", question.english + "\r\rWrite this file anyway?"};
    if (sink_.Ask(this, QString::fromUtf8(ui::kProgramCaption), sink_.Text(ask), QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes) {
      return;
    }
  }
  firmwareFile_ = file;
  outcome_.reset();
  cancelFlag_.store(false);
  stopping_ = false;
  running_ = true;
  SetIdle(false);
  worker_.StartJob(
      this, &TFirmwareFrm::ShowProgress, &TFirmwareFrm::Ended,
      [this, firmware = std::move(*image),
       line = DeviceLine::At(portMap_, ports_->currentIndex())](const FirmwareProgressFn& report) {
        return RunFirmwareUpgrade(line, firmware, report, &cancelFlag_);
      });
}

void TFirmwareFrm::ShowProgress(const FirmwareProgress& progress) {
  if (stopping_) return;  // the stop label stays until the dialog closes
  // The upgrade's labels read the same in both interface languages.
  label_->setText(QString::fromStdString(progress.label.chinese));
  progress_->setValue(progress.progressBar);
  progress_->setToolTip(QString::fromStdString(progress.hint));
}

void TFirmwareFrm::Ended(const FirmwareOutcome& outcome) {
  worker_.Join();
  running_ = false;
  outcome_ = outcome;
  SetIdle(true);
  emit upgradeEnded(outcome);

  if (stopping_) {
    stopping_ = false;
    progress_->setValue(0);
    QDialog::reject();
    return;
  }
  std::optional<PortFailureBox> portFailure;
  if (outcome.end == FirmwareEnd::PortOpenFailed) {
    portFailure = PortFailureBox{firmware_text::kPortErrorCaption,
                                 FirmwarePortErrorMessage(ports_->currentIndex() + 1)};
  }
  ShowJobEndBox(sink_, this, portFailure, outcome.portError, outcome.message);
}

void TFirmwareFrm::SetIdle(bool idle) {
  start_->setEnabled(idle);
  ports_->setEnabled(idle);
}

void TFirmwareFrm::reject() {
  if (!running_) {
    QDialog::reject();
    return;
  }
  if (stopping_) return;
  const QMessageBox::StandardButton answer =
      sink_.Ask(this, QString::fromUtf8(ui::kProgramCaption), sink_.Text(StopFirmwareQuestion()),
                QMessageBox::Yes | QMessageBox::No);
  // The upgrade may have ended while the question was up.
  if (answer != QMessageBox::Yes) return;
  if (!running_) {
    QDialog::reject();
    return;
  }
  stopping_ = true;
  cancelFlag_.store(true);
  label_->setText(sink_.Text(StoppingFirmwareLabel()));
}

}  // namespace dravik::comm
