#pragma once
// The function key dialog "功能键属性 " (kind 8): the key's captions in both panel
// languages, its password protection, what it does (a jump to a page of the jump-target
// list, or one of the panel's functions) and its format, with the common frame.

#include "elements/ui/element_dialog.h"
#include "elements/ui/frame_fields.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace dravik::elements {

class TGroupBoxFunKey : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxFunKey(QWidget* parent = nullptr);

  QLineEdit* LanguageOne() const { return edit1_; }
  QLineEdit* LanguageTwo() const { return edit2_; }
  QCheckBox* TransparentCheck() const { return transparent_; }         // CheckBox1
  QCheckBox* PasswordCheck() const { return password_; }               // CheckBox2
  QRadioButton* PageJumpRadio() const { return pageJump_; }            // RadioButton1
  QRadioButton* PanelFunctionRadio() const { return panelFunction_; }  // RadioButton2
  QComboBox* JumpTargetCombo() const { return jumpTarget_; }           // FunJumpingPage
  QComboBox* FunctionCombo() const { return function_; }               // ComboBox1
  const FormatCombos& Format() const { return format_; }

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  // The jump target is chosen while the key jumps, the function while it runs one.
  void RadioInterlock();

  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QCheckBox* transparent_ = nullptr;
  QCheckBox* password_ = nullptr;
  QRadioButton* pageJump_ = nullptr;
  QRadioButton* panelFunction_ = nullptr;
  QLabel* jumpLabel_ = nullptr;
  QComboBox* jumpTarget_ = nullptr;
  QComboBox* function_ = nullptr;
  FormatCombos format_;
};

}  // namespace dravik::elements
