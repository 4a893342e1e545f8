#pragma once
// How the panel shows a register value in its element's format, and how it reads back a
// number typed on the numeric pad: 16 or 32 bits, signed or not, Float (IEEE single in the
// 32 bits), digits 1..10 of which the last `decimals` stand after the decimal point,
// leading zeros.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace dravik::sim {

struct NumberFormat {
  bool is32 = false;
  bool isSigned = false;
  bool isFloat = false;  // always 32 bits and signed
  int digits = 4;        // 1..10, decimals included
  int decimals = 0;      // 0..9
  bool leadingZeros = false;
};

// The value the register holds as a number: the raw bits in their width and sign, or the
// Float they carry; decimals are not applied.
double RawNumber(std::uint32_t raw, const NumberFormat& format);

// The shown text. A value with more integer digits than the field has room for shows as
// '#' in every digit place (with the decimal point where it stands), as a spreadsheet
// shows a number too wide for its cell; so does a Float that is not a number.
std::string FormatValue(std::uint32_t raw, const NumberFormat& format);

// The limits an entry is checked against, in the register's own units (1234 for "12.34").
struct EntryLimits {
  double lower = 0;
  double upper = 0;
};

// The typed text (digits, an optional leading '-', an optional '.') as the bits to store,
// or why the panel refuses it: not a number, more decimals than the field shows, outside
// what the register can hold, or outside the limits.
Result<std::uint32_t> ParseEntry(std::string_view typed, const NumberFormat& format,
                                 const EntryLimits& limits);

}  // namespace dravik::sim
