#pragma once
// The firmware dialog "固件更新 V3.73": replaces the panel's firmware through the STM32
// boot loader once the user has fitted the boot jumper. The upgrade runs on a worker
// thread with its own serial driver; the dialog shows its labels and progress.
//
// Closing the dialog while an upgrade runs first asks, because a stopped upgrade leaves
// the panel without complete firmware; on yes the transfer stops at its next step, the
// port is closed, and only then does the dialog close. Nothing keeps running behind a
// closed window.

#include <QDialog>
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>

#include "comm/com_port_map.h"
#include "comm/firmware_session.h"
#include "comm/ui/protocol_thread.h"
#include "ui/desktop_hooks.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace dravik::comm {

// The question before an upgrade is stopped.
Bilingual StopFirmwareQuestion();
// The label while the upgrade stops.
Bilingual StoppingFirmwareLabel();
// No firmware image installed and none chosen.
Bilingual NoFirmwareImageMessage();

class TFirmwareFrm : public QDialog {
  Q_OBJECT

 public:
  using FirmwareChooser = std::function<std::optional<std::filesystem::path>()>;

  explicit TFirmwareFrm(QWidget* parent = nullptr);
  ~TFirmwareFrm() override;

  void SetDesktopHooks(ui::DesktopHooks desktop) { sink_ = std::move(desktop); }
  // Asks for a firmware file when none is installed; unset: none is chosen.
  void SetFirmwareChooser(FirmwareChooser chooser) { chooser_ = std::move(chooser); }
  // Fills the port list from `ports`, preselects `portIndex`; `firmwareFile` is the image
  // to write (nothing: the chooser is asked at the start).
  void Prepare(const ComPortMap& ports, int portIndex,
               std::optional<std::filesystem::path> firmwareFile);

  QComboBox* PortList() const { return ports_; }
  QPushButton* StartButton() const { return start_; }
  QProgressBar* ProgressBar() const { return progress_; }
  QLabel* Label() const { return label_; }
  bool Running() const { return running_; }
  bool Stopping() const { return stopping_; }
  const std::optional<FirmwareOutcome>& LastOutcome() const { return outcome_; }

  // "开始更新".
  void Button1Click();

 signals:
  void upgradeEnded(const dravik::comm::FirmwareOutcome& outcome);

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowProgress(const FirmwareProgress& progress);
  void Ended(const FirmwareOutcome& outcome);
  void SetIdle(bool idle);

  QComboBox* ports_ = nullptr;
  QPushButton* start_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* label_ = nullptr;
  QPlainTextEdit* note_ = nullptr;
  ui::DesktopHooks sink_;
  FirmwareChooser chooser_;

  ComPortMap portMap_;
  std::optional<std::filesystem::path> firmwareFile_;
  std::atomic<bool> cancelFlag_{false};
  ProtocolThread worker_;
  bool running_ = false;
  bool stopping_ = false;
  std::optional<FirmwareOutcome> outcome_;
};

}  // namespace dravik::comm
