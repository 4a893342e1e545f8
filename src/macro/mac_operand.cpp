#include "macro/mac_operand.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace dravik::macro {

namespace {

constexpr MacConstantRange kSignedRange{-32768, 32767};  // commands offering "有符号数"
constexpr MacConstantRange kCallRange{1, 16};            // CALL: sub-macro number
constexpr MacConstantRange kWordRange{0, 65535};         // every other constant

// An optional sign followed by decimal digits, nothing else.
std::optional<std::int64_t> ParseInteger(std::string_view text) {
  std::size_t start = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    start = 1;
  }
  const std::string_view digits = text.substr(start);
  if (digits.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return negative ? -magnitude : magnitude;
}

}  // namespace

MacRegisterArea MacRegisterAreaFrom(std::span<const std::string> W_DeviceName,
                                    std::span<const std::string> W_DeviceMax) {
  MacRegisterArea area;
  if (!W_DeviceName.empty()) area.RegisterName = W_DeviceName.front();
  if (!W_DeviceMax.empty()) {
    std::string_view text = W_DeviceMax.front();
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const auto number = ParseInteger(text);
    if (number && *number >= 0 && *number <= std::numeric_limits<std::uint32_t>::max()) {
      area.MaxReg = static_cast<std::uint32_t>(*number);
    }
  }
  return area;
}

MacOperandKinds MacOperandKindsAllowed(int code, int operand) {
  const MacCommand* command = FindMacCommand(code);
  if (command == nullptr || operand < 0 || operand > 2) return MacOperandKinds::None;
  return command->operands[operand];
}

MacConstantRange MacConstantRangeOf(int code) {
  const MacCommand* command = FindMacCommand(code);
  if (command != nullptr && command->offersSigned) return kSignedRange;
  if (code == kMacCallCode) return kCallRange;
  return kWordRange;
}

std::uint32_t MacRegisterLimit(const MacRegisterArea& area) {
  return std::min<std::uint32_t>(area.MaxReg, 65535);
}

std::string MacRangeHint(int code, bool isRegister, const MacRegisterArea& area) {
  if (isRegister) {
    return "( " + area.RegisterName + ": 0~" + std::to_string(MacRegisterLimit(area)) + " )";
  }
  const MacConstantRange range = MacConstantRangeOf(code);
  return "( K: " + std::to_string(range.min) + "~" + std::to_string(range.max) + " )";
}

MacOperandEntry CheckMacOperand(int code, bool isRegister, std::string_view text,
                                const MacRegisterArea& area) {
  const auto number = ParseInteger(text);
  if (isRegister) {
    if (!number) return {};
    const std::uint32_t limit = MacRegisterLimit(area);
    if (*number < 0 || *number > static_cast<std::int64_t>(limit)) {
      return {std::nullopt,
              Both(area.RegisterName + " 记忆体范围: 0 ~ " + std::to_string(limit) + " ！")};
    }
    return {static_cast<std::uint16_t>(*number), std::nullopt};
  }
  if (!number) return {std::nullopt, Both("不是有效的常数 ！")};
  const MacConstantRange range = MacConstantRangeOf(code);
  if (*number < range.min || *number > range.max) {
    return {std::nullopt, Both("K 常数范围: " + std::to_string(range.min) + " ~ " +
                               std::to_string(range.max) + " ！")};
  }
  // Negative constants are kept in two's complement.
  return {static_cast<std::uint16_t>(static_cast<std::int32_t>(*number) & 0xFFFF), std::nullopt};
}

std::uint8_t MacEnteredKind(std::uint8_t previousKind, bool isRegister) {
  return static_cast<std::uint8_t>((previousKind & kKindBitNumber) |
                                   (isRegister ? kKindRegister : 0));
}

}  // namespace dravik::macro
