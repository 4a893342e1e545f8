#include "elements/ui/frame_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <utility>

#include "elements/ui/colour_panel.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

// A spin whose range and hint follow the page: its hint is set when the dialog opens.
QSpinBox* PageSpin(QWidget* parent, const char* name) {
  auto* spin = ui::Named(new QSpinBox(parent), name);
  params::MarkRuntimeText(spin);
  return spin;
}

void SetRange(QSpinBox* spin, const SpinRange& range) {
  spin->setRange(range.min, range.max);
  spin->setToolTip(QStringLiteral("%1 ~ %2").arg(range.min).arg(range.max));
}

}  // namespace

FrameFields::FrameFields(QWidget* parent, ColourCaptions captions) : QGroupBox(parent) {
  setObjectName(QStringLiteral("FrameGroup"));
  setTitle(QStringLiteral("位置和颜色"));
  left_ = PageSpin(this, "SpinEdit1");
  top_ = PageSpin(this, "SpinEdit2");
  width_ = PageSpin(this, "SpinEdit4");
  height_ = PageSpin(this, "SpinEdit9");
  moveLock_ = ui::Named(new QCheckBox(QStringLiteral("移动锁定"), this), "MoveLock");
  labels_ = {ui::Label(this, "LeftLabel", "左边:"), ui::Label(this, "TopLabel", "顶部:"),
             ui::Label(this, "WidthLabel", "宽度:"), ui::Label(this, "HeightLabel", "高度:")};

  auto* grid = new QGridLayout(this);
  ui::Pair(grid, 0, 0, labels_[0], left_);
  ui::Pair(grid, 0, 2, labels_[1], top_);
  grid->addWidget(moveLock_, 0, 4);
  ui::Pair(grid, 1, 0, labels_[2], width_);
  ui::Pair(grid, 1, 2, labels_[3], height_);
  if (captions.back != nullptr) {
    back_ = new ColourPanel(this, "OrganBackCol");
    ui::Pair(grid, 2, 0, ui::Label(this, "BackLabel", captions.back), back_);
  }
  if (captions.fore != nullptr) {
    fore_ = new ColourPanel(this, "OrganFrontCol");
    ui::Pair(grid, 2, 2, ui::Label(this, "ForeLabel", captions.fore), fore_);
  }
  grid->setColumnStretch(5, 1);
}

void FrameFields::SetHooks(const ui::DesktopHooks* hooks) {
  if (back_ != nullptr) back_->SetHooks(hooks);
  if (fore_ != nullptr) fore_->SetHooks(hooks);
}

void FrameFields::Load(const FrameValues& frame, const FrameRanges& ranges) {
  SetRange(left_, ranges.left);
  SetRange(top_, ranges.top);
  SetRange(width_, ranges.width);
  SetRange(height_, ranges.height);
  left_->setValue(frame.left);
  top_->setValue(frame.top);
  width_->setValue(frame.width);
  height_->setValue(frame.height);
  moveLock_->setChecked(frame.moveLock);
}

FrameValues FrameFields::Values() const {
  return {left_->value(), top_->value(), width_->value(), height_->value(), moveLock_->isChecked()};
}

void FormatCombos::Load(const FormatWord& format) const {
  if (border != nullptr) ui::SetIndex(border, format.border);
  if (font != nullptr) ui::SetIndex(font, format.fontSize);
  if (alignment != nullptr) ui::SetIndex(alignment, format.alignment);
  if (level != nullptr) ui::SetIndex(level, format.level);
}

void FormatCombos::Take(FormatWord& format) const {
  if (border != nullptr) ui::TakeIndex(border, format.border);
  if (font != nullptr) ui::TakeIndex(font, format.fontSize);
  if (alignment != nullptr) ui::TakeIndex(alignment, format.alignment);
  if (level != nullptr) ui::TakeIndex(level, format.level);
}

QGroupBox* FormatListsGroup(QWidget* parent, const char* title, FormatCombos& combos,
                            int pairsPerRow) {
  auto* group = ui::Group(parent, "FormatGroup", title);
  combos.border = ui::Combo(group, "ComboBox2", kBorderNames);
  combos.font = ui::Combo(group, "ComboBox4", kFontNames);
  combos.alignment = ui::Combo(group, "ComboBox5", kAlignmentNames);
  combos.level = ui::Combo(group, "ComboBox6", kLevelNames);
  combos.alignment->setEnabled(false);
  combos.level->setEnabled(false);
  const std::array<std::pair<QLabel*, QComboBox*>, 4> pairs{{
      {ui::Label(group, "BorderLabel", "边框:"), combos.border},
      {ui::Label(group, "FontLabel", "字体:"), combos.font},
      {ui::Label(group, "AlignmentLabel", "对齐:"), combos.alignment},
      {ui::Label(group, "LevelLabel", "等级:"), combos.level},
  }};
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < static_cast<int>(pairs.size()); ++i) {
    const auto& [label, combo] = pairs[static_cast<std::size_t>(i)];
    ui::Pair(grid, i / pairsPerRow, (i % pairsPerRow) * 2, label, combo);
  }
  return group;
}

}  // namespace dravik::elements
