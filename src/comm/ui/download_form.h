#pragma once
// The download dialog "下载画面数据": shown modally after a good compile, it sends QX.bin
// to the panel on its own. The protocol runs on a worker thread with its own serial
// driver; the dialog shows its labels and progress and stays responsive. Cancel sets the
// cancel flag (the search stops before its next probe, the transfer after its block); a
// second press, once the flag is set, closes the dialog. Only a download the panel took
// whole closes it by itself; a cancelled or unconfirmed one stays with a label that says
// the panel's screens are incomplete.

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

#include "comm/com_port_map.h"
#include "comm/download_session.h"
#include "comm/ui/protocol_thread.h"
#include "ui/desktop_hooks.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace dravik::comm {

class TDownloadForm : public QDialog {
  Q_OBJECT

 public:
  explicit TDownloadForm(QWidget* parent = nullptr);
  ~TDownloadForm() override;

  void SetDesktopHooks(ui::DesktopHooks desktop) { sink_ = std::move(desktop); }
  // What the next showing sends, and where: the image just compiled (sent from memory, so
  // nothing can swap it on its way), the COM positions and the chosen one (0 = COM1).
  void Prepare(std::vector<std::uint8_t> image, ComPortMap ports, int portIndex);

  QLabel* Label() const { return label_; }
  QProgressBar* ProgressBar() const { return progress_; }
  QPushButton* CancelButton() const { return cancel_; }
  // The protocol is running on its thread.
  bool Running() const { return started_; }
  // How the last download of this showing ended; nothing while it runs.
  const std::optional<DownloadOutcome>& LastOutcome() const { return outcome_; }

  // The Cancel button.
  void BitBtn1Click();

 signals:
  // Every change the protocol reports, on the user-interface thread.
  void progressShown(const dravik::comm::DownloadProgress& progress);
  // The download ended (before the dialog closes by itself).
  void downloadEnded(const dravik::comm::DownloadOutcome& outcome);

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Timer1Timer();
  void ShowProgress(const DownloadProgress& progress);
  void Ended(const DownloadOutcome& outcome);
  void Stop(bool closeWhenStopped);

  QProgressBar* progress_ = nullptr;
  QLabel* label_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QTimer timer1_;
  ui::DesktopHooks sink_;

  std::vector<std::uint8_t> image_;  // what was compiled, sent as it is in memory
  ComPortMap ports_;
  int portIndex_ = 0;

  std::atomic<bool> cancelFlag_{false};
  ProtocolThread worker_;
  bool started_ = false;  // from the timer's tick until the outcome is taken
  bool closeWhenStopped_ = false;
  DownloadState lastState_ = DownloadState::Ready;
  std::optional<DownloadOutcome> outcome_;
};

}  // namespace dravik::comm
