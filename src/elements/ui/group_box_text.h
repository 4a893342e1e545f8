#pragma once
// The text dialog " 文本属性 " (kind 1): the text in both panel languages, its font and,
// shown but fixed, its alignment, with the common frame.

#include "elements/ui/element_dialog.h"

class QComboBox;
class QLineEdit;

namespace dravik::elements {

class TGroupBoxText : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxText(QWidget* parent = nullptr);

  QLineEdit* LanguageOne() const { return edit1_; }
  QLineEdit* LanguageTwo() const { return edit2_; }
  QComboBox* FontCombo() const { return format_.font; }
  QComboBox* AlignmentCombo() const { return format_.alignment; }

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  FormatCombos format_;
};

}  // namespace dravik::elements
