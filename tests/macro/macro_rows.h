#pragma once
// Building macro rows in tests.

#include <cstdint>
#include <string_view>

#include "macro/macro_row.h"

namespace dravik::macro::fixture {

inline constexpr std::uint8_t kK = 0;    // constant operand
inline constexpr std::uint8_t kReg = 1;  // register operand

struct Op {
  std::uint8_t kind = kK;
  std::uint16_t value = 0;
};

inline Op R(std::uint16_t value) {
  return {kReg, value};
}
inline Op K(std::uint16_t value) {
  return {kK, value};
}

inline MacroRow Row(std::uint8_t code, Op a1 = {}, Op a2 = {}, Op a3 = {}, std::uint8_t bit = 0,
                    std::string_view comment = {}) {
  MacroRow row;
  row.OPt = code;
  row.BIT = bit;
  row.A1t = a1.kind;
  row.A1v = a1.value;
  row.A2t = a2.kind;
  row.A2v = a2.value;
  row.A3t = a3.kind;
  row.A3v = a3.value;
  row.Comment.Assign(comment);
  return row;
}

inline MacroRow Comment(std::string_view text) {
  return Row(34, {}, {}, {}, 0, text);
}

}  // namespace dravik::macro::fixture
