#pragma once
// One row of the clock macro, byte for byte as the editor holds it and as the exported
// ".Mac" file stores it. Every member is byte-aligned, so the struct has no padding and
// a record is copied whole; the pad bytes are kept so that a file read and written again
// comes out identical.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "model/little_endian.h"
#include "model/short_string.h"

namespace dravik::macro {

inline constexpr int kMacroRowCount = 100;              // rows of one macro, row 1 shown first
inline constexpr std::size_t kMacroRowSize = 66;        // bytes of one record
inline constexpr std::size_t kMacCommentCapacity = 50;  // GBK bytes of a comment or CHR text

// `BIT`: the option flags of a row.
inline constexpr std::uint8_t kMacDoubleWord = 0x01;  // "双字"
inline constexpr std::uint8_t kMacSigned = 0x02;      // "有符号数"

// The operand kind byte.
inline constexpr std::uint8_t kKindRegister = 0x01;   // bit 0: register, else constant (K)
inline constexpr std::uint8_t kKindBitMark = 0x08;    // bit 3: a bit operand
inline constexpr std::uint8_t kKindBitNumber = 0xF0;  // bits 4..7: the bit number 0..15

struct MacroRow {
  std::uint8_t OPt = 0;  // command code, 0 = empty row
  std::uint8_t BIT = 0;  // kMacDoubleWord | kMacSigned
  std::uint8_t A1t = 0;
  std::uint8_t pad3 = 0;
  model::U16le A1v;
  std::uint8_t A2t = 0;
  std::uint8_t pad7 = 0;
  model::U16le A2v;
  std::uint8_t A3t = 0;
  std::uint8_t pad11 = 0;
  model::U16le A3v;
  model::ShortString50 Comment;  // the comment (code 34) or the text of CHR (code 14)
  std::uint8_t pad65 = 0;

  bool Empty() const { return OPt == 0; }
};

static_assert(sizeof(MacroRow) == kMacroRowSize);
static_assert(alignof(MacroRow) == 1);
static_assert(std::is_trivially_copyable_v<MacroRow>);
static_assert(std::is_standard_layout_v<MacroRow>);
static_assert(offsetof(MacroRow, OPt) == 0);
static_assert(offsetof(MacroRow, BIT) == 1);
static_assert(offsetof(MacroRow, A1t) == 2);
static_assert(offsetof(MacroRow, A1v) == 4);
static_assert(offsetof(MacroRow, A2t) == 6);
static_assert(offsetof(MacroRow, A2v) == 8);
static_assert(offsetof(MacroRow, A3t) == 10);
static_assert(offsetof(MacroRow, A3v) == 12);
static_assert(offsetof(MacroRow, Comment) == 14);
static_assert(offsetof(MacroRow, pad65) == 65);

using MacroRows = std::array<MacroRow, kMacroRowCount>;
using MacroRowBytes = std::array<std::uint8_t, kMacroRowSize>;

// The 66 bytes of a row, and a row from them.
MacroRowBytes ToBytes(const MacroRow& row);
MacroRow MacroRowFromBytes(std::span<const std::uint8_t, kMacroRowSize> bytes);

// The number (1-based) of the last row whose code is not 0; 0 when every row is empty.
int LastUsedRow(std::span<const MacroRow> rows);

// Empties the code and options of every row; the other fields keep what they held.
void ClearCodes(std::span<MacroRow> rows);

}  // namespace dravik::macro
