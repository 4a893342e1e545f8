#include "compiler/element_encoders.h"

#include <algorithm>
#include <string>
#include <utility>

#include "compiler/bit_address.h"
#include "compiler/date_time_expansion.h"
#include "compiler/rgb565.h"
#include "elements/drawing_properties.h"
#include "elements/dynamic_text_properties.h"
#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "model/project_image.h"

namespace dravik::compiler {

namespace {

using model::PageRecord;
namespace el = elements;

// Texts written in place of empty ones, GBK.
constexpr std::string_view kTextDefaultA = "\xD6\xD0";  // 中
constexpr std::string_view kTextDefaultB = "EN";
constexpr std::string_view kFunctionKeyDefaultA = "\xBC\xFC";  // 键
constexpr std::string_view kFunctionKeyDefaultB = "K";
constexpr std::string_view kBitSwitchDefaultA = "F";
constexpr std::string_view kBitSwitchDefaultB = "K";
constexpr std::string_view kEmptyStatePrefixA = "\xBF\xD5";  // 空
constexpr std::string_view kEmptyStatePrefixB = "N";
constexpr std::string_view kLampEmptyTextA = "0";
constexpr std::string_view kLampEmptyTextB = "1";

std::uint32_t U32(std::int64_t value) {
  return static_cast<std::uint32_t>(value);
}

std::uint8_t IdByte(int slot) {
  return static_cast<std::uint8_t>(slot + 1);
}

std::string_view TextOr(std::string_view text, std::string_view fallback) {
  return text.empty() ? fallback : text;
}

void PutGeometry(ImageWriter& out, const std::array<std::uint8_t, 8>& geometry) {
  out.PutBytes(geometry);
}

std::array<std::uint8_t, 8> ElementGeometry(const PageRecord& p, int s) {
  const el::ElementFields e(p, s);
  return GeometryBlock(e.left(), e.top(), e.width(), e.height());
}

void EncodeText(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::TextElement text(p, s);
  PutTextRecord(out, {ElementGeometry(p, s), text.formatBits(), text.backColour(),
                      text.foreColour(), TextOr(text.languageOneText().View(), kTextDefaultA),
                      TextOr(text.languageTwoText().View(), kTextDefaultB)});
}

void EncodeRegister(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::RegisterElement reg(p, s);
  const std::uint32_t byteB = reg.operandByte();
  const std::uint32_t wordB = reg.digitsAndDecimals();
  const std::uint32_t byteF = reg.keyCondition();
  const std::uint32_t wordD = reg.options();
  const std::uint32_t packed =
      (byteB & 0x0F) + 2u * reg.inputAllowed() + 4u * reg.indirectLimits() + 8u * reg.isSigned() +
      16u * (wordB >> 8) + 256u * (wordB & 0x0F) + (1u << 12) * (byteF >> 4) +
      (1u << 14) * (byteF & 0x0F) + (1u << 15) * (wordD & 1) + (1u << 16) * reg.keyRegister() +
      (1u << 29) * (byteB >> 7) + (1u << 30) * (byteB >> 4) + (1u << 30) * (wordD & 2);
  PutRegisterRecord(out,
                    {ElementGeometry(p, s), reg.formatBits(), reg.backColour(), reg.foreColour(),
                     reg.registerNumber(), packed, reg.upperLimit(), reg.lowerLimit(), IdByte(s)});
}

// The address, bit and link terms shared by the records of the bit-operand kinds.
template <class Page>
std::uint32_t BitOperandTerms(const el::OperandElement<Page>& e, const EncodeSettings& settings) {
  const std::uint32_t byteB = e.operandByte();
  return BitAddress(e.registerNumber(), e.operandByte(), settings.protocol) +
         (1u << 16) * (byteB & 0x0F);
}

void EncodeLamp(PageRecord& p, int s, const EncodeSettings& settings, PageBlockWriter& out) {
  const el::LampElement lamp(p, s);
  if (lamp.offText().Empty()) lamp.offText().Assign(kLampEmptyTextA);
  if (lamp.onText().Empty()) lamp.onText().Assign(kLampEmptyTextB);
  const std::uint32_t byteB = lamp.operandByte();
  const std::uint32_t packed = BitOperandTerms(lamp, settings) + (1u << 20) * (byteB >> 7) +
                               (1u << 21) * ((byteB >> 4) & 7) + (1u << 23) * lamp.negativeLogic() +
                               (1u << 24) * lamp.lampType();
  out.BeginRecord(el::kKindLamp);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(lamp.offColour()));
  w.PutU16le(Rgb565(lamp.onColour()));
  w.PutU32le(packed);
  w.PutU8(IdByte(s));
  w.PutText(lamp.offText().View());
  w.PutText(lamp.onText().View());
}

void EncodeTrendChart(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::TrendChartElement chart(std::as_const(p), s);
  const std::uint32_t wordB = chart.gridCells();
  const std::uint32_t packed = chart.operandByte() + 2u * (wordB >> 8) + 64u * (wordB & 31) +
                               (1u << 11) * chart.dataPoints() + (1u << 17) * chart.showGrid() +
                               (1u << 18) * chart.showTimeLabels() +
                               (1u << 19) * chart.labelSize() + (1u << 21) * chart.labelFormat() +
                               (1u << 24) * U32(s + 1);
  out.BeginRecord(el::kKindTrendChart);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(chart.backColour()));
  w.PutU16le(Rgb565(chart.foreColour()));
  w.PutU16le(chart.registerNumber());
  w.PutU32le(packed);
  w.PutU32le(U32(chart.fullScale()));
  w.PutU32le(U32(chart.zeroValue()));
  w.PutU16le(chart.sampleSeconds());
}

void EncodeBarGraph(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::BarGraphElement bar(std::as_const(p), s);
  // The fill pattern (low byte of the direction word) stays in the project.
  const std::uint32_t packed =
      bar.registerNumber() + (1u << 16) * bar.operandByte() + (1u << 17) * bar.fullScaleIndirect() +
      (1u << 18) * bar.zeroIndirect() + (1u << 19) * (bar.directionAndPattern() >> 8) +
      (1u << 24) * U32(s + 1);
  out.BeginRecord(el::kKindBarGraph);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(bar.backColour()));
  w.PutU16le(Rgb565(bar.foreColour()));
  w.PutU32le(packed);
  w.PutU32le(U32(bar.fullScale()));
  w.PutU32le(U32(bar.zeroValue()));
  w.PutU16le(bar.fullScaleRegister());
  w.PutU16le(bar.zeroRegister());
}

void EncodePicture(PageRecord& p, int s, const EncodeSettings& settings, PageBlockWriter& out) {
  const el::PictureElement picture(std::as_const(p), s);
  const std::uint32_t byteB = picture.operandByte();
  const std::uint32_t packed = BitOperandTerms(picture, settings) + (1u << 20) * (byteB >> 7) +
                               (1u << 21) * ((byteB >> 4) & 7) +
                               (1u << 23) * picture.visibilityByBit() + (1u << 24) * U32(s + 1);
  out.BeginRecord(el::kKindPicture);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU8(static_cast<std::uint8_t>(picture.pictureNumber()));
  w.PutU32le(packed);
}

void EncodeDynamicText(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::DynamicTextElement text(std::as_const(p), s);
  // A slot outside the text table has no states, and no slot holds more than its table
  // room: a damaged file cannot make the encoder read another element's states.
  const int room = model::StatesPerLanguage(s);
  const int states = std::min<int>(text.stateCount(), room);
  const std::uint16_t wordD = text.linkWordBits();
  const int flags = (text.inputAllowed() != 0 ? 1 : 0) + (text.zeroOnLeave() != 0 ? 2 : 0) +
                    4 * (wordD & 1) + 8 * ((wordD >> 1) & 1) + 16 * ((wordD >> 8) & 0x0F);

  out.BeginRecord(el::kKindDynamicText);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(text.formatBits());
  w.PutU16le(Rgb565(text.backColour()));
  w.PutU16le(Rgb565(text.foreColour()));
  w.PutU16le(text.registerNumber());
  w.PutU8(static_cast<std::uint8_t>(flags));
  w.PutU8(IdByte(s));
  w.PutU8(static_cast<std::uint8_t>(states));
  const std::size_t longestAt = w.Position();
  w.PutU8(0);

  std::size_t longest = 0;
  for (int language = 0; language < 2; ++language) {
    for (int i = 0; i < states; ++i) {
      const std::string_view stored = p.DynTextStates[*model::TextEntry(s, language, i)].View();
      const DynTextState state = SplitStateText(stored, i, language);
      w.PutU8(language == 0 ? static_cast<std::uint8_t>(state.value)
                            : static_cast<std::uint8_t>(i));
      w.PutText(state.text);
      if (language == 0) longest = std::max(longest, state.text.size());
    }
  }
  if (!w.Overflowed()) w.PatchU8(longestAt, static_cast<std::uint8_t>(longest));
}

void EncodeFunctionKey(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::FunctionKeyElement key(std::as_const(p), s);
  out.BeginRecord(el::kKindFunctionKey);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(key.formatBits());
  w.PutU16le(Rgb565(key.backColour()));
  w.PutU16le(Rgb565(key.foreColour()));
  w.PutU8(static_cast<std::uint8_t>(key.options()));
  w.PutU8(static_cast<std::uint8_t>(key.jumpPage()));
  w.PutU8(static_cast<std::uint8_t>(key.panelFunction()));
  w.PutU8(IdByte(s));
  w.PutText(TextOr(key.languageOneText().View(), kFunctionKeyDefaultA));
  w.PutText(TextOr(key.languageTwoText().View(), kFunctionKeyDefaultB));
}

void EncodeAsciiChinese(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::AsciiChineseElement text(std::as_const(p), s);
  const el::LinkWord link = text.linkWord();
  out.BeginRecord(el::kKindAsciiChinese);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(text.formatBits());
  w.PutU16le(Rgb565(text.backColour()));
  w.PutU16le(Rgb565(text.foreColour()));
  w.PutU16le(text.registerNumber());
  w.PutU8(text.length());
  w.PutU8(static_cast<std::uint8_t>(link.registerKind + 8 * link.link));
  w.PutU8(IdByte(s));
}

void EncodeDateOrTime(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  ExpandDateTime(p, s, out);
}

void EncodeRectangleOrEllipse(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::ShapeElement shape(std::as_const(p), s);
  const int kind = shape.kind();
  // The second colour stays in the project.
  const std::uint32_t packed =
      shape.movesHorizontally() + 2u * shape.movesVertically() + 4u * shape.visibilityByRegister() +
      8u * shape.linkWordBits() + 16u * U32(shape.horizontalRegister()) + (1u << 20) * U32(s + 1) +
      (1u << 28) * (kind == el::kKindRectangle ? 1u : 0u) + (1u << 29) * shape.outline();
  out.BeginRecord(kind);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(shape.colour()));
  w.PutU32le(packed);
  w.PutU16le(static_cast<std::uint16_t>(shape.verticalRegister()));
  w.PutU16le(shape.visibilityRegister());
}

void EncodeScale(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::ScaleElement scale(std::as_const(p), s);
  const std::uint32_t packed = scale.direction() + 16u * scale.majorDivisions() +
                               (1u << 12) * scale.minorDivisions() +
                               (1u << 20) * scale.linkWordBits() + (1u << 21) * U32(s + 1);
  out.BeginRecord(el::kKindScale);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(scale.colour()));
  w.PutU32le(packed);
}

void EncodeLine(PageRecord& p, int s, const EncodeSettings&, PageBlockWriter& out) {
  const el::LineElement line(std::as_const(p), s);
  const el::LineEnds ends = el::LineEndPoints(p, s);
  out.BeginRecord(el::kKindLine);
  ImageWriter& w = out.Image();
  PutGeometry(w, PlainGeometry(ends.x1, ends.y1, ends.x2, ends.y2));
  w.PutU8(static_cast<std::uint8_t>(line.lineWidth()));
  w.PutU16le(Rgb565(line.colour()));
}

void EncodeBitSwitch(PageRecord& p, int s, const EncodeSettings& settings, PageBlockWriter& out) {
  const el::BitSwitchElement key(std::as_const(p), s);
  // The ON colours and the language-two texts stay in the project.
  const std::uint32_t byteB = key.operandByte();
  const std::uint32_t packed = BitOperandTerms(key, settings) + (1u << 20) * key.action() +
                               (1u << 22) * key.invisible() + (1u << 23) * key.panelKey() +
                               (1u << 28) * (byteB >> 7) + (1u << 29) * (byteB >> 4) +
                               (1u << 31) * key.passwordProtected();
  out.BeginRecord(el::kKindBitSwitch);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(key.formatBits());
  w.PutU16le(Rgb565(key.offBackColour()));
  w.PutU16le(Rgb565(key.offTextColour()));
  w.PutText(TextOr(key.offTextOne().View(), kBitSwitchDefaultA));
  w.PutText(TextOr(key.onTextOne().View(), kBitSwitchDefaultB));
  w.PutU32le(packed);
  w.PutU8(IdByte(s));
}

// The kinds the panel has a record for; every other kind stays in the project only.
struct KindEncoder {
  el::ElementKind kind;
  Encoder encode;
};
constexpr KindEncoder kKindEncoders[] = {
    {el::kKindText, EncodeText},
    {el::kKindRegister, EncodeRegister},
    {el::kKindLamp, EncodeLamp},
    {el::kKindTrendChart, EncodeTrendChart},
    {el::kKindBarGraph, EncodeBarGraph},
    {el::kKindPicture, EncodePicture},
    {el::kKindDynamicText, EncodeDynamicText},
    {el::kKindFunctionKey, EncodeFunctionKey},
    {el::kKindAsciiChinese, EncodeAsciiChinese},
    {el::kKindDate, EncodeDateOrTime},
    {el::kKindTime, EncodeDateOrTime},
    {el::kKindRectangle, EncodeRectangleOrEllipse},
    {el::kKindScale, EncodeScale},
    {el::kKindEllipse, EncodeRectangleOrEllipse},
    {el::kKindLine, EncodeLine},
    {el::kKindBitSwitch, EncodeBitSwitch},
};

}  // namespace

std::array<std::uint8_t, 8> GeometryBlock(int left, int top, int width, int height) {
  const int x = left - 5;
  const int y = top - 5;
  return {static_cast<std::uint8_t>(x),      static_cast<std::uint8_t>(x / 256),
          static_cast<std::uint8_t>(y),      static_cast<std::uint8_t>(y / 256),
          static_cast<std::uint8_t>(width),  static_cast<std::uint8_t>(width >> 8),
          static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8)};
}

std::array<std::uint8_t, 8> PlainGeometry(int x, int y, int width, int height) {
  std::array<std::uint8_t, 8> bytes{};
  const int values[4] = {x, y, width, height};
  for (int i = 0; i < 4; ++i) {
    const auto value = static_cast<std::uint16_t>(values[i]);
    bytes[2 * i] = static_cast<std::uint8_t>(value);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  return bytes;
}

void PutRegisterRecord(PageBlockWriter& out, const RegisterFields& f) {
  out.BeginRecord(el::kKindRegister);
  ImageWriter& w = out.Image();
  PutGeometry(w, f.geometry);
  w.PutU16le(f.format);
  w.PutU16le(Rgb565(f.backColor));
  w.PutU16le(Rgb565(f.foreColor));
  w.PutU16le(f.registerNumber);
  w.PutU32le(f.packed);
  w.PutU32le(U32(f.upperLimit));
  w.PutU32le(U32(f.lowerLimit));
  w.PutU8(f.id);
}

void PutTextRecord(PageBlockWriter& out, const TextFields& f) {
  out.BeginRecord(el::kKindText);
  ImageWriter& w = out.Image();
  PutGeometry(w, f.geometry);
  w.PutU16le(f.format);
  w.PutU16le(Rgb565(f.backColor));
  w.PutU16le(Rgb565(f.foreColor));
  w.PutText(f.textA);
  w.PutText(f.textB);
}

DynTextState SplitStateText(std::string_view stored, int index, int language) {
  std::string text(stored);
  if (text.empty()) {
    text = std::string(language == 0 ? kEmptyStatePrefixA : kEmptyStatePrefixB) +
           std::to_string(index);
  }
  el::StateEntry state = el::SplitStateEntry(text, index);
  return {static_cast<std::uint16_t>(state.value), std::move(state.text)};
}

Encoder EncoderForKind(int kind) {
  for (const KindEncoder& entry : kKindEncoders) {
    if (entry.kind == kind) return entry.encode;
  }
  return nullptr;
}

void EncodeElement(PageRecord& page, int slot, const EncodeSettings& settings,
                   PageBlockWriter& out) {
  if (Encoder encode = EncoderForKind(page.ElemKind[slot])) encode(page, slot, settings, out);
}

}  // namespace dravik::compiler
