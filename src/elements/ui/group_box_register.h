#pragma once
// The register dialog " 寄存器属性" (kind 2): the Link 1 word register shown, its data type
// and format, whether the operator may enter a value and within which limits, digits and
// decimals, the format word, password protection and the key register that hides the
// value, with the common frame. OK refuses direct limits that leave no room.

#include "elements/register_properties.h"
#include "elements/ui/element_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace dravik::elements {

class OperandSelector;
class RegisterNumberSpin;

class TGroupBoxRegister : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxRegister(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QComboBox* DataTypeCombo() const { return dataType_; }      // ComboBox1
  QComboBox* DataFormatCombo() const { return dataFormat_; }  // ComboBox9
  QCheckBox* InputCheck() const { return input_; }            // CheckBox3
  QCheckBox* SignedCheck() const { return signed_; }          // CheckBox5
  QRadioButton* DirectRadio() const { return direct_; }       // RadioButton1
  QRadioButton* IndirectRadio() const { return indirect_; }   // RadioButton2
  QSpinBox* UpperSpin() const { return upper_; }              // SpinEdit7
  QSpinBox* LowerSpin() const { return lower_; }              // SpinEdit8
  QSpinBox* DigitsSpin() const { return digits_; }            // SpinEdit5
  QSpinBox* DecimalsSpin() const { return decimals_; }        // SpinEdit6
  const FormatCombos& Format() const { return format_; }
  QCheckBox* LeadingZerosCheck() const { return leadingZeros_; }        // CheckBox1
  QCheckBox* PasswordCheck() const { return password_; }                // CheckBox2
  RegisterNumberSpin* KeyRegisterSpin() const { return keyRegister_; }  // SpinEdit10
  QLabel* KeyRegisterLabel() const { return keyRegisterLabel_; }
  QComboBox* ConditionCombo() const { return condition_; }  // ComboBox7
  QComboBox* ActionCombo() const { return action_; }        // ComboBox8

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  // The values as the fields show them, over those of the slot.
  RegisterProperties Shown() const;
  void DataFormatChosen();
  void KindShown();
  void UpdateEnabling();
  void UpdateLimitRanges();

  RegisterProperties stored_;
  OperandSelector* operand_ = nullptr;
  QComboBox* dataType_ = nullptr;
  QComboBox* dataFormat_ = nullptr;
  QCheckBox* signed_ = nullptr;
  QCheckBox* input_ = nullptr;
  QRadioButton* direct_ = nullptr;
  QRadioButton* indirect_ = nullptr;
  QSpinBox* upper_ = nullptr;
  QSpinBox* lower_ = nullptr;
  QSpinBox* digits_ = nullptr;
  QSpinBox* decimals_ = nullptr;
  FormatCombos format_;
  QCheckBox* leadingZeros_ = nullptr;
  QCheckBox* password_ = nullptr;
  QLabel* keyRegisterLabel_ = nullptr;
  RegisterNumberSpin* keyRegister_ = nullptr;
  QComboBox* condition_ = nullptr;
  QComboBox* action_ = nullptr;
};

}  // namespace dravik::elements
