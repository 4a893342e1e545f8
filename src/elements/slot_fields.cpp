#include "elements/slot_fields.h"

#include <array>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <vector>

#include "elements/element_kind.h"

namespace dravik::elements {

namespace {

using F = SlotField;
using model::PageRecord;

constexpr std::array<std::string_view, kSlotFieldCount> kArrayNames{
    "ElemTextA", "ElemTextB", "ElemNameA", "ElemNameB", "ElemLeft",  "ElemTop",
    "ElemByteA", "ElemWidth", "ElemHeight", "ElemLongA", "ElemLongB", "ElemWordA",
    "ElemByteB", "ElemByteC", "ElemByteD", "ElemByteE", "ElemLongC", "ElemLongD",
    "ElemWordB", "ElemWordC", "ElemWordD", "ElemWordE", "ElemByteF"};

constexpr int Index(SlotField field) {
  return static_cast<int>(field);
}

// The names of element_fields.h, group by group as its views build on each other.
using Group = std::initializer_list<NamedField>;

const Group kCommon{{F::Left, "left"}, {F::Top, "top"}, {F::Width, "width"},
                    {F::Height, "height"}, {F::ByteA, "moveLock"}};
const Group kOperand{{F::WordA, "registerNumber"}, {F::ByteB, "operandByte"}};
const Group kLinkWord{{F::WordA, "registerNumber"}, {F::WordD, "linkWordBits"},
                      {F::WordE, "keyRegister"}};
const Group kColours{{F::LongA, "backColour", true}, {F::LongB, "foreColour", true}};
const Group kTextFamily{{F::TextA, "languageOneText"}, {F::TextB, "languageTwoText"},
                        {F::LongA, "backColour", true}, {F::LongB, "foreColour", true},
                        {F::WordC, "formatBits"}};
const Group kText{{F::WordB, "marker"}, {F::WordA, "bitRegister"},
                  {F::ByteB, "bitOperandByte"}, {F::ByteD, "bitInUse"}};
const Group kRegister{{F::TextA, "previewText"}, {F::NameA, "keypadCaptionOne"},
                      {F::NameB, "keypadCaptionTwo"}, {F::ByteC, "inputAllowed"},
                      {F::ByteD, "isSigned"}, {F::ByteE, "indirectLimits"},
                      {F::LongC, "upperLimit"}, {F::LongD, "lowerLimit"},
                      {F::WordB, "digitsAndDecimals"}, {F::WordC, "formatBits"},
                      {F::WordD, "options"}, {F::WordE, "keyRegister"},
                      {F::ByteF, "keyCondition"}};
const Group kLamp{{F::TextA, "offText"}, {F::TextB, "onText"}, {F::LongA, "offColour", true},
                  {F::LongB, "onColour", true}, {F::ByteD, "negativeLogic"},
                  {F::ByteF, "lampType"}};
const Group kTrendChart{{F::TextA, "placementTextHead"}, {F::TextB, "placementTextTail"},
                        {F::WordB, "gridCells"}, {F::LongC, "fullScale"},
                        {F::LongD, "zeroValue"}, {F::WordC, "dataPoints"},
                        {F::WordD, "sampleSeconds"}, {F::ByteE, "showGrid"},
                        {F::ByteC, "showTimeLabels"}, {F::WordE, "labelSize"},
                        {F::ByteF, "labelFormat"}};
const Group kBarGraph{{F::ByteC, "fullScaleIndirect"}, {F::ByteE, "zeroIndirect"},
                      {F::LongC, "fullScale"}, {F::LongD, "zeroValue"},
                      {F::WordB, "fullScaleRegister"}, {F::WordD, "zeroRegister"},
                      {F::WordC, "directionAndPattern"}};
const Group kPicture{{F::WordE, "pictureNumber"}, {F::ByteD, "visibilityByBit"},
                     {F::LongA, "keyColour", true}, {F::WordD, "showFlags"}};
const Group kDynamicText{{F::ByteB, "stateCount"}, {F::ByteC, "inputAllowed"},
                         {F::ByteD, "zeroOnLeave"}, {F::WordC, "formatBits"},
                         {F::TextA, "languageOneText"}, {F::TextB, "languageTwoText"},
                         {F::NameA, "keypadCaptionOne"}, {F::NameB, "keypadCaptionTwo"}};
const Group kFunctionKey{{F::WordD, "options"}, {F::LongD, "jumpPage"},
                         {F::WordE, "panelFunction"}, {F::LongC, "stationId"}};
const Group kAsciiChinese{{F::TextA, "previewText"}, {F::ByteB, "length"},
                          {F::WordC, "formatBits"}};
const Group kClock{{F::TextA, "formatText"}, {F::ByteB, "displayFormat"},
                   {F::ByteC, "inputAllowed"}, {F::WordC, "formatBits"}, {F::WordD, "marker"}};
const Group kStationText{{F::WordB, "stationId"}};
const Group kShape{{F::LongB, "colour", true}, {F::LongA, "secondColour", true},
                   {F::WordD, "linkWordBits"}, {F::ByteC, "movesHorizontally"},
                   {F::LongC, "horizontalRegister"}, {F::ByteD, "movesVertically"},
                   {F::LongD, "verticalRegister"}, {F::ByteE, "visibilityByRegister"},
                   {F::WordA, "visibilityRegister"}, {F::WordE, "outline"},
                   {F::WordC, "variant"}};
const Group kScale{{F::LongB, "colour", true}, {F::WordA, "majorDivisions"},
                   {F::ByteB, "minorDivisions"}, {F::WordB, "direction"},
                   {F::WordD, "linkWordBits"}};
const Group kLine{{F::LongB, "colour", true}, {F::WordC, "lineWidth"}, {F::ByteD, "rising"}};
const Group kWordPanel{{F::WordA, "registerNumber"}, {F::LongD, "deviceSelector"}};
const Group kBitSwitch{{F::TextA, "offTextOne"}, {F::NameA, "offTextTwo"},
                       {F::TextB, "onTextOne"}, {F::NameB, "onTextTwo"},
                       {F::LongA, "offBackColour", true}, {F::LongB, "offTextColour", true},
                       {F::LongC, "onBackColour", true}, {F::LongD, "onTextColour", true},
                       {F::WordE, "action"}, {F::WordC, "formatBits"},
                       {F::ByteC, "passwordProtected"}, {F::ByteD, "invisible"},
                       {F::WordB, "panelKey"}};

// The groups each kind's view is made of; kinds without a view keep the common names.
std::vector<const Group*> GroupsOf(int kind) {
  switch (kind) {
    case kKindText: return {&kTextFamily, &kText};
    case kKindRegister: return {&kOperand, &kColours, &kRegister};
    case kKindLamp: return {&kOperand, &kLamp};
    case kKindTrendChart: return {&kOperand, &kColours, &kTrendChart};
    case kKindBarGraph: return {&kOperand, &kColours, &kBarGraph};
    case kKindPicture: return {&kOperand, &kPicture};
    case kKindDynamicText: return {&kLinkWord, &kColours, &kDynamicText};
    case kKindFunctionKey: return {&kTextFamily, &kFunctionKey};
    case kKindAsciiChinese: return {&kLinkWord, &kColours, &kAsciiChinese};
    case kKindDate:
    case kKindTime: return {&kColours, &kClock};
    case kKindStationText: return {&kLinkWord, &kStationText};
    case kKindRectangle:
    case kKindRectangleVariant1:
    case kKindRectangleVariant2:
    case kKindRectangleVariant3:
    case kKindRectangleVariant4:
    case kKindEllipse:
    case kKindMovingShape: return {&kShape};
    case kKindScale: return {&kScale};
    case kKindLine: return {&kLine};
    case kKindRegisterText: return {&kTextFamily, &kLinkWord};
    case kKindWordPanel: return {&kWordPanel};
    case kKindBitSwitch: return {&kOperand, &kBitSwitch};
    default: return {};
  }
}

constexpr int kKindTableSize = 256;
using KindFields = std::array<NamedField, kSlotFieldCount>;

std::array<KindFields, kKindTableSize> BuildTable() {
  std::array<KindFields, kKindTableSize> table{};
  for (int kind = 0; kind < kKindTableSize; ++kind) {
    KindFields& fields = table[static_cast<std::size_t>(kind)];
    for (int i = 0; i < kSlotFieldCount; ++i) {
      fields[static_cast<std::size_t>(i)] = {static_cast<SlotField>(i), kArrayNames[static_cast<std::size_t>(i)]};
    }
    auto apply = [&fields](const Group& group) {
      for (const NamedField& named : group) fields[static_cast<std::size_t>(Index(named.field))] = named;
    };
    apply(kCommon);
    for (const Group* group : GroupsOf(kind)) apply(*group);
  }
  return table;
}

const std::array<KindFields, kKindTableSize>& Table() {
  static const std::array<KindFields, kKindTableSize> table = BuildTable();
  return table;
}

template <class Visit>
decltype(auto) WithArray(PageRecord& r, SlotField field, Visit&& visit) {
  switch (field) {
    case F::TextA: return visit(r.ElemTextA);
    case F::TextB: return visit(r.ElemTextB);
    case F::NameA: return visit(r.ElemNameA);
    case F::NameB: return visit(r.ElemNameB);
    case F::Left: return visit(r.ElemLeft);
    case F::Top: return visit(r.ElemTop);
    case F::ByteA: return visit(r.ElemByteA);
    case F::Width: return visit(r.ElemWidth);
    case F::Height: return visit(r.ElemHeight);
    case F::LongA: return visit(r.ElemLongA);
    case F::LongB: return visit(r.ElemLongB);
    case F::WordA: return visit(r.ElemWordA);
    case F::ByteB: return visit(r.ElemByteB);
    case F::ByteC: return visit(r.ElemByteC);
    case F::ByteD: return visit(r.ElemByteD);
    case F::ByteE: return visit(r.ElemByteE);
    case F::LongC: return visit(r.ElemLongC);
    case F::LongD: return visit(r.ElemLongD);
    case F::WordB: return visit(r.ElemWordB);
    case F::WordC: return visit(r.ElemWordC);
    case F::WordD: return visit(r.ElemWordD);
    case F::WordE: return visit(r.ElemWordE);
    case F::ByteF: return visit(r.ElemByteF);
  }
  return visit(r.ElemByteF);
}

// The integer an array entry holds.
template <class T>
struct Stored {
  using type = T;
};
template <class T>
struct Stored<model::LittleEndian<T>> {
  using type = T;
};

template <class T>
constexpr bool kIsShortString = requires(T t) { t.View(); };

}  // namespace

FieldType TypeOf(SlotField field) {
  switch (field) {
    case F::TextA:
    case F::TextB: return FieldType::Text50;
    case F::NameA:
    case F::NameB: return FieldType::Text20;
    case F::ByteA: case F::ByteB: case F::ByteC: case F::ByteD: case F::ByteE:
    case F::ByteF: return FieldType::Byte;
    case F::LongA: case F::LongB: case F::LongC: case F::LongD: return FieldType::Long;
    default: return FieldType::Word;
  }
}

bool IsText(FieldType type) {
  return type == FieldType::Text20 || type == FieldType::Text50;
}

std::size_t TextCapacity(FieldType type) {
  return type == FieldType::Text20 ? 20 : type == FieldType::Text50 ? 50 : 0;
}

std::int64_t MinimumOf(FieldType type) {
  return type == FieldType::Long ? std::numeric_limits<std::int32_t>::min() : 0;
}

std::int64_t MaximumOf(FieldType type) {
  switch (type) {
    case FieldType::Byte: return 0xFF;
    case FieldType::Word: return 0xFFFF;
    case FieldType::Long: return std::numeric_limits<std::int32_t>::max();
    default: return 0;
  }
}

std::string_view ArrayName(SlotField field) {
  return kArrayNames[static_cast<std::size_t>(Index(field))];
}

std::optional<SlotField> FieldByArrayName(std::string_view name) {
  for (int i = 0; i < kSlotFieldCount; ++i) {
    if (kArrayNames[static_cast<std::size_t>(i)] == name) return static_cast<SlotField>(i);
  }
  return std::nullopt;
}

std::int64_t NumberAt(const PageRecord& record, SlotField field, int index) {
  return WithArray(const_cast<PageRecord&>(record), field, [index](auto& array) -> std::int64_t {
    using T = std::decay_t<decltype(array[0])>;
    if constexpr (kIsShortString<T>) {
      return 0;
    } else {
      return static_cast<std::int64_t>(array[static_cast<std::size_t>(index)]);
    }
  });
}

void SetNumberAt(PageRecord& record, SlotField field, int index, std::int64_t value) {
  WithArray(record, field, [index, value](auto& array) {
    using T = std::decay_t<decltype(array[0])>;
    if constexpr (!kIsShortString<T>) {
      array[static_cast<std::size_t>(index)] = static_cast<typename Stored<T>::type>(value);
    }
  });
}

std::string_view TextAt(const PageRecord& record, SlotField field, int index) {
  return WithArray(const_cast<PageRecord&>(record), field, [index](auto& array) -> std::string_view {
    using T = std::decay_t<decltype(array[0])>;
    if constexpr (kIsShortString<T>) {
      return array[static_cast<std::size_t>(index)].View();
    } else {
      return {};
    }
  });
}

void SetTextAt(PageRecord& record, SlotField field, int index, std::string_view gbk) {
  WithArray(record, field, [index, gbk](auto& array) {
    using T = std::decay_t<decltype(array[0])>;
    if constexpr (kIsShortString<T>) array[static_cast<std::size_t>(index)].Assign(gbk);
  });
}

NamedField FieldNameFor(int kind, SlotField field) {
  const int row = kind >= 0 && kind < kKindTableSize ? kind : 0;
  return Table()[static_cast<std::size_t>(row)][static_cast<std::size_t>(Index(field))];
}

std::optional<NamedField> FieldNamedBy(int kind, std::string_view name) {
  const int row = kind >= 0 && kind < kKindTableSize ? kind : 0;
  for (const NamedField& named : Table()[static_cast<std::size_t>(row)]) {
    if (named.name == name) return named;
  }
  if (auto field = FieldByArrayName(name)) return FieldNameFor(kind, *field);
  return std::nullopt;
}

}  // namespace dravik::elements
