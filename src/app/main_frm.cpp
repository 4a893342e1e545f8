// The main window's construction: commands, menus, tool bars, status bar, page list and
// the dialogs created once for the whole run.

#include "app/main_frm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/about_box.h"
#include "app/color_chooser.h"
#include "app/icon_set.h"
#include "app/new_page_frm.h"
#include "app/page_commands.h"
#include "app/page_attribute_frm.h"
#include "app/paste_page_frm.h"
#include "app/save_backup_frm.h"
#include "app/shell_texts.h"
#include "app/welcome_frm.h"
#include "comm/ui/download_form.h"
#include "comm/ui/firmware_frm.h"
#include "comm/ui/set_com_pro.h"
#include "compiler/ui/compile_check_frm.h"
#include "editor/ui/gri_attribute.h"
#include "editor/ui/structure_page.h"
#include "params/ui/alarm_set_frm.h"
#include "params/ui/key_led_frm.h"
#include "params/ui/system_set_for.h"
#include "platform/paths.h"

namespace dravik::app {

namespace {

// The first of `candidates` installed on this desktop, empty when none is.
QString FindProgram(std::initializer_list<const char*> candidates) {
  for (const char* candidate : candidates) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(candidate));
    if (!found.isEmpty()) return found;
  }
  return {};
}

}  // namespace

TMainFrm::TMainFrm(StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      image_(std::make_unique<model::ProjectImage>()),
      session_(*image_, SessionHooks()) {
  setObjectName(QStringLiteral("MainFrm"));
  setWindowTitle(QString::fromLatin1(kProgramCaption));
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ProgramIcon());
  setWindowIcon(QApplication::windowIcon());
  hooks_ = DesktopHooks(this);
  hooks_.showWelcome = [this] {
    welcomeFrm_->Prepare(IsChinese(), lastFileCaption_);
    welcomeFrm_->exec();
  };
  nativeStyle_ = QApplication::style()->name();
  state_.Pictures = &pictureLibrary_;


  // The work folder is shared by all instances; what a previous run left there is stale.
  // Without a trustworthy one (main() has told the user why) the work files stay unused.
  if (Result<std::filesystem::path> work = platform::WorkDir()) workDir_ = *work;
  CleanWorkFiles(false);

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("MdiArea"));
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);

  CreateActions();
  CreateMenus();
  CreateToolBars();
  CreateStatusBar();
  CreatePageList();
  CreateDialogs();
  FindDesktopTools();

  QPalette tips = QToolTip::palette();
  tips.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
  tips.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(tips);

  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMainFrm::ReceiveClipboardData);
  connect(&clockTimer_, &QTimer::timeout, this, &TMainFrm::ClockTick);
  clockTimer_.start(1000);
  connect(&autoSaveTimer_, &QTimer::timeout, this, [this] {
    if (Command("Save1")->isEnabled()) SaveProject();
  });
  welcomeTimer_.setSingleShot(true);
  connect(&welcomeTimer_, &QTimer::timeout, this, [this] {
    if (hooks_.showWelcome) hooks_.showWelcome();
  });
  commandLineTimer_.setSingleShot(true);
  connect(&commandLineTimer_, &QTimer::timeout, this, &TMainFrm::CommandLineOpen);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandStates(); });

  UpdateCommandStates();
}

model::ProjectSessionHooks TMainFrm::SessionHooks() {
  model::ProjectSessionHooks sessionHooks;
  sessionHooks.chooseSavePath = [this](const std::string& preset) -> std::optional<std::string> {
    const QString chosen = hooks_.saveFile(QString::fromStdString(kSaveDialogTitle.In(IsChinese())),
                                           QString::fromStdString(kSaveDialogFilter.In(IsChinese())),
                                           QString::fromStdString(preset));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
  };
  sessionHooks.confirmWorkParameters = [this] { return ShowWorkParameters(); };
  sessionHooks.handOverToNewInstance = [this](const std::string& command) { HandOver(command); };
  sessionHooks.attachPictureLibrary = [this] { AttachPictureLibrary(); };
  sessionHooks.showStatus = [this](const Bilingual& text) {
    ShowStatus(0, QString::fromStdString(text.In(IsChinese())));
  };
  sessionHooks.setBusy = [this](bool busy) { SetBusy(busy); };
  return sessionHooks;
}

TMainFrm::~TMainFrm() {
  // The page windows draw from the image and the picture library: they go first, before
  // the members they point into.
  QMdiArea* area = mdi_;
  mdi_ = nullptr;  // what the windows report while they go finds no area any more
  delete area;
}

QIcon TMainFrm::ProgramIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(30, 80, 140));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  painter.setBrush(QColor(120, 200, 120));
  painter.drawRect(QRectF(12, 40, 40, 8));
  QFont font = painter.font();
  font.setPixelSize(34);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 64, 42), Qt::AlignCenter, QStringLiteral("D"));
  return QIcon(pixmap);
}

QAction* TMainFrm::Command(const char* objectName) const {
  return findChild<QAction*>(QString::fromLatin1(objectName));
}

QAction* TMainFrm::AddCommand(const char* name, const QString& caption, const char* shortcut,
                              const QString& hint) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  if (shortcut != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  if (!hint.isEmpty()) action->setToolTip(hint);
  return action;
}

QAction* TMainFrm::NotBuilt(QAction* action) {
  notBuilt_.push_back(action);
  action->setEnabled(false);
  return action;
}

void TMainFrm::CreateActions() {
  auto project = [this](QAction* action) {
    projectCommands_.push_back(action);
    return action;
  };

  // File
  AddCommand("New1", QStringLiteral("新建(&N)..."), "Ctrl+N", QStringLiteral("新建工程 (Ctrl+N)"))
      ->setIcon(DravikIcon(QStringLiteral("file_new")));
  AddCommand("Open1", QStringLiteral("打开(&O)..."), "Ctrl+O", QStringLiteral("打开工程 (Ctrl+O)"))
      ->setIcon(DravikIcon(QStringLiteral("file_open")));
  project(AddCommand("Save1", QStringLiteral("保存(&S)..."), "Ctrl+S", QStringLiteral("保存工程 (Ctrl+S)")))
      ->setIcon(DravikIcon(QStringLiteral("file_save")));
  project(AddCommand("SaveAs1", QStringLiteral("另存为(&a)...")));
  project(AddCommand("Print1", QStringLiteral("打印(&P)..."), "Ctrl+P", QStringLiteral("打印当前画面 (Ctrl+P)")))
      ->setIcon(DravikIcon(QStringLiteral("print")));
  project(AddCommand("PrinterSetup1", QStringLiteral("打印机设置(&u)...")));
  project(AddCommand("ExportPicture1", QStringLiteral("输出图片(&E)..."), "Ctrl+E"));
  QAction* recent = AddCommand("LastFileOpenItem", QString::fromUtf8(kRecentItemBuiltInCaption));
  recent->setProperty(kRuntimeTextProperty, true);
  AddCommand("OpenExample1", QStringLiteral("开例子库(&I)"));
  AddCommand("Exit1", QStringLiteral("退出(&X)"));

  // Edit
  NotBuilt(project(AddCommand("Cut1", QStringLiteral("剪切(&T)"), "Ctrl+X", QStringLiteral("剪切 (Ctrl+X)"))))
      ->setIcon(DravikIcon(QStringLiteral("cut")));
  NotBuilt(project(AddCommand("Copy1", QStringLiteral("复制(&C)"), "Ctrl+C", QStringLiteral("复制 (Ctrl+C)"))))
      ->setIcon(DravikIcon(QStringLiteral("copy")));
  NotBuilt(project(AddCommand("Paste1", QStringLiteral("粘贴(&P)"), "Ctrl+V", QStringLiteral("粘贴 (Ctrl+V)"))))
      ->setIcon(DravikIcon(QStringLiteral("paste")));
  NotBuilt(project(AddCommand("MultiCopy1", QStringLiteral("多重复制(&I)..."), nullptr, QStringLiteral("多重复制"))))
      ->setIcon(DravikIcon(QStringLiteral("multiple_copy")));
  NotBuilt(project(AddCommand("Undo1", QStringLiteral("撤消(&U)"), "Ctrl+Z", QStringLiteral("撤消 (Ctrl+Z)"))))
      ->setIcon(DravikIcon(QStringLiteral("undo")));
  NotBuilt(project(AddCommand("Redo1", QStringLiteral("重复(&R)"), "Ctrl+Y", QStringLiteral("重复 (Ctrl+Y)"))))
      ->setIcon(DravikIcon(QStringLiteral("redo")));
  project(AddCommand("CopyPage1", QStringLiteral("复制当前画面(&M)"), "Shift+C", QStringLiteral("复制当前画面")))
      ->setIcon(DravikIcon(QStringLiteral("page_copy")));
  project(AddCommand("PastePage1", QStringLiteral("粘贴新画面(&A)"), "Shift+V", QStringLiteral("粘贴新画面")))
      ->setIcon(DravikIcon(QStringLiteral("page_paste")));
  NotBuilt(project(AddCommand("Lock1", QStringLiteral("锁定(&L)"), "Shift+Ctrl+Z", QStringLiteral("锁定"))))
      ->setIcon(DravikIcon(QStringLiteral("lock")));
  NotBuilt(project(AddCommand("Unlock1", QStringLiteral("解锁(&U)"), "Shift+Ctrl+Y", QStringLiteral("解锁"))))
      ->setIcon(DravikIcon(QStringLiteral("unlock")));

  // View
  NotBuilt(project(AddCommand("DataPreview1", QStringLiteral("预览画面使用数据(&U)"), "F2",
                              QStringLiteral("预览画面使用数据 F2"))))
      ->setIcon(DravikIcon(QStringLiteral("used_data_preview")));
  for (const char* name : {"StandardToolBar1", "DesignToolBar1", "EditToolBar1", "StatusBar1"}) {
    QAction* action = project(AddCommand(name, QString()));
    action->setCheckable(true);
    action->setChecked(true);
  }
  Command("StandardToolBar1")->setText(QStringLiteral("标准工具栏(&T)"));
  Command("DesignToolBar1")->setText(QStringLiteral("设计部件(&D)"));
  Command("EditToolBar1")->setText(QStringLiteral("编辑工具(&E)"));
  Command("StatusBar1")->setText(QStringLiteral("状态栏(&S)"));

  // Tools
  project(AddCommand("NewPage1", QStringLiteral("新画面(&N)..."), nullptr, QStringLiteral("创建新画面")))
      ->setIcon(DravikIcon(QStringLiteral("page_new")));
  project(AddCommand("PageAttribute1", QStringLiteral("修改画面属性(&A)..."), nullptr, QStringLiteral("修改当前画面属性")))
      ->setIcon(DravikIcon(QStringLiteral("page_attributes")));
  project(AddCommand("DeletePage1", QStringLiteral("删除画面(&D)..."), nullptr, QStringLiteral("删除当前画面")))
      ->setIcon(DravikIcon(QStringLiteral("page_delete")));
  NotBuilt(project(AddCommand("RegisterSearch1", QStringLiteral("寄存器查找(&L)"), "F3", QStringLiteral("寄存器查找 F3"))))
      ->setIcon(DravikIcon(QStringLiteral("register_search")));
  NotBuilt(project(AddCommand("Statistics1", QStringLiteral("元件统计(&W)..."), "F4", QStringLiteral("元件统计 F4"))))
      ->setIcon(DravikIcon(QStringLiteral("statistics")));

  // Draw and element kinds: placement on the page arrives with the editing part.
  struct Kind {
    const char* name;
    const char* caption;
    const char* icon;
  };
  const Kind draw[] = {{"Rectangle1", "长方形(&R)", "draw_rectangle"},
                       {"Ellipse1", "椭圆(&E)", "draw_ellipse"},
                       {"Scale1", "刻度(&G)", "draw_scale"},
                       {"Line1", "线(&L)", "draw_line"}};
  for (const Kind& k : draw) {
    NotBuilt(project(AddCommand(k.name, QString::fromUtf8(k.caption), nullptr,
                                QString::fromUtf8(k.caption).remove(QRegularExpression(QStringLiteral("\\(&.\\)"))))))
        ->setIcon(DravikIcon(QString::fromLatin1(k.icon)));
  }
  const Kind kinds[] = {{"Text1", "文本(&T)", "element_text"},
                        {"Register1", "寄存器(&R)", "element_register"},
                        {"Lamp1", "指示灯(&L)", "element_lamp"},
                        {"BitSwitch1", "位操作开关(&B)", "element_bit_switch"},
                        {"Trend1", "趋势图(&Q)", "element_trend"},
                        {"Bar1", "棒状图(&S)", "element_bar"},
                        {"Picture1", "图片(&P)", "element_picture"},
                        {"DynText1", "动态文本(&D)", "element_dynamic_text"},
                        {"FunctionKey1", "功能键(&F)", "element_function_key"},
                        {"AsciiChinese1", "ASCII中文(&A)", "element_ascii_chinese"},
                        {"Date1", "日期(&D)", "element_date"},
                        {"Time1", "时间(&T)", "element_time"}};
  for (const Kind& k : kinds) {
    NotBuilt(project(AddCommand(k.name, QString::fromUtf8(k.caption), nullptr,
                                QString::fromUtf8(k.caption).remove(QRegularExpression(QStringLiteral("\\(&.\\)"))))))
        ->setIcon(DravikIcon(QString::fromLatin1(k.icon)));
  }

  // Apply
  project(AddCommand("PortSettings1", QStringLiteral("下载端口设置(&S)"), "F5", QStringLiteral("下载端口设置 F5")))
      ->setIcon(DravikIcon(QStringLiteral("port_settings")));
  project(AddCommand("Download1", QStringLiteral("下载(&U)"), "F6", QStringLiteral("下载 F6")))
      ->setIcon(DravikIcon(QStringLiteral("download")));
  project(AddCommand("WorkParameters1", QStringLiteral("设定工作参数(&W)..."), "F7", QStringLiteral("设置QX系列 F7")))
      ->setIcon(DravikIcon(QStringLiteral("work_parameters")));
  NotBuilt(project(AddCommand("BatchModify1", QStringLiteral("批量修改(&P)..."), "F8", QStringLiteral("批量修改 F8"))))
      ->setIcon(DravikIcon(QStringLiteral("batch_modify")));
  project(AddCommand("KeyboardParameters1", QStringLiteral("设定下键盘参数(&D)"), nullptr, QStringLiteral("设定下键盘参数")))
      ->setIcon(DravikIcon(QStringLiteral("keyboard_led")));
  project(AddCommand("SaveBackup1", QStringLiteral("保存和备份(&B)..."), nullptr, QStringLiteral("保存和备份")))
      ->setIcon(DravikIcon(QStringLiteral("save_backup")));
  NotBuilt(project(AddCommand("ClockMacro1", QStringLiteral("Clock 宏(&M)"), "F11", QStringLiteral("Clock 宏 F11"))))
      ->setIcon(DravikIcon(QStringLiteral("macro")));
  project(AddCommand("AlarmSettings1", QStringLiteral("报警设置(&A)")))
      ->setIcon(DravikIcon(QStringLiteral("alarm")));
  project(AddCommand("UpdatePackage1", QStringLiteral("客户更新包提取(&C)"), "F12"))
      ->setIcon(DravikIcon(QStringLiteral("update_package")));
  project(AddCommand("Firmware1", QStringLiteral("固件升级(&F)")))
      ->setIcon(DravikIcon(QStringLiteral("firmware")));

  // Debug
  project(AddCommand("OfflineSim1", QStringLiteral("离线模拟(&S)..."), "F9", QStringLiteral("离线模拟 F9")))
      ->setIcon(DravikIcon(QStringLiteral("simulate_offline")));
  project(AddCommand("OnlineSim1", QStringLiteral("在线模拟(&O)..."), "F10", QStringLiteral("在线模拟 F10")))
      ->setIcon(DravikIcon(QStringLiteral("simulate_online")));

  // Personalisation
  QAction* grid = project(AddCommand("N2", QStringLiteral("显示格栅(&S)"), nullptr, QStringLiteral("显示格栅")));
  grid->setCheckable(true);
  grid->setChecked(true);
  grid->setIcon(DravikToggleIcon(QStringLiteral("grid"), QStringLiteral("grid_off")));
  project(AddCommand("GridAttribute1", QStringLiteral("格栅属性(&G)")));
  QAction* font = project(AddCommand("N23", QStringLiteral("字体优化(&F)")));
  font->setCheckable(true);
  auto* styles = new QActionGroup(this);
  int number = 1;
  for (const char* name : {"Style1", "Style2", "Style3"}) {
    QAction* style = project(AddCommand(name, QString()));
    style->setCheckable(true);
    style->setChecked(number == 1);
    style->setData(number++);
    styles->addAction(style);
  }
  Command("Style1")->setText(QStringLiteral("风格一(&1)"));
  Command("Style2")->setText(QStringLiteral("风格二(&2)"));
  Command("Style3")->setText(QStringLiteral("风格三(&3)"));
  auto* languages = new QActionGroup(this);
  QAction* chinese = project(AddCommand("Chinese1", QStringLiteral("Chinese")));
  QAction* english = project(AddCommand("English1", QStringLiteral("English")));
  for (QAction* language : {chinese, english}) {
    language->setCheckable(true);
    languages->addAction(language);
  }
  chinese->setChecked(true);

  // Window
  project(AddCommand("Cascade1", QStringLiteral("层叠(&C)"), "Shift+Return", QStringLiteral("层叠")))
      ->setIcon(DravikIcon(QStringLiteral("window_cascade")));
  project(AddCommand("TileH1", QStringLiteral("横向平铺(&H)"), "Ctrl+Return", QStringLiteral("横向平铺")))
      ->setIcon(DravikIcon(QStringLiteral("window_tile_horizontal")));
  project(AddCommand("TileV1", QStringLiteral("纵向平铺(&V)"), nullptr, QStringLiteral("纵向平铺")))
      ->setIcon(DravikIcon(QStringLiteral("window_tile_vertical")));
  project(AddCommand("CloseAll1", QStringLiteral("全部关闭(&L)")));

  // Help
  AddCommand("HelpTopics1", QStringLiteral("帮助主题(&H)"), "F1", QStringLiteral("帮助 F1"))
      ->setIcon(DravikIcon(QStringLiteral("help")));
  AddCommand("About1", QStringLiteral("版本信息 (&A)..."));

  // Tool-bar only
  AddCommand("Calculator1", QStringLiteral("计算器"), nullptr, QStringLiteral("计算器"))
      ->setIcon(DravikIcon(QStringLiteral("calculator")));
  AddCommand("Paint1", QStringLiteral("画图"), nullptr, QStringLiteral("画图"))
      ->setIcon(DravikIcon(QStringLiteral("paint")));
  NotBuilt(project(AddCommand("SendToBack1", QStringLiteral("移至底层"), nullptr, QStringLiteral("移至底层"))))
      ->setIcon(DravikIcon(QStringLiteral("send_to_back")));
  const char* alignHints[] = {"水平左对齐", "水平居中对齐", "水平右对齐", "垂直顶对齐", "垂直居中对齐",
                              "垂直底对齐", "使等宽", "使等高", "使等宽高"};
  const char* alignIcons[] = {"align_left", "align_center_horizontal", "align_right",
                              "align_top",  "align_center_vertical",   "align_bottom",
                              "same_width", "same_height",             "same_size"};
  for (int mode = 1; mode <= 9; ++mode) {
    const std::string name = "AlignButton" + std::to_string(mode);
    QAction* align = NotBuilt(project(AddCommand(name.c_str(), QString::fromUtf8(alignHints[mode - 1]),
                                                 nullptr, QString::fromUtf8(alignHints[mode - 1]))));
    align->setIcon(DravikIcon(QString::fromLatin1(alignIcons[mode - 1])));
    align->setData(mode);
  }
  auto* preview = new QActionGroup(this);
  QAction* off = project(AddCommand("Bit_OFF", QStringLiteral("OFF"), nullptr, QStringLiteral("OFF 状态预览")));
  QAction* on = project(AddCommand("Bit_ON", QStringLiteral("ON"), nullptr, QStringLiteral("ON 状态预览")));
  for (QAction* a : {off, on}) {
    a->setCheckable(true);
    preview->addAction(a);
  }
  off->setChecked(true);

  // Wiring
  connect(Command("New1"), &QAction::triggered, this, &TMainFrm::NewProject);
  connect(Command("Open1"), &QAction::triggered, this, &TMainFrm::OpenProject);
  connect(Command("Save1"), &QAction::triggered, this, &TMainFrm::SaveProject);
  connect(Command("SaveAs1"), &QAction::triggered, this, &TMainFrm::SaveProjectAs);
  connect(Command("Print1"), &QAction::triggered, this, [this] {
    if (editor::TStructureP* window = ActivePageWindow()) editor::PrintPageWindow(*window, this);
  });
  connect(Command("PrinterSetup1"), &QAction::triggered, this, [this] {
    QPrintDialog dialog(&printer_, this);
    ExecDialog(&dialog);
  });
  connect(Command("ExportPicture1"), &QAction::triggered, this, [this] {
    if (editor::TStructureP* window = ActivePageWindow()) {
      window->Deselect();
      editor::ExportPagePicture(*window, this);
    }
  });
  connect(recent, &QAction::triggered, this, &TMainFrm::OpenRecent);
  connect(Command("OpenExample1"), &QAction::triggered, this, &TMainFrm::OpenExample);
  connect(Command("Exit1"), &QAction::triggered, this, &QWidget::close);
  connect(Command("CopyPage1"), &QAction::triggered, this, &TMainFrm::CopyPage);
  connect(Command("PastePage1"), &QAction::triggered, this, &TMainFrm::PastePageAs);
  connect(Command("NewPage1"), &QAction::triggered, this, &TMainFrm::NewPage);
  connect(Command("PageAttribute1"), &QAction::triggered, this, &TMainFrm::EditPageAttributes);
  connect(Command("DeletePage1"), &QAction::triggered, this, &TMainFrm::DeletePage);
  connect(Command("SaveBackup1"), &QAction::triggered, this, &TMainFrm::ShowSaveBackup);
  connect(Command("WorkParameters1"), &QAction::triggered, this, [this] { ShowWorkParameters(); });
  connect(Command("AlarmSettings1"), &QAction::triggered, this, &TMainFrm::ShowAlarmSettings);
  connect(Command("KeyboardParameters1"), &QAction::triggered, this, &TMainFrm::ShowKeyLedParameters);
  connect(Command("PortSettings1"), &QAction::triggered, this, &TMainFrm::PortSettings);
  connect(Command("Download1"), &QAction::triggered, this, &TMainFrm::Download);
  connect(Command("Firmware1"), &QAction::triggered, this, &TMainFrm::Firmware);
  connect(Command("OfflineSim1"), &QAction::triggered, this, &TMainFrm::Simulate);
  connect(Command("OnlineSim1"), &QAction::triggered, this, &TMainFrm::Simulate);
  connect(Command("UpdatePackage1"), &QAction::triggered, this, &TMainFrm::BuildUpdatePackage);
  connect(grid, &QAction::triggered, this, &TMainFrm::ToggleShowGrid);
  connect(Command("GridAttribute1"), &QAction::triggered, this, [this] {
    if (griAttribute_->ShowFor(state_)) {
      if (editor::TStructureP* window = ActivePageWindow()) window->StructureGridding();
    }
  });
  connect(font, &QAction::triggered, this, &TMainFrm::ToggleFontOptimisation);
  connect(styles, &QActionGroup::triggered, this, [this](QAction* a) { SetVisualStyle(a->data().toInt()); });
  connect(chinese, &QAction::triggered, this, [this] { SetLanguage(true); });
  connect(english, &QAction::triggered, this, [this] { SetLanguage(false); });
  connect(off, &QAction::triggered, this, [this] { SetBitPreview(false); });
  connect(on, &QAction::triggered, this, [this] { SetBitPreview(true); });
  connect(Command("Cascade1"), &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
  connect(Command("TileH1"), &QAction::triggered, this, [this] { TileWindows(Qt::Horizontal); });
  connect(Command("TileV1"), &QAction::triggered, this, [this] { TileWindows(Qt::Vertical); });
  connect(Command("CloseAll1"), &QAction::triggered, this, [this] { editor::CloseAllPageWindows(*mdi_); });
  connect(Command("HelpTopics1"), &QAction::triggered, this, &TMainFrm::OpenHelp);
  connect(Command("About1"), &QAction::triggered, this, [this] { ExecDialog(aboutBox_); });
  connect(Command("Calculator1"), &QAction::triggered, this, [this] {
    if (hooks_.startProgram) hooks_.startProgram(calculatorProgram_, {});
  });
  connect(Command("Paint1"), &QAction::triggered, this, [this] {
    if (hooks_.startProgram) hooks_.startProgram(paintProgram_, {});
  });
}

void TMainFrm::CreateMenus() {
  auto menu = [this](const char* name, const QString& title, bool forProject) {
    QMenu* m = menuBar()->addMenu(title);
    m->setObjectName(QString::fromLatin1(name));
    if (forProject) {
      projectMenus_.push_back(m);
      m->menuAction()->setVisible(false);
    }
    return m;
  };
  auto add = [this](QMenu* m, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name == nullptr) m->addSeparator();
      else m->addAction(Command(name));
    }
  };

  QMenu* file = menu("File1", QStringLiteral("文件(&F)"), false);
  add(file, {"New1", "Open1", "Save1", "SaveAs1", nullptr, "Print1", "PrinterSetup1", "ExportPicture1",
             nullptr, "LastFileOpenItem", "OpenExample1", nullptr, "Exit1"});
  QMenu* edit = menu("Edit1", QStringLiteral("编辑(&E)"), true);
  add(edit, {"Cut1", "Copy1", "Paste1", "MultiCopy1", nullptr, "Undo1", "Redo1", nullptr, "CopyPage1",
             "PastePage1", nullptr, "Lock1", "Unlock1"});
  QMenu* view = menu("View1", QStringLiteral("视图(&V)"), true);
  add(view, {"DataPreview1", nullptr, "StandardToolBar1", "DesignToolBar1", "EditToolBar1", "StatusBar1"});
  QMenu* tools = menu("Tools1", QStringLiteral("工具(&T)"), true);
  add(tools, {"NewPage1", "PageAttribute1", "DeletePage1", nullptr, "RegisterSearch1", "Statistics1"});
  QMenu* draw = menu("Draw1", QStringLiteral("绘图(&D)"), true);
  add(draw, {"Rectangle1", "Ellipse1", "Scale1", "Line1"});
  QMenu* element = menu("Element1", QStringLiteral("元件(&O)"), true);
  add(element, {"Text1", "Register1", "Lamp1", "BitSwitch1", "Trend1", "Bar1", "Picture1", "DynText1",
                "FunctionKey1", "AsciiChinese1", "Date1", "Time1"});
  QMenu* apply = menu("Apply1", QStringLiteral("应用(&A)"), true);
  add(apply, {"PortSettings1", "Download1", nullptr, "WorkParameters1", "BatchModify1", "KeyboardParameters1",
              "SaveBackup1", "ClockMacro1", "AlarmSettings1", nullptr, "UpdatePackage1", "Firmware1"});
  QMenu* debug = menu("Debug1", QStringLiteral("调试(&L)"), true);
  add(debug, {"OfflineSim1", "OnlineSim1"});
  QMenu* personal = menu("Personal1", QStringLiteral("个性化(&I)"), true);
  add(personal, {"N2", "GridAttribute1", "N23", nullptr});
  QMenu* style = personal->addMenu(QStringLiteral("界面风格"));
  style->setObjectName(QStringLiteral("StyleMenu"));
  add(style, {"Style1", "Style2", "Style3"});
  QMenu* language = personal->addMenu(QStringLiteral("语言选择(&L)"));
  language->setObjectName(QStringLiteral("LanguageMenu"));
  add(language, {"Chinese1", "English1"});
  QMenu* window = menu("Window1", QStringLiteral("窗口(&W)"), true);
  add(window, {"Cascade1", "TileH1", "TileV1", nullptr, "CloseAll1"});
  QMenu* help = menu("Help1", QStringLiteral("帮助(&H)"), false);
  add(help, {"HelpTopics1", nullptr, "About1"});
}

void TMainFrm::CreateToolBars() {
  auto bar = [this](const char* name, const QString& title) {
    QToolBar* b = addToolBar(title);
    b->setObjectName(QString::fromLatin1(name));
    b->setIconSize(QSize(24, 24));
    return b;
  };
  auto add = [this](QToolBar* b, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name == nullptr) b->addSeparator();
      else b->addAction(Command(name));
    }
  };
  standardBar_ = bar("StandardToolBar", QStringLiteral("标准工具栏"));
  add(standardBar_, {"New1", "Open1", "Print1", nullptr, "Cut1", "Copy1", "Paste1", nullptr, "NewPage1",
                     "PageAttribute1", "CopyPage1", "PastePage1", "DeletePage1", nullptr, "Save1", "Undo1",
                     "Redo1", nullptr, "Statistics1", "WorkParameters1", "BatchModify1", "KeyboardParameters1",
                     "SaveBackup1", "PortSettings1", "Download1", nullptr, "N2", "DataPreview1", nullptr,
                     "Cascade1", "TileH1", "TileV1", nullptr, "Calculator1", "Paint1", "HelpTopics1",
                     "ClockMacro1", nullptr, "Bit_OFF", "Bit_ON"});
  addToolBarBreak();
  editBar_ = bar("EditToolBar", QStringLiteral("编辑工具"));
  add(editBar_, {"AlignButton1", "AlignButton2", "AlignButton3", nullptr, "AlignButton4", "AlignButton5",
                 "AlignButton6", nullptr, "AlignButton7", "AlignButton8", "AlignButton9", nullptr, "Lock1",
                 "Unlock1", "SendToBack1", "MultiCopy1"});
  designBar_ = bar("DesignToolBar", QStringLiteral("设计部件"));
  add(designBar_, {"Text1", "Register1", "Lamp1", "BitSwitch1", "Trend1", "Bar1", "Picture1", "DynText1",
                   "FunctionKey1", "AsciiChinese1", "Date1", "Time1", nullptr, "Rectangle1", "Ellipse1",
                   "Scale1", "Line1"});
  simulationBar_ = bar("SimulationToolBar", QStringLiteral("模拟"));
  add(simulationBar_, {"OfflineSim1", "OnlineSim1"});

  const std::pair<const char*, QToolBar*> toggles[] = {
      {"StandardToolBar1", standardBar_}, {"DesignToolBar1", designBar_}, {"EditToolBar1", editBar_}};
  for (const auto& [name, toolBar] : toggles) {
    connect(Command(name), &QAction::triggered, toolBar, &QToolBar::setVisible);
  }
  connect(Command("StatusBar1"), &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });
}

void TMainFrm::CreateStatusBar() {
  // Command, panel model, PLC protocol, mouse position, clock, and the download port
  // (shown beside the protocol rather than in its place). Each panel is at least its
  // usual width and grows to show its whole text.
  static constexpr int kWidths[kStatusPanelCount] = {260, 200, 260, 118, 50, 70};
  static constexpr int kVisualOrder[kStatusPanelCount] = {0, 1, 2, kStatusPortPanel, 3, 4};
  for (const int i : kVisualOrder) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setProperty(kRuntimeTextProperty, true);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMinimumWidth(kWidths[i]);
    statusBar()->addWidget(panel, i == kStatusClockPanel ? 1 : 0);
    statusPanels_[i] = panel;
  }
}

void TMainFrm::CreatePageList() {
  pagePanel_ = new QDockWidget(this);
  pagePanel_->setObjectName(QStringLiteral("PageListPanel"));
  pagePanel_->setWindowTitle(QStringLiteral("画面"));
  pagePanel_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  pagePanel_->setTitleBarWidget(new QWidget(pagePanel_));
  pageTabs_ = new QTabWidget(pagePanel_);
  pageTabs_->setObjectName(QStringLiteral("PageControl"));
  pageSheet_ = new QWidget(pageTabs_);
  pageSheet_->setObjectName(QStringLiteral("PageSheet"));
  pageSheet_->setProperty(kRuntimeTextProperty, true);
  auto* layout = new QVBoxLayout(pageSheet_);
  layout->setContentsMargins(2, 2, 2, 2);
  tree_ = new QTreeWidget(pageSheet_);
  tree_->setObjectName(QStringLiteral("PageTree"));
  tree_->setProperty(kRuntimeTextProperty, true);
  tree_->setHeaderHidden(true);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->setMinimumWidth(180);
  layout->addWidget(tree_);
  auto* buttons = new QHBoxLayout;
  newPageButton_ = new QPushButton(QStringLiteral("新 建(&N)"), pageSheet_);
  newPageButton_->setObjectName(QStringLiteral("NewPageButton"));
  deletePageButton_ = new QPushButton(QStringLiteral("删 除(&C)"), pageSheet_);
  deletePageButton_->setObjectName(QStringLiteral("DeletePageButton"));
  buttons->addWidget(newPageButton_);
  buttons->addWidget(deletePageButton_);
  layout->addLayout(buttons);
  pageTabs_->addTab(pageSheet_, QString::fromStdString(PageTabCaption(0, true)));
  pagePanel_->setWidget(pageTabs_);
  addDockWidget(Qt::LeftDockWidgetArea, pagePanel_);
  pagePanel_->hide();

  pageGroupPopup_ = new QMenu(this);
  pageGroupPopup_->setObjectName(QStringLiteral("PageGroupPopup"));
  pagePopup_ = new QMenu(this);
  pagePopup_->setObjectName(QStringLiteral("PagePopup"));
  auto popup = [this](QMenu* m, const char* name, const QString& caption) {
    QAction* action = m->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  connect(popup(pageGroupPopup_, "PopupNew", QStringLiteral("新建(&N)")), &QAction::triggered, this, &TMainFrm::NewPage);
  QAction* paste = popup(pageGroupPopup_, "PopupPaste", QStringLiteral("粘贴(&P)"));
  connect(paste, &QAction::triggered, this, &TMainFrm::PastePageAs);
  connect(popup(pagePopup_, "PopupCut", QStringLiteral("剪切")), &QAction::triggered, this, &TMainFrm::CutPage);
  connect(popup(pagePopup_, "PopupCopy", QStringLiteral("复制")), &QAction::triggered, this, &TMainFrm::CopyPage);
  connect(popup(pagePopup_, "PopupDelete", QStringLiteral("删除")), &QAction::triggered, this, &TMainFrm::DeletePage);
  connect(popup(pagePopup_, "PopupAttributes", QStringLiteral("属性(&A)")), &QAction::triggered, this,
          &TMainFrm::EditPageAttributes);

  connect(newPageButton_, &QPushButton::clicked, this, &TMainFrm::NewPage);
  connect(deletePageButton_, &QPushButton::clicked, this, &TMainFrm::DeletePage);
  connect(tree_, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* item, int) {
    TreeNodePressed(item, QGuiApplication::mouseButtons() & Qt::RightButton);
  });
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QTreeWidgetItem* item = tree_->itemAt(at);
    if (item == nullptr) return;
    const int picture = item->data(0, Qt::UserRole).toInt();
    QMenu* menu = picture == kPicturePageGroup ? pageGroupPopup_
                  : picture == kPicturePage     ? pagePopup_
                                                : nullptr;
    if (menu != nullptr) {
      UpdateCommandStates();
      menu->popup(tree_->viewport()->mapToGlobal(at));
    }
  });
}

void TMainFrm::CreateDialogs() {
  newPageFrm_ = new TNewPageFrm(this);
  newPageFrm_->acceptNumber = [this](int number) {
    if (!image_->IsPageUsed(number)) return true;
    Warn(PageExistsMessage(number));
    return false;
  };
  pastePageFrm_ = new TPastePageFrm(this);
  pastePageFrm_->acceptNumber = newPageFrm_->acceptNumber;
  colorChooser_ = new TColorChooser(this);
  pageAttributeFrm_ = new TPageAttributeFrm(this);
  pageAttributeFrm_->warn = [this](const Bilingual& message) { Warn(message); };
  pageAttributeFrm_->modified = [this] { MarkModified(); };
  pageAttributeFrm_->chooseColour = [this](std::uint32_t current, QWidget* anchor) {
    return colorChooser_->Choose(current, anchor);
  };
  saveBackupFrm_ = new TSaveBackupFrm(this);
  saveBackupFrm_->warn = [this](const Bilingual& message) { Warn(message); };
  welcomeFrm_ = new TWelcomeFrm(this);
  // Queued, like the window messages the form posts: the form closes first.
  connect(welcomeFrm_, &TWelcomeFrm::NewRequested, this, &TMainFrm::NewProject, Qt::QueuedConnection);
  connect(welcomeFrm_, &TWelcomeFrm::LastFileRequested, this, &TMainFrm::OpenRecent, Qt::QueuedConnection);
  connect(welcomeFrm_, &TWelcomeFrm::OpenRequested, this, &TMainFrm::OpenProject, Qt::QueuedConnection);
  connect(welcomeFrm_, &TWelcomeFrm::ExamplesRequested, this, [this] {
    session_.ProjectFileName.clear();
    openPreset_ = QString::fromStdString((platform::ProgramDir() / "examples" / kExampleProjectName).string());
    QMetaObject::invokeMethod(this, &TMainFrm::OpenProject, Qt::QueuedConnection);
  });
  aboutBox_ = new TAboutBox(this);
  griAttribute_ = new editor::TGriAttribute(this);
  griAttribute_->SetColourChooser([this](std::uint32_t current, QWidget* anchor) {
    return colorChooser_->Choose(current, anchor);
  });

  systemSetFor_ = params::WorkParametersForm(this);
  alarmSetFrm_ = params::AlarmSettingsForm(this);
  keyLedFrm_ = params::KeyLedForm(this);
  setComPro_ = new comm::TsetCOMpro(this);
  downloadForm_ = new comm::TDownloadForm(this);
  firmwareFrm_ = new comm::TFirmwareFrm(this);
  compileCheckFrm_ = new compiler::TCompileCheckFrm(this);
  compileCheckFrm_->setProperty(kOwnFormProperty, true);
  addDockWidget(Qt::BottomDockWidgetArea, compileCheckFrm_);
  compileCheckFrm_->hide();
  connect(compileCheckFrm_, &compiler::TCompileCheckFrm::pageRequested, this, &TMainFrm::OpenPageWindow);
}

QList<QObject*> TMainFrm::Forms() const {
  return {const_cast<TMainFrm*>(this), newPageFrm_, pageAttributeFrm_, pastePageFrm_, saveBackupFrm_,
          welcomeFrm_, aboutBox_, colorChooser_, griAttribute_, systemSetFor_, alarmSetFrm_,
          keyLedFrm_, compileCheckFrm_, setComPro_, downloadForm_, firmwareFrm_};
}

void TMainFrm::FindDesktopTools() {
  calculatorProgram_ = FindProgram({"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk",
                                    "qalculate-qt", "xcalc"});
  paintProgram_ = FindProgram({"kolourpaint", "pinta", "drawing", "mtpaint", "mypaint", "gimp"});
  // Buttons for programs this desktop lacks would do nothing: they are not shown.
  Command("Calculator1")->setVisible(!calculatorProgram_.isEmpty());
  Command("Paint1")->setVisible(!paintProgram_.isEmpty());
}

// ---------------------------------------------------------------------------------------
// Small services

bool TMainFrm::IsChinese() const { return Command("Chinese1")->isChecked(); }

void TMainFrm::ShowStatus(int panel, const QString& text) {
  if (panel < 0 || panel >= kStatusPanelCount) return;
  statusPanels_[panel]->setText(text);
  // Where the window is too narrow for the whole text, the tool tip still holds it.
  statusPanels_[panel]->setToolTip(text.trimmed());
}

QString TMainFrm::StatusText(int panel) const {
  return panel >= 0 && panel < kStatusPanelCount ? statusPanels_[panel]->text() : QString();
}

void TMainFrm::Warn(const Bilingual& message) {
  if (hooks_.message) hooks_.message(BoxText(message.In(IsChinese())), QMessageBox::Warning);
}

void TMainFrm::Inform(const Bilingual& message) {
  if (hooks_.message) hooks_.message(BoxText(message.In(IsChinese())), QMessageBox::Information);
}

void TMainFrm::NotAvailable() {
  ShowStatus(0, QString::fromStdString(kNotAvailableYet.In(IsChinese())));
}

int TMainFrm::ExecDialog(QDialog* dialog) {
  if (hooks_.execDialog) return hooks_.execDialog(dialog);
  return dialog->exec();
}

void TMainFrm::SetBusy(bool busy) {
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void TMainFrm::ToolbarInitialize() {
  pagePanel_->show();
  for (QMenu* m : projectMenus_) m->menuAction()->setVisible(true);
  session_.ProjectOpen = true;
  UpdateCommandStates();
}

void TMainFrm::MarkModified() {
  session_.Modified = true;
  UpdateCommandStates();
}

void TMainFrm::UpdateCommandStates() {
  const bool open = session_.ProjectOpen;
  for (QAction* action : projectCommands_) action->setEnabled(open);
  for (QAction* action : notBuilt_) action->setEnabled(false);
  Command("Save1")->setEnabled(open && session_.Modified);
  const bool window = ActivePageWindow() != nullptr;
  Command("CopyPage1")->setEnabled(open && window);
  const bool pastePage = open && ClipboardHoldsPage();
  Command("PastePage1")->setEnabled(pastePage);
  if (QAction* popupPaste = findChild<QAction*>(QStringLiteral("PopupPaste"))) popupPaste->setEnabled(pastePage);
  if (QAction* popupCopy = findChild<QAction*>(QStringLiteral("PopupCopy"))) popupCopy->setEnabled(open && window);
  if (QAction* popupCut = findChild<QAction*>(QStringLiteral("PopupCut"))) popupCut->setEnabled(open && window);
  const QString recent = Command("LastFileOpenItem")->text();
  Command("LastFileOpenItem")->setEnabled(!commandLinePath_.empty() || HasRecentFile(recent.toStdString()));
}

void TMainFrm::TileWindows(Qt::Orientation orientation) {
  // Page windows keep the size of their page, so tiling lines them up without resizing:
  // one above the other (horizontal) or side by side (vertical).
  int at = 0;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    w->showNormal();
    if (orientation == Qt::Horizontal) {
      w->move(0, at);
      at += w->height();
    } else {
      w->move(at, 0);
      at += w->width();
    }
  }
}

}  // namespace dravik::app
