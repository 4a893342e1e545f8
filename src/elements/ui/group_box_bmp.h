#pragma once
// The picture element dialog " 图片属性 " (kind 6): where the picture stands, the picture
// itself (a double click on the preview opens the picture library to choose another, whose
// size the element takes) and the bit that may hide it.

#include "elements/picture_properties.h"
#include "elements/ui/element_dialog.h"

class QCheckBox;
class QLabel;

namespace dravik::elements {

class OperandSelector;

class TGroupBoxBmp : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxBmp(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QCheckBox* VisibilityCheck() const { return visibility_; }  // CheckBox1
  QLabel* Preview() const { return preview_; }                // Image1
  int ChosenId() const { return chosenId_; }
  // What a double click on the preview does.
  void ChangePicture();

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows picture `chosenId_`; with `takeSize` the element takes the picture's size.
  void ShowChosenPicture(bool takeSize);
  void VisibilityShown();

  int chosenId_ = 0;
  QLabel* preview_ = nullptr;
  QCheckBox* visibility_ = nullptr;
  OperandSelector* operand_ = nullptr;
};

}  // namespace dravik::elements
