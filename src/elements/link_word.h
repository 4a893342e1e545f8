#pragma once
// The link word (ElemWordD) of the dynamic text, the ASCII-Chinese element and the drawing
// primitives: the kind's own flags, the word register kind and the link.

#include <cstdint>

namespace dravik::elements {

struct LinkWord {
  int flags = 0;         // bits 0..7, meaning per kind (transparent, filled, show axis, ...)
  int registerKind = 0;  // bits 8..10: index into the link's word kind list
  int link = 0;          // bit 11: 0 Link 1, 1 Link 2

  static constexpr LinkWord Unpack(std::uint16_t word) {
    return {word & 0xFF, (word >> 8) & 0x07, (word >> 11) & 1};
  }
  constexpr std::uint16_t Pack() const {
    return static_cast<std::uint16_t>((flags & 0xFF) | ((registerKind & 0x07) << 8) |
                                      ((link & 1) << 11));
  }
  bool operator==(const LinkWord&) const = default;
};

}  // namespace dravik::elements
