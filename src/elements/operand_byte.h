#pragma once
// The operand byte (ElemByteB) of the lamp, picture, bit switch, register, trend chart and
// bar graph: which register kind, which link, and the bit number or word data type.

#include <cstdint>

namespace dravik::elements {

struct OperandByte {
  int bitOrType = 0;     // bits 0..3: bit number 0..15, or for words 0 "16 位", 1 "32 位"
  int registerKind = 0;  // bits 4..6: index into the link's bit or word kind list
  int link = 0;          // bit 7: 0 Link 1, 1 Link 2; the register keeps its Float flag here

  static constexpr OperandByte Unpack(std::uint8_t byte) {
    return {byte & 0x0F, (byte >> 4) & 0x07, byte >> 7};
  }
  constexpr std::uint8_t Pack() const {
    return static_cast<std::uint8_t>((bitOrType & 0x0F) | ((registerKind & 0x07) << 4) |
                                     ((link & 1) << 7));
  }
  bool operator==(const OperandByte&) const = default;
};

}  // namespace dravik::elements
