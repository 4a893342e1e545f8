#include "elements/ui/group_box_text.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "elements/text_properties.h"
#include "elements/ui/colour_panel.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {
constexpr int kTextBytes = static_cast<int>(model::ShortString50::kCapacity);
}

TGroupBoxText::TGroupBoxText(QWidget* parent)
    : TElementDialog(parent, "GroupBoxText", " 文本属性 ") {
  edit1_ = ModelTextEdit(this, "Edit1", kTextBytes);
  edit2_ = ModelTextEdit(this, "Edit2", kTextBytes);
  format_.font = ui::Combo(this, "ComboBox4", kFontNames);
  format_.alignment = ui::Combo(this, "ComboBox5", kAlignmentNames);
  // The panel places a text where it stands: the alignment is shown, not chosen.
  format_.alignment->setEnabled(false);

  auto* grid = new QGridLayout;
  ui::Pair(grid, 0, 0, ui::Label(this, "Language1Label", "语言一:"), edit1_);
  ui::Pair(grid, 1, 0, ui::Label(this, "Language2Label", "语言二:"), edit2_);
  auto* formatRow = new QGridLayout;
  ui::Pair(formatRow, 0, 0, ui::Label(this, "FontLabel", "字体:"), format_.font);
  ui::Pair(formatRow, 0, 2, ui::Label(this, "AlignmentLabel", "对齐:"), format_.alignment);
  grid->addLayout(formatRow, 2, 0, 1, 2);
  grid->setColumnMinimumWidth(1, 260);
  Body()->addLayout(grid);
}

void TGroupBoxText::Load(const model::PageRecord& page, int slot) {
  const TextProperties text = ReadTextProperties(page, slot);
  ShowModelText(edit1_, text.textOne);
  ShowModelText(edit2_, text.textTwo);
  Frame()->BackColour()->SetColour(text.backColour);
  Frame()->ForeColour()->SetColour(text.foreColour);
  format_.Load({0, text.font, text.alignment, 0});
}

bool TGroupBoxText::Store(model::PageRecord& page, int slot) {
  TextProperties text = ReadTextProperties(page, slot);
  text.frame = FrameShown();
  text.textOne = ModelText(edit1_);
  text.textTwo = ModelText(edit2_);
  text.backColour = Frame()->BackColour()->Colour();
  text.foreColour = Frame()->ForeColour()->Colour();
  FormatWord format{0, text.font, text.alignment, 0};
  format_.Take(format);
  text.font = format.fontSize;
  text.alignment = format.alignment;
  WriteTextProperties(page, slot, text);
  return true;
}

}  // namespace dravik::elements
