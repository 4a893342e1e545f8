#pragma once
// The drawing dialog (kinds 20..27): one dialog for the rectangle, the scale, the ellipse
// and the line that shows the fields of the kind at hand, captioned with the kind's name.
// Rectangle and ellipse: the registers that move them and hide them, filled, and the
// rectangle's outline. Scale: direction, major and minor divisions, the axis. Line: its
// width; its position and size show as the end points the panel draws, and stay as they
// are. One colour, the foreground.

#include <array>

#include "elements/drawing_properties.h"
#include "elements/ui/element_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace dravik::elements {

class OperandSelector;
class RegisterNumberSpin;

class TGroupDrawPicture : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupDrawPicture(QWidget* parent = nullptr);

  // A register that moves or hides a shape: its box, the label naming the kind, the field.
  struct RegisterRow {
    QCheckBox* check = nullptr;
    QLabel* label = nullptr;
    RegisterNumberSpin* number = nullptr;
  };
  enum Row { kHorizontal, kVertical, kVisibility };

  OperandSelector* Operand() const { return operand_; }
  const RegisterRow& Register(Row row) const { return rows_[row]; }
  QGroupBox* RegisterGroup() const { return registerGroup_; }
  QGroupBox* DisplayGroup() const { return displayGroup_; }
  QComboBox* OutlineCombo() const { return outline_; }      // ComboBox2
  QCheckBox* FlagCheck() const { return flag_; }            // CheckBox1: fill, or axis
  QComboBox* DirectionCombo() const { return direction_; }  // ComboBox3
  QSpinBox* MajorSpin() const { return major_; }            // SpinEdit5
  QSpinBox* MinorSpin() const { return minor_; }            // SpinEdit6
  QSpinBox* LineWidthSpin() const { return lineWidth_; }    // SpinEdit10

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;
  int MinElementSize() const override { return kMinDrawingSize; }

 private:
  void ShowFieldsOf(DrawingShape shape);
  void ShowLineEnds(const LineEnds& ends);
  void KindShown();
  void UpdateEnabling();

  int kind_ = 0;
  OperandSelector* operand_ = nullptr;
  QGroupBox* registerGroup_ = nullptr;
  std::array<RegisterRow, 3> rows_{};
  QLabel* outlineLabel_ = nullptr;
  QComboBox* outline_ = nullptr;
  QCheckBox* flag_ = nullptr;
  QGroupBox* displayGroup_ = nullptr;
  std::array<QWidget*, 6> scaleFields_{};  // covered for the line
  std::array<QWidget*, 2> lineFields_{};   // the line's only
  QComboBox* direction_ = nullptr;
  QSpinBox* major_ = nullptr;
  QSpinBox* minor_ = nullptr;
  QSpinBox* lineWidth_ = nullptr;
};

}  // namespace dravik::elements
