#pragma once
// What the date and time dialog edits, as plain values: the display format with its text,
// whether the operator may set the clock, border and font of the format word, and the
// colours. One set of rules serves both kinds; the format texts and the dialog's caption
// follow the kind.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "elements/element_frame.h"
#include "model/page_record.h"
#include "platform/bilingual.h"

namespace dravik::elements {

inline constexpr int kClockFormatCount = 3;
// The texts of the three formats, in the order of their codes (ElemByteB), UTF-8.
inline constexpr std::array<const char*, kClockFormatCount> kDateFormatTexts{
    "YYYY-MM-DD", "MM/DD/YYYY", "YYYY/MM/DD"};
inline constexpr std::array<const char*, kClockFormatCount> kTimeFormatTexts{"HH时MM分", "HH:MM:SS",
                                                                             "HH:MM"};
// The three format texts of a date (kind 10) or a time (any other kind).
const std::array<const char*, kClockFormatCount>& ClockFormatTexts(int kind);
// The text of `format` for the kind, GBK; none for a format the kind does not have.
std::optional<std::string> ClockFormatText(int kind, int format);

// " 日期属性" / " Date attribute", " 时间属性" / " Time attribute".
Bilingual ClockDialogCaption(int kind);

// A clock's border is none or 3-D, and it has the two smallest fonts.
inline constexpr std::array<const char*, 2> kClockBorderNames{"无", "三维"};
inline constexpr std::array<const char*, 2> kClockFontNames{"16X16", "24X24"};
inline constexpr int kClockBorder3D = 1;
// The border a format word shows: its border field while the word is below 0x2000, else
// 3-D (a plain or 3-D border from the other kinds' list counts as 3-D here).
int ClockBorderOf(std::uint16_t formatWord);

struct ClockProperties {
  FrameValues frame;
  // Codes above 2 come from elsewhere: they stay, and the format text with them.
  int format = 0;  // ElemByteB
  bool inputAllowed = false;
  int border = 0;  // 0 none, 1 3-D
  int font = 0;    // font size code; the dialog offers 0 and 1
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  bool operator==(const ClockProperties&) const = default;
};

ClockProperties ReadClockProperties(const model::PageRecord& page, int slot);
// Writes the format with its text, and a format word of border and font only: the clock
// is always aligned left and has no password level.
void WriteClockProperties(model::PageRecord& page, int slot, const ClockProperties& clock);

}  // namespace dravik::elements
