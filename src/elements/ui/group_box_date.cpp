#include "elements/ui/group_box_date.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include "elements/ui/colour_panel.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {
constexpr int kAlignedLeft = 0;
}

TGroupBoxDate::TGroupBoxDate(QWidget* parent)
    : TElementDialog(parent, "GroupBoxDate", " 日期属性") {
  // The caption and the format captions follow the kind shown.
  params::MarkRuntimeText(this);

  auto* formatBox = ui::Group(this, "FormatGroup", "显示格式");
  formatGroup_ = new QButtonGroup(this);
  auto* formatRow = new QHBoxLayout(formatBox);
  const char* const names[] = {"RadioButton1", "RadioButton2", "RadioButton3"};
  for (std::size_t tag = 0; tag < formats_.size(); ++tag) {
    formats_[tag] = ui::Named(new QRadioButton(QString::fromUtf8(kDateFormatTexts[tag]), formatBox),
                              names[tag]);
    params::MarkRuntimeText(formats_[tag]);
    formatGroup_->addButton(formats_[tag], static_cast<int>(tag));
    formatRow->addWidget(formats_[tag]);
  }

  auto* styleBox = ui::Group(this, "StyleGroup", "格式设定");
  inputAllowed_ = ui::Named(new QCheckBox(QStringLiteral("设定许可"), styleBox), "CheckBox3");
  format_.border = ui::Combo(styleBox, "ComboBox2", kClockBorderNames);
  format_.font = ui::Combo(styleBox, "ComboBox4", kClockFontNames);
  format_.alignment = ui::Combo(styleBox, "ComboBox5", kAlignmentNames);
  // Always "左边": shown, not chosen.
  format_.alignment->setEnabled(false);
  auto* styleGrid = new QGridLayout(styleBox);
  ui::Pair(styleGrid, 0, 0, ui::Label(styleBox, "BorderLabel", "边框:"), format_.border);
  ui::Pair(styleGrid, 0, 2, ui::Label(styleBox, "FontLabel", "字体:"), format_.font);
  ui::Pair(styleGrid, 1, 0, ui::Label(styleBox, "AlignmentLabel", "对齐:"), format_.alignment);
  styleGrid->addWidget(inputAllowed_, 1, 2, 1, 2);

  Body()->addWidget(formatBox);
  Body()->addWidget(styleBox);
}

void TGroupBoxDate::Load(const model::PageRecord& page, int slot) {
  const int kind = page.ElemKind[static_cast<std::size_t>(slot)];
  const bool chinese = Chinese();
  setWindowTitle(QString::fromStdString(ClockDialogCaption(kind).In(chinese)));
  const auto& texts = ClockFormatTexts(kind);
  for (std::size_t tag = 0; tag < formats_.size(); ++tag) {
    formats_[tag]->setText(QString::fromUtf8(texts[tag]));
  }

  const ClockProperties clock = ReadClockProperties(page, slot);
  Frame()->BackColour()->SetColour(clock.backColour);
  Frame()->ForeColour()->SetColour(clock.foreColour);
  inputAllowed_->setChecked(clock.inputAllowed);
  ShowFormat(clock.format);
  format_.Load({clock.border, clock.font, kAlignedLeft, 0});
}

void TGroupBoxDate::ShowFormat(int format) {
  // A format no button carries checks none, so the previous element's choice is not shown.
  formatGroup_->setExclusive(false);
  for (std::size_t tag = 0; tag < formats_.size(); ++tag) {
    formats_[tag]->setChecked(static_cast<int>(tag) == format);
  }
  formatGroup_->setExclusive(true);
}

bool TGroupBoxDate::Store(model::PageRecord& page, int slot) {
  ClockProperties clock = ReadClockProperties(page, slot);
  clock.frame = FrameShown();
  clock.backColour = Frame()->BackColour()->Colour();
  clock.foreColour = Frame()->ForeColour()->Colour();
  clock.inputAllowed = inputAllowed_->isChecked();
  if (formatGroup_->checkedId() >= 0) clock.format = formatGroup_->checkedId();
  FormatWord format{clock.border, clock.font, kAlignedLeft, 0};
  format_.Take(format);
  clock.border = format.border;
  clock.font = format.fontSize;
  WriteClockProperties(page, slot, clock);
  return true;
}

}  // namespace dravik::elements
