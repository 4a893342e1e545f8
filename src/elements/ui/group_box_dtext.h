#pragma once
// The dynamic text dialog " 动态文本属性 " (kind 7): the number of states, the word register
// whose value picks one, input with its options (a register that takes input is of the
// first word kind), password protection, the format word, and the value and text of every
// state in two grids, one per language, with the common frame. OK refuses values that
// repeat within a language or that a register cannot hold, naming the state.

#include "elements/dynamic_text_properties.h"
#include "elements/ui/element_dialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTabWidget;

namespace dravik::elements {

class OperandSelector;
class StateGrid;

class TGroupBoxDText : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxDText(QWidget* parent = nullptr);

  QSpinBox* StateCountSpin() const { return count_; }  // UpDown1 with its display
  OperandSelector* Operand() const { return operand_; }
  QCheckBox* InputCheck() const { return input_; }              // CheckBox3
  QCheckBox* ZeroOnLeaveCheck() const { return zeroOnLeave_; }  // CheckBox4
  QCheckBox* TransparentCheck() const { return transparent_; }  // CheckBox1, hidden
  QCheckBox* PasswordCheck() const { return password_; }        // CheckBox2
  const FormatCombos& Format() const { return format_; }
  QTabWidget* LanguageTabs() const { return tabs_; }
  StateGrid* Grid(int language) const { return grids_[language]; }  // Language1, Language2

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  // The values as the fields show them, over those of the slot.
  DynamicTextProperties Shown() const;
  void StateCountChanged(int count);
  // Input shows its option and takes the first word kind.
  void ApplyInputRule();

  DynamicTextProperties stored_;
  QSpinBox* count_ = nullptr;
  OperandSelector* operand_ = nullptr;
  QCheckBox* input_ = nullptr;
  QCheckBox* zeroOnLeave_ = nullptr;
  QCheckBox* transparent_ = nullptr;
  QCheckBox* password_ = nullptr;
  FormatCombos format_;
  QTabWidget* tabs_ = nullptr;
  std::array<StateGrid*, kLanguageCount> grids_{};
};

}  // namespace dravik::elements
