#pragma once
// The trend chart dialog "历史趋势图属性 " (kind 4): the word register whose history the
// chart plots, its data type, the grid, the full-scale and zero values, how many points
// are kept and how often one is taken, with the common frame. The time-label settings the
// panel does not use stay hidden and are carried through. OK refuses a zero that is not
// below the full scale.

#include "elements/chart_properties.h"
#include "elements/ui/element_dialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace dravik::elements {

class OperandSelector;

class TGroupBoxCurrent : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxCurrent(QWidget* parent = nullptr);

  OperandSelector* Operand() const { return operand_; }
  QComboBox* DataTypeCombo() const { return dataType_; }        // ComboBox1
  QSpinBox* GridColumnsSpin() const { return gridColumns_; }    // SpinEdit5
  QSpinBox* GridRowsSpin() const { return gridRows_; }          // SpinEdit6
  QSpinBox* FullScaleSpin() const { return fullScale_; }        // SpinEdit19
  QSpinBox* ZeroSpin() const { return zero_; }                  // SpinEdit20
  QSpinBox* DataPointsSpin() const { return dataPoints_; }      // SpinEdit21
  QSpinBox* IntervalSpin() const { return interval_; }          // SpinEdit22
  QCheckBox* GridCheck() const { return showGrid_; }            // CheckBox2
  QCheckBox* TimeLabelsCheck() const { return timeLabels_; }    // CheckBox3, hidden
  QComboBox* LabelFormatCombo() const { return labelFormat_; }  // ComboBox2, hidden
  QComboBox* LabelFontCombo() const { return labelFont_; }      // ComboBox8, hidden

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  void DataTypeShown();

  TrendChartProperties stored_;
  OperandSelector* operand_ = nullptr;
  QComboBox* dataType_ = nullptr;
  QSpinBox* gridColumns_ = nullptr;
  QSpinBox* gridRows_ = nullptr;
  QSpinBox* fullScale_ = nullptr;
  QSpinBox* zero_ = nullptr;
  QSpinBox* dataPoints_ = nullptr;
  QSpinBox* interval_ = nullptr;
  QCheckBox* showGrid_ = nullptr;
  QCheckBox* timeLabels_ = nullptr;
  QComboBox* labelFormat_ = nullptr;
  QComboBox* labelFont_ = nullptr;
};

}  // namespace dravik::elements
