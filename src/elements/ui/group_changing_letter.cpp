#include "elements/ui/group_changing_letter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "elements/text_properties.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"
#include "ui/form_rows.h"

namespace dravik::elements {

TGroupChangingLetter::TGroupChangingLetter(QWidget* parent)
    : TElementDialog(parent, "GroupChangingLetter", "ASCII中文属性") {
  auto* registerGroup = ui::Group(this, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup, {.category = AddressCategory::kWord,
                                                 .registerCaption = kLinkWordRegisterCaption,
                                                 .kindComboName = "ComboBox3",
                                                 .registerName = "SpinEdit3"});
  length_ = ui::Spin(registerGroup, "SpinEdit7", kAsciiChineseLengthRange.min,
                     kAsciiChineseLengthRange.max);
  ui::Pair(operand_->Grid(), 3, 0, ui::Label(registerGroup, "LengthLabel", "字符串长度:"), length_);
  (new QVBoxLayout(registerGroup))->addWidget(operand_);

  format_.border = ui::Combo(this, "ComboBox2", kBorderNames);
  format_.font = ui::Combo(this, "ComboBox4", kAsciiChineseFontNames);
  format_.alignment = ui::Combo(this, "ComboBox5", kAlignmentNames);
  auto* formatGroup = ui::Group(this, "FormatGroup", "格式");
  auto* formatGrid = new QGridLayout(formatGroup);
  ui::Pair(formatGrid, 0, 0, ui::Label(formatGroup, "BorderLabel", "边框:"), format_.border);
  ui::Pair(formatGrid, 1, 0, ui::Label(formatGroup, "FontLabel", "字体:"), format_.font);
  ui::Pair(formatGrid, 2, 0, ui::Label(formatGroup, "AlignmentLabel", "对齐:"), format_.alignment);

  auto* row = new QHBoxLayout;
  row->addWidget(registerGroup, 1);
  row->addWidget(formatGroup);
  Body()->addLayout(row);
  OfferDeviceHelp(operand_);
}

void TGroupChangingLetter::Load(const model::PageRecord& page, int slot) {
  const AsciiChineseProperties text = ReadAsciiChineseProperties(page, slot);
  operand_->Load(Context().lists, text.link, text.kind, text.registerNumber, 0, Chinese());
  length_->setValue(text.length);
  format_.Load({text.border, text.font, text.alignment, 0});
  Frame()->BackColour()->SetColour(text.backColour);
  Frame()->ForeColour()->SetColour(text.foreColour);
}

bool TGroupChangingLetter::Store(model::PageRecord& page, int slot) {
  AsciiChineseProperties text = ReadAsciiChineseProperties(page, slot);
  text.frame = FrameShown();
  text.link = operand_->Link();
  text.kind = operand_->Kind();
  text.registerNumber = operand_->Number();
  text.length = length_->value();
  FormatWord format{text.border, text.font, text.alignment, 0};
  format_.Take(format);
  text.border = format.border;
  text.font = format.fontSize;
  text.alignment = format.alignment;
  text.backColour = Frame()->BackColour()->Colour();
  text.foreColour = Frame()->ForeColour()->Colour();
  WriteAsciiChineseProperties(page, slot, text);
  return true;
}

QWidget* TGroupChangingLetter::FirstFocus() const {
  return operand_->NumberSpin();
}

}  // namespace dravik::elements
