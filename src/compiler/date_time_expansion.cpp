#include "compiler/date_time_expansion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "compiler/element_encoders.h"
#include "compiler/rgb565.h"
#include "elements/element_kind.h"

namespace dravik::compiler {

namespace {

using model::PageRecord;

constexpr std::uint32_t kPackedFourDigits = 0x8040;  // four digits with leading zeros
constexpr std::uint32_t kPackedTwoDigits = 0x8020;   // two digits with leading zeros
constexpr std::uint32_t kPackedInputAllowed = 2;

constexpr std::string_view kDateSeparatorsDash = "-  -";
constexpr std::string_view kDateSeparatorsSlash = "/  /";
constexpr std::string_view kTimeSeparatorsChinese = "\xCA\xB1  \xB7\xD6";  // 时  分
constexpr std::string_view kTimeSeparatorsLong = ":  :";
constexpr std::string_view kTimeSeparatorsShort = ":";

// What the sub-records of one element share.
struct Element {
  int slot;
  int left;
  int top;
  int height;
  int f;       // font size code
  int cw;      // its character width
  int border;  // 1 for the 3-D border, else 0
  std::int32_t back;
  std::int32_t fore;
  bool inputAllowed;
};

Element Describe(const PageRecord& p, int s) {
  const int format = p.ElemWordC[s];
  const int f = (format >> 8) & 0x0F;
  // The dialog offers codes 0..7 only; a damaged file's larger code takes the widest font.
  const int cw = CharWidthTable[std::min(f, 7)];
  return {s,
          p.ElemLeft[s],
          p.ElemTop[s],
          p.ElemHeight[s],
          f,
          cw,
          (format >> 12) == 1 ? 1 : 0,
          p.ElemLongA[s],
          p.ElemLongB[s],
          p.ElemByteC[s] != 0};
}

void PutFrame(const PageRecord& p, const Element& e, PageBlockWriter& out) {
  const std::uint32_t packed = 8u + (1u << 20) * static_cast<std::uint32_t>(e.slot + 1) +
                               (1u << 28) + (1u << 29) * static_cast<std::uint32_t>(e.border);
  out.BeginRecord(elements::kKindRectangle);
  ImageWriter& w = out.Image();
  w.PutBytes(GeometryBlock(e.left, e.top, p.ElemWidth[e.slot], e.height));
  w.PutU16le(Rgb565(e.back));
  w.PutU32le(packed);
  w.PutU32le(0);
}

void PutClockField(const Element& e, const ClockField& field, std::uint32_t packed, int x, int y,
                   int width, int height, std::uint16_t word, PageBlockWriter& out) {
  if (e.inputAllowed) packed += kPackedInputAllowed;
  PutRegisterRecord(out, {PlainGeometry(x, y, width, height), word, e.back, e.fore,
                          field.registerNumber, packed, field.upperLimit, 0, field.id});
}

void ExpandDate(const Element& e, int format, std::uint16_t formatWord, PageBlockWriter& out) {
  const int j = 2 * e.border;
  const int y = e.top + j - 5;
  const int h = e.height - j - 2;
  const auto word = static_cast<std::uint16_t>((formatWord & 0xFF) + 256 * e.f);
  const int cw = e.cw;
  const int wide = 5 * cw - 2 * e.f - 2;
  const int narrow = 3 * cw - 2 * e.f - 2;
  const bool monthFirst = format == 1;

  const std::string_view separators = format == 0 ? kDateSeparatorsDash : kDateSeparatorsSlash;
  const int textX = e.left + (monthFirst ? 2 : 4) * cw;
  PutTextRecord(out,
                {PlainGeometry(textX, y, 4 * cw, h), word, e.back, e.fore, separators, separators});

  if (!monthFirst) {
    PutClockField(e, kClockYear, kPackedFourDigits, e.left - 5, y, wide, h, word, out);
    PutClockField(e, kClockMonth, kPackedTwoDigits, e.left + 5 * cw + cw / 4 - 5, y, narrow, h,
                  word, out);
    PutClockField(e, kClockDay, kPackedTwoDigits, e.left + 8 * cw + (10 * cw) / 15 - 5, y, narrow,
                  h, word, out);
  } else {
    PutClockField(e, kClockMonth, kPackedTwoDigits, e.left - 5, y, narrow, h, word, out);
    PutClockField(e, kClockDay, kPackedTwoDigits, e.left + 3 * cw + cw / 4 - 5, y, narrow, h, word,
                  out);
    PutClockField(e, kClockYear, kPackedFourDigits, e.left + 6 * cw + (10 * cw) / 15 - 5, y, wide,
                  h, word, out);
  }
}

void ExpandTime(const Element& e, int format, std::uint16_t formatWord, PageBlockWriter& out) {
  const int o = 2 * e.border;
  const int t = e.top + o - 4;
  const int h = e.height - o - 2;
  const auto word = static_cast<std::uint16_t>((formatWord & 0x0F) + 256 * e.f);
  const double cw = e.cw;
  const int x0 = e.left - 5;

  if (format == 0) {
    PutTextRecord(out, {PlainGeometry(RoundHalfEven(o + x0 + 2.5 * cw), t + 2,
                                      RoundHalfEven(6.5 * cw), h - 3),
                        word, e.back, e.fore, kTimeSeparatorsChinese, kTimeSeparatorsChinese});
  } else {
    const std::string_view separators = format == 1 ? kTimeSeparatorsLong : kTimeSeparatorsShort;
    const double textWidth = format == 1 ? 4.5 * cw : 1.5 * cw;
    PutTextRecord(
        out, {PlainGeometry(RoundHalfEven(x0 + 2.33 * cw + o), t - 1, RoundHalfEven(textWidth), h),
              word, e.back, e.fore, separators, separators});
  }

  const ClockField fields[3] = {kClockHour, kClockMinute, kClockSecond};
  const int count = format == 1 ? 3 : 2;
  const int spacing = format == 0 ? 4 : 3;
  const int width = RoundHalfEven(2.8 * cw - 2 - 2 * e.f);
  for (int k = 0; k < count; ++k) {
    const int step = spacing * k * e.cw;  // formed as an integer before the scaling
    const int dk = k == 0 ? 0 : RoundHalfEven(step * 1.037);
    PutClockField(e, fields[k], kPackedTwoDigits, e.left + dk + o - 5, t, width, h, word, out);
  }
}

}  // namespace

int RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double rounded = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1;
  return static_cast<int>(rounded);
}

void ExpandDateTime(const PageRecord& page, int slot, PageBlockWriter& out) {
  const Element e = Describe(page, slot);
  PutFrame(page, e, out);
  const int format = page.ElemByteB[slot];
  if (format > 2) return;
  if (page.ElemKind[slot] == elements::kKindDate) {
    ExpandDate(e, format, page.ElemWordC[slot], out);
  } else {
    ExpandTime(e, format, page.ElemWordC[slot], out);
  }
}

}  // namespace dravik::compiler
