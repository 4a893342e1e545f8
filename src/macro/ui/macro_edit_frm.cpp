#include "macro/ui/macro_edit_frm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "macro/mac_command.h"
#include "macro/mac_file.h"
#include "macro/macro_database.h"
#include "macro/ui/mac_floating_panel.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"
#include "ui/gbk_limit.h"

namespace dravik::macro {

namespace {

constexpr int kNumberColumnWidth = 32;
constexpr int kTextColumnWidth = 628;
constexpr int kRowHeight = 18;
constexpr int kOperandEntryLength = 7;
constexpr int kPrintUnderscores = 87;
constexpr QRgb kCommentColour = 0x008000;
constexpr int kIsCommentRole = Qt::UserRole + 1;

const Bilingual kSaveProjectFirst = Both(" 请先保存此新工程 ！");
const Bilingual kDeleteQuestion = Both("确定要删除目前指令吗 ？");
const Bilingual kNotAConstant = Both("不是有效的常数 ！");

// The command panel's groups, in their order on the panel.
struct CommandGroup {
  const char* name;
  const char* title;
  std::initializer_list<int> codes;
};
const CommandGroup kCommandGroups[] = {
    {"MacArithmeticGroup", "算数运算", {1, 2, 3, 4, 5}},
    {"MacLogicGroup", "逻辑运算", {6, 7, 8, 9, 10}},
    {"MacCompareGroup", "比较", {15, 16, 17, 18, 19, 20}},
    {"MacOtherGroup", "其它", {11, 34, 25, 26, 29}},
};

// Row text at 5 pixels from the cell's left and 2 from its top: comments in "宋体" 12
// point green, instructions in "Verdana" 10 point bold black, the selected row in white.
class MacRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    if (selected) painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
    const bool comment = index.data(kIsCommentRole).toBool();
    QFont font = comment ? QFont(QStringLiteral("宋体"), 12)
                         : QFont(QStringLiteral("Verdana"), 10, QFont::Bold);
    painter->setFont(font);
    painter->setPen(selected  ? QColor(Qt::white)
                    : comment ? QColor(kCommentColour)
                              : QColor(Qt::black));
    const QRect text = option.rect.adjusted(5, 2, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data().toString());
    painter->restore();
  }
};

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button =
      ui::Named(new QPushButton(QString::fromUtf8(caption), parent), QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* ReadOnlyField(QWidget* parent, const QString& name) {
  auto* field = ui::Named(new QLineEdit(parent), name);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  return field;
}

// The confirm and cancel row the three modal panels end with.
std::pair<QPushButton*, QPushButton*> ConfirmRow(QWidget* body, QBoxLayout* layout,
                                                 const char* prefix) {
  const std::string base(prefix);
  QPushButton* ok = Button(body, (base + "OkButton").c_str(), "确定(&Y)");
  QPushButton* cancel = Button(body, (base + "CancelButton").c_str(), "取消(&C)");
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  return {ok, cancel};
}

QString Gbk(const std::string& text) {
  return ui::FromGbk(text);
}

}  // namespace

TMacroEditFrm::TMacroEditFrm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("MacroEditFrm"));
  setWindowTitle(QStringLiteral("Clock 宏 (100ms)"));
  setFixedSize(kWidth, kHeight);
  printer_.setPageOrientation(QPageLayout::Portrait);

  CreateGrid();
  CreateMenu();
  CreateInputPanel();
  CreateCommandPanel();
  CreateOperandPanel();
  CreateCommentPanel();
  for (MacFloatingPanel* panel : {inputPanel_, commandPanel_, operandPanel_, commentPanel_}) {
    panel->CentreInParent();
  }
  RefreshRows();
}

// ---------------------------------------------------------------------------------------
// Construction

void TMacroEditFrm::CreateGrid() {
  grid_ = ui::Named(new QTableWidget(kMacroRowCount, 1, this), QStringLiteral("MacroGrid"));
  grid_->setAccessibleName(QStringLiteral("Clock 宏"));
  grid_->horizontalHeader()->hide();
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->setColumnWidth(0, kTextColumnWidth);
  QHeaderView* numbers = grid_->verticalHeader();
  numbers->setSectionResizeMode(QHeaderView::Fixed);
  numbers->setDefaultSectionSize(kRowHeight);
  numbers->setMinimumSectionSize(kRowHeight);
  numbers->setFixedWidth(kNumberColumnWidth);
  numbers->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QStringList labels;
  for (int row = 1; row <= kMacroRowCount; ++row) labels << QStringLiteral(" %1").arg(row);
  grid_->setVerticalHeaderLabels(labels);
  for (int row = 0; row < kMacroRowCount; ++row) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grid_->setItem(row, 0, item);
  }
  grid_->setItemDelegate(new MacRowDelegate(grid_));
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setShowGrid(true);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  grid_->setCurrentCell(0, 0);
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
    if (row < 0) return;
    editor_.Select(row);
    if (!inputPanel_->isVisible()) inputPanel_->show();
    InputFrmShowEQU();
  });
  connect(grid_, &QTableWidget::cellClicked, this, [this] {
    if (inputPanel_->isVisible()) return;
    inputPanel_->show();
    InputFrmShowEQU();
  });
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(grid_->viewport()->mapToGlobal(at)); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
}

void TMacroEditFrm::CreateMenu() {
  menu_ = ui::Named(new QMenu(this), QStringLiteral("MacPopupMenu"));
  struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
    void (TMacroEditFrm::*run)();
    bool separatorBefore;
  };
  const Item items[] = {
      {"MacUndo", "撤消(&U)", "Ctrl+Z", &TMacroEditFrm::UndoClick, false},
      {"MacRedo", "恢复(&E)", "Ctrl+Y", &TMacroEditFrm::RedoClick, false},
      {"MacCut", "剪切(&T)", "Ctrl+X", &TMacroEditFrm::CutClick, true},
      {"MacCopy", "复制(&C)", "Ctrl+C", &TMacroEditFrm::CopyClick, false},
      {"MacPaste", "粘贴(&P)", "Ctrl+V", &TMacroEditFrm::PasteClick, false},
      {"MacDelete", "删除(&D)", nullptr, &TMacroEditFrm::DeleteRowClick, true},
      {"MacDeleteAll", "删除全部(&A)", nullptr, &TMacroEditFrm::DeleteAllClick, false},
      {"MacSave", "保存(&S)", nullptr, nullptr, true},
      {"MacOpenFile", "打开宏文件...", "Ctrl+O", &TMacroEditFrm::OpenMacFileClick, true},
      {"MacSaveFile", "另存宏文件...", "Ctrl+S", &TMacroEditFrm::SaveMacFileClick, false},
      {"MacPrint", "打印(&M)", "Ctrl+P", &TMacroEditFrm::PrintClick, true},
      {"MacExit", "退出(&E)", nullptr, nullptr, true},
  };
  for (const Item& item : items) {
    if (item.separatorBefore) menu_->addSeparator();
    QAction* action = menu_->addAction(QString::fromUtf8(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    if (item.shortcut != nullptr) {
      action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    if (item.run != nullptr) connect(action, &QAction::triggered, this, item.run);
    addAction(action);  // the shortcuts work while the window is active
  }
  connect(MenuCommand("MacSave"), &QAction::triggered, this, [this] { SaveClick(); });
  connect(MenuCommand("MacExit"), &QAction::triggered, this, &QWidget::close);
}

void TMacroEditFrm::CreateInputPanel() {
  inputPanel_ = new MacFloatingPanel(this, QStringLiteral("MacInputPanel"), "INITIAL 宏");
  params::MarkRuntimeText(inputPanel_->TitleLabel());
  QWidget* body = inputPanel_->Body();
  expression_ = ReadOnlyField(body, QStringLiteral("MacExpressionEdit"));
  params::MarkRuntimeText(expression_);
  expression_->setMinimumWidth(300);

  auto* grid = new QGridLayout;
  QPushButton* op = Button(body, "MacOpButton", "OP");
  commandName_ = ui::Named(new QLabel(body), QStringLiteral("MacCommandLabel"));
  params::MarkRuntimeText(commandName_);
  commandName_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  grid->addWidget(op, 0, 0);
  grid->addWidget(commandName_, 0, 1);
  connect(op, &QPushButton::clicked, this, &TMacroEditFrm::OpButtonClick);
  for (int i = 0; i < 3; ++i) {
    const QString name = QStringLiteral("MacA%1").arg(i + 1);
    operandButtons_[i] = Button(body, "", "");
    operandButtons_[i]->setObjectName(name + QStringLiteral("Button"));
    operandButtons_[i]->setText(QStringLiteral("A%1").arg(i + 1));
    operandFields_[i] = ReadOnlyField(body, name + QStringLiteral("Edit"));
    params::MarkRuntimeText(operandFields_[i]);
    operandFields_[i]->setAccessibleName(QStringLiteral("A%1").arg(i + 1));
    grid->addWidget(operandButtons_[i], i + 1, 0);
    grid->addWidget(operandFields_[i], i + 1, 1);
    connect(operandButtons_[i], &QPushButton::clicked, this, [this, i] { OperandButtonClick(i); });
  }
  doubleWord_ =
      ui::Named(new QCheckBox(QStringLiteral("双字"), body), QStringLiteral("MacDoubleWordCheck"));
  signed_ =
      ui::Named(new QCheckBox(QStringLiteral("有符号数"), body), QStringLiteral("MacSignedCheck"));
  connect(doubleWord_, &QCheckBox::toggled, this, [this](bool on) { panel_.doubleWord = on; });
  connect(signed_, &QCheckBox::toggled, this, [this](bool on) {
    panel_.isSigned = on;
    ShowPanelFields();
  });
  auto* options = new QHBoxLayout;
  options->addWidget(doubleWord_);
  options->addWidget(signed_);
  options->addStretch(1);

  struct PanelButton {
    const char* name;
    const char* caption;
    void (TMacroEditFrm::*run)();
  };
  const PanelButton buttons[] = {
      {"MacDeleteButton", "删除", &TMacroEditFrm::DeleteClick},
      {"MacInsertButton", "插入", &TMacroEditFrm::InsertClick},
      {"MacUpdateButton", "更新", &TMacroEditFrm::UpdateClick},
      {"MacPreviousButton", "往前", &TMacroEditFrm::PreviousClick},
      {"MacNextButton", "往后", &TMacroEditFrm::NextClick},
  };
  auto* row = new QHBoxLayout;
  for (const PanelButton& button : buttons) {
    QPushButton* made = Button(body, button.name, button.caption);
    connect(made, &QPushButton::clicked, this, button.run);
    row->addWidget(made);
  }
  QPushButton* close = Button(body, "MacInputCloseButton", "关闭");
  connect(close, &QPushButton::clicked, inputPanel_, &QWidget::hide);
  row->addWidget(close);
  connect(inputPanel_, &MacFloatingPanel::closeRequested, inputPanel_, &QWidget::hide);

  auto* layout = new QVBoxLayout(body);
  layout->addWidget(expression_);
  layout->addLayout(grid);
  layout->addLayout(options);
  layout->addLayout(row);
}

void TMacroEditFrm::CreateCommandPanel() {
  commandPanel_ = new MacFloatingPanel(this, QStringLiteral("MacCommandPanel"), "宏运算表");
  QWidget* body = commandPanel_->Body();
  commands_ = new QButtonGroup(this);
  auto* groups = new QHBoxLayout;
  for (const CommandGroup& group : kCommandGroups) {
    QGroupBox* box = ui::Group(body, QString::fromLatin1(group.name), group.title);
    auto* column = new QVBoxLayout(box);
    for (int code : group.codes) {
      const std::string_view name = FindMacCommand(code)->panelName;
      auto* choice = new QRadioButton(
          QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), box);
      choice->setObjectName(QStringLiteral("MacCommand%1").arg(code));
      commands_->addButton(choice, code);
      column->addWidget(choice);
    }
    column->addStretch(1);
    groups->addWidget(box);
  }
  auto* layout = new QVBoxLayout(body);
  layout->addLayout(groups);
  const auto [ok, cancel] = ConfirmRow(body, layout, "MacCommand");
  connect(ok, &QPushButton::clicked, this, [this] { ConfirmCommand(commands_->checkedId()); });
  connect(cancel, &QPushButton::clicked, this, [this] { CloseModalPanel(commandPanel_); });
  connect(commandPanel_, &MacFloatingPanel::closeRequested, this,
          [this] { CloseModalPanel(commandPanel_); });
}

void TMacroEditFrm::CreateOperandPanel() {
  operandPanel_ = new MacFloatingPanel(this, QStringLiteral("MacOperandPanel"), "请输入");
  QWidget* body = operandPanel_->Body();
  rangeHint_ = ui::Named(new QLabel(body), QStringLiteral("MacRangeHint"));
  params::MarkRuntimeText(rangeHint_);
  QPalette red = rangeHint_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  rangeHint_->setPalette(red);

  QGroupBox* kinds = ui::Group(body, QStringLiteral("MacOperandKindGroup"), "参数种类");
  constantKind_ = ui::Named(new QRadioButton(QStringLiteral("K  (常数)"), kinds),
                            QStringLiteral("MacConstantKind"));
  registerKind_ = ui::Named(new QRadioButton(kinds), QStringLiteral("MacRegisterKind"));
  params::MarkRuntimeText(registerKind_);
  auto* kindColumn = new QVBoxLayout(kinds);
  kindColumn->addWidget(constantKind_);
  kindColumn->addWidget(registerKind_);
  connect(constantKind_, &QRadioButton::toggled, this, [this] { ShowOperandHint(); });

  QLabel* entryLabel = ui::Label(body, QStringLiteral("MacOperandLabel"), "地址/数值");
  operandEntry_ = ui::Named(new QLineEdit(body), QStringLiteral("MacOperandEntry"));
  operandEntry_->setMaxLength(kOperandEntryLength);
  operandEntry_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[-0-9]*")), operandEntry_));
  operandEntry_->installEventFilter(this);
  entryLabel->setBuddy(operandEntry_);

  auto* layout = new QVBoxLayout(body);
  layout->addWidget(rangeHint_);
  layout->addWidget(kinds);
  layout->addWidget(entryLabel);
  layout->addWidget(operandEntry_);
  const auto [ok, cancel] = ConfirmRow(body, layout, "MacOperand");
  connect(ok, &QPushButton::clicked, this,
          [this] { ConfirmOperand(registerKind_->isChecked(), operandEntry_->text()); });
  connect(cancel, &QPushButton::clicked, this, [this] { CloseModalPanel(operandPanel_); });
  connect(operandPanel_, &MacFloatingPanel::closeRequested, this,
          [this] { CloseModalPanel(operandPanel_); });
}

void TMacroEditFrm::CreateCommentPanel() {
  commentPanel_ = new MacFloatingPanel(this, QStringLiteral("MacCommentPanel"), "文字输入");
  QWidget* body = commentPanel_->Body();
  commentEntry_ = ui::Named(new QLineEdit(body), QStringLiteral("MacCommentEntry"));
  commentEntry_->setMinimumWidth(360);
  commentEntry_->setAccessibleName(QStringLiteral("文字输入"));
  ui::LimitGbkBytes(commentEntry_, static_cast<int>(kMacCommentCapacity));
  commentEntry_->installEventFilter(this);
  auto* layout = new QVBoxLayout(body);
  layout->addWidget(commentEntry_);
  const auto [ok, cancel] = ConfirmRow(body, layout, "MacComment");
  connect(ok, &QPushButton::clicked, this, [this] { ConfirmText(commentEntry_->text()); });
  connect(cancel, &QPushButton::clicked, this, [this] { CloseModalPanel(commentPanel_); });
  connect(commentPanel_, &MacFloatingPanel::closeRequested, this,
          [this] { CloseModalPanel(commentPanel_); });
}

// ---------------------------------------------------------------------------------------
// Showing and closing

bool TMacroEditFrm::ShowFor(const std::filesystem::path& projectFile, const MacRegisterArea& area) {
  if (projectFile.empty()) {
    Warn(kSaveProjectFirst);
    return false;
  }
  if (isVisible()) {
    raise();
    activateWindow();
    return true;
  }
  area_ = area;
  macroDatabase_ = MacroDatabasePath(projectFile);
  if (!FormShow()) return true;
  ui::PlaceFromTop(this, kTop);
  show();
  activateWindow();
  return true;
}

bool TMacroEditFrm::FormShow() {
  const QString name = RegisterName().left(2).leftJustified(2, QLatin1Char(' '));
  registerKind_->setText(name + QStringLiteral(" (寄存器)"));
  if (Status loaded = editor_.Load(macroDatabase_, Chinese()); !loaded) {
    ShowFailure(loaded);
    return false;
  }
  for (MacFloatingPanel* panel : {inputPanel_, commandPanel_, operandPanel_, commentPanel_})
    panel->hide();
  grid_->setEnabled(true);
  inputPanel_->setEnabled(true);
  RefreshRows();
  return true;
}

bool TMacroEditFrm::CloseQuery() {
  if (commandPanel_->isVisible() || operandPanel_->isVisible()) return false;
  if (!editor_.Modified()) return true;
  const QString question = QStringLiteral("保存更改到 ") + windowTitle() + QStringLiteral(" ？");
  const QMessageBox::StandardButton answer = hooks_.Ask(
      this, QString::fromLatin1(ui::kProgramCaption), question, QMessageBox::Yes | QMessageBox::No);
  if (answer == QMessageBox::No) {
    editor_.DiscardChanges();
    RefreshCommands();
    return true;
  }
  if (answer != QMessageBox::Yes || !SaveClick()) return false;
  if (Status compacted = CompressRepairMDat(macroDatabase_); !compacted) {
    ShowFailure(compacted, QMessageBox::Critical);
  }
  return true;
}

void TMacroEditFrm::closeEvent(QCloseEvent* event) {
  if (CloseQuery()) {
    commentPanel_->hide();
    event->accept();
  } else {
    event->ignore();
  }
}

bool TMacroEditFrm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || (watched != operandEntry_ && watched != commentEntry_)) {
    return QWidget::eventFilter(watched, event);
  }
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool operand = watched == operandEntry_;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (operand)
      ConfirmOperand(registerKind_->isChecked(), operandEntry_->text());
    else
      ConfirmText(commentEntry_->text());
    return true;
  }
  if (key == Qt::Key_Escape) {
    CloseModalPanel(operand ? operandPanel_ : commentPanel_);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Small services

void TMacroEditFrm::Warn(const Bilingual& message) {
  hooks_.Show(this, message, QMessageBox::Warning);
}

void TMacroEditFrm::ShowFailure(const Status& status, QMessageBox::Icon icon) {
  hooks_.Show(this, status.error().Text(), icon);
}

QString TMacroEditFrm::RegisterName() const {
  return Gbk(area_.RegisterName);
}

QAction* TMacroEditFrm::MenuCommand(const char* objectName) const {
  return menu_->findChild<QAction*>(QString::fromLatin1(objectName));
}

QPushButton* TMacroEditFrm::PanelButton(const char* objectName) const {
  return findChild<QPushButton*>(QString::fromLatin1(objectName));
}

void TMacroEditFrm::RefreshRows() {
  const MacroRows& rows = editor_.Rows();
  for (int row = 0; row < kMacroRowCount; ++row) {
    const MacRowText text = MacCodeToStr(rows[row], area_.RegisterName);
    QTableWidgetItem* item = grid_->item(row, 0);
    item->setText(Gbk(text.text));
    item->setData(kIsCommentRole, text.isComment);
  }
  RefreshCommands();
}

void TMacroEditFrm::RefreshRowsAndPanel() {
  RefreshRows();
  if (inputPanel_->isVisible()) InputFrmShowEQU();
}

void TMacroEditFrm::RefreshCommands() {
  MenuCommand("MacUndo")->setEnabled(editor_.CanUndo());
  MenuCommand("MacRedo")->setEnabled(editor_.CanRedo());
  MenuCommand("MacSave")->setEnabled(editor_.Modified());
}

void TMacroEditFrm::OpenModalPanel(MacFloatingPanel* panel, QWidget* focus) {
  grid_->setEnabled(false);
  inputPanel_->setEnabled(false);
  panel->show();
  panel->raise();
  if (focus != nullptr) focus->setFocus();
}

void TMacroEditFrm::CloseModalPanel(MacFloatingPanel* panel) {
  panel->hide();
  operandOpen_ = -1;
  grid_->setEnabled(true);
  inputPanel_->setEnabled(true);
}

// ---------------------------------------------------------------------------------------
// The input panel

void TMacroEditFrm::SelectRow(int row) {
  const int selected = std::clamp(row, 0, kMacroRowCount - 1);
  grid_->setCurrentCell(selected, 0);
  // The row that was already current gives no signal, but is loaded all the same.
  editor_.Select(selected);
  if (!inputPanel_->isVisible()) inputPanel_->show();
  InputFrmShowEQU();
}

void TMacroEditFrm::InputFrmShowEQU() {
  const MacroRow& row = editor_.Rows()[editor_.Selected()];
  panel_ = MacPanelFromRow(row);
  expression_->setText(Gbk(MacCodeToStr(row, area_.RegisterName).text));
  inputPanel_->SetTitle(windowTitle() + QStringLiteral(" - L#%1").arg(editor_.Selected() + 1));
  CommandsChange();
}

void TMacroEditFrm::CommandsChange() {
  const MacCommand* command = FindMacCommand(panel_.code);
  const std::string_view name = command != nullptr ? command->panelName : std::string_view{};
  commandName_->setText(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  const MacPanelRules rules = MacPanelRulesOf(panel_.code);
  for (int i = 0; i < 3; ++i) operandButtons_[i]->setEnabled(rules.operandEnabled[i]);
  doubleWord_->setEnabled(rules.doubleWordEnabled);
  signed_->setEnabled(rules.signedEnabled);
  const bool hasCommand = panel_.code != 0;
  PanelButton("MacDeleteButton")
      ->setEnabled(hasCommand && !editor_.Rows()[editor_.Selected()].Empty());
  PanelButton("MacInsertButton")->setEnabled(hasCommand);
  PanelButton("MacUpdateButton")->setEnabled(hasCommand);
  ShowPanelFields();
}

void TMacroEditFrm::ShowPanelFields() {
  {
    const QSignalBlocker blockDoubleWord(doubleWord_);
    const QSignalBlocker blockSigned(signed_);
    doubleWord_->setChecked(panel_.doubleWord);
    signed_->setChecked(panel_.isSigned);
  }
  for (int i = 0; i < 3; ++i)
    operandFields_[i]->setText(Gbk(MacFieldText(panel_, i, area_.RegisterName)));
}

void TMacroEditFrm::UpdateClick() {
  const std::optional<Bilingual> refused = editor_.Update(panel_);
  RefreshRows();
  CommandsChange();
  if (refused) hooks_.Show(this, *refused, QMessageBox::Information);
}

void TMacroEditFrm::InsertClick() {
  const std::optional<Bilingual> refused = editor_.Insert(panel_);
  RefreshRows();
  CommandsChange();
  if (refused) hooks_.Show(this, *refused, QMessageBox::Information);
}

void TMacroEditFrm::DeleteClick() {
  if (hooks_.AskYesNo(this, kDeleteQuestion)) DeleteRowClick();
}

void TMacroEditFrm::PreviousClick() {
  SelectRow(editor_.Selected() - 1);
}

void TMacroEditFrm::NextClick() {
  SelectRow(editor_.Selected() + 1);
}

// ---------------------------------------------------------------------------------------
// The command, operand and comment panels

void TMacroEditFrm::OpButtonClick() {
  const int code =
      panel_.code != 0 && commands_->button(panel_.code) != nullptr ? panel_.code : kMacCommentCode;
  commands_->button(code)->setChecked(true);
  OpenModalPanel(commandPanel_, commands_->button(code));
}

void TMacroEditFrm::ConfirmCommand(int code) {
  if (FindMacCommand(code) == nullptr) return;
  CloseModalPanel(commandPanel_);
  if (ChooseCommand(panel_, code)) {
    const std::string_view shown = MacTemplate(code);
    expression_->setText(QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())));
  }
  CommandsChange();
}

void TMacroEditFrm::OperandButtonClick(int operand) {
  const MacCommand* command = FindMacCommand(panel_.code);
  if (command == nullptr || operand < 0 || operand > 2) return;
  const bool textOfComment = command->text == MacTextUse::Comment && operand == 0;
  const bool textOfChr = command->text == MacTextUse::ChrText && operand == 1;
  if (textOfComment || textOfChr) {
    operandOpen_ = operand;
    commentEntry_->setText(Gbk(panel_.text));
    OpenModalPanel(commentPanel_, commentEntry_);
    return;
  }
  const MacOperandKinds allowed = MacOperandKindsAllowed(panel_.code, operand);
  if (allowed == MacOperandKinds::None) return;
  operandOpen_ = operand;
  const MacOperandField& field = panel_.operands[operand];
  const bool constantAllowed = allowed != MacOperandKinds::Register;
  const bool registerAllowed = allowed != MacOperandKinds::Constant;
  bool isRegister = (field.kind & kKindRegister) != 0;
  if (!isRegister && !constantAllowed) isRegister = true;
  if (isRegister && !registerAllowed) isRegister = false;
  constantKind_->setEnabled(constantAllowed);
  registerKind_->setEnabled(registerAllowed);
  (isRegister ? registerKind_ : constantKind_)->setChecked(true);
  QString preset;
  if (field.defined) {
    preset = !isRegister && panel_.isSigned
                 ? QString::number(static_cast<std::int16_t>(field.value))
                 : QString::number(field.value);
  }
  operandEntry_->setText(preset);
  operandEntry_->selectAll();
  ShowOperandHint();
  OpenModalPanel(operandPanel_, operandEntry_);
}

void TMacroEditFrm::ShowOperandHint() {
  rangeHint_->setText(Gbk(MacRangeHint(panel_.code, registerKind_->isChecked(), area_)));
}

bool TMacroEditFrm::ConfirmOperand(bool isRegister, const QString& text) {
  if (operandOpen_ < 0) return false;
  const MacOperandEntry entry =
      CheckMacOperand(panel_.code, isRegister, text.trimmed().toStdString(), area_);
  if (!entry.accepted()) {
    if (entry.message) hooks_.Show(this, *entry.message, QMessageBox::Warning);
    operandEntry_->setFocus();
    return false;
  }
  MacOperandField& field = panel_.operands[operandOpen_];
  field.kind = MacEnteredKind(field.kind, isRegister);
  field.value = *entry.value;
  field.defined = true;
  CloseModalPanel(operandPanel_);
  ShowPanelFields();
  return true;
}

void TMacroEditFrm::ConfirmText(const QString& text) {
  std::string gbk = ui::ToGbk(text);
  if (gbk.size() > kMacCommentCapacity) gbk.resize(kMacCommentCapacity);
  panel_.text = gbk;
  CloseModalPanel(commentPanel_);
  ShowPanelFields();
}

// ---------------------------------------------------------------------------------------
// The context menu

void TMacroEditFrm::DeleteRowClick() {
  editor_.DeleteRow();
  RefreshRowsAndPanel();
}

void TMacroEditFrm::DeleteAllClick() {
  editor_.DeleteAll();
  RefreshRowsAndPanel();
}

void TMacroEditFrm::CutClick() {
  editor_.Cut();
  RefreshRowsAndPanel();
}

void TMacroEditFrm::CopyClick() {
  editor_.Copy();
}

void TMacroEditFrm::PasteClick() {
  editor_.Paste();
  RefreshRowsAndPanel();
}

void TMacroEditFrm::UndoClick() {
  if (editor_.Undo()) RefreshRowsAndPanel();
}

void TMacroEditFrm::RedoClick() {
  if (editor_.Redo()) RefreshRowsAndPanel();
}

bool TMacroEditFrm::SaveClick() {
  const Status saved = editor_.Save(macroDatabase_, Chinese());
  if (!saved) ShowFailure(saved);
  RefreshCommands();
  return saved.ok();
}

void TMacroEditFrm::OpenMacFileClick() {
  const QString file =
      hooks_.OpenFile(this, QStringLiteral("打开宏文件"),
                      QStringLiteral("宏文件 (*.Mac);;备份文件 (*.BAK);;All Files (*)"));
  if (file.isEmpty()) return;
  if (Status imported = editor_.Import(std::filesystem::path(file.toStdString()), Chinese());
      !imported) {
    ShowFailure(imported);
    return;
  }
  RefreshRowsAndPanel();
}

void TMacroEditFrm::SaveMacFileClick() {
  const QString file = hooks_.SaveFile(this, QStringLiteral("另存宏文件"),
                                       QStringLiteral("宏文件 (*.Mac);;All Files (*)"));
  if (file.isEmpty()) return;
  const std::filesystem::path target = WithMacExtension(std::filesystem::path(file.toStdString()));
  if (Status exported = editor_.Export(target, Chinese()); !exported) ShowFailure(exported);
}

QStringList TMacroEditFrm::PrintText() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  QStringList lines;
  lines << QStringLiteral("【 ") + windowTitle() + QStringLiteral(" 】   打印时间：") +
               locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral("  ") +
               locale.toString(now.time(), QLocale::LongFormat);
  lines << QString(kPrintUnderscores, QLatin1Char('_'));
  lines << QString();
  for (const std::string& line : editor_.PrintLines(area_.RegisterName)) lines << Gbk(line);
  return lines;
}

void TMacroEditFrm::PrintClick() {
  printer_.setPageOrientation(QPageLayout::Portrait);
  QPrintDialog dialog(&printer_, this);
  if (hooks_.Exec(&dialog) != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer_)) return;
  painter.setFont(QFont(QStringLiteral("宋体"), 12));
  const int lineHeight = painter.fontMetrics().lineSpacing();
  const QRect page = painter.viewport();
  int y = lineHeight;
  for (const QString& line : PrintText()) {
    if (y > page.height() - lineHeight) {
      printer_.newPage();
      y = lineHeight;
    }
    painter.drawText(0, y, line);
    y += lineHeight;
  }
  painter.end();
}

}  // namespace dravik::macro
