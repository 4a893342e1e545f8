#include "elements/chart_properties.h"

#include "elements/element_fields.h"
#include "elements/operand_byte.h"
#include "elements/register_properties.h"

namespace dravik::elements {

namespace {

constexpr int kMax16Bit = 65535;
constexpr int kMax32Bit = 999999999;  // nine decimal digits

int ScaleMaximum(int dataType) {
  return dataType == kDataType32 ? kMax32Bit : kMax16Bit;
}

}  // namespace

const Bilingual kFullScaleMessage{"满额度值必须 > 零额度值 ！",
                                  "Full limit value must be > zero limit value!"};

const std::array<Bilingual, kFillPatternCount> kFillPatternNames{{
    {"实心", "Solid"},
    {"空心", "Hollow"},
    {"横线", "Horizontal lines"},
    {"竖线", "Vertical lines"},
    {"右下斜线", "Falling diagonals"},
    {"右上斜线", "Rising diagonals"},
    {"十字线", "Cross-hatch"},
    {"斜十字线", "Diagonal cross-hatch"},
}};

int HiddenListItem(int stored, int itemCount) {
  return stored >= 0 && stored < itemCount ? stored : kNoItem;
}

std::uint8_t HiddenByteField(int item) {
  return item < 0 ? kNoItemByte : static_cast<std::uint8_t>(item);
}

std::uint16_t HiddenWordField(int item) {
  return item < 0 ? kNoItemWord : static_cast<std::uint16_t>(item);
}

WordOperand ReadWordOperand(const model::PageRecord& page, int slot) {
  const OperandElement element(page, slot);
  const OperandByte operand = element.operand();
  return {operand.link, operand.registerKind, element.registerNumber(), operand.bitOrType};
}

void WriteWordOperand(model::PageRecord& page, int slot, const WordOperand& operand) {
  const OperandElement element(page, slot);
  element.registerNumber() = static_cast<std::uint16_t>(operand.registerNumber);
  element.operandByte() = OperandByte{operand.dataType, operand.kind, operand.link}.Pack();
}

SpinRange FullScaleRange(int dataType) {
  return {1, ScaleMaximum(dataType)};
}

SpinRange BarZeroRange(int dataType) {
  return {0, ScaleMaximum(dataType)};
}

std::string ScaleHint(const SpinRange& range) {
  return "0 ~ " + std::to_string(range.max);
}

TrendChartProperties ReadTrendChartProperties(const model::PageRecord& page, int slot) {
  const TrendChartElement element(page, slot);
  TrendChartProperties chart;
  chart.frame = ReadFrame(page, slot);
  chart.operand = ReadWordOperand(page, slot);
  chart.gridColumns = element.gridCells() >> 8;
  chart.gridRows = element.gridCells() & 0xFF;
  chart.fullScale = element.fullScale();
  chart.zeroValue = element.zeroValue();
  chart.dataPoints = element.dataPoints();
  chart.sampleSeconds = element.sampleSeconds();
  chart.showGrid = element.showGrid() != 0;
  chart.labelFormat = element.labelFormat();
  chart.labelFont = element.labelSize();
  chart.backColour = ColourOf(element.backColour());
  chart.foreColour = ColourOf(element.foreColour());
  return chart;
}

std::optional<Bilingual> CheckTrendChart(const TrendChartProperties& chart) {
  if (chart.zeroValue >= chart.fullScale) return kFullScaleMessage;
  return std::nullopt;
}

void WriteTrendChartProperties(model::PageRecord& page, int slot,
                               const TrendChartProperties& chart) {
  const TrendChartElement element(page, slot);
  WriteFrame(page, slot, chart.frame);
  WriteWordOperand(page, slot, chart.operand);
  element.gridCells() = static_cast<std::uint16_t>(chart.gridColumns * 256 + chart.gridRows);
  element.fullScale() = chart.fullScale;
  element.zeroValue() = chart.zeroValue;
  element.dataPoints() = static_cast<std::uint16_t>(chart.dataPoints);
  element.sampleSeconds() = static_cast<std::uint16_t>(chart.sampleSeconds);
  element.showGrid() = chart.showGrid ? 1 : 0;
  element.showTimeLabels() = 0;
  element.labelFormat() = HiddenByteField(chart.labelFormat);
  element.labelSize() = HiddenWordField(chart.labelFont);
  element.backColour() = ColourField(chart.backColour);
  element.foreColour() = ColourField(chart.foreColour);
}

BarGraphProperties ReadBarGraphProperties(const model::PageRecord& page, int slot) {
  const BarGraphElement element(page, slot);
  BarGraphProperties bar;
  bar.frame = ReadFrame(page, slot);
  bar.operand = ReadWordOperand(page, slot);
  bar.direction = element.directionAndPattern() >> 8;
  bar.pattern = element.directionAndPattern() & 0xFF;
  bar.fullScaleIndirect = element.fullScaleIndirect() != 0;
  bar.zeroIndirect = element.zeroIndirect() != 0;
  bar.fullScale = element.fullScale();
  bar.zeroValue = element.zeroValue();
  bar.fullScaleRegister = element.fullScaleRegister();
  bar.zeroRegister = element.zeroRegister();
  bar.backColour = ColourOf(element.backColour());
  bar.foreColour = ColourOf(element.foreColour());
  return bar;
}

std::optional<Bilingual> CheckBarGraph(const BarGraphProperties& bar) {
  // A value read from a register is not known here; only two constants can be compared.
  if (bar.fullScaleIndirect || bar.zeroIndirect) return std::nullopt;
  if (bar.zeroValue >= bar.fullScale) return kFullScaleMessage;
  return std::nullopt;
}

void WriteBarGraphProperties(model::PageRecord& page, int slot, const BarGraphProperties& bar) {
  const BarGraphElement element(page, slot);
  WriteFrame(page, slot, bar.frame);
  WriteWordOperand(page, slot, bar.operand);
  // A pattern the list did not show leaves the direction whole: only its own byte says so.
  element.directionAndPattern() =
      static_cast<std::uint16_t>(bar.direction * 256 + HiddenByteField(bar.pattern));
  element.fullScaleIndirect() = bar.fullScaleIndirect ? 1 : 0;
  element.zeroIndirect() = bar.zeroIndirect ? 1 : 0;
  element.fullScale() = bar.fullScale;
  element.zeroValue() = bar.zeroValue;
  element.fullScaleRegister() = static_cast<std::uint16_t>(bar.fullScaleRegister);
  element.zeroRegister() = static_cast<std::uint16_t>(bar.zeroRegister);
  element.backColour() = ColourField(bar.backColour);
  element.foreColour() = ColourField(bar.foreColour);
}

}  // namespace dravik::elements
