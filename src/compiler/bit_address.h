#pragma once
// The address word of a bit operand in the device image. Some PLC protocols number bits
// across registers (register × 16 + bit, or × 8 for byte-wide kinds); the panel expects
// that combined number for those protocols and kinds, the plain register number otherwise.

#include <cstdint>

namespace dravik::compiler {

// Link 1 protocol indices whose bit kinds are addressed by combined bit numbers.
inline constexpr int kProtocolBitsOfAllKinds16 = 4;  // every kind but 0: register*16 + bit
inline constexpr int kProtocolBitsOfKinds1And2 = 6;  // kinds 1 and 2: register*16 + bit
inline constexpr int kProtocolBitsOfAllKinds8 = 7;   // every kind but 0: register*8 + bit

// `registerNumber` is ElemWordA, `operand` the operand byte ElemByteB (bit number in bits
// 0..3, register kind in bits 4..6; the link bit does not matter), `protocol` settings
// ElemHeight[0]. The result may exceed 16 bits; callers add it into a packed word as it is.
constexpr std::uint32_t BitAddress(std::uint16_t registerNumber, std::uint8_t operand,
                                   int protocol) {
  const int kind = (operand >> 4) & 0x07;
  const std::uint32_t reg = registerNumber;
  if (protocol == kProtocolBitsOfAllKinds16 && kind != 0) return reg * 16 + (operand & 0x0F);
  if (protocol == kProtocolBitsOfKinds1And2 && (kind == 1 || kind == 2)) {
    return reg * 16 + (operand & 0x0F);
  }
  if (protocol == kProtocolBitsOfAllKinds8 && kind != 0) return reg * 8 + (operand & 0x07);
  return reg;
}

}  // namespace dravik::compiler
