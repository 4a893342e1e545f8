#pragma once
// The bar graph dialog " 棒状图属性 " (kind 5): the word register the bar shows, its data
// type, the direction the bar grows in and its fill pattern, and the full-scale and zero
// values, each a constant or read from a register ("间接"), with the common frame. OK
// refuses two constants whose zero is not below the full scale.

#include <array>

#include "elements/chart_properties.h"
#include "elements/ui/element_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace dravik::elements {

class OperandSelector;
class RegisterNumberSpin;

// The item height and the sample of the fill pattern list, which draws each item itself.
inline constexpr int kPatternItemHeight = 20;
inline constexpr int kPatternSampleWidth = 52;
inline constexpr int kPatternSampleHeight = 16;
inline constexpr int kPatternSampleInset = 2;

class TGroupBoxVirgate : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxVirgate(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QComboBox* DataTypeCombo() const { return dataType_; }    // ComboBox1
  QComboBox* DirectionCombo() const { return direction_; }  // ComboBox2
  QComboBox* PatternCombo() const { return pattern_; }      // ComboBox3, hidden
  QLabel* PatternLabel() const { return patternLabel_; }
  QSpinBox* FullScaleSpin() const { return fullScale_; }                            // SpinEdit31
  QSpinBox* ZeroSpin() const { return zero_; }                                      // SpinEdit32
  QCheckBox* FullScaleIndirectCheck() const { return fullScaleIndirect_; }          // CheckBox14
  QCheckBox* ZeroIndirectCheck() const { return zeroIndirect_; }                    // CheckBox15
  RegisterNumberSpin* FullScaleRegisterSpin() const { return fullScaleRegister_; }  // SpinEdit12
  RegisterNumberSpin* ZeroRegisterSpin() const { return zeroRegister_; }            // SpinEdit15

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  void DataTypeShown();
  void KindShown();
  void UpdateEnabling();

  BarGraphProperties stored_;
  OperandSelector* operand_ = nullptr;
  QComboBox* dataType_ = nullptr;
  QComboBox* direction_ = nullptr;
  QLabel* patternLabel_ = nullptr;
  QComboBox* pattern_ = nullptr;
  QSpinBox* fullScale_ = nullptr;
  QSpinBox* zero_ = nullptr;
  QCheckBox* fullScaleIndirect_ = nullptr;
  QCheckBox* zeroIndirect_ = nullptr;
  RegisterNumberSpin* fullScaleRegister_ = nullptr;
  RegisterNumberSpin* zeroRegister_ = nullptr;
};

}  // namespace dravik::elements
