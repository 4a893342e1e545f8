#include "elements/ui/group_box_dtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/state_grid.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

// A register that takes input is of the first word kind.
constexpr int kInputKind = 0;

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  return ui::Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

}  // namespace

TGroupBoxDText::TGroupBoxDText(QWidget* parent)
    : TElementDialog(parent, "GroupBoxDText", " 动态文本属性 ") {
  // ---- the register and the number of states
  auto* registerGroup = ui::Group(this, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup, {.category = AddressCategory::kWord,
                                                 .registerCaption = kLinkWordRegisterCaption,
                                                 .kindComboName = "ComboBox3",
                                                 .registerName = "SpinEdit3"});
  // The count is stepped, not typed: the display only shows it.
  count_ = ui::Named(new QSpinBox(registerGroup), "UpDown1");
  count_->findChild<QLineEdit*>()->setReadOnly(true);
  params::MarkRuntimeText(count_);
  ui::Pair(operand_->Grid(), 3, 0, ui::Label(registerGroup, "CountLabel", "变化状态总数:"), count_);
  (new QVBoxLayout(registerGroup))->addWidget(operand_);

  // ---- input and protection
  auto* inputGroup = ui::Group(this, "InputGroup", "输入");
  input_ = Check(inputGroup, "CheckBox3", "设定许可");
  zeroOnLeave_ = Check(inputGroup, "CheckBox4", "焦点离开强制归零");
  transparent_ = Check(inputGroup, "CheckBox1", "背景透明");
  transparent_->hide();
  password_ = Check(inputGroup, "CheckBox2", "口令保护");
  auto* inputColumn = new QVBoxLayout(inputGroup);
  for (QCheckBox* check : {input_, zeroOnLeave_, transparent_, password_}) {
    inputColumn->addWidget(check);
  }
  inputColumn->addStretch();

  // ---- the format word
  auto* formatGroup = FormatListsGroup(this, "格式", format_, 1);

  // ---- the states, one tab per language
  tabs_ = ui::Named(new QTabWidget(this), "PageControl1");
  const char* const sheetNames[] = {"TabSheet1", "TabSheet2"};
  const char* const gridNames[] = {"Language1", "Language2"};
  const char* const tabCaptions[] = {"语言一", "语言二"};
  for (int language = 0; language < kLanguageCount; ++language) {
    auto* sheet = ui::Named(new QWidget, sheetNames[language]);
    grids_[language] = new StateGrid(sheet, gridNames[language]);
    grids_[language]->setAccessibleName(QString::fromUtf8(tabCaptions[language]));
    (new QVBoxLayout(sheet))->addWidget(grids_[language]);
    tabs_->addTab(sheet, QString::fromUtf8(tabCaptions[language]));
  }

  auto* fields = new QVBoxLayout;
  fields->addWidget(registerGroup);
  auto* options = new QHBoxLayout;
  options->addWidget(inputGroup);
  options->addWidget(formatGroup);
  fields->addLayout(options);
  auto* columns = new QHBoxLayout;
  columns->addLayout(fields);
  columns->addWidget(tabs_, 1);
  Body()->addLayout(columns);

  OfferDeviceHelp(operand_);
  connect(count_, &QSpinBox::valueChanged, this, &TGroupBoxDText::StateCountChanged);
  connect(input_, &QCheckBox::toggled, this, &TGroupBoxDText::ApplyInputRule);
}

void TGroupBoxDText::Load(const model::PageRecord& page, int slot) {
  stored_ = ReadDynamicTextProperties(page, slot);
  const DynamicTextProperties& text = stored_;
  const bool chinese = Chinese();
  {
    const QSignalBlocker b1(input_), b2(count_);
    input_->setChecked(text.inputAllowed);
    const SpinRange range = StateCountRange(slot);
    count_->setRange(range.min, range.max);
    count_->setToolTip(QStringLiteral("%1 ~ %2").arg(range.min).arg(range.max));
    count_->setValue(text.stateCount);
  }
  zeroOnLeave_->setChecked(text.zeroOnLeave);
  transparent_->setChecked(text.transparent);
  password_->setChecked(text.passwordProtected);
  format_.Load(text.format);
  Frame()->BackColour()->SetColour(text.backColour);
  Frame()->ForeColour()->SetColour(text.foreColour);
  // Input takes the first kind from the start, so the number is held to that kind's
  // maximum and no other.
  const bool inputKind = text.inputAllowed && Context().lists != nullptr &&
                         OperandKindsKnown(*Context().lists, text.link, AddressCategory::kWord);
  operand_->Load(Context().lists, text.link, inputKind ? kInputKind : text.kind,
                 text.registerNumber, 0, chinese);
  for (int language = 0; language < kLanguageCount; ++language) {
    grids_[language]->SetHeaders(chinese);
    grids_[language]->Load(text.states[language], count_->value());
  }
  tabs_->setCurrentIndex(0);
  ApplyInputRule();
}

DynamicTextProperties TGroupBoxDText::Shown() const {
  DynamicTextProperties text = stored_;
  text.frame = FrameShown();
  text.link = operand_->Link();
  text.kind = operand_->Kind();
  text.registerNumber = operand_->Number();
  text.stateCount = count_->value();
  text.inputAllowed = input_->isChecked();
  text.zeroOnLeave = zeroOnLeave_->isChecked();
  text.transparent = transparent_->isChecked();
  text.passwordProtected = password_->isChecked();
  format_.Take(text.format);
  text.backColour = Frame()->BackColour()->Colour();
  text.foreColour = Frame()->ForeColour()->Colour();
  for (int language = 0; language < kLanguageCount; ++language) {
    text.states[language] = grids_[language]->Rows();
  }
  return text;
}

bool TGroupBoxDText::Store(model::PageRecord& page, int slot) {
  // OK by its key leaves a cell being edited: what it holds counts.
  for (StateGrid* grid : grids_) grid->CloseEditor();
  const DynamicTextProperties text = Shown();
  if (const std::optional<StatesRefusal> refusal = CheckDynamicTextStates(text)) {
    Hooks().Show(this, refusal->message, QMessageBox::Warning);
    tabs_->setCurrentIndex(refusal->language);
    grids_[refusal->language]->ShowState(refusal->state);
    grids_[refusal->language]->setFocus();
    return false;
  }
  WriteDynamicTextProperties(page, slot, text);
  return true;
}

void TGroupBoxDText::StateCountChanged(int count) {
  for (StateGrid* grid : grids_) grid->SetCount(count);
}

void TGroupBoxDText::ApplyInputRule() {
  const bool input = input_->isChecked();
  zeroOnLeave_->setVisible(input);
  if (input) operand_->ChooseKind(kInputKind);
  operand_->HoldKind(input);
}

}  // namespace dravik::elements
