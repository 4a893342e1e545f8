#include "elements/ui/group_box_register.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

constexpr int kFloatFormat = 1;

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  return ui::Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

// A limit spin whose range and hint follow data type, sign and indirection.
QSpinBox* LimitSpin(QWidget* parent, const char* name) {
  auto* spin = ui::Named(new QSpinBox(parent), name);
  params::MarkRuntimeText(spin);
  return spin;
}

void SetRange(QSpinBox* spin, const SpinRange& range) {
  spin->setRange(range.min, range.max);
  spin->setToolTip(QStringLiteral("%1 ~ %2").arg(range.min).arg(range.max));
}

bool Take(const QCheckBox* check) {
  return check->isChecked();
}

}  // namespace

TGroupBoxRegister::TGroupBoxRegister(QWidget* parent)
    : TElementDialog(parent, "GroupBoxRegister", " 寄存器属性") {
  // ---- the register: always on Link 1
  auto* registerGroup = ui::Group(this, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup, {.category = AddressCategory::kWord,
                                                 .registerCaption = kRegisterCaption,
                                                 .kindComboName = "ComboBox3",
                                                 .registerName = "SpinEdit3",
                                                 .withLink = false});
  dataType_ = ui::Combo(registerGroup, "ComboBox1", kDataTypeNames);
  dataFormat_ = ui::Combo(registerGroup, "ComboBox9", kDataFormatNames);
  signed_ = Check(registerGroup, "CheckBox5", "有符号数");
  QGridLayout* registerGrid = operand_->Grid();
  ui::Pair(registerGrid, 3, 0, ui::Label(registerGroup, "DataTypeLabel", "数据类型:"), dataType_);
  ui::Pair(registerGrid, 4, 0, ui::Label(registerGroup, "DataFormatLabel", "数据格式:"),
           dataFormat_);
  registerGrid->addWidget(signed_, 5, 1);
  (new QVBoxLayout(registerGroup))->addWidget(operand_);

  // ---- input and its limits
  auto* inputGroup = ui::Group(this, "InputGroup", "输入");
  input_ = Check(inputGroup, "CheckBox3", "设定许可");
  direct_ = ui::Named(new QRadioButton(QStringLiteral("直接上限K"), inputGroup), "RadioButton1");
  indirect_ = ui::Named(new QRadioButton(QStringLiteral("间接上限 D"), inputGroup), "RadioButton2");
  params::MarkRuntimeText(indirect_);
  upper_ = LimitSpin(inputGroup, "SpinEdit7");
  lower_ = LimitSpin(inputGroup, "SpinEdit8");
  auto* inputGrid = new QGridLayout(inputGroup);
  inputGrid->addWidget(input_, 0, 0, 1, 2);
  inputGrid->addWidget(direct_, 1, 0);
  inputGrid->addWidget(indirect_, 2, 0);
  inputGrid->addWidget(upper_, 1, 1, 2, 1);
  ui::Pair(inputGrid, 3, 0, ui::Label(inputGroup, "LowerLabel", "直接下限 K:"), lower_);

  // ---- how the value is shown
  auto* displayGroup = ui::Group(this, "DisplayGroup", "显示");
  digits_ = ui::Spin(displayGroup, "SpinEdit5", kDigitsRange.min, kDigitsRange.max);
  decimals_ = ui::Spin(displayGroup, "SpinEdit6", kDecimalsRange.min, kDecimalsRange.max);
  leadingZeros_ = Check(displayGroup, "CheckBox1", "前导零");
  format_.border = ui::Combo(displayGroup, "ComboBox2", kBorderNames);
  format_.font = ui::Combo(displayGroup, "ComboBox4", kFontNames);
  format_.alignment = ui::Combo(displayGroup, "ComboBox5", kAlignmentNames);
  auto* displayGrid = new QGridLayout(displayGroup);
  ui::Pair(displayGrid, 0, 0, ui::Label(displayGroup, "DigitsLabel", "位数:"), digits_);
  ui::Pair(displayGrid, 0, 2, ui::Label(displayGroup, "DecimalsLabel", "小数位:"), decimals_);
  displayGrid->addWidget(leadingZeros_, 0, 4);
  ui::Pair(displayGrid, 1, 0, ui::Label(displayGroup, "BorderLabel", "边框:"), format_.border);
  ui::Pair(displayGrid, 1, 2, ui::Label(displayGroup, "FontLabel", "字体:"), format_.font);
  ui::Pair(displayGrid, 2, 0, ui::Label(displayGroup, "AlignmentLabel", "对齐:"),
           format_.alignment);

  // ---- protection
  auto* protectGroup = ui::Group(this, "ProtectGroup", "保护");
  password_ = Check(protectGroup, "CheckBox2", "口令保护");
  format_.level = ui::Combo(protectGroup, "ComboBox6", kLevelNames);
  keyRegisterLabel_ = ui::Label(protectGroup, "KeyRegisterLabel", "关键寄存器 D:");
  params::MarkRuntimeText(keyRegisterLabel_);
  keyRegister_ = new RegisterNumberSpin(protectGroup, "SpinEdit10");
  params::MarkRuntimeText(keyRegister_);
  condition_ = ui::Combo(protectGroup, "ComboBox7", kKeyConditionNames);
  action_ = ui::Combo(protectGroup, "ComboBox8", kKeyActionNames);
  auto* protectGrid = new QGridLayout(protectGroup);
  protectGrid->addWidget(password_, 0, 0);
  ui::Pair(protectGrid, 0, 1, ui::Label(protectGroup, "LevelLabel", "等级:"), format_.level);
  ui::Pair(protectGrid, 1, 0, keyRegisterLabel_, keyRegister_);
  ui::Pair(protectGrid, 2, 0, ui::Label(protectGroup, "ConditionLabel", "条件:"), condition_);
  ui::Pair(protectGrid, 2, 2, ui::Label(protectGroup, "ActionLabel", "执行:"), action_);

  auto* columns = new QGridLayout;
  columns->addWidget(registerGroup, 0, 0);
  columns->addWidget(inputGroup, 0, 1);
  columns->addWidget(displayGroup, 1, 0);
  columns->addWidget(protectGroup, 1, 1);
  Body()->addLayout(columns);

  OfferDeviceHelp(operand_);
  connect(operand_, &OperandSelector::kindChanged, this, &TGroupBoxRegister::KindShown);
  connect(dataFormat_, &QComboBox::currentIndexChanged, this, &TGroupBoxRegister::DataFormatChosen);
  connect(dataType_, &QComboBox::currentIndexChanged, this, &TGroupBoxRegister::UpdateLimitRanges);
  connect(signed_, &QCheckBox::toggled, this, &TGroupBoxRegister::UpdateLimitRanges);
  connect(indirect_, &QRadioButton::toggled, this, &TGroupBoxRegister::UpdateLimitRanges);
  connect(input_, &QCheckBox::toggled, this, &TGroupBoxRegister::UpdateEnabling);
  connect(condition_, &QComboBox::currentIndexChanged, this, &TGroupBoxRegister::UpdateEnabling);
  // Digits and decimals follow each other: never more decimals than digits.
  connect(digits_, &QSpinBox::valueChanged, this, [this](int digits) {
    if (decimals_->value() > digits) decimals_->setValue(digits);
  });
  connect(decimals_, &QSpinBox::valueChanged, this, [this](int decimals) {
    if (digits_->value() < decimals) digits_->setValue(decimals);
  });
}

void TGroupBoxRegister::Load(const model::PageRecord& page, int slot) {
  stored_ = ReadRegisterProperties(page, slot);
  const RegisterProperties& reg = stored_;
  {
    const QSignalBlocker b1(dataType_), b2(dataFormat_), b3(signed_), b4(input_), b5(indirect_),
        b6(digits_), b7(decimals_), b8(condition_);
    ui::SetIndex(dataType_, reg.dataType);
    ui::SetIndex(dataFormat_, reg.isFloat ? kFloatFormat : 0);
    signed_->setChecked(reg.isSigned);
    input_->setChecked(reg.inputAllowed);
    direct_->setChecked(!reg.indirectLimits);
    indirect_->setChecked(reg.indirectLimits);
    digits_->setValue(reg.digits);
    decimals_->setValue(reg.decimals);
    ui::SetIndex(condition_, reg.keyCondition);
  }
  keyRegister_->setValue(reg.keyRegister);
  operand_->Load(Context().lists, 0, reg.kind, reg.registerNumber, 0, Chinese());
  upper_->setValue(reg.upperLimit);
  lower_->setValue(reg.lowerLimit);
  format_.Load(reg.format);
  leadingZeros_->setChecked(reg.leadingZeros);
  password_->setChecked(reg.passwordProtected);
  ui::SetIndex(action_, reg.keyAction);
  Frame()->BackColour()->SetColour(reg.backColour);
  Frame()->ForeColour()->SetColour(reg.foreColour);
  UpdateEnabling();
}

RegisterProperties TGroupBoxRegister::Shown() const {
  RegisterProperties reg = stored_;
  reg.frame = FrameShown();
  reg.kind = operand_->Kind();
  reg.registerNumber = operand_->Number();
  ui::TakeIndex(dataType_, reg.dataType);
  if (dataFormat_->currentIndex() >= 0) reg.isFloat = dataFormat_->currentIndex() == kFloatFormat;
  reg.isSigned = Take(signed_);
  reg.inputAllowed = Take(input_);
  reg.indirectLimits = indirect_->isChecked();
  reg.upperLimit = upper_->value();
  reg.lowerLimit = lower_->value();
  reg.digits = digits_->value();
  reg.decimals = decimals_->value();
  format_.Take(reg.format);
  reg.leadingZeros = Take(leadingZeros_);
  reg.passwordProtected = Take(password_);
  reg.keyRegister = keyRegister_->value();
  ui::TakeIndex(condition_, reg.keyCondition);
  ui::TakeIndex(action_, reg.keyAction);
  reg.backColour = Frame()->BackColour()->Colour();
  reg.foreColour = Frame()->ForeColour()->Colour();
  return reg;
}

bool TGroupBoxRegister::Store(model::PageRecord& page, int slot) {
  const RegisterProperties reg = Shown();
  if (const std::optional<Bilingual> refusal = CheckRegisterLimits(reg)) {
    Hooks().Show(this, *refusal, QMessageBox::Warning);
    upper_->setFocus();
    return false;
  }
  WriteRegisterProperties(page, slot, reg);
  return true;
}

void TGroupBoxRegister::DataFormatChosen() {
  // A float is a signed 32-bit value.
  if (dataFormat_->currentIndex() == kFloatFormat) {
    dataType_->setCurrentIndex(kDataType32);
    signed_->setChecked(true);
  }
  UpdateEnabling();
}

void TGroupBoxRegister::KindShown() {
  const OperandView& view = operand_->View();
  const bool chinese = Chinese();
  keyRegisterLabel_->setText(
      QString::fromStdString(CaptionWithKind(kKeyRegisterCaption, view.kindName, chinese)));
  indirect_->setText(QString::fromStdString(
      CaptionWithKind(kIndirectLimitCaption, view.kindName, chinese, false)));
  keyRegister_->SetMode(false, view.maximum);
  // The radio buttons name the upper limit on the screen; a screen reader needs a name.
  upper_->setAccessibleName(chinese ? QStringLiteral("上限") : QStringLiteral("Upper limit"));
  UpdateLimitRanges();
}

void TGroupBoxRegister::UpdateLimitRanges() {
  const RegisterProperties reg = Shown();
  SetRange(upper_, UpperLimitRange(reg, operand_->View().maximum));
  SetRange(lower_, LowerLimitRange(reg));
}

void TGroupBoxRegister::UpdateEnabling() {
  const bool isFloat = dataFormat_->currentIndex() == kFloatFormat;
  dataType_->setEnabled(!isFloat);
  signed_->setEnabled(!isFloat);
  const bool input = input_->isChecked();
  for (QWidget* field : std::initializer_list<QWidget*>{direct_, indirect_, upper_, lower_}) {
    field->setEnabled(input);
  }
  action_->setEnabled(condition_->currentIndex() > kKeyConditionNotUsed);
}

}  // namespace dravik::elements
