#pragma once
// One description per element kind: its names, the size of its placement frame, the slots
// it may take and the values it is placed with. Whatever asks about a kind asks here; the
// compiler's encoders and the editor's renderers keep their own tables keyed by the same
// kinds, as the core cannot point at drawing code.

#include <array>
#include <span>
#include <string_view>

#include "elements/element_kind.h"
#include "elements/kind_defaults.h"
#include "model/page_record.h"
#include "model/project_image.h"

namespace dravik::elements {

struct KindName {
  std::string_view chinese;  // language one
  std::string_view english;  // language two
};

struct GhostSize {
  int width;
  int height;
  bool operator==(const GhostSize&) const = default;
};

// A text's frame follows the default text font of the work parameters (settings
// ElemLongC[51]); the dialog offers 0..2, the table goes up to 5.
inline constexpr std::array<GhostSize, 6> kTextGhostSizes{
    {{52, 18}, {76, 26}, {98, 32}, {148, 48}, {196, 64}, {288, 96}}};

using DefaultsWriter = void (*)(PageRecord& page, int slot, const PageRecord& settings);

// The slots placement searches: the text-table kinds live where the page's state texts
// have room, and the kinds that need 100 states only where each slot has 100.
struct SlotRange {
  int first;
  int last;
};
inline constexpr SlotRange kAnySlot{0, model::kLastUsableSlot};
inline constexpr SlotRange kTextTableSlots{model::kTextTableFirstSlot, model::kLastUsableSlot};
inline constexpr SlotRange kHundredStateSlots{model::kTextTableFirstSlot, 149};

struct KindDescriptor {
  ElementKind code;
  KindName name;  // empty for the codes no command places
  GhostSize ghost;
  bool ghostFollowsTextFont;  // the text kind: ghost is only the frame of font 0
  SlotRange slotRange;
  DefaultsWriter writeDefaults;

  // Its state texts live in the page's text table (DynTextStates).
  constexpr bool UsesTextTable() const { return slotRange.first == model::kTextTableFirstSlot; }
  constexpr bool HasName() const { return !name.chinese.empty(); }
};

// clang-format off
inline constexpr std::array<KindDescriptor, 34> kKindDescriptors{{
  // code                  names (language one, two)             ghost      font?  slots               defaults
  {kKindText,              {"文本", "Text"},                     {52, 18},   true,  kAnySlot,           WriteTextDefaults},
  {kKindRegister,          {"寄存器", "Register"},               {60, 26},   false, kAnySlot,           WriteRegisterDefaults},
  {kKindLamp,              {"指示灯", "Lamp"},                   {20, 20},   false, kAnySlot,           WriteLampDefaults},
  {kKindTrendChart,        {"趋势图", "Tendency chart"},         {200, 100}, false, kAnySlot,           WriteTrendChartDefaults},
  {kKindBarGraph,          {"棒状图", "Bar graph"},              {20, 60},   false, kAnySlot,           WriteBarGraphDefaults},
  {kKindPicture,           {"图片", "BMP"},                      {16, 16},   false, kAnySlot,           WritePictureDefaults},
  {kKindDynamicText,       {"动态文本", "Dynamic text"},         {132, 32},  false, kTextTableSlots,    WriteDynamicTextDefaults},
  {kKindFunctionKey,       {"功能键", "Function key"},           {80, 32},   false, kAnySlot,           WriteFunctionKeyDefaults},
  {kKindAsciiChinese,      {"ASCII中文", "ASCII Chinese"},       {132, 32},  false, kAnySlot,           WriteAsciiChineseDefaults},
  {kKindDate,              {"日期", "Date"},                     {180, 28},  false, kAnySlot,           WriteDateDefaults},
  {kKindTime,              {"时间", "Time"},                     {158, 28},  false, kAnySlot,           WriteTimeDefaults},
  {kKindTextListA,         {},                                   {302, 180}, false, kHundredStateSlots, KeepCommonValues},
  {kKindTextListB,         {},                                   {302, 180}, false, kHundredStateSlots, KeepCommonValues},
  {kKindTextListC,         {},                                   {302, 180}, false, kHundredStateSlots, KeepCommonValues},
  {kKindWideTextList,      {},                                   {467, 180}, false, kHundredStateSlots, KeepCommonValues},
  {kKindSmallRegister,     {},                                   {60, 22},   false, kAnySlot,           KeepCommonValues},
  {kKindBitButton,         {},                                   {28, 40},   false, kAnySlot,           KeepCommonValues},
  {kKindWordField,         {},                                   {61, 16},   false, kAnySlot,           KeepCommonValues},
  {kKindStationText,       {},                                   {302, 180}, false, kTextTableSlots,    KeepCommonValues},
  {kKindRectangle,         {"长方形", "Rectangle"},              {100, 50},  false, kAnySlot,           WriteRectangleDefaults},
  {kKindRectangleVariant1, {},                                   {100, 50},  false, kAnySlot,           KeepCommonValues},
  {kKindRectangleVariant2, {},                                   {100, 50},  false, kAnySlot,           KeepCommonValues},
  {kKindRectangleVariant3, {},                                   {100, 30},  false, kAnySlot,           KeepCommonValues},
  {kKindRectangleVariant4, {},                                   {30, 100},  false, kAnySlot,           KeepCommonValues},
  {kKindScale,             {"刻度", "Scale"},                    {30, 100},  false, kAnySlot,           WriteScaleDefaults},
  {kKindEllipse,           {"椭圆形", "Ellipse"},                {50, 50},   false, kAnySlot,           WriteEllipseDefaults},
  {kKindLine,              {"线", "Line"},                       {50, 50},   false, kAnySlot,           WriteLineDefaults},
  {kKindMovingShape,       {},                                   {50, 50},   false, kAnySlot,           KeepCommonValues},
  {kKindTrendChartVariant, {},                                   {200, 100}, false, kAnySlot,           KeepCommonValues},
  {kKindRegisterText,      {},                                   {0, 0},     false, kAnySlot,           KeepCommonValues},
  {kKindWordPanel,         {},                                   {228, 128}, false, kAnySlot,           KeepCommonValues},
  {kKindStateTextStrip,    {},                                   {300, 25},  false, kTextTableSlots,    KeepCommonValues},
  {kKindBitSwitch,         {"位操作开关", "Bit Ope.Switch"},     {80, 32},   false, kAnySlot,           WriteBitSwitchDefaults},
  {kKindTextStrip,         {},                                   {300, 25},  false, kAnySlot,           KeepCommonValues},
}};
// clang-format on

// Every kind code the system knows, in code order.
constexpr std::span<const KindDescriptor> AllKinds() {
  return kKindDescriptors;
}

// The description of `code`; nullptr for the empty slot and for codes the system does not
// know.
constexpr const KindDescriptor* FindKind(int code) {
  for (const KindDescriptor& kind : kKindDescriptors) {
    if (kind.code == code) return &kind;
  }
  return nullptr;
}

}  // namespace dravik::elements
