#include "elements/ui/group_box_fun_but.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "elements/bit_properties.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

constexpr int kLanguageOneBytes = static_cast<int>(model::ShortString50::kCapacity);  // ElemTextA
constexpr int kLanguageTwoBytes = static_cast<int>(model::ShortString20::kCapacity);  // ElemNameA

}  // namespace

TGroupBoxFunBut::TGroupBoxFunBut(QWidget* parent)
    : TElementDialog(parent, "GroupBoxFunBut", "位操作按钮") {
  tabs_ = ui::Named(new QTabWidget(this), "PageControl1");
  auto* control = ui::Named(new QWidget, "TabSheet1");
  auto* display = ui::Named(new QWidget, "TabSheet2");
  tabs_->addTab(control, QStringLiteral("控制"));
  tabs_->addTab(display, QStringLiteral("显示"));

  // ---- "控制"
  auto* actionGroup = ui::Group(control, "ActionGroup", "功能 ");
  actionGroup_ = new QButtonGroup(this);
  auto* actionRow = new QHBoxLayout(actionGroup);
  const char* const actionNames[] = {"RadioButton1", "RadioButton2", "RadioButton3",
                                     "RadioButton4"};
  for (std::size_t tag = 0; tag < actions_.size(); ++tag) {
    actions_[tag] =
        ui::Named(new QRadioButton(QString::fromUtf8(kBitSwitchActionNames[tag]), actionGroup),
                  actionNames[tag]);
    actionGroup_->addButton(actions_[tag], static_cast<int>(tag));
    actionRow->addWidget(actions_[tag]);
  }

  auto* keyGroup = ui::Group(control, "KeyGroup", "对应面板按键");
  panelKey_ = ui::Named(new QComboBox(keyGroup), "FnKeyVal");
  params::MarkRuntimeText(panelKey_);
  invisible_ = ui::Named(new QCheckBox(QStringLiteral("隐形"), keyGroup), "CheckBox5");
  auto* keyGrid = new QGridLayout(keyGroup);
  ui::Pair(keyGrid, 0, 0, ui::Label(keyGroup, "FnKeyLabel", "功能键选择:"), panelKey_);
  keyGrid->addWidget(invisible_, 0, 2);

  auto* registerGroup = ui::Group(control, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup, {.category = AddressCategory::kBit,
                                                 .registerCaption = kBitSwitchRegisterCaption,
                                                 .kindComboName = "ComboBox2",
                                                 .registerName = "SpinEdit13",
                                                 .bitName = "SpinEdit6"});
  (new QVBoxLayout(registerGroup))->addWidget(operand_);

  auto* protectGroup = ui::Group(control, "ProtectGroup", "保护");
  password_ = ui::Named(new QCheckBox(QStringLiteral("口令保护"), protectGroup), "CheckBox3");
  format_.level = ui::Combo(protectGroup, "ComboBox6", kLevelNames);
  format_.level->setEnabled(false);
  auto* protectGrid = new QGridLayout(protectGroup);
  protectGrid->addWidget(password_, 0, 0);
  ui::Pair(protectGrid, 0, 1, ui::Label(protectGroup, "LevelLabel", "等级:"), format_.level);

  auto* controlLayout = new QGridLayout(control);
  controlLayout->addWidget(actionGroup, 0, 0, 1, 2);
  controlLayout->addWidget(keyGroup, 1, 0, 1, 2);
  controlLayout->addWidget(registerGroup, 2, 0);
  controlLayout->addWidget(protectGroup, 2, 1);

  // ---- "显示"
  format_.font = ui::Combo(display, "ComboBox4", kFontNames);
  format_.alignment = ui::Combo(display, "ComboBox5", kAlignmentNames);
  format_.alignment->setEnabled(false);
  format_.border = ui::Combo(display, "ComboBox1", kBorderNames);
  auto* textGroup = ui::Group(display, "TextGroup", "显示文字 ");
  edit1_ = ModelTextEdit(textGroup, "Edit1", kLanguageOneBytes);
  edit2_ = ModelTextEdit(textGroup, "Edit2", kLanguageTwoBytes);
  auto* textGrid = new QGridLayout(textGroup);
  ui::Pair(textGrid, 0, 0, ui::Label(textGroup, "Language1Label", "语言一:"), edit1_);
  ui::Pair(textGrid, 1, 0, ui::Label(textGroup, "Language2Label", "语言二:"), edit2_);
  auto* displayLayout = new QGridLayout(display);
  ui::Pair(displayLayout, 0, 0, ui::Label(display, "FontLabel", "字体:"), format_.font);
  ui::Pair(displayLayout, 1, 0, ui::Label(display, "AlignmentLabel", "对齐:"), format_.alignment);
  ui::Pair(displayLayout, 2, 0, ui::Label(display, "BorderLabel", "边框:"), format_.border);
  displayLayout->addWidget(textGroup, 3, 0, 1, 2);
  displayLayout->setRowStretch(4, 1);

  Body()->addWidget(tabs_);
  OfferDeviceHelp(operand_);
  connect(panelKey_, &QComboBox::activated, this, &TGroupBoxFunBut::PanelKeyChosen);
}

void TGroupBoxFunBut::PanelKeyChosen(int item) {
  if (item < 0 || item >= panelKey_->count()) return;
  const KeyTexts texts =
      PanelKeyTexts(panelKey_->itemText(item).toStdString(), item == panelKey_->count() - 1);
  edit1_->setText(QString::fromStdString(texts.languageOne));
  edit2_->setText(QString::fromStdString(texts.languageTwo));
}

void TGroupBoxFunBut::Load(const model::PageRecord& page, int slot) {
  const BitSwitchProperties key = ReadBitSwitchProperties(page, slot);
  tabs_->setCurrentIndex(0);
  operand_->Load(Context().lists, key.operand.link, key.operand.kind, key.operand.registerNumber,
                 key.operand.bit, Chinese());
  // An action no button carries leaves every button unchecked, and the action as stored.
  actionGroup_->setExclusive(false);
  for (std::size_t tag = 0; tag < actions_.size(); ++tag) {
    actions_[tag]->setChecked(static_cast<int>(tag) == key.action);
  }
  actionGroup_->setExclusive(true);
  panelKey_->clear();
  for (const std::string& item : Context().panelKeys)
    panelKey_->addItem(QString::fromStdString(item));
  ui::SetIndex(panelKey_, key.panelKey);
  invisible_->setChecked(key.invisible);
  password_->setChecked(key.passwordProtected);
  format_.Load(key.format);
  ShowModelText(edit1_, key.textOne);
  ShowModelText(edit2_, key.textTwo);
  Frame()->BackColour()->SetColour(key.backColour);
  Frame()->ForeColour()->SetColour(key.foreColour);
}

bool TGroupBoxFunBut::Store(model::PageRecord& page, int slot) {
  BitSwitchProperties key = ReadBitSwitchProperties(page, slot);
  key.frame = FrameShown();
  key.operand = {operand_->Link(), operand_->Kind(), operand_->Number(), operand_->Bit()};
  if (actionGroup_->checkedId() >= 0) key.action = actionGroup_->checkedId();
  ui::TakeIndex(panelKey_, key.panelKey);
  key.invisible = invisible_->isChecked();
  key.passwordProtected = password_->isChecked();
  format_.Take(key.format);
  key.textOne = ModelText(edit1_);
  key.textTwo = ModelText(edit2_);
  key.backColour = Frame()->BackColour()->Colour();
  key.foreColour = Frame()->ForeColour()->Colour();
  WriteBitSwitchProperties(page, slot, key);
  return true;
}

}  // namespace dravik::elements
