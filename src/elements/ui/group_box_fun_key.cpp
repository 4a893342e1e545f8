#include "elements/ui/group_box_fun_key.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "elements/function_key_properties.h"
#include "elements/ui/colour_panel.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

constexpr int kCaptionBytes = static_cast<int>(model::ShortString50::kCapacity);

QLineEdit* CaptionEdit(QWidget* parent, const char* name) {
  QLineEdit* edit = ModelTextEdit(parent, name, kCaptionBytes);
  edit->setMaxLength(kFunctionKeyCaptionCharacters);
  return edit;
}

}  // namespace

TGroupBoxFunKey::TGroupBoxFunKey(QWidget* parent)
    : TElementDialog(parent, "GroupBoxFunKey", "功能键属性 ") {
  // ---- "基本"
  auto* basicGroup = ui::Group(this, "BasicGroup", "基本");
  edit1_ = CaptionEdit(basicGroup, "Edit1");
  edit2_ = CaptionEdit(basicGroup, "Edit2");
  transparent_ = ui::Named(new QCheckBox(QStringLiteral("背景透明"), basicGroup), "CheckBox1");
  // Shown as stored and kept: the dialog does not change it.
  transparent_->setEnabled(false);
  password_ = ui::Named(new QCheckBox(QStringLiteral("口令保护"), basicGroup), "CheckBox2");
  auto* basicGrid = new QGridLayout(basicGroup);
  ui::Pair(basicGrid, 0, 0, ui::Label(basicGroup, "Language1Label", "语言一:"), edit1_);
  ui::Pair(basicGrid, 1, 0, ui::Label(basicGroup, "Language2Label", "语言二:"), edit2_);
  auto* checks = new QHBoxLayout;
  checks->addWidget(transparent_);
  checks->addWidget(password_);
  checks->addStretch(1);
  basicGrid->addLayout(checks, 2, 1);
  basicGrid->setColumnMinimumWidth(1, 220);

  // ---- what the key does
  auto* actionGroup = ui::Group(this, "ActionGroup", "功能");
  pageJump_ = ui::Named(new QRadioButton(QStringLiteral("画面跳转"), actionGroup), "RadioButton1");
  panelFunction_ =
      ui::Named(new QRadioButton(QStringLiteral("高级功能"), actionGroup), "RadioButton2");
  jumpLabel_ = ui::Label(actionGroup, "JumpLabel", "跳转至:");
  jumpTarget_ = ui::Named(new QComboBox(actionGroup), "FunJumpingPage");
  jumpTarget_->setMaxVisibleItems(20);
  params::MarkRuntimeText(jumpTarget_);  // the page list's texts, refilled on every opening
  function_ = ui::Combo(actionGroup, "ComboBox1", kPanelFunctionNames);
  function_->setAccessibleName(panelFunction_->text());
  auto* actionGrid = new QGridLayout(actionGroup);
  actionGrid->addWidget(pageJump_, 0, 0);
  ui::Pair(actionGrid, 0, 1, jumpLabel_, jumpTarget_);
  actionGrid->addWidget(panelFunction_, 1, 0);
  actionGrid->addWidget(function_, 1, 2);
  actionGrid->setColumnStretch(2, 1);

  // ---- "格式设定"
  auto* formatGroup = FormatListsGroup(this, "格式设定", format_, 2);

  Body()->addWidget(basicGroup);
  Body()->addWidget(actionGroup);
  Body()->addWidget(formatGroup);
  connect(pageJump_, &QRadioButton::toggled, this, &TGroupBoxFunKey::RadioInterlock);
}

void TGroupBoxFunKey::Load(const model::PageRecord& page, int slot) {
  const FunctionKeyProperties key = ReadFunctionKeyProperties(page, slot);
  ShowModelText(edit1_, key.captionOne);
  ShowModelText(edit2_, key.captionTwo);
  transparent_->setChecked(key.transparent);
  password_->setChecked(key.passwordProtected);
  Frame()->BackColour()->SetColour(key.backColour);
  Frame()->ForeColour()->SetColour(key.foreColour);
  format_.Load(key.format);

  jumpTarget_->clear();
  for (const std::string& target : Context().jumpTargets) {
    jumpTarget_->addItem(QString::fromStdString(target));
  }
  ui::SetIndex(jumpTarget_, key.jumpPage);
  ui::SetIndex(function_, key.panelFunction);
  // A key whose flags name no action opens as a page jump, as a new key does.
  pageJump_->setChecked(key.action == FunctionKeyAction::kPageJump);
  panelFunction_->setChecked(key.action == FunctionKeyAction::kPanelFunction);
  RadioInterlock();
}

bool TGroupBoxFunKey::Store(model::PageRecord& page, int slot) {
  FunctionKeyProperties key = ReadFunctionKeyProperties(page, slot);
  key.frame = FrameShown();
  key.captionOne = ModelText(edit1_);
  key.captionTwo = ModelText(edit2_);
  key.backColour = Frame()->BackColour()->Colour();
  key.foreColour = Frame()->ForeColour()->Colour();
  format_.Take(key.format);
  key.transparent = transparent_->isChecked();
  key.passwordProtected = password_->isChecked();
  key.action = panelFunction_->isChecked() ? FunctionKeyAction::kPanelFunction
                                           : FunctionKeyAction::kPageJump;
  // Both are kept, whichever the key does: a user who switches back finds them again.
  ui::TakeIndex(jumpTarget_, key.jumpPage);
  ui::TakeIndex(function_, key.panelFunction);
  WriteFunctionKeyProperties(page, slot, key);
  return true;
}

void TGroupBoxFunKey::RadioInterlock() {
  const bool jumps = pageJump_->isChecked();
  jumpLabel_->setEnabled(jumps);
  jumpTarget_->setEnabled(jumps);
  function_->setEnabled(!jumps);
}

}  // namespace dravik::elements
