#pragma once
// The customer updater's window: the image it found beside itself (or why it cannot send
// it), the serial port to use (the same list as Dravik's port dialog: COM positions with
// their stable device names, and "?" for the devices Linux sees and whether this user may
// open them), a progress bar, the step, and a clear result at the end.

#include <QWidget>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "comm/com_port_map.h"
#include "comm/download_session.h"
#include "comm/ui/protocol_thread.h"
#include "ui/desktop_hooks.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace dravik::velnor {

class TVelnorForm : public QWidget {
  Q_OBJECT

 public:
  // `ports` fills the list; `imageFile` is loaded and checked at once.
  TVelnorForm(comm::ComPortMap ports, std::filesystem::path imageFile, ui::DesktopHooks desktop,
              QWidget* parent = nullptr);
  ~TVelnorForm() override;

  // The device the chosen list position names ("" when it names none).
  std::string ChosenDevice() const;
  // Whether there is a checked image to send.
  bool ImageReady() const { return !image_.empty(); }
  bool Running() const { return worker_.Running(); }

  // The Download button: sends the image to the chosen port on a worker thread.
  void DownloadClick();
  // The Cancel/Close button: cancels a running download (between blocks), else closes.
  void CloseClick();
  // The "?" button: the serial devices Linux sees.
  void DevicesClick();

  QComboBox* PortList() const { return ports_list_; }
  QLabel* ImageLabel() const { return image_label_; }
  QLabel* StatusLabel() const { return status_; }
  QProgressBar* Progress() const { return progress_; }
  QPushButton* DownloadButton() const { return download_; }

 signals:
  // The download has ended (after the result is shown).
  void finished(bool ok);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnProgress(const comm::DownloadProgress& view);
  void OnEnd(const comm::DownloadOutcome& outcome);
  void SetIdle(bool idle);
  QString Text(const Bilingual& text) const { return desktop_.Text(text); }

  comm::ComPortMap ports_;
  ui::DesktopHooks desktop_;
  std::vector<std::uint8_t> image_;
  std::atomic<bool> cancel_{false};
  bool closeWhenDone_ = false;  // the window was closed while a download ran
  comm::ProtocolThread worker_;

  QLabel* image_label_ = nullptr;
  QComboBox* ports_list_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* download_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace dravik::velnor
