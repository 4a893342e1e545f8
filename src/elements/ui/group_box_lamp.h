#pragma once
// The lamp dialog " 指示灯属性 " (kind 3): the bit it shows, its type (round, square or
// dynamic characters), its logic and the texts of its two states, with the common frame
// whose colour panels are the OFF and ON colours.

#include "elements/ui/element_dialog.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace dravik::elements {

class OperandSelector;

class TGroupBoxLamp : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxLamp(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QComboBox* LampTypeCombo() const { return lampType_; }  // ComboBox1
  QRadioButton* PositiveRadio() const { return positive_; }
  QRadioButton* NegativeRadio() const { return negative_; }
  QLineEdit* StateOne() const { return edit1_; }
  QLineEdit* StateTwo() const { return edit2_; }

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  void LampTypeShown();

  OperandSelector* operand_ = nullptr;
  QComboBox* lampType_ = nullptr;
  QRadioButton* positive_ = nullptr;
  QRadioButton* negative_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  std::vector<QWidget*> stateFields_;
};

}  // namespace dravik::elements
