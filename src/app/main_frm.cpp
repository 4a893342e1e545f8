// The main window's construction: commands, menus, tool bars, status bar, page list and
// the dialogs created once for the whole run.

#include "app/main_frm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
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
#include "elements/ui/property_dialogs.h"
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
#include "elements/element_kind.h"
#include "macro/ui/macro_edit_frm.h"
#include "params/ui/alarm_set_frm.h"
#include "params/ui/key_led_frm.h"
#include "params/ui/system_set_for.h"
#include "tools/ui/batch_perfect_frm.h"
#include "tools/ui/count_stat_frm.h"
#include "tools/ui/for_use_dpreview.h"
#include "tools/ui/lookup_frm.h"
#include "tools/ui/mulriple_copy_frm.h"
#include "pictures/ui/bmp_extend_frm.h"
#include "pictures/ui/meta_file_frm.h"
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
  hooks_.desktop.isChinese = [this] { return IsChinese(); };
  hooks_.desktop.showStatus = [this](int panel, const QString& text) { ShowStatus(panel, text); };
  hooks_.desktop.statusText = [this](int panel) { return StatusText(panel); };
  hooks_.showWelcome = [this] {
    TWelcomeFrm* welcome = Dialog<TWelcomeFrm>();
    welcome->Prepare(IsChinese(), lastFileCaption_);
    welcome->exec();
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
    const QString chosen = hooks_.desktop.SaveFile(this, QString::fromStdString(kSaveDialogTitle.In(IsChinese())),
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

namespace {

// One row of the command table: an action of the main window with its object name (what
// the language files address), caption, shortcut, tool tip and icon, whether it waits
// for an open project or for a part this version lacks, and what it runs.
struct CommandRow {
  enum Group { kNoGroup, kStyles, kLanguages, kBitPreview, kGroupCount };

  CommandRow(const char* objectName, const char* caption) : name(objectName), text(caption) {}
  CommandRow& Key(const char* sequence) { shortcut = sequence; return *this; }
  CommandRow& Hint(const char* tip) { hint = tip; return *this; }
  CommandRow& Icon(const char* iconName) { icon = iconName; return *this; }
  // A tool tip that repeats the caption without its accelerator.
  CommandRow& CaptionHint() { captionHint = true; return *this; }
  CommandRow& Project() { project = true; return *this; }
  // Waits for the editing part: disabled whatever the project.
  CommandRow& NotBuilt() { notBuilt = true; project = true; return *this; }
  CommandRow& Check(bool on) { checkable = true; checked = on; return *this; }
  CommandRow& In(Group exclusive) { group = exclusive; return *this; }
  CommandRow& Data(int value) { data = value; return *this; }
  CommandRow& Runs(std::function<void()> handler) { run = std::move(handler); return *this; }

  const char* name;
  const char* text;
  const char* shortcut = nullptr;
  const char* hint = nullptr;
  const char* icon = nullptr;
  bool captionHint = false;
  bool project = false;
  bool notBuilt = false;
  bool checkable = false;
  bool checked = false;
  Group group = kNoGroup;
  int data = 0;
  std::function<void()> run;
};

QString ToolTipOf(const CommandRow& row) {
  if (row.captionHint) {
    return QString::fromUtf8(row.text).remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
  }
  return row.hint != nullptr ? QString::fromUtf8(row.hint) : QString();
}

}  // namespace

void TMainFrm::CreateActions() {
  const auto call = [this](void (TMainFrm::*command)()) {
    return [this, command] { (this->*command)(); };
  };
  using Row = CommandRow;
  std::vector<Row> rows = {
      // File
      Row("New1", "新建(&N)...").Key("Ctrl+N").Hint("新建工程 (Ctrl+N)").Icon("file_new").Runs(call(&TMainFrm::NewProject)),
      Row("Open1", "打开(&O)...").Key("Ctrl+O").Hint("打开工程 (Ctrl+O)").Icon("file_open").Runs(call(&TMainFrm::OpenProject)),
      Row("Save1", "保存(&S)...").Key("Ctrl+S").Hint("保存工程 (Ctrl+S)").Icon("file_save").Project().Runs(call(&TMainFrm::SaveProject)),
      Row("SaveAs1", "另存为(&a)...").Project().Runs(call(&TMainFrm::SaveProjectAs)),
      Row("Print1", "打印(&P)...").Key("Ctrl+P").Hint("打印当前画面 (Ctrl+P)").Icon("print").Project().Runs([this] {
        if (editor::TStructureP* window = ActivePageWindow()) editor::PrintPageWindow(*window, this);
      }),
      Row("PrinterSetup1", "打印机设置(&u)...").Project().Runs([this] {
        QPrintDialog dialog(&printer_, this);
        ExecDialog(&dialog);
      }),
      Row("ExportPicture1", "输出图片(&E)...").Key("Ctrl+E").Project().Runs([this] {
        if (editor::TStructureP* window = ActivePageWindow()) {
          window->Deselect();
          editor::ExportPagePicture(*window, this);
        }
      }),
      Row("LastFileOpenItem", kRecentItemBuiltInCaption).Runs(call(&TMainFrm::OpenRecent)),
      Row("OpenExample1", "开例子库(&I)").Runs(call(&TMainFrm::OpenExample)),
      Row("Exit1", "退出(&X)").Runs([this] { close(); }),

      // Edit
      Row("Cut1", "剪切(&T)").Key("Ctrl+X").Hint("剪切 (Ctrl+X)").Icon("cut").Project().Runs(call(&TMainFrm::CutElements)),
      Row("Copy1", "复制(&C)").Key("Ctrl+C").Hint("复制 (Ctrl+C)").Icon("copy").Project().Runs(call(&TMainFrm::CopyElements)),
      Row("Paste1", "粘贴(&P)").Key("Ctrl+V").Hint("粘贴 (Ctrl+V)").Icon("paste").Project().Runs(call(&TMainFrm::PasteElements)),
      Row("MultiCopy1", "多重复制(&I)...").Hint("多重复制").Icon("multiple_copy").Project().Runs(call(&TMainFrm::MultipleCopy)),
      Row("Undo1", "撤消(&U)").Key("Ctrl+Z").Hint("撤消 (Ctrl+Z)").Icon("undo").Project().Runs(call(&TMainFrm::Undo)),
      Row("Redo1", "重复(&R)").Key("Ctrl+Y").Hint("重复 (Ctrl+Y)").Icon("redo").Project().Runs(call(&TMainFrm::Redo)),
      Row("CopyPage1", "复制当前画面(&M)").Key("Shift+C").Hint("复制当前画面").Icon("page_copy").Project().Runs(call(&TMainFrm::CopyPage)),
      Row("PastePage1", "粘贴新画面(&A)").Key("Shift+V").Hint("粘贴新画面").Icon("page_paste").Project().Runs(call(&TMainFrm::PastePageAs)),
      Row("Lock1", "锁定(&L)").Key("Shift+Ctrl+Z").Hint("锁定").Icon("lock").Project().Runs([this] { SetElementLock(1); }),
      Row("Unlock1", "解锁(&U)").Key("Shift+Ctrl+Y").Hint("解锁").Icon("unlock").Project().Runs([this] { SetElementLock(0); }),

      // View; the tool bar and status bar switches are wired once the bars exist.
      Row("DataPreview1", "预览画面使用数据(&U)").Key("F2").Hint("预览画面使用数据 F2").Icon("used_data_preview").Project().Runs(call(&TMainFrm::ShowUsedDataPreview)),
      Row("StandardToolBar1", "标准工具栏(&T)").Project().Check(true),
      Row("DesignToolBar1", "设计部件(&D)").Project().Check(true),
      Row("EditToolBar1", "编辑工具(&E)").Project().Check(true),
      Row("StatusBar1", "状态栏(&S)").Project().Check(true),

      // Tools
      Row("NewPage1", "新画面(&N)...").Hint("创建新画面").Icon("page_new").Project().Runs(call(&TMainFrm::NewPage)),
      Row("PageAttribute1", "修改画面属性(&A)...").Hint("修改当前画面属性").Icon("page_attributes").Project().Runs(call(&TMainFrm::EditPageAttributes)),
      Row("DeletePage1", "删除画面(&D)...").Hint("删除当前画面").Icon("page_delete").Project().Runs(call(&TMainFrm::DeletePage)),
      Row("RegisterSearch1", "寄存器查找(&L)").Key("F3").Hint("寄存器查找 F3").Icon("register_search").Project().Runs(call(&TMainFrm::ShowRegisterSearch)),
      Row("Statistics1", "元件统计(&W)...").Key("F4").Hint("元件统计 F4").Icon("statistics").Project().Runs(call(&TMainFrm::ShowStatistics)),
      Row("PictureLibrary1", "图形库(&G)...").Hint("图形库").Project().Runs([this] {
        // A project never saved has no picture library yet: it is saved first.
        if (session_.ProjectFileName == model::kUnsavedProjectName) {
          Warn(kSaveNewProjectFirst);
          SaveProject();
          return;
        }
        ChooseFromPictureLibrary(pictures::kNoSelection);
      }),

      // Draw and element kinds: the next click on a page places one.
      Row("Rectangle1", "长方形(&R)").CaptionHint().Icon("draw_rectangle").Project().Runs([this] { ChooseKind(elements::kKindRectangle); }),
      Row("Ellipse1", "椭圆(&E)").CaptionHint().Icon("draw_ellipse").Project().Runs([this] { ChooseKind(elements::kKindEllipse); }),
      Row("Scale1", "刻度(&G)").CaptionHint().Icon("draw_scale").Project().Runs([this] { ChooseKind(elements::kKindScale); }),
      Row("Line1", "线(&L)").CaptionHint().Icon("draw_line").Project().Runs([this] { ChooseKind(elements::kKindLine); }),
      Row("Text1", "文本(&T)").CaptionHint().Icon("element_text").Project().Runs([this] { ChooseKind(elements::kKindText); }),
      Row("Register1", "寄存器(&R)").CaptionHint().Icon("element_register").Project().Runs([this] { ChooseKind(elements::kKindRegister); }),
      Row("Lamp1", "指示灯(&L)").CaptionHint().Icon("element_lamp").Project().Runs([this] { ChooseKind(elements::kKindLamp); }),
      Row("BitSwitch1", "位操作开关(&B)").CaptionHint().Icon("element_bit_switch").Project().Runs([this] { ChooseKind(elements::kKindBitSwitch); }),
      Row("Trend1", "趋势图(&Q)").CaptionHint().Icon("element_trend").Project().Runs([this] { ChooseKind(elements::kKindTrendChart); }),
      Row("Bar1", "棒状图(&S)").CaptionHint().Icon("element_bar").Project().Runs([this] { ChooseKind(elements::kKindBarGraph); }),
      Row("Picture1", "图片(&P)").CaptionHint().Icon("element_picture").Project().Runs(call(&TMainFrm::ChoosePictureKind)),
      Row("DynText1", "动态文本(&D)").CaptionHint().Icon("element_dynamic_text").Project().Runs([this] { ChooseKind(elements::kKindDynamicText); }),
      Row("FunctionKey1", "功能键(&F)").CaptionHint().Icon("element_function_key").Project().Runs([this] { ChooseKind(elements::kKindFunctionKey); }),
      Row("AsciiChinese1", "ASCII中文(&A)").CaptionHint().Icon("element_ascii_chinese").Project().Runs([this] { ChooseKind(elements::kKindAsciiChinese); }),
      Row("Date1", "日期(&D)").CaptionHint().Icon("element_date").Project().Runs([this] { ChooseKind(elements::kKindDate); }),
      Row("Time1", "时间(&T)").CaptionHint().Icon("element_time").Project().Runs([this] { ChooseKind(elements::kKindTime); }),

      // Apply
      Row("PortSettings1", "下载端口设置(&S)").Key("F5").Hint("下载端口设置 F5").Icon("port_settings").Project().Runs(call(&TMainFrm::PortSettings)),
      Row("Download1", "下载(&U)").Key("F6").Hint("下载 F6").Icon("download").Project().Runs(call(&TMainFrm::Download)),
      Row("WorkParameters1", "设定工作参数(&W)...").Key("F7").Hint("设置QX系列 F7").Icon("work_parameters").Project().Runs([this] { ShowWorkParameters(); }),
      Row("BatchModify1", "批量修改(&P)...").Key("F8").Hint("批量修改 F8").Icon("batch_modify").Project().Runs(call(&TMainFrm::BatchModify)),
      Row("KeyboardParameters1", "设定下键盘参数(&D)").Hint("设定下键盘参数").Icon("keyboard_led").Project().Runs(call(&TMainFrm::ShowKeyLedParameters)),
      Row("SaveBackup1", "保存和备份(&B)...").Hint("保存和备份").Icon("save_backup").Project().Runs(call(&TMainFrm::ShowSaveBackup)),
      Row("ClockMacro1", "Clock 宏(&M)").Key("F11").Hint("Clock 宏 F11").Icon("macro").Project().Runs([this] {
        // A project never saved has no macro database yet: it is saved first.
        const bool saved = session_.ProjectFileName != model::kUnsavedProjectName;
        const macro::MacRegisterArea area = macro::MacRegisterAreaFrom(deviceLists_.W_DeviceName, deviceLists_.W_DeviceMax);
        auto* editor = Dialog<macro::TMacroEditFrm>();
        editor->SetHooks(hooks_.desktop);
        if (!editor->ShowFor(saved ? session_.ProjectFileName : std::string(), area)) SaveProject();
      }),
      Row("AlarmSettings1", "报警设置(&A)").Icon("alarm").Project().Runs(call(&TMainFrm::ShowAlarmSettings)),
      Row("UpdatePackage1", "客户更新包提取(&C)").Key("F12").Icon("update_package").Project().Runs(call(&TMainFrm::BuildUpdatePackage)),
      Row("Firmware1", "固件升级(&F)").Icon("firmware").Project().Runs(call(&TMainFrm::Firmware)),

      // Debug
      Row("OfflineSim1", "离线模拟(&S)...").Key("F9").Hint("离线模拟 F9").Icon("simulate_offline").Project().Runs([this] { Simulate(SimulationMode::kOffline); }),
      Row("OnlineSim1", "在线模拟(&O)...").Key("F10").Hint("在线模拟 F10").Icon("simulate_online").Project().Runs([this] { Simulate(SimulationMode::kOnline); }),

      // Personalisation
      Row("N2", "显示格栅(&S)").Hint("显示格栅").Project().Check(true).Runs(call(&TMainFrm::ToggleShowGrid)),
      Row("GridAttribute1", "格栅属性(&G)").Project().Runs([this] {
        if (Dialog<editor::TGriAttribute>()->ShowFor(state_)) {
          if (editor::TStructureP* window = ActivePageWindow()) window->StructureGridding();
        }
      }),
      Row("N23", "字体优化(&F)").Project().Check(false).Runs(call(&TMainFrm::ToggleFontOptimisation)),
      Row("Style1", "风格一(&1)").Project().Check(true).In(Row::kStyles).Data(1).Runs([this] { SetVisualStyle(1); }),
      Row("Style2", "风格二(&2)").Project().Check(false).In(Row::kStyles).Data(2).Runs([this] { SetVisualStyle(2); }),
      Row("Style3", "风格三(&3)").Project().Check(false).In(Row::kStyles).Data(3).Runs([this] { SetVisualStyle(3); }),
      Row("Chinese1", "Chinese").Project().Check(true).In(Row::kLanguages).Runs([this] { SetLanguage(true); }),
      Row("English1", "English").Project().Check(false).In(Row::kLanguages).Runs([this] { SetLanguage(false); }),

      // Window
      Row("Cascade1", "层叠(&C)").Key("Shift+Return").Hint("层叠").Icon("window_cascade").Project().Runs([this] { mdi_->cascadeSubWindows(); }),
      Row("TileH1", "横向平铺(&H)").Key("Ctrl+Return").Hint("横向平铺").Icon("window_tile_horizontal").Project().Runs([this] { TileWindows(Qt::Horizontal); }),
      Row("TileV1", "纵向平铺(&V)").Hint("纵向平铺").Icon("window_tile_vertical").Project().Runs([this] { TileWindows(Qt::Vertical); }),
      Row("CloseAll1", "全部关闭(&L)").Project().Runs([this] { editor::CloseAllPageWindows(*mdi_); }),

      // Help
      Row("HelpTopics1", "帮助主题(&H)").Key("F1").Hint("帮助 F1").Icon("help").Runs(call(&TMainFrm::OpenHelp)),
      Row("About1", "版本信息 (&A)...").Runs([this] { ExecDialog(Dialog<TAboutBox>()); }),

      // Tool-bar only
      Row("Calculator1", "计算器").Hint("计算器").Icon("calculator").Runs([this] { hooks_.desktop.StartProgram(calculatorProgram_); }),
      Row("Paint1", "画图").Hint("画图").Icon("paint").Runs([this] { hooks_.desktop.StartProgram(paintProgram_); }),
      Row("SendToBack1", "移至底层").Hint("移至底层").Icon("send_to_back").Project().Runs(call(&TMainFrm::SendToBack)),
      Row("AlignButton1", "水平左对齐").Hint("水平左对齐").Icon("align_left").Project().Data(1).Runs([this] { AlignElements(1); }),
      Row("AlignButton2", "水平居中对齐").Hint("水平居中对齐").Icon("align_center_horizontal").Project().Data(2).Runs([this] { AlignElements(2); }),
      Row("AlignButton3", "水平右对齐").Hint("水平右对齐").Icon("align_right").Project().Data(3).Runs([this] { AlignElements(3); }),
      Row("AlignButton4", "垂直顶对齐").Hint("垂直顶对齐").Icon("align_top").Project().Data(4).Runs([this] { AlignElements(4); }),
      Row("AlignButton5", "垂直居中对齐").Hint("垂直居中对齐").Icon("align_center_vertical").Project().Data(5).Runs([this] { AlignElements(5); }),
      Row("AlignButton6", "垂直底对齐").Hint("垂直底对齐").Icon("align_bottom").Project().Data(6).Runs([this] { AlignElements(6); }),
      Row("AlignButton7", "使等宽").Hint("使等宽").Icon("same_width").Project().Data(7).Runs([this] { AlignElements(7); }),
      Row("AlignButton8", "使等高").Hint("使等高").Icon("same_height").Project().Data(8).Runs([this] { AlignElements(8); }),
      Row("AlignButton9", "使等宽高").Hint("使等宽高").Icon("same_size").Project().Data(9).Runs([this] { AlignElements(9); }),
      Row("Bit_OFF", "OFF").Hint("OFF 状态预览").Project().Check(true).In(Row::kBitPreview).Runs([this] { SetBitPreview(false); }),
      Row("Bit_ON", "ON").Hint("ON 状态预览").Project().Check(false).In(Row::kBitPreview).Runs([this] { SetBitPreview(true); }),
  };
  QActionGroup* groups[Row::kGroupCount] = {};
  for (const Row& row : rows) {
    QActionGroup*& group = groups[row.group];
    if (row.group != Row::kNoGroup && group == nullptr) group = new QActionGroup(this);
    auto* action = new QAction(QString::fromUtf8(row.text), this);
    action->setObjectName(QString::fromLatin1(row.name));
    if (row.shortcut != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
    if (const QString tip = ToolTipOf(row); !tip.isEmpty()) action->setToolTip(tip);
    if (row.icon != nullptr) action->setIcon(DravikIcon(QString::fromLatin1(row.icon)));
    if (row.project) projectCommands_.push_back(action);
    if (row.notBuilt) notBuilt_.push_back(action);
    action->setEnabled(!row.notBuilt);
    if (row.checkable) {
      action->setCheckable(true);
      action->setChecked(row.checked);
    }
    if (row.data != 0) action->setData(row.data);
    if (group != nullptr) group->addAction(action);
    if (row.run) connect(action, &QAction::triggered, this, row.run);
  }
  Command("LastFileOpenItem")->setProperty(kRuntimeTextProperty, true);
  // The grid switch shows whether the grid is on.
  Command("N2")->setIcon(DravikToggleIcon(QStringLiteral("grid"), QStringLiteral("grid_off")));
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
  add(tools, {"NewPage1", "PageAttribute1", "DeletePage1", nullptr, "RegisterSearch1", "Statistics1", nullptr,
              "PictureLibrary1"});
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

// "预览比例": how large the used-data preview shows, beside its tool button.
void TMainFrm::AddPreviewRatio() {
  zoomBox_ = new QComboBox(standardBar_);
  zoomBox_->setObjectName(QStringLiteral("ZoomVal"));
  zoomBox_->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("100%"), QStringLiteral("150%"),
                      QStringLiteral("200%")});
  zoomBox_->setCurrentIndex(2);
  zoomBox_->setToolTip(QStringLiteral("预览比例"));
  zoomBox_->setAccessibleName(QStringLiteral("Preview ratio"));
  const QList<QAction*> actions = standardBar_->actions();
  const qsizetype preview = actions.indexOf(Command("DataPreview1"));
  QAction* before = preview >= 0 && preview + 1 < actions.size() ? actions[preview + 1] : nullptr;
  standardBar_->insertWidget(before, zoomBox_);
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
  AddPreviewRatio();
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
  // What screen readers and scripted journeys find each panel by.
  static constexpr const char* kAccessibleNames[kStatusPanelCount] = {
      "Command status", "Panel model", "PLC protocol", "Pointer position", "Clock", "Download port"};
  for (const int i : kVisualOrder) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setAccessibleName(QString::fromLatin1(kAccessibleNames[i]));
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
  tree_->setAccessibleName(QStringLiteral("Page list"));
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
  auto* newPage = Keep(new TNewPageFrm(this));
  auto* pageAttribute = Keep(new TPageAttributeFrm(this));
  auto* pastePage = Keep(new TPastePageFrm(this));
  auto* saveBackup = Keep(new TSaveBackupFrm(this));
  auto* welcome = Keep(new TWelcomeFrm(this));
  Keep(new TAboutBox(this));
  auto* colorChooser = Keep(new TColorChooser(this));
  auto* gridAttribute = Keep(new editor::TGriAttribute(this));
  Keep(params::WorkParametersForm(this));
  Keep(params::AlarmSettingsForm(this));
  Keep(params::KeyLedForm(this));
  auto* compileCheck = Keep(new compiler::TCompileCheckFrm(this));
  Keep(new comm::TsetCOMpro(this));
  Keep(new comm::TDownloadForm(this));
  Keep(new comm::TFirmwareFrm(this));
  Keep(new macro::TMacroEditFrm(this));
  auto* lookup = Keep(new tools::TLookupFrm(this));
  Keep(new tools::TCountStatFrm(this));
  Keep(new tools::TForUseDpreview(this));
  auto* pictureLibrary = Keep(new pictures::TMetaFileFrm(this));
  pictureLibrary->SetStretchForm(Keep(new pictures::TBmpExtendFrm(this)));
  pictureLibrary->SetLibrary(&pictureLibrary_);
  pictureLibrary->SetHooks(hooks_.desktop);
  Keep(new tools::TMulripleCopyFrm(this));
  Keep(new tools::TBatchPerfectFrm(this));
  propertyDialogs_ = std::make_unique<elements::PropertyDialogs>(this);
  for (elements::TElementDialog* dialog : propertyDialogs_->Dialogs()) Keep(dialog);

  newPage->acceptNumber = [this](int number) {
    if (!image_->IsPageUsed(number)) return true;
    Warn(PageExistsMessage(number));
    return false;
  };
  pastePage->acceptNumber = newPage->acceptNumber;
  const auto chooseColour = [colorChooser](std::uint32_t current, QWidget* anchor) {
    return colorChooser->Choose(current, anchor);
  };
  pageAttribute->warn = [this](const Bilingual& message) { Warn(message); };
  pageAttribute->modified = [this] { MarkModified(); };
  pageAttribute->chooseColour = chooseColour;
  hooks_.desktop.chooseColour = chooseColour;
  gridAttribute->SetColourChooser(chooseColour);
  saveBackup->warn = [this](const Bilingual& message) { Warn(message); };
  // Queued, like the window messages the form posts: the form closes first.
  connect(welcome, &TWelcomeFrm::NewRequested, this, &TMainFrm::NewProject, Qt::QueuedConnection);
  connect(welcome, &TWelcomeFrm::LastFileRequested, this, &TMainFrm::OpenRecent, Qt::QueuedConnection);
  connect(welcome, &TWelcomeFrm::OpenRequested, this, &TMainFrm::OpenProject, Qt::QueuedConnection);
  connect(welcome, &TWelcomeFrm::ExamplesRequested, this, [this] {
    session_.ProjectFileName.clear();
    openPreset_ = QString::fromStdString((platform::ProgramDir() / "examples" / kExampleProjectName).string());
    QMetaObject::invokeMethod(this, &TMainFrm::OpenProject, Qt::QueuedConnection);
  });
  compileCheck->setProperty(kOwnFormProperty, true);
  addDockWidget(Qt::BottomDockWidgetArea, compileCheck);
  compileCheck->hide();
  connect(compileCheck, &compiler::TCompileCheckFrm::pageRequested, this, &TMainFrm::OpenPageWindow);
  ConnectToolWindows(*lookup);
}

QList<QObject*> TMainFrm::Forms() const {
  QList<QObject*> forms{const_cast<TMainFrm*>(this)};
  for (QWidget* dialog : dialogs_) forms << dialog;
  return forms;
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
  hooks_.desktop.Show(this, message, QMessageBox::Warning);
}

void TMainFrm::Inform(const Bilingual& message) {
  hooks_.desktop.Show(this, message, QMessageBox::Information);
}

QMessageBox::StandardButton TMainFrm::Ask(const Bilingual& question, QMessageBox::StandardButtons buttons) {
  return hooks_.desktop.Ask(this, QString::fromLatin1(kProgramCaption), hooks_.desktop.Text(question), buttons);
}

int TMainFrm::ExecDialog(QDialog* dialog) { return hooks_.desktop.Exec(dialog); }

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
  UpdateEditCommands(open);
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
