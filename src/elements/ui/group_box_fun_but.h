#pragma once
// The bit switch dialog "位操作按钮" (kind 34), on two tabs. "控制": what a touch does to the
// bit (set ON, set OFF, hold, alternate), the panel key the switch answers to, whether it
// is invisible, the bit itself and password protection. "显示": font, alignment and
// border, and the OFF texts in both languages. Choosing a panel key names the switch
// after it. The ON state's texts and colours are not the dialog's.

#include <array>

#include "elements/ui/element_dialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace dravik::elements {

class OperandSelector;

class TGroupBoxFunBut : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxFunBut(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QTabWidget* Tabs() const { return tabs_; }
  // The action buttons, by tag: 0 "设ON", 1 "设OFF", 2 "保持型", 3 "交替型".
  QRadioButton* ActionRadio(int tag) const { return actions_[static_cast<std::size_t>(tag)]; }
  QComboBox* PanelKeyCombo() const { return panelKey_; }  // FnKeyVal
  QCheckBox* InvisibleCheck() const { return invisible_; }
  QCheckBox* PasswordCheck() const { return password_; }
  const FormatCombos& Format() const { return format_; }
  QLineEdit* LanguageOne() const { return edit1_; }
  QLineEdit* LanguageTwo() const { return edit2_; }

  // What choosing item `item` of the panel key list does to the two texts.
  void PanelKeyChosen(int item);

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  OperandSelector* operand_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::array<QRadioButton*, 4> actions_{};
  QButtonGroup* actionGroup_ = nullptr;
  QComboBox* panelKey_ = nullptr;
  QCheckBox* invisible_ = nullptr;
  QCheckBox* password_ = nullptr;
  FormatCombos format_;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
};

}  // namespace dravik::elements
