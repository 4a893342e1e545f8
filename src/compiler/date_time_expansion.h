#pragma once
// The panel has no date or time record: the compiler draws a date or time element as a
// frame rectangle, a text with the separators and two or three register fields bound to
// the panel's own clock registers.

#include "compiler/page_block_writer.h"
#include "model/page_record.h"

namespace dravik::compiler {

// Character width in pixels of each font size code 0..7.
inline constexpr int CharWidthTable[8] = {8, 12, 17, 24, 32, 40, 48, 56};

// The panel's clock registers and their input limits; the ID bytes are the panel's own
// tags for them, not slot numbers.
struct ClockField {
  std::uint16_t registerNumber;
  std::int32_t upperLimit;
  std::uint8_t id;
};
inline constexpr ClockField kClockYear{5016, 2099, 196};
inline constexpr ClockField kClockMonth{5015, 12, 197};
inline constexpr ClockField kClockDay{5013, 31, 199};
inline constexpr ClockField kClockHour{5012, 23, 193};
inline constexpr ClockField kClockMinute{5011, 59, 194};
inline constexpr ClockField kClockSecond{5010, 59, 195};

// Appends the records of the date (kind 10) or time (kind 11) element in `slot`.
void ExpandDateTime(const model::PageRecord& page, int slot, PageBlockWriter& out);

// Rounds to the nearest integer, ties to the even one.
int RoundHalfEven(double value);

}  // namespace dravik::compiler
