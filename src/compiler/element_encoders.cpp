#include "compiler/element_encoders.h"

#include <algorithm>
#include <string>

#include "compiler/bit_address.h"
#include "compiler/date_time_expansion.h"
#include "compiler/rgb565.h"
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
  return GeometryBlock(p.ElemLeft[s], p.ElemTop[s], p.ElemWidth[s], p.ElemHeight[s]);
}

void EncodeText(const PageRecord& p, int s, PageBlockWriter& out) {
  PutTextRecord(out, {ElementGeometry(p, s), p.ElemWordC[s], p.ElemLongA[s], p.ElemLongB[s],
                      TextOr(p.ElemTextA[s].View(), kTextDefaultA),
                      TextOr(p.ElemTextB[s].View(), kTextDefaultB)});
}

void EncodeRegister(const PageRecord& p, int s, PageBlockWriter& out) {
  const std::uint32_t byteB = p.ElemByteB[s];
  const std::uint32_t wordB = p.ElemWordB[s];
  const std::uint32_t byteF = p.ElemByteF[s];
  const std::uint32_t wordD = p.ElemWordD[s];
  const std::uint32_t packed =
      (byteB & 0x0F) + 2u * p.ElemByteC[s] + 4u * p.ElemByteE[s] + 8u * p.ElemByteD[s] +
      16u * (wordB >> 8) + 256u * (wordB & 0x0F) + (1u << 12) * (byteF >> 4) +
      (1u << 14) * (byteF & 0x0F) + (1u << 15) * (wordD & 1) + (1u << 16) * p.ElemWordE[s] +
      (1u << 29) * (byteB >> 7) + (1u << 30) * (byteB >> 4) + (1u << 30) * (wordD & 2);
  PutRegisterRecord(out, {ElementGeometry(p, s), p.ElemWordC[s], p.ElemLongA[s], p.ElemLongB[s],
                          p.ElemWordA[s], packed, p.ElemLongC[s], p.ElemLongD[s], IdByte(s)});
}

void EncodeLamp(PageRecord& p, int s, const EncodeSettings& settings, PageBlockWriter& out) {
  if (p.ElemTextA[s].Empty()) p.ElemTextA[s].Assign(kLampEmptyTextA);
  if (p.ElemTextB[s].Empty()) p.ElemTextB[s].Assign(kLampEmptyTextB);
  const std::uint32_t byteB = p.ElemByteB[s];
  const std::uint32_t packed = BitAddress(p.ElemWordA[s], p.ElemByteB[s], settings.protocol) +
                               (1u << 16) * (byteB & 0x0F) + (1u << 20) * (byteB >> 7) +
                               (1u << 21) * ((byteB >> 4) & 7) + (1u << 23) * p.ElemByteD[s] +
                               (1u << 24) * p.ElemByteF[s];
  out.BeginRecord(el::kKindLamp);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU32le(packed);
  w.PutU8(IdByte(s));
  w.PutText(p.ElemTextA[s].View());
  w.PutText(p.ElemTextB[s].View());
}

void EncodeTrendChart(const PageRecord& p, int s, PageBlockWriter& out) {
  const std::uint32_t wordB = p.ElemWordB[s];
  const std::uint32_t packed = p.ElemByteB[s] + 2u * (wordB >> 8) + 64u * (wordB & 31) +
                               (1u << 11) * p.ElemWordC[s] + (1u << 17) * p.ElemByteE[s] +
                               (1u << 18) * p.ElemByteC[s] + (1u << 19) * p.ElemWordE[s] +
                               (1u << 21) * p.ElemByteF[s] + (1u << 24) * U32(s + 1);
  out.BeginRecord(el::kKindTrendChart);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU16le(p.ElemWordA[s]);
  w.PutU32le(packed);
  w.PutU32le(U32(p.ElemLongC[s]));
  w.PutU32le(U32(p.ElemLongD[s]));
  w.PutU16le(p.ElemWordD[s]);
}

void EncodeBarGraph(const PageRecord& p, int s, PageBlockWriter& out) {
  // The fill pattern (low byte of ElemWordC) stays in the project.
  const std::uint32_t packed = p.ElemWordA[s] + (1u << 16) * p.ElemByteB[s] +
                               (1u << 17) * p.ElemByteC[s] + (1u << 18) * p.ElemByteE[s] +
                               (1u << 19) * (p.ElemWordC[s] >> 8) + (1u << 24) * U32(s + 1);
  out.BeginRecord(el::kKindBarGraph);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU32le(packed);
  w.PutU32le(U32(p.ElemLongC[s]));
  w.PutU32le(U32(p.ElemLongD[s]));
  w.PutU16le(p.ElemWordB[s]);
  w.PutU16le(p.ElemWordD[s]);
}

void EncodePicture(const PageRecord& p, int s, const EncodeSettings& settings,
                   PageBlockWriter& out) {
  const std::uint32_t byteB = p.ElemByteB[s];
  const std::uint32_t packed = BitAddress(p.ElemWordA[s], p.ElemByteB[s], settings.protocol) +
                               (1u << 16) * (byteB & 0x0F) + (1u << 20) * (byteB >> 7) +
                               (1u << 21) * ((byteB >> 4) & 7) + (1u << 23) * p.ElemByteD[s] +
                               (1u << 24) * U32(s + 1);
  out.BeginRecord(el::kKindPicture);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU8(static_cast<std::uint8_t>(p.ElemWordE[s]));
  w.PutU32le(packed);
}

void EncodeDynamicText(const PageRecord& p, int s, PageBlockWriter& out) {
  // A slot outside the text table has no states, and no slot holds more than its table
  // room: a damaged file cannot make the encoder read another element's states.
  const int room = model::StatesPerLanguage(s);
  const int states = std::min<int>(p.ElemByteB[s], room);
  const std::uint16_t wordD = p.ElemWordD[s];
  const int flags = (p.ElemByteC[s] != 0 ? 1 : 0) + (p.ElemByteD[s] != 0 ? 2 : 0) +
                    4 * (wordD & 1) + 8 * ((wordD >> 1) & 1) + 16 * ((wordD >> 8) & 0x0F);

  out.BeginRecord(el::kKindDynamicText);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(p.ElemWordC[s]);
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU16le(p.ElemWordA[s]);
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

void EncodeFunctionKey(const PageRecord& p, int s, PageBlockWriter& out) {
  out.BeginRecord(el::kKindFunctionKey);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(p.ElemWordC[s]);
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU8(static_cast<std::uint8_t>(p.ElemWordD[s]));
  w.PutU8(static_cast<std::uint8_t>(p.ElemLongD[s]));
  w.PutU8(static_cast<std::uint8_t>(p.ElemWordE[s]));
  w.PutU8(IdByte(s));
  w.PutText(TextOr(p.ElemTextA[s].View(), kFunctionKeyDefaultA));
  w.PutText(TextOr(p.ElemTextB[s].View(), kFunctionKeyDefaultB));
}

void EncodeAsciiChinese(const PageRecord& p, int s, PageBlockWriter& out) {
  out.BeginRecord(el::kKindAsciiChinese);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(p.ElemWordC[s]);
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU16le(p.ElemWordA[s]);
  w.PutU8(p.ElemByteB[s]);
  w.PutU8(static_cast<std::uint8_t>((p.ElemWordD[s] >> 8) & 0x0F));  // register kind and link
  w.PutU8(IdByte(s));
}

void EncodeRectangleOrEllipse(const PageRecord& p, int s, int kind, PageBlockWriter& out) {
  // ElemLongA (the unused second colour) stays in the project.
  const std::uint32_t packed =
      p.ElemByteC[s] + 2u * p.ElemByteD[s] + 4u * p.ElemByteE[s] + 8u * p.ElemWordD[s] +
      16u * U32(p.ElemLongC[s]) + (1u << 20) * U32(s + 1) +
      (1u << 28) * (kind == el::kKindRectangle ? 1u : 0u) + (1u << 29) * p.ElemWordE[s];
  out.BeginRecord(kind);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU32le(packed);
  w.PutU16le(static_cast<std::uint16_t>(p.ElemLongD[s]));
  w.PutU16le(p.ElemWordA[s]);
}

void EncodeScale(const PageRecord& p, int s, PageBlockWriter& out) {
  const std::uint32_t packed = p.ElemWordB[s] + 16u * p.ElemWordA[s] + (1u << 12) * p.ElemByteB[s] +
                               (1u << 20) * p.ElemWordD[s] + (1u << 21) * U32(s + 1);
  out.BeginRecord(el::kKindScale);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutU32le(packed);
}

void EncodeLine(const PageRecord& p, int s, PageBlockWriter& out) {
  const int x = p.ElemLeft[s] - 5;
  const int y = p.ElemTop[s] - 5;
  const int width = p.ElemWidth[s];
  const int height = p.ElemHeight[s];
  const bool rising = p.ElemByteD[s] != 0;
  const int x1 = x + 1;
  const int y1 = rising ? y + height - 1 : y + 2;
  const int x2 = x + width - 1;
  const int y2 = rising ? y + 1 : y + height - 1;
  out.BeginRecord(el::kKindLine);
  ImageWriter& w = out.Image();
  PutGeometry(w, PlainGeometry(x1, y1, x2, y2));
  w.PutU8(static_cast<std::uint8_t>(p.ElemWordC[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
}

void EncodeBitSwitch(const PageRecord& p, int s, const EncodeSettings& settings,
                     PageBlockWriter& out) {
  // The ON colours and the language-two texts stay in the project.
  const std::uint32_t byteB = p.ElemByteB[s];
  const std::uint32_t packed =
      BitAddress(p.ElemWordA[s], p.ElemByteB[s], settings.protocol) + (1u << 16) * (byteB & 0x0F) +
      (1u << 20) * p.ElemWordE[s] + (1u << 22) * p.ElemByteD[s] + (1u << 23) * p.ElemWordB[s] +
      (1u << 28) * (byteB >> 7) + (1u << 29) * (byteB >> 4) + (1u << 31) * p.ElemByteC[s];
  out.BeginRecord(el::kKindBitSwitch);
  ImageWriter& w = out.Image();
  PutGeometry(w, ElementGeometry(p, s));
  w.PutU16le(p.ElemWordC[s]);
  w.PutU16le(Rgb565(p.ElemLongA[s]));
  w.PutU16le(Rgb565(p.ElemLongB[s]));
  w.PutText(TextOr(p.ElemTextA[s].View(), kBitSwitchDefaultA));
  w.PutText(TextOr(p.ElemTextB[s].View(), kBitSwitchDefaultB));
  w.PutU32le(packed);
  w.PutU8(IdByte(s));
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

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
  const std::size_t tail = std::min<std::size_t>(4, text.size());
  const std::string_view digits = std::string_view(text).substr(text.size() - tail);
  if (!std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
    return {static_cast<std::uint16_t>(index), text};
  }
  std::uint16_t value = 0;
  for (const char c : digits) {
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = static_cast<std::uint16_t>(value * 16 + digit);
  }
  text.resize(text.size() - tail);
  return {value, text};
}

void EncodeElement(PageRecord& page, int slot, const EncodeSettings& settings,
                   PageBlockWriter& out) {
  const int kind = page.ElemKind[slot];
  // clang-format off
  switch (kind) {
    case el::kKindText: EncodeText(page, slot, out); break;
    case el::kKindRegister: EncodeRegister(page, slot, out); break;
    case el::kKindLamp: EncodeLamp(page, slot, settings, out); break;
    case el::kKindTrendChart: EncodeTrendChart(page, slot, out); break;
    case el::kKindBarGraph: EncodeBarGraph(page, slot, out); break;
    case el::kKindPicture: EncodePicture(page, slot, settings, out); break;
    case el::kKindDynamicText: EncodeDynamicText(page, slot, out); break;
    case el::kKindFunctionKey: EncodeFunctionKey(page, slot, out); break;
    case el::kKindAsciiChinese: EncodeAsciiChinese(page, slot, out); break;
    case el::kKindDate:
    case el::kKindTime: ExpandDateTime(page, slot, out); break;
    case el::kKindRectangle:
    case el::kKindEllipse: EncodeRectangleOrEllipse(page, slot, kind, out); break;
    case el::kKindScale: EncodeScale(page, slot, out); break;
    case el::kKindLine: EncodeLine(page, slot, out); break;
    case el::kKindBitSwitch: EncodeBitSwitch(page, slot, settings, out); break;
    default: break;  // empty slots and kinds the panel has no record for
  }
  // clang-format on
}

}  // namespace dravik::compiler
