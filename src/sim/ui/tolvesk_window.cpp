#include "sim/ui/tolvesk_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

#include "compiler/image_layout.h"
#include "params/device_resources.h"
#include "platform/serial_devices.h"
#include "platform/serial_port.h"
#include "sim/panel_keys.h"
#include "sim/register_names.h"
#include "sim/render/screen_painter.h"
#include "sim/simulator_start.h"
#include "sim/ui/register_window.h"

namespace dravik::sim {

namespace fs = std::filesystem;

namespace {

constexpr int kStepMs = 20;
// The clock and the trend charts move even when no register does.
constexpr std::int64_t kRepaintAtLeastEveryMs = 500;

const Bilingual kTitle{"Tolvesk 面板模拟器", "Tolvesk panel simulator"};

QString Path(const fs::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

// ---- The screen ----------------------------------------------------------------------

ScreenView::ScreenView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PanelScreen"));
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ScreenView::SetPicture(const QImage& picture) {
  const bool resized = picture.size() != picture_.size();
  picture_ = picture;
  if (resized) updateGeometry();
  update();
}

void ScreenView::SetScale(int scale) {
  scale_ = std::clamp(scale, 1, 3);
  setFixedSize(sizeHint());
  update();
}

QSize ScreenView::sizeHint() const {
  const QSize size = picture_.isNull() ? QSize(320, 240) : picture_.size();
  return size * scale_;
}

void ScreenView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  painter.drawImage(QRect(QPoint(0, 0), picture_.size() * scale_), picture_);
}

void ScreenView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // Every widget pixel of a scaled screen pixel is that pixel: the division rounds down
  // (QPoint's own rounds to the nearest, which touched the next pixel on its right half).
  const QPointF at = event->position() / scale_;
  emit touched(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
}

void ScreenView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit released();
}

// ---- The window ----------------------------------------------------------------------

TTolveskForm::TTolveskForm(ui::DesktopHooks desktop, WindowOptions options, QWidget* parent)
    : QMainWindow(parent), desktop_(std::move(desktop)), options_(std::move(options)) {
  setObjectName(QStringLiteral("TTolveskForm"));
  setWindowTitle(Text(kTitle));

  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  screen_ = new ScreenView(central);
  screen_->setAccessibleName(Text({"面板画面", "Panel screen"}));
  screen_->SetScale(1);
  layout->addWidget(screen_, 0, Qt::AlignTop);
  auto* side = new QVBoxLayout;
  side->addWidget(BuildKeys());
  side->addWidget(BuildLeds());
  side->addStretch();
  layout->addLayout(side);
  setCentralWidget(central);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusLine"));
  statusBar()->addWidget(status_, 1);
  BuildMenus();

  connect(screen_, &ScreenView::touched, this, [this](int x, int y) {
    if (!session_) return;
    session_->Touch(x, y);
    Refresh(false);
  });
  connect(screen_, &ScreenView::released, this, [this] {
    if (!session_) return;
    session_->ReleaseTouch();
    Refresh(false);
  });
  connect(&timer_, &QTimer::timeout, this, [this] {
    const qint64 elapsed = clock_.restart();
    Step(static_cast<int>(std::min<qint64>(elapsed, 1000)));
  });
}

TTolveskForm::~TTolveskForm() {
  SaveRegisters();
  if (online_) online_->Stop();
}

void TTolveskForm::BuildMenus() {
  QMenu* file = menuBar()->addMenu(Text({"文件(&F)", "&File"}));
  QAction* open = file->addAction(Text({"打开画面数据(&O)...", "&Open image..."}), this,
                                  &TTolveskForm::OpenImageClick);
  open->setShortcut(QKeySequence::Open);
  QAction* restart = file->addAction(Text({"重新启动(&R)", "&Restart"}), this,
                                     &TTolveskForm::RestartClick);
  restart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  file->addSeparator();
  QAction* quit = file->addAction(Text({"退出(&X)", "E&xit"}), this, &QWidget::close);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* view = menuBar()->addMenu(Text({"查看(&V)", "&View"}));
  scales_ = new QActionGroup(this);
  for (int scale = 1; scale <= 3; ++scale) {
    QAction* action = view->addAction(QStringLiteral("×%1").arg(scale));
    action->setObjectName(QStringLiteral("Scale%1").arg(scale));
    action->setCheckable(true);
    action->setChecked(scale == 1);
    action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + scale)));
    scales_->addAction(action);
    connect(action, &QAction::triggered, this, [this, scale] { SetScale(scale); });
  }
  view->addSeparator();
  QAction* page = view->addAction(Text({"转到画面(&P)...", "Go to &page..."}), this,
                                  &TTolveskForm::GoToPageClick);
  page->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

  QMenu* debug = menuBar()->addMenu(Text({"调试(&D)", "&Debug"}));
  QAction* registers = debug->addAction(Text({"寄存器(&R)...", "&Registers..."}), this,
                                        &TTolveskForm::RegistersClick);
  registers->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  onlineAction_ = debug->addAction(Text({"在线模拟(&O)", "&On-line simulation"}));
  onlineAction_->setObjectName(QStringLiteral("OnlineSimulation"));
  onlineAction_->setCheckable(true);
  onlineAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(onlineAction_, &QAction::triggered, this, [this](bool on) {
    if (on) {
      StartOnline(options_.port);
    } else {
      StopOnline();
    }
  });
}

QWidget* TTolveskForm::BuildKeys() {
  auto* box = new QWidget(this);
  box->setObjectName(QStringLiteral("PanelKeys"));
  auto* grid = new QGridLayout(box);
  grid->setSpacing(3);
  // F1..F6 across the top, the arrows and the two system keys, the digits, Enter and Esc.
  const int order[kPanelKeyCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                                     12, 13, 14, 15, 16, 17, 18, 19, 20, 21, kKeyEnter, kKeyEscape};
  for (int i = 0; i < kPanelKeyCount; ++i) {
    const int key = order[i];
    auto* button = new QPushButton(box);
    button->setObjectName(QStringLiteral("PanelKey%1").arg(key));
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumWidth(44);
    connect(button, &QPushButton::pressed, this, [this, key] { PressKey(key); });
    connect(button, &QPushButton::released, this, [this, key] { ReleaseKey(key); });
    keys_[static_cast<std::size_t>(key)] = button;
    grid->addWidget(button, i / 6, i % 6);
  }
  return box;
}

QWidget* TTolveskForm::BuildLeds() {
  auto* box = new QWidget(this);
  box->setObjectName(QStringLiteral("PanelLeds"));
  auto* grid = new QGridLayout(box);
  grid->setSpacing(2);
  for (int led = 0; led < kLedCount; ++led) {
    auto* lamp = new QLabel(box);
    lamp->setObjectName(QStringLiteral("Led%1").arg(led));
    lamp->setFixedSize(14, 14);
    const QString name = QStringLiteral("LED%1").arg(led, 2, 10, QLatin1Char('0'));
    lamp->setToolTip(name);
    lamp->setAccessibleName(name);
    leds_[static_cast<std::size_t>(led)] = lamp;
    grid->addWidget(lamp, led / 16, led % 16);
  }
  return box;
}

void TTolveskForm::Run(const fs::path& imageFile, PanelSession session) {
  StopOnline();
  SaveRegisters();
  imageFile_ = imageFile;
  session_.emplace(std::move(session));
  plcValues_ = false;
  painter_ = std::make_unique<ScreenPainter>(session_->Image());
  naming_ = RegisterNaming::ForImage(session_->Image(), session_->Memory().Kinds());
  message_.clear();
  // The registers of the last off-line run; a damaged line costs that line only.
  Result<std::vector<Bilingual>> loaded =
      LoadRegisterFile(RegisterFilePath(imageFile_), naming_, session_->Memory());
  if (!loaded) {
    message_ = Text(loaded.error().Text());
  } else if (!loaded->empty()) {
    message_ = Text(loaded->front());
  }
  session_->OnWrite(
      [this](const WordAddress& address) {
        if (online_) online_->QueueWrite(address, session_->Memory().Word(address));
      },
      [this](const BitAddress& address) {
        if (online_) online_->QueueWrite(address, session_->Memory().Bit(address));
      });
  const int model = session_->Image().Setting(compiler::image_field::kPanelModel);
  for (int key = 0; key < kPanelKeyCount; ++key) {
    const QString caption = QString::fromStdString(PanelKeyCaption(key, model));
    keys_[static_cast<std::size_t>(key)]->setText(caption);
    keys_[static_cast<std::size_t>(key)]->setAccessibleName(caption);
  }
  setWindowTitle(Text(kTitle) + QStringLiteral(" - ") + Path(imageFile_));
  if (registers_ != nullptr) registers_->SetMemory(&session_->Memory(), naming_);
  Refresh(true);
  clock_.start();
  timer_.start(kStepMs);
  if (options_.online) StartOnline(options_.port);
}

void TTolveskForm::ShowStartFailure(const fs::path& imageFile, const Error& error) {
  imageFile_ = imageFile;
  message_ = QString::fromStdString(error.In(desktop_.Chinese()));
  ShowStatus();
}

void TTolveskForm::SaveRegisters() {
  // An on-line run shows the PLC's registers, which are not the simulator's to keep.
  if (!session_ || online_ || plcValues_ || imageFile_.empty()) return;
  (void)SaveRegisterFile(RegisterFilePath(imageFile_), naming_, session_->Memory());
}

bool TTolveskForm::StartOnline(std::string device) {
  if (!session_) return false;
  const auto refuse = [this](const Bilingual& why) {
    desktop_.Show(this, why, QMessageBox::Warning);
    onlineAction_->setChecked(false);
    return false;
  };
  if (Status supported = OnlineSupported(session_->Image()); !supported) {
    return refuse(supported.error().Text());
  }
  if (device.empty()) {
    QStringList devices;
    for (const std::string& path : platform::ListSerialDevices()) devices << QString::fromStdString(path);
    if (devices.isEmpty()) {
      return refuse({"找不到串口，无法在线模拟。", "No serial port found for the on-line simulation."});
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, Text({"在线模拟", "On-line simulation"}),
                                                 Text({"PLC 所在串口:", "Serial port of the PLC:"}),
                                                 devices, 0, false, &ok);
    if (!ok) {
      onlineAction_->setChecked(false);
      return false;
    }
    device = chosen.toStdString();
  }
  OnlineLine line = LineOfImage(session_->Image());
  if (options_.baud != 0) {
    const auto* rate = std::find(std::begin(platform::kBaudRateTable),
                                 std::end(platform::kBaudRateTable),
                                 static_cast<std::uint32_t>(options_.baud));
    if (rate == std::end(platform::kBaudRateTable)) {
      return refuse({"不支持的波特率 " + std::to_string(options_.baud),
                     "Unsupported speed " + std::to_string(options_.baud)});
    }
    line.settings.baudRate =
        static_cast<platform::TComPortBaudRate>(rate - std::begin(platform::kBaudRateTable));
  }
  SaveRegisters();
  Result<std::unique_ptr<OnlineRunner>> runner =
      OnlineRunner::Start(device, session_->Memory().Kinds(), line);
  if (!runner) return refuse(runner.error().Text());
  online_ = std::move(*runner);
  plcValues_ = true;
  watchedPage_ = -1;
  onlineAction_->setChecked(true);
  message_ = Text({"在线: " + device, "On-line: " + device});
  ExchangeOnline();
  return true;
}

void TTolveskForm::StopOnline() {
  if (!online_) return;
  online_->Stop();
  online_.reset();
  onlineAction_->setChecked(false);
  message_ = Text({"离线", "Off-line"});
  ShowStatus();
}

// What the PLC answered goes into the registers; a new page is watched anew.
void TTolveskForm::ExchangeOnline() {
  if (!online_ || !session_) return;
  if (watchedPage_ != session_->PageNumber()) {
    watchedPage_ = session_->PageNumber();
    online_->Watch(session_->WordsInUse(), session_->BitsInUse());
  }
  StoreValues(online_->TakeValues(), session_->Memory());
  if (const auto error = online_->LastError()) {
    message_ = Text(*error);
  } else if (online_->CyclesDone() > 0) {
    message_ = Text({"在线", "On-line"});
  }
}

void TTolveskForm::Step(int ms) {
  if (!session_) return;
  ExchangeOnline();
  session_->Advance(std::chrono::milliseconds(ms));
  sinceRepaint_ += ms;
  Refresh(false);
}

void TTolveskForm::Refresh(bool force) {
  if (!session_) return;
  const std::string entry = session_->PendingEntry() ? session_->PendingEntry()->typed + "\x01" : "";
  const bool changed = force || session_->Memory().Version() != shownVersion_ ||
                       session_->PageNumber() != shownPage_ || entry != shownEntry_ ||
                       sinceRepaint_ >= kRepaintAtLeastEveryMs;
  if (!changed) return;
  shownVersion_ = session_->Memory().Version();
  shownPage_ = session_->PageNumber();
  shownEntry_ = entry;
  sinceRepaint_ = 0;
  sim::Screen screen = session_->BuildScreen();
  screen_->SetPicture(painter_->Paint(screen));
  screen_->SetScale(screen_->Scale());
  const auto lit = session_->Leds();
  for (int led = 0; led < kLedCount; ++led) {
    leds_[static_cast<std::size_t>(led)]->setStyleSheet(
        lit[static_cast<std::size_t>(led)]
            ? QStringLiteral("background:#20d020;border:1px solid #106010;border-radius:7px")
            : QStringLiteral("background:#505050;border:1px solid #303030;border-radius:7px"));
  }
  ShowStatus();
}

void TTolveskForm::ShowStatus() {
  QStringList parts;
  if (session_) {
    parts << Text({"画面 " + std::to_string(session_->PageNumber()),
                   "Page " + std::to_string(session_->PageNumber())});
    if (const auto& entry = session_->PendingEntry()) {
      parts << Text({"输入 ", "Entry "}) + QString::fromStdString(entry->typed) +
                   QStringLiteral(" (%1 ~ %2)").arg(entry->lower).arg(entry->upper);
    }
  }
  if (!message_.isEmpty()) parts << message_;
  status_->setText(parts.join(QStringLiteral("   ")));
}

void TTolveskForm::SetScale(int scale) {
  screen_->SetScale(scale);
  for (QAction* action : scales_->actions()) {
    action->setChecked(action->objectName() == QStringLiteral("Scale%1").arg(scale));
  }
  adjustSize();
}

void TTolveskForm::PressKey(int key) {
  if (!session_) return;
  message_.clear();
  // Enter on an open entry confirms it here, so that a refusal can be shown.
  if (key == kKeyEnter && session_->PendingEntry()) {
    const std::string typed = session_->PendingEntry()->typed;
    if (Status confirmed = session_->ConfirmEntry(typed); !confirmed) {
      message_ = QString::fromStdString(confirmed.error().In(desktop_.Chinese()));
    }
    Refresh(true);
    return;
  }
  session_->PressKey(key);
  Refresh(true);
}

void TTolveskForm::ReleaseKey(int key) {
  if (!session_) return;
  session_->ReleaseKey(key);
  Refresh(false);
}

std::optional<int> TTolveskForm::KeyOf(const QKeyEvent* event) const {
  const int code = event->key();
  if (code >= Qt::Key_F1 && code <= Qt::Key_F6) return code - Qt::Key_F1;
  if (code >= Qt::Key_0 && code <= Qt::Key_9) return 12 + (code - Qt::Key_0);
  switch (code) {
    case Qt::Key_Up: return 6;
    case Qt::Key_Down: return 7;
    case Qt::Key_Left: return 8;
    case Qt::Key_Right: return 9;
    case Qt::Key_Home: return 10;
    case Qt::Key_End: return 11;
    case Qt::Key_Delete: return 5;  // CLR on the small panels
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Escape: return kKeyEscape;
    default: return std::nullopt;
  }
}

// The sign, the decimal point and Backspace edit an open entry from the desktop's
// keyboard; false when the key is none of them or no entry is open.
bool TTolveskForm::EditEntry(const QKeyEvent* event) {
  if (!session_ || !session_->PendingEntry() || session_->PendingEntry()->password) return false;
  std::string typed = session_->PendingEntry()->typed;
  switch (event->key()) {
    case Qt::Key_Backspace:
      if (!typed.empty()) typed.pop_back();
      break;
    case Qt::Key_Minus:
      typed = typed.starts_with('-') ? typed.substr(1) : "-" + typed;
      break;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      if (typed.find('.') == std::string::npos) typed += '.';
      break;
    default: return false;
  }
  session_->EditEntry(typed);
  Refresh(true);
  return true;
}

void TTolveskForm::keyPressEvent(QKeyEvent* event) {
  if (EditEntry(event)) {
    event->accept();
    return;
  }
  const auto key = KeyOf(event);
  if (!key || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  if (!event->isAutoRepeat()) {
    keys_[static_cast<std::size_t>(*key)]->setDown(true);
    PressKey(*key);
  }
  event->accept();
}

void TTolveskForm::keyReleaseEvent(QKeyEvent* event) {
  const auto key = KeyOf(event);
  if (!key || event->isAutoRepeat()) {
    QMainWindow::keyReleaseEvent(event);
    return;
  }
  keys_[static_cast<std::size_t>(*key)]->setDown(false);
  ReleaseKey(*key);
  event->accept();
}

void TTolveskForm::OpenImageClick() {
  const QString chosen = desktop_.OpenFile(
      this, Text({"打开画面数据", "Open a device image"}),
      Text({"画面数据 (*.bin *.Dat);;所有文件 (*)", "Device images (*.bin *.Dat);;All files (*)"}),
      Path(imageFile_));
  if (chosen.isEmpty()) return;
  const fs::path file = chosen.toStdString();
  Result<PanelSession> session = StartFromFile(file, params::DeviceResourcesPath());
  if (!session) {
    desktop_.Show(this, session.error().Text(), QMessageBox::Warning);
    return;
  }
  Run(file, std::move(*session));
}

void TTolveskForm::RestartClick() {
  if (imageFile_.empty()) return;
  SaveRegisters();
  Result<PanelSession> session = StartFromFile(imageFile_, params::DeviceResourcesPath());
  if (!session) {
    desktop_.Show(this, session.error().Text(), QMessageBox::Warning);
    return;
  }
  Run(imageFile_, std::move(*session));
}

void TTolveskForm::GoToPageClick() {
  if (!session_) return;
  QStringList pages;
  for (int number : session_->PageNumbers()) pages << QString::number(number);
  if (pages.isEmpty()) return;
  bool ok = false;
  const QString chosen = QInputDialog::getItem(this, Text({"转到画面", "Go to page"}),
                                               Text({"画面:", "Page:"}), pages,
                                               pages.indexOf(QString::number(session_->PageNumber())),
                                               false, &ok);
  if (!ok) return;
  (void)session_->GoToPage(chosen.toInt());
  Refresh(true);
}

void TTolveskForm::RegistersClick() {
  if (registers_ == nullptr) {
    registers_ = new TRegisterFrm(desktop_, this);
    connect(registers_, &TRegisterFrm::changed, this, [this] { Refresh(false); });
  }
  registers_->SetMemory(session_ ? &session_->Memory() : nullptr, naming_);
  registers_->show();
  registers_->raise();
}

void TTolveskForm::closeEvent(QCloseEvent* event) {
  timer_.stop();
  SaveRegisters();
  StopOnline();
  QMainWindow::closeEvent(event);
}

}  // namespace dravik::sim
