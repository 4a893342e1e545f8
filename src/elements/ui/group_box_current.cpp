#include "elements/ui/group_box_current.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include "elements/register_properties.h"
#include "elements/ui/chart_fields.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

QSpinBox* RangeSpin(QWidget* parent, const char* name, const SpinRange& range, const char* hint) {
  return ui::Spin(parent, name, range.min, range.max, QString::fromUtf8(hint));
}

}  // namespace

TGroupBoxCurrent::TGroupBoxCurrent(QWidget* parent)
    : TElementDialog(parent, "GroupBoxCurrent", "历史趋势图属性 ") {
  // ---- the register and the grid
  auto* basicGroup = ui::Group(this, "BasicGroup", "基本");
  operand_ = new OperandSelector(basicGroup, {.category = AddressCategory::kWord,
                                              .registerCaption = kDataSourceCaption,
                                              .kindComboName = "ComboBox3",
                                              .registerName = "SpinEdit3"});
  dataType_ = ui::Combo(basicGroup, "ComboBox1", kDataTypeNames);
  gridColumns_ = RangeSpin(basicGroup, "SpinEdit5", kGridColumnsRange, "0  ~ 15");
  gridRows_ = RangeSpin(basicGroup, "SpinEdit6", kGridRowsRange, "0  ~ 31");
  QGridLayout* basicGrid = operand_->Grid();
  ui::Pair(basicGrid, 3, 0, ui::Label(basicGroup, "DataTypeLabel", "数据类型:"), dataType_);
  ui::Pair(basicGrid, 4, 0, ui::Label(basicGroup, "GridColumnsLabel", "横向格子数:"), gridColumns_);
  ui::Pair(basicGrid, 5, 0, ui::Label(basicGroup, "GridRowsLabel", "纵向格子数:"), gridRows_);
  (new QHBoxLayout(basicGroup))->addWidget(operand_);

  // ---- scale and sampling
  auto* controlGroup = ui::Group(this, "ControlGroup", "控制");
  fullScale_ = ui::Named(new QSpinBox(controlGroup), "SpinEdit19");
  params::MarkRuntimeText(fullScale_);  // its hint follows the data type
  zero_ = RangeSpin(controlGroup, "SpinEdit20", kTrendZeroRange, "0 ~ 65535");
  dataPoints_ = RangeSpin(controlGroup, "SpinEdit21", kDataPointsRange, "0 ~ 63");
  interval_ = RangeSpin(controlGroup, "SpinEdit22", kSampleSecondsRange, "0 ~ 60000");
  showGrid_ = ui::Named(new QCheckBox(QStringLiteral("显示网格"), controlGroup), "CheckBox2");
  // The panel draws no time labels: their settings are kept, not offered.
  timeLabels_ = ui::Named(new QCheckBox(QStringLiteral("显示时间标注"), controlGroup), "CheckBox3");
  labelFormat_ = ui::Combo(controlGroup, "ComboBox2", kLabelFormatNames);
  labelFont_ = ui::Combo(controlGroup, "ComboBox8", kFontNames);
  auto* labelFormatLabel = ui::Label(controlGroup, "LabelFormatLabel", "标注格式:");
  auto* labelFontLabel = ui::Label(controlGroup, "LabelFontLabel", "标注字体:");
  auto* controlGrid = new QGridLayout(controlGroup);
  ui::Pair(controlGrid, 0, 0, ui::Label(controlGroup, "FullScaleLabel", "满额度值:"), fullScale_);
  ui::Pair(controlGrid, 1, 0, ui::Label(controlGroup, "ZeroLabel", "零额度值:"), zero_);
  ui::Row(controlGrid, 2, ui::Label(controlGroup, "DataPointsLabel", "数据采集:"), dataPoints_,
          ui::Label(controlGroup, "PointsUnitLabel", "点"));
  ui::Row(controlGrid, 3, ui::Label(controlGroup, "IntervalLabel", "采样间隔:"), interval_,
          ui::Label(controlGroup, "SecondsUnitLabel", "秒"));
  controlGrid->addWidget(showGrid_, 4, 0, 1, 2);
  controlGrid->addWidget(timeLabels_, 5, 0, 1, 2);
  ui::Pair(controlGrid, 6, 0, labelFormatLabel, labelFormat_);
  ui::Pair(controlGrid, 7, 0, labelFontLabel, labelFont_);
  for (QWidget* hidden : std::initializer_list<QWidget*>{
           timeLabels_, labelFormatLabel, labelFormat_, labelFontLabel, labelFont_}) {
    hidden->hide();
  }

  auto* row = new QHBoxLayout;
  row->addWidget(basicGroup);
  row->addWidget(controlGroup);
  Body()->addLayout(row);

  OfferDeviceHelp(operand_);
  connect(dataType_, &QComboBox::currentIndexChanged, this, &TGroupBoxCurrent::DataTypeShown);
}

void TGroupBoxCurrent::Load(const model::PageRecord& page, int slot) {
  stored_ = ReadTrendChartProperties(page, slot);
  const TrendChartProperties& chart = stored_;
  {
    const QSignalBlocker blocker(dataType_);
    ui::SetIndex(dataType_, chart.operand.dataType);
  }
  DataTypeShown();
  operand_->Load(Context().lists, chart.operand.link, chart.operand.kind,
                 chart.operand.registerNumber, 0, Chinese());
  gridColumns_->setValue(chart.gridColumns);
  gridRows_->setValue(chart.gridRows);
  fullScale_->setValue(chart.fullScale);
  zero_->setValue(chart.zeroValue);
  dataPoints_->setValue(chart.dataPoints);
  interval_->setValue(chart.sampleSeconds);
  showGrid_->setChecked(chart.showGrid);
  timeLabels_->setChecked(false);
  ShowHiddenSelection(labelFormat_, chart.labelFormat);
  ShowHiddenSelection(labelFont_, chart.labelFont);
  Frame()->BackColour()->SetColour(chart.backColour);
  Frame()->ForeColour()->SetColour(chart.foreColour);
}

bool TGroupBoxCurrent::Store(model::PageRecord& page, int slot) {
  TrendChartProperties chart = stored_;
  chart.frame = FrameShown();
  chart.operand = {operand_->Link(), operand_->Kind(), operand_->Number(), chart.operand.dataType};
  ui::TakeIndex(dataType_, chart.operand.dataType);
  chart.gridColumns = gridColumns_->value();
  chart.gridRows = gridRows_->value();
  chart.fullScale = fullScale_->value();
  chart.zeroValue = zero_->value();
  chart.dataPoints = dataPoints_->value();
  chart.sampleSeconds = interval_->value();
  chart.showGrid = showGrid_->isChecked();
  chart.labelFormat = HiddenSelection(labelFormat_);
  chart.labelFont = HiddenSelection(labelFont_);
  chart.backColour = Frame()->BackColour()->Colour();
  chart.foreColour = Frame()->ForeColour()->Colour();
  if (const std::optional<Bilingual> refusal = CheckTrendChart(chart)) {
    Hooks().Show(this, *refusal, QMessageBox::Warning);
    fullScale_->setFocus();
    return false;
  }
  WriteTrendChartProperties(page, slot, chart);
  return true;
}

void TGroupBoxCurrent::DataTypeShown() {
  int dataType = stored_.operand.dataType;
  ui::TakeIndex(dataType_, dataType);
  SetScaleRange(fullScale_, FullScaleRange(dataType));
}

}  // namespace dravik::elements
