#pragma once
// Where things sit in the device image (QX.bin): the fixed places of the header, the
// fields of the settings block and the field order of every element record. The compiler
// writes by these and the image reader reads by them, so the two cannot drift apart.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "elements/element_kind.h"

namespace dravik::compiler {

// The panel accepts images of at most 150 KB. The buffer is a little larger, because the
// limit is judged once the image is complete.
inline constexpr std::size_t kMaxImageSize = 153600;
inline constexpr std::size_t kImageBufferSize = 160004;

// Fixed places in the image.
inline constexpr std::size_t kPictureSectionOffsetField = 0;  // u32
inline constexpr std::size_t kAlarmTableOffsetField = 122;    // u32
inline constexpr std::size_t kImageMarkerField = 126;         // u16 0xE916
inline constexpr std::uint16_t kImageMarker = 0xE916;
inline constexpr std::size_t kAlarmCountField = 82;  // byte: number of alarm texts
inline constexpr std::size_t kHeaderSize = 800;      // header incl. the macro area
inline constexpr std::size_t kPageCountField = 800;
inline constexpr std::size_t kFirstPageBlock = kPageCountField + 1;
// Header, page count and the picture count byte of an image without pages or alarms.
inline constexpr std::size_t kSmallestImage = kFirstPageBlock + 1;
inline constexpr int kMaxImagePages = 240;

// A page block: marker, page number byte, the kind count table, the background colour and
// the key jump bytes, then its element records.
inline constexpr std::uint8_t kPageBlockMarker[6] = {0xEE, 0xEE, 0x11, 0x11, 0xEE, 0xEE};
inline constexpr int kKindCountTableSize = 50;  // byte k-1 counts the records of kind k
inline constexpr int kKeyJumpBytes = 22;
// On the protocols with a register offset, key bytes 20 and 21 carry it as a u16.
inline constexpr int kRegisterOffsetKeyByte = 20;
// Link 1 protocols whose pages carry a register address offset (they have 20 keys).
constexpr bool ProtocolHasRegisterOffset(int protocol) {
  return protocol == 1 || protocol == 2;
}
inline constexpr std::size_t kPageBlockHeadSize =
    sizeof(kPageBlockMarker) + 1 + kKindCountTableSize + 2 + kKeyJumpBytes;

// ---- The settings block (offsets 4..117) -------------------------------------------------

// Most single values are a byte followed by a 0 byte, so that the panel reads the block as
// 16-bit words; a few are lone bytes, the rest u16.
enum class SettingsWidth : std::uint8_t { ByteAnd0, Byte, Word };

struct SettingsField {
  std::uint16_t offset;
  SettingsWidth width;
  std::string_view key;  // its name in dumps

  constexpr std::size_t Size() const { return width == SettingsWidth::Byte ? 1 : 2; }
};

namespace image_field {
using enum SettingsWidth;
inline constexpr SettingsField kPanelModel{4, ByteAnd0, "panelModel"};
inline constexpr SettingsField kStartLanguage{6, ByteAnd0, "startLanguage"};
inline constexpr SettingsField kLink1ControllerId{8, ByteAnd0, "link1ControllerId"};
inline constexpr SettingsField kLink1Baud{10, ByteAnd0, "link1BaudIndex"};
inline constexpr SettingsField kLink1Timeout{12, ByteAnd0, "link1Timeout"};
inline constexpr SettingsField kLink1Parity{14, ByteAnd0, "link1ParityIndex"};
inline constexpr SettingsField kLink1DataBits{16, ByteAnd0, "link1DataBits"};
inline constexpr SettingsField kLink1StopBits{18, ByteAnd0, "link1StopBits"};
inline constexpr SettingsField kLink1Protocol{20, ByteAnd0, "link1Protocol"};
inline constexpr SettingsField kInitialPage{22, ByteAnd0, "initialPage"};
inline constexpr SettingsField kScreenSaverMinutes{24, ByteAnd0, "screenSaverMinutes"};
inline constexpr SettingsField kReservedLongC5{26, ByteAnd0, "reserved26"};
inline constexpr SettingsField kLink1FailureAlarm{28, ByteAnd0, "link1FailureAlarm"};
inline constexpr SettingsField kFocusColour{30, Word, "focusColour"};
inline constexpr SettingsField kFollowPageRegister{32, ByteAnd0, "pageChangeFromPlc"};
inline constexpr SettingsField kReportCurrentPage{34, ByteAnd0, "reportCurrentPage"};
inline constexpr SettingsField kPageAfterPassword{36, ByteAnd0, "pageAfterPassword"};
inline constexpr SettingsField kReserved38{38, ByteAnd0, "reserved38"};
inline constexpr SettingsField kSuperPassword{40, Word, "superPassword"};
inline constexpr SettingsField kPageSelectRegister{42, Word, "pageChangeRegister"};
inline constexpr SettingsField kPageReportRegister{44, Word, "pageReportRegister"};
inline constexpr SettingsField kKeyRegister{46, Word, "keyRegister"};
inline constexpr SettingsField kLedRegister{48, Word, "ledRegister"};
inline constexpr SettingsField kFastWriteStart{50, Word, "fastWriteStart"};
inline constexpr SettingsField kFastWriteLength{52, Word, "fastWriteLength"};
inline constexpr SettingsField kFastReadStart{54, Word, "fastReadStart"};
inline constexpr SettingsField kFastReadLength{56, Word, "fastReadLength"};
inline constexpr SettingsField kLink1Port{58, ByteAnd0, "link1Port"};
inline constexpr SettingsField kFastReadKind{60, ByteAnd0, "fastReadKind"};
inline constexpr SettingsField kLink2ControllerId{62, ByteAnd0, "link2ControllerId"};
inline constexpr SettingsField kLink2Baud{64, ByteAnd0, "link2BaudIndex"};
inline constexpr SettingsField kLink2Timeout{66, ByteAnd0, "link2Timeout"};
inline constexpr SettingsField kLink2Parity{68, ByteAnd0, "link2ParityIndex"};
inline constexpr SettingsField kLink2DataBits{70, ByteAnd0, "link2DataBits"};
inline constexpr SettingsField kLink2StopBits{72, ByteAnd0, "link2StopBits"};
inline constexpr SettingsField kRs485IdMode{74, ByteAnd0, "rs485IdMode"};
inline constexpr SettingsField kRegistersPerId{76, ByteAnd0, "registersPerIdIndex"};
inline constexpr SettingsField kAlarmKind{78, ByteAnd0, "alarmRegisterKind"};
inline constexpr SettingsField kAlarmStart{80, Word, "alarmStartRegister"};
inline constexpr SettingsField kAlarmCount{kAlarmCountField, ByteAnd0, "alarmCount"};
inline constexpr SettingsField kAlarmFont{84, ByteAnd0, "alarmFont"};
inline constexpr SettingsField kCanBaud{86, ByteAnd0, "canBaudIndex"};
inline constexpr SettingsField kCanFrameFormat{88, ByteAnd0, "canFrameFormat"};
inline constexpr SettingsField kCanFrameType{90, ByteAnd0, "canFrameType"};
inline constexpr SettingsField kCanOpenNodeId{92, ByteAnd0, "canOpenNodeId"};
inline constexpr SettingsField kCanOpenNodeStart{94, Byte, "canOpenNodeStart"};
inline constexpr SettingsField kCanFunction{95, Byte, "canFunction"};
inline constexpr SettingsField kCanOpenTpdoInhibit{96, Word, "tpdoInhibitTime"};
inline constexpr SettingsField kCanShareOwnId{98, Word, "ownId2"};
inline constexpr SettingsField kCanAcceptance3{100, Word, "acceptanceCode3"};
inline constexpr SettingsField kCanAcceptance4{102, Word, "acceptanceCode4"};
inline constexpr SettingsField kCanAcceptance5{104, Word, "acceptanceCode5"};
inline constexpr SettingsField kCanSlaveOwnId{106, Word, "ownId3"};
inline constexpr SettingsField kCanAcceptance6{108, Word, "acceptanceCode6"};
inline constexpr SettingsField kAdInputMode{110, ByteAnd0, "adInputMode"};
inline constexpr SettingsField kDaOutputMode{112, Byte, "daOutputMode"};
inline constexpr SettingsField kExtensionBoard{113, Byte, "keyboardExtension"};
inline constexpr SettingsField kAdDataRegister{114, Word, "adDataRegister"};
inline constexpr SettingsField kDaDataRegister{116, Word, "daDataRegister"};
}  // namespace image_field

// Every field of the settings block in the order of its offsets.
inline constexpr std::array kSettingsFields = {
    image_field::kPanelModel,         image_field::kStartLanguage,
    image_field::kLink1ControllerId,  image_field::kLink1Baud,
    image_field::kLink1Timeout,       image_field::kLink1Parity,
    image_field::kLink1DataBits,      image_field::kLink1StopBits,
    image_field::kLink1Protocol,      image_field::kInitialPage,
    image_field::kScreenSaverMinutes, image_field::kReservedLongC5,
    image_field::kLink1FailureAlarm,  image_field::kFocusColour,
    image_field::kFollowPageRegister, image_field::kReportCurrentPage,
    image_field::kPageAfterPassword,  image_field::kReserved38,
    image_field::kSuperPassword,      image_field::kPageSelectRegister,
    image_field::kPageReportRegister, image_field::kKeyRegister,
    image_field::kLedRegister,        image_field::kFastWriteStart,
    image_field::kFastWriteLength,    image_field::kFastReadStart,
    image_field::kFastReadLength,     image_field::kLink1Port,
    image_field::kFastReadKind,       image_field::kLink2ControllerId,
    image_field::kLink2Baud,          image_field::kLink2Timeout,
    image_field::kLink2Parity,        image_field::kLink2DataBits,
    image_field::kLink2StopBits,      image_field::kRs485IdMode,
    image_field::kRegistersPerId,     image_field::kAlarmKind,
    image_field::kAlarmStart,         image_field::kAlarmCount,
    image_field::kAlarmFont,          image_field::kCanBaud,
    image_field::kCanFrameFormat,     image_field::kCanFrameType,
    image_field::kCanOpenNodeId,      image_field::kCanOpenNodeStart,
    image_field::kCanFunction,        image_field::kCanOpenTpdoInhibit,
    image_field::kCanShareOwnId,      image_field::kCanAcceptance3,
    image_field::kCanAcceptance4,     image_field::kCanAcceptance5,
    image_field::kCanSlaveOwnId,      image_field::kCanAcceptance6,
    image_field::kAdInputMode,        image_field::kDaOutputMode,
    image_field::kExtensionBoard,     image_field::kAdDataRegister,
    image_field::kDaDataRegister,
};

// The block is contiguous words from offset 4 to 117, each field after the one before.
constexpr bool SettingsFieldsTile() {
  std::size_t next = 4;
  for (const SettingsField& field : kSettingsFields) {
    if (field.offset != next) return false;
    next += field.Size();
  }
  return next == 118;
}
static_assert(SettingsFieldsTile());

// ---- Element records ---------------------------------------------------------------------

// Every record starts with its kind byte; then its fields in this order.
enum class FieldType : std::uint8_t {
  U8,
  U16,
  U32,     // a packed word, or an unsigned value
  S32,     // a signed value (limits, full scale, zero)
  Colour,  // u16 RGB565
  Text,    // length byte and GBK bytes
};

struct RecordField {
  std::string_view key;
  FieldType type;
};

struct RecordLayout {
  int kind;
  std::string_view name;  // its name in dumps
  std::span<const RecordField> fields;
  // A dynamic text's fields end with its state count; the states follow them, first the
  // language-one entries (value byte, text), then the language-two ones (index, text).
  bool statesFollow = false;
};

namespace record_fields {
using enum FieldType;
// The geometry block in front of the given fields: X = ElemLeft - 5 and Y = ElemTop - 5,
// width and height.
template <std::size_t N>
constexpr std::array<RecordField, N + 4> WithGeometry(const RecordField (&fields)[N]) {
  std::array<RecordField, N + 4> all{{{"x", U16}, {"y", U16}, {"width", U16}, {"height", U16}}};
  for (std::size_t i = 0; i < N; ++i) all[4 + i] = fields[i];
  return all;
}
inline constexpr auto kText = WithGeometry({{"format", U16},
                                            {"backColour", Colour},
                                            {"foreColour", Colour},
                                            {"textOne", Text},
                                            {"textTwo", Text}});
inline constexpr auto kRegister = WithGeometry({{"format", U16},
                                                {"backColour", Colour},
                                                {"foreColour", Colour},
                                                {"register", U16},
                                                {"packed", U32},
                                                {"upperLimit", S32},
                                                {"lowerLimit", S32},
                                                {"id", U8}});
inline constexpr auto kLamp = WithGeometry({{"offColour", Colour},
                                            {"onColour", Colour},
                                            {"packed", U32},
                                            {"id", U8},
                                            {"offText", Text},
                                            {"onText", Text}});
inline constexpr auto kTrendChart = WithGeometry({{"backColour", Colour},
                                                  {"foreColour", Colour},
                                                  {"register", U16},
                                                  {"packed", U32},
                                                  {"fullScale", S32},
                                                  {"zero", S32},
                                                  {"sampleInterval", U16}});
inline constexpr auto kBarGraph = WithGeometry({{"backColour", Colour},
                                                {"foreColour", Colour},
                                                {"packed", U32},
                                                {"fullScale", S32},
                                                {"zero", S32},
                                                {"fullScaleRegister", U16},
                                                {"zeroRegister", U16}});
inline constexpr auto kPicture = WithGeometry({{"picture", U8}, {"packed", U32}});
inline constexpr auto kDynamicText = WithGeometry({{"format", U16},
                                                   {"backColour", Colour},
                                                   {"foreColour", Colour},
                                                   {"register", U16},
                                                   {"flags", U8},
                                                   {"id", U8},
                                                   {"stateCount", U8},
                                                   {"longestText", U8}});
inline constexpr auto kFunctionKey = WithGeometry({{"format", U16},
                                                   {"backColour", Colour},
                                                   {"foreColour", Colour},
                                                   {"flags", U8},
                                                   {"jumpPage", U8},
                                                   {"panelFunction", U8},
                                                   {"id", U8},
                                                   {"textOne", Text},
                                                   {"textTwo", Text}});
inline constexpr auto kAsciiChinese = WithGeometry({{"format", U16},
                                                    {"backColour", Colour},
                                                    {"foreColour", Colour},
                                                    {"register", U16},
                                                    {"length", U8},
                                                    {"registerKindAndLink", U8},
                                                    {"id", U8}});
inline constexpr auto kShape = WithGeometry(
    {{"colour", Colour}, {"packed", U32}, {"verticalRegister", U16}, {"visibilityRegister", U16}});
inline constexpr auto kScale = WithGeometry({{"colour", Colour}, {"packed", U32}});
inline constexpr RecordField kLine[] = {{"x1", U16}, {"y1", U16},       {"x2", U16},
                                        {"y2", U16}, {"lineWidth", U8}, {"colour", Colour}};
inline constexpr auto kBitSwitch = WithGeometry({{"format", U16},
                                                 {"backColour", Colour},
                                                 {"foreColour", Colour},
                                                 {"offText", Text},
                                                 {"onText", Text},
                                                 {"packed", U32},
                                                 {"id", U8}});
}  // namespace record_fields

// The record layouts by kind code; the kinds not listed have no record.
inline constexpr RecordLayout kRecordLayouts[] = {
    {elements::kKindText, "text", record_fields::kText},
    {elements::kKindRegister, "register", record_fields::kRegister},
    {elements::kKindLamp, "lamp", record_fields::kLamp},
    {elements::kKindTrendChart, "trendChart", record_fields::kTrendChart},
    {elements::kKindBarGraph, "barGraph", record_fields::kBarGraph},
    {elements::kKindPicture, "picture", record_fields::kPicture},
    {elements::kKindDynamicText, "dynamicText", record_fields::kDynamicText, true},
    {elements::kKindFunctionKey, "functionKey", record_fields::kFunctionKey},
    {elements::kKindAsciiChinese, "asciiChinese", record_fields::kAsciiChinese},
    {elements::kKindRectangle, "rectangle", record_fields::kShape},
    {elements::kKindScale, "scale", record_fields::kScale},
    {elements::kKindEllipse, "ellipse", record_fields::kShape},
    {elements::kKindLine, "line", record_fields::kLine},
    {elements::kKindBitSwitch, "bitSwitch", record_fields::kBitSwitch},
};

constexpr const RecordLayout* FindRecordLayout(int kind) {
  for (const RecordLayout& layout : kRecordLayouts) {
    if (layout.kind == kind) return &layout;
  }
  return nullptr;
}

constexpr std::size_t FieldSize(FieldType type) {
  switch (type) {
    case FieldType::U8:
    case FieldType::Text:  // the length byte; the text follows
      return 1;
    case FieldType::U16:
    case FieldType::Colour:
      return 2;
    case FieldType::U32:
    case FieldType::S32:
      return 4;
  }
  return 0;
}

// A record's size without its texts and states: the kind byte and every field.
constexpr std::size_t FixedRecordSize(const RecordLayout& layout) {
  std::size_t size = 1;
  for (const RecordField& field : layout.fields) size += FieldSize(field.type);
  return size;
}

// The sizes the panel expects of the records without texts.
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindRegister)) == 30);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindTrendChart)) == 29);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindBarGraph)) == 29);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindPicture)) == 14);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindDynamicText)) == 21);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindAsciiChinese)) == 20);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindRectangle)) == 19);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindScale)) == 15);
static_assert(FixedRecordSize(*FindRecordLayout(elements::kKindLine)) == 12);

}  // namespace dravik::compiler
