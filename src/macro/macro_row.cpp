#include "macro/macro_row.h"

#include <cstring>

namespace dravik::macro {

// The struct is the record (every member a byte array, checked above), so copying its
// bytes is the exact file layout on every host.
MacroRowBytes ToBytes(const MacroRow& row) {
  MacroRowBytes bytes;
  std::memcpy(bytes.data(), &row, kMacroRowSize);
  return bytes;
}

MacroRow MacroRowFromBytes(std::span<const std::uint8_t, kMacroRowSize> bytes) {
  MacroRow row;
  std::memcpy(&row, bytes.data(), kMacroRowSize);
  return row;
}

int LastUsedRow(std::span<const MacroRow> rows) {
  for (std::size_t i = rows.size(); i > 0; --i) {
    if (!rows[i - 1].Empty()) return static_cast<int>(i);
  }
  return 0;
}

void ClearCodes(std::span<MacroRow> rows) {
  for (MacroRow& row : rows) {
    row.OPt = 0;
    row.BIT = 0;
  }
}

}  // namespace dravik::macro
