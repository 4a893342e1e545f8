#include "elements/ui/group_box_lamp.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "elements/bit_properties.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {
constexpr int kStateTextBytes = static_cast<int>(model::ShortString50::kCapacity);
}

TGroupBoxLamp::TGroupBoxLamp(QWidget* parent)
    : TElementDialog(parent, "GroupBoxLamp", " 指示灯属性 ", {"OFF:", "ON:"}) {
  auto* registerGroup = ui::Group(this, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup, {.category = AddressCategory::kBit,
                                                 .registerCaption = kRegisterCaption,
                                                 .kindComboName = "ComboBox2",
                                                 .registerName = "SpinEdit13",
                                                 .bitName = "SpinEdit14"});
  (new QVBoxLayout(registerGroup))->addWidget(operand_);

  auto* lampGroup = ui::Group(this, "LampGroup", "显示");
  lampType_ = ui::Combo(lampGroup, "ComboBox1", kLampTypeNames);
  positive_ = ui::Named(new QRadioButton(QStringLiteral("正逻辑"), lampGroup), "RadioButton1");
  negative_ = ui::Named(new QRadioButton(QStringLiteral("负逻辑"), lampGroup), "RadioButton2");
  edit1_ = ModelTextEdit(lampGroup, "Edit1", kStateTextBytes);
  edit2_ = ModelTextEdit(lampGroup, "Edit2", kStateTextBytes);
  auto* label1 = ui::Label(lampGroup, "State1Label", "状态一:");
  auto* label2 = ui::Label(lampGroup, "State2Label", "状态二:");
  stateFields_ = {label1, label2, edit1_, edit2_};
  auto* lampGrid = new QGridLayout(lampGroup);
  ui::Pair(lampGrid, 0, 0, ui::Label(lampGroup, "LampTypeLabel", "灯种类:"), lampType_);
  auto* logic = new QHBoxLayout;
  logic->addWidget(positive_);
  logic->addWidget(negative_);
  lampGrid->addLayout(logic, 1, 1);
  ui::Pair(lampGrid, 2, 0, label1, edit1_);
  ui::Pair(lampGrid, 3, 0, label2, edit2_);
  lampGrid->setColumnMinimumWidth(1, 200);

  auto* row = new QHBoxLayout;
  row->addWidget(registerGroup);
  row->addWidget(lampGroup, 1);
  Body()->addLayout(row);

  OfferDeviceHelp(operand_);
  connect(lampType_, &QComboBox::currentIndexChanged, this, &TGroupBoxLamp::LampTypeShown);
}

void TGroupBoxLamp::Load(const model::PageRecord& page, int slot) {
  const LampProperties lamp = ReadLampProperties(page, slot);
  ShowModelText(edit1_, lamp.offText);
  ShowModelText(edit2_, lamp.onText);
  Frame()->BackColour()->SetColour(lamp.offColour);
  Frame()->ForeColour()->SetColour(lamp.onColour);
  operand_->Load(Context().lists, lamp.operand.link, lamp.operand.kind, lamp.operand.registerNumber,
                 lamp.operand.bit, Chinese());
  positive_->setChecked(!lamp.negativeLogic);
  negative_->setChecked(lamp.negativeLogic);
  ui::SetIndex(lampType_, lamp.lampType);
  LampTypeShown();
}

bool TGroupBoxLamp::Store(model::PageRecord& page, int slot) {
  LampProperties lamp = ReadLampProperties(page, slot);
  lamp.frame = FrameShown();
  lamp.operand = {operand_->Link(), operand_->Kind(), operand_->Number(), operand_->Bit()};
  // The texts go back even while the type does not show them.
  lamp.offText = ModelText(edit1_);
  lamp.onText = ModelText(edit2_);
  lamp.offColour = Frame()->BackColour()->Colour();
  lamp.onColour = Frame()->ForeColour()->Colour();
  lamp.negativeLogic = negative_->isChecked();
  ui::TakeIndex(lampType_, lamp.lampType);
  WriteLampProperties(page, slot, lamp);
  return true;
}

void TGroupBoxLamp::LampTypeShown() {
  const bool texts = lampType_->currentIndex() == kLampTypeDynamicCharacters;
  for (QWidget* field : stateFields_) field->setEnabled(texts);
}

}  // namespace dravik::elements
