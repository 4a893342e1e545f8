#pragma once
// The ASCII-Chinese dialog "ASCII中文属性" (kind 9): the first of the word registers the
// text is read from, the string length, border, one of the element's own ten font sizes
// and alignment, with the common frame. It opens with the focus on the register number.

#include "elements/ui/element_dialog.h"

class QComboBox;
class QSpinBox;

namespace dravik::elements {

class OperandSelector;

class TGroupChangingLetter : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupChangingLetter(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QSpinBox* LengthSpin() const { return length_; }
  QComboBox* BorderCombo() const { return format_.border; }
  QComboBox* FontCombo() const { return format_.font; }
  QComboBox* AlignmentCombo() const { return format_.alignment; }

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;
  QWidget* FirstFocus() const override;

 private:
  OperandSelector* operand_ = nullptr;
  QSpinBox* length_ = nullptr;
  FormatCombos format_;
};

}  // namespace dravik::elements
