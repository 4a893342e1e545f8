#pragma once
// The simulator's window `TTolveskForm`: the panel's screen (scaled x1, x2 or x3; touched
// with the mouse), the panel's keys as buttons and keyboard shortcuts, its 32 LEDs, and a
// status line with the page, the entry and the alarms. Time runs on a timer; the screen is
// painted again whenever what it shows has changed.

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "sim/online_master.h"
#include "sim/panel_session.h"
#include "sim/register_names.h"
#include "ui/desktop_hooks.h"

class QActionGroup;
class QLabel;
class QPushButton;

namespace dravik::sim {

class ScreenPainter;
class TRegisterFrm;

struct WindowOptions {
  bool online = false;  // start the on-line simulation at once
  std::string port;     // its serial port; asked for when empty
  int baud = 0;         // 0: the image's Link 1 speed
};

// The panel's screen at a scale, touched with the mouse.
class ScreenView : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenView(QWidget* parent = nullptr);
  void SetPicture(const QImage& picture);
  void SetScale(int scale);
  int Scale() const { return scale_; }
  const QImage& Picture() const { return picture_; }
  QSize sizeHint() const override;

 signals:
  void touched(int x, int y);  // screen pixels
  void released();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
  int scale_ = 1;
};

class TTolveskForm : public QMainWindow {
  Q_OBJECT

 public:
  TTolveskForm(ui::DesktopHooks desktop, WindowOptions options, QWidget* parent = nullptr);
  ~TTolveskForm() override;

  // Runs `session`, the panel started on `imageFile`; the registers kept beside the image
  // from the last off-line run are loaded.
  void Run(const std::filesystem::path& imageFile, PanelSession session);
  // The window without a panel, saying why the image could not be started.
  void ShowStartFailure(const std::filesystem::path& imageFile, const Error& error);

  PanelSession* Session() { return session_ ? &*session_ : nullptr; }
  ScreenView* Screen() const { return screen_; }
  QPushButton* KeyButton(int key) const { return keys_[static_cast<std::size_t>(key)]; }
  QLabel* Led(int led) const { return leds_[static_cast<std::size_t>(led)]; }
  QLabel* StatusLine() const { return status_; }

  // Lets `ms` milliseconds of panel time pass and shows the result (the timer's step;
  // tests call it directly).
  void Step(int ms);
  void SetScale(int scale);
  // A panel key pressed and released as the buttons and the keyboard do it.
  void PressKey(int key);
  void ReleaseKey(int key);
  void OpenImageClick();
  void RestartClick();
  void RegistersClick();
  void GoToPageClick();
  // Starts the on-line simulation on `device` (asked for when empty); false with the
  // reason shown when it cannot run.
  bool StartOnline(std::string device);
  void StopOnline();
  bool Online() const { return online_ != nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  QWidget* BuildKeys();
  QWidget* BuildLeds();
  void Refresh(bool force);
  void ShowStatus();
  void SaveRegisters();
  void ExchangeOnline();
  std::optional<int> KeyOf(const QKeyEvent* event) const;
  bool EditEntry(const QKeyEvent* event);
  QString Text(const Bilingual& text) const { return desktop_.Text(text); }

  ui::DesktopHooks desktop_;
  WindowOptions options_;
  std::filesystem::path imageFile_;
  std::optional<PanelSession> session_;
  RegisterNaming naming_;
  std::unique_ptr<OnlineRunner> online_;
  // The registers have held the PLC's values since the on-line run began, even once it
  // has stopped: they are not the simulator's to keep.
  bool plcValues_ = false;
  int watchedPage_ = -1;  // the page whose registers the on-line run reads
  std::unique_ptr<ScreenPainter> painter_;
  QString message_;  // the last refusal, shown in the status line

  QTimer timer_;
  QElapsedTimer clock_;
  std::uint64_t shownVersion_ = ~0ull;
  int shownPage_ = -1;
  std::string shownEntry_;
  std::int64_t sinceRepaint_ = 0;

  ScreenView* screen_ = nullptr;
  std::array<QPushButton*, kPanelKeyCount> keys_{};
  std::array<QLabel*, kLedCount> leds_{};
  QLabel* status_ = nullptr;
  QActionGroup* scales_ = nullptr;
  QAction* onlineAction_ = nullptr;
  TRegisterFrm* registers_ = nullptr;
};

}  // namespace dravik::sim
