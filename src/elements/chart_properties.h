#pragma once
// What the trend chart dialog and the bar graph dialog edit, as plain values: the word
// register both show (link, kind, number, data type), the chart's grid, scale, sampling and
// its hidden label settings, the bar's constants or registers for full scale and zero, its
// direction and fill pattern. Read from a slot when the dialog opens, checked and written
// back at OK.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "elements/element_frame.h"
#include "elements/operand_choice.h"
#include "model/page_record.h"
#include "platform/bilingual.h"

namespace dravik::elements {

// The register field of the trend chart names its kind as the data source; the bar's
// "间接" boxes name the kind of their registers.
inline constexpr KindCaption kDataSourceCaption{"数据来源", "DatSources"};
inline constexpr KindCaption kIndirectCaption{"间接 ", "Indirect "};

// A list item a dialog keeps without showing it: a stored code the list does not have
// comes back as no selection, stored as the field's highest value.
inline constexpr int kNoItem = -1;
inline constexpr std::uint8_t kNoItemByte = 0xFF;
inline constexpr std::uint16_t kNoItemWord = 0xFFFF;
// The item a hidden list shows for a stored code: the code, or none.
int HiddenListItem(int stored, int itemCount);
std::uint8_t HiddenByteField(int item);
std::uint16_t HiddenWordField(int item);

// A word register of a link: the operand byte holds link, kind and data type.
struct WordOperand {
  int link = 0;
  int kind = 0;
  int registerNumber = 0;
  int dataType = 0;  // 0 "16 位", 1 "32 位"
  bool operator==(const WordOperand&) const = default;
};
WordOperand ReadWordOperand(const model::PageRecord& page, int slot);
void WriteWordOperand(model::PageRecord& page, int slot, const WordOperand& operand);

// The values a full scale takes: at least 1, up to 16 bits or nine decimal digits. The
// bar's zero takes the same up to 0; the chart's zero stays within 16 bits whatever the
// data type.
SpinRange FullScaleRange(int dataType);
SpinRange BarZeroRange(int dataType);
inline constexpr SpinRange kTrendZeroRange{0, 65535};
// "0 ~ " + the range's maximum, the hint of the scale fields.
std::string ScaleHint(const SpinRange& range);

// "满额度值必须 > 零额度值 ！"
extern const Bilingual kFullScaleMessage;

// ---- the trend chart (kind 4)

inline constexpr std::array<const char*, 3> kLabelFormatNames{"MM:SS", "HH:MM", "HH:MM:SS"};
inline constexpr SpinRange kGridColumnsRange{2, 15};
inline constexpr SpinRange kGridRowsRange{2, 31};
inline constexpr SpinRange kDataPointsRange{2, 63};
inline constexpr SpinRange kSampleSecondsRange{1, 60000};

struct TrendChartProperties {
  FrameValues frame;
  WordOperand operand;
  int gridColumns = 0;  // horizontal cells
  int gridRows = 0;     // vertical cells
  std::int32_t fullScale = 0;
  std::int32_t zeroValue = 0;
  int dataPoints = 0;
  int sampleSeconds = 0;
  bool showGrid = false;
  // The hidden label settings: a stored code, or kNoItem when the list showed none.
  int labelFormat = 0;
  int labelFont = 0;
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  bool operator==(const TrendChartProperties&) const = default;
};

TrendChartProperties ReadTrendChartProperties(const model::PageRecord& page, int slot);
// The refusal of OK: a zero that is not below the full scale.
std::optional<Bilingual> CheckTrendChart(const TrendChartProperties& chart);
// Writes every field; the time labels are always off.
void WriteTrendChartProperties(model::PageRecord& page, int slot,
                               const TrendChartProperties& chart);

// ---- the bar graph (kind 5)

inline constexpr std::array<const char*, 4> kBarDirectionNames{"向上", "向下", "向右", "向左"};
// The fill patterns in list order: solid, hollow, horizontal, vertical, falling and rising
// diagonals, cross-hatch, diagonal cross-hatch.
inline constexpr int kFillPatternCount = 8;
// Their names, for screen readers: the list shows samples only.
extern const std::array<Bilingual, kFillPatternCount> kFillPatternNames;

struct BarGraphProperties {
  FrameValues frame;
  WordOperand operand;
  int direction = 0;
  int pattern = 0;  // a stored code, or kNoItem when the list showed none
  bool fullScaleIndirect = false;
  bool zeroIndirect = false;
  std::int32_t fullScale = 0;
  std::int32_t zeroValue = 0;
  int fullScaleRegister = 0;
  int zeroRegister = 0;
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  bool operator==(const BarGraphProperties&) const = default;
};

BarGraphProperties ReadBarGraphProperties(const model::PageRecord& page, int slot);
// The refusal of OK: with both values constant, a zero that is not below the full scale.
std::optional<Bilingual> CheckBarGraph(const BarGraphProperties& bar);
void WriteBarGraphProperties(model::PageRecord& page, int slot, const BarGraphProperties& bar);

}  // namespace dravik::elements
