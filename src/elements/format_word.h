#pragma once
// The format word (ElemWordC) of the text-bearing kinds: border, font size, alignment and
// password level.

#include <cstdint>

namespace dravik::elements {

struct FormatWord {
  int border = 0;     // bits 12..15: 0 none, 1 plain, 2 3-D (date and time: 0 none, 1 3-D)
  int fontSize = 0;   // bits 8..11: 0 "16X16" .. 7 "112*112" (ASCII-Chinese: its own ten sizes)
  int alignment = 0;  // bits 4..7: 0 left, 1 centre, 2 right
  int level = 0;      // bits 0..3: password level 0 "普通" .. 5 "超级"

  static constexpr FormatWord Unpack(std::uint16_t word) {
    return {word >> 12, (word >> 8) & 0x0F, (word >> 4) & 0x0F, word & 0x0F};
  }
  constexpr std::uint16_t Pack() const {
    return static_cast<std::uint16_t>(((border & 0x0F) << 12) | ((fontSize & 0x0F) << 8) |
                                      ((alignment & 0x0F) << 4) | (level & 0x0F));
  }
  bool operator==(const FormatWord&) const = default;
};

}  // namespace dravik::elements
