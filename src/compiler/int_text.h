#pragma once
// Numbers kept as text in the project (page numbers, colours, key jumps, offsets, list
// entries of the device resources) are read with the ordinary integer conversion: optional
// leading blanks, an optional sign, then decimal digits, or hexadecimal digits after "$"
// or "0x". Anything else, or a value outside 32 bits, is not a number.

#include <cstdint>
#include <optional>
#include <string_view>

namespace dravik::compiler {

std::optional<std::int32_t> ParseIntText(std::string_view text);

inline std::int32_t ParseIntTextOr(std::string_view text, std::int32_t fallback) {
  return ParseIntText(text).value_or(fallback);
}

}  // namespace dravik::compiler
