#pragma once
// The rules for entering a macro operand: which kinds each operand of a command may take,
// the accepted ranges with their messages, and the hint shown above the entry.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "macro/mac_command.h"
#include "macro/mac_text.h"
#include "platform/bilingual.h"

namespace dravik::macro {

// The panel's own register area that register operands address: the first word register
// kind of Link 1 (`W_DeviceName` entry 0) and its highest number (`W_DeviceMax` entry 0).
struct MacRegisterArea {
  std::string RegisterName{kDefaultRegisterName};
  std::uint32_t MaxReg = 0;
};

// The area from the work parameters' word register lists: entry 0 of each; MaxReg is 0
// when its text is not a number. Empty lists keep the defaults.
MacRegisterArea MacRegisterAreaFrom(std::span<const std::string> W_DeviceName,
                                    std::span<const std::string> W_DeviceMax);

// The kinds operand `operand` (0 = A1, 1 = A2, 2 = A3) of `code` may take; None when the
// command does not use it (and for codes without a command).
MacOperandKinds MacOperandKindsAllowed(int code, int operand);

struct MacConstantRange {
  std::int32_t min;
  std::int32_t max;
};

// The range of a constant operand of `code`.
MacConstantRange MacConstantRangeOf(int code);

// The highest register number an operand can hold: MaxReg, but never beyond what the
// 16-bit operand field stores.
std::uint32_t MacRegisterLimit(const MacRegisterArea& area);

// The hint above the entry field, e.g. "( K: 0~65535 )" or "( D: 0~4095 )".
std::string MacRangeHint(int code, bool isRegister, const MacRegisterArea& area);

// The outcome of entering an operand.
struct MacOperandEntry {
  // The stored value when accepted (negative constants in two's complement).
  std::optional<std::uint16_t> value;
  // Why it was refused. A register entry that is not a number is refused without a
  // message (the entry simply keeps the focus).
  std::optional<Bilingual> message;

  bool accepted() const { return value.has_value(); }
};

MacOperandEntry CheckMacOperand(int code, bool isRegister, std::string_view text,
                                const MacRegisterArea& area);

// The kind byte of an operand entered anew: bits 4..7 of the previous kind byte are kept,
// bits 1..3 cleared, bit 0 tells register from constant.
std::uint8_t MacEnteredKind(std::uint8_t previousKind, bool isRegister);

}  // namespace dravik::macro
