#include "elements/register_properties.h"

#include <algorithm>

#include "elements/element_fields.h"
#include "elements/operand_byte.h"

namespace dravik::elements {

namespace {

// The data type's values: 16 bits, or nine decimal digits for 32 bits.
SpinRange DataRange(int dataType, bool isSigned) {
  if (dataType == kDataType32)
    return isSigned ? SpinRange{-999999999, 999999999} : SpinRange{0, 999999999};
  return isSigned ? SpinRange{-32768, 32767} : SpinRange{0, 65535};
}

// ElemWordD of a register.
constexpr std::uint16_t kLeadingZerosBit = 1;
constexpr std::uint16_t kPasswordBit = 2;

}  // namespace

const Bilingual kDirectLimitsMessage{"直接上限K值必须 > 直接下限K值 ！",
                                     "The direct limit K value must be > direct limit K value!"};

RegisterProperties ReadRegisterProperties(const model::PageRecord& page, int slot) {
  const RegisterElement element(page, slot);
  const OperandByte operand = element.operand();
  RegisterProperties reg;
  reg.frame = ReadFrame(page, slot);
  reg.kind = operand.registerKind;
  reg.registerNumber = element.registerNumber();
  reg.dataType = operand.bitOrType;
  reg.isFloat = operand.link != 0;
  reg.inputAllowed = element.inputAllowed() != 0;
  reg.isSigned = element.isSigned() != 0;
  reg.indirectLimits = element.indirectLimits() != 0;
  reg.upperLimit = element.upperLimit();
  reg.lowerLimit = element.lowerLimit();
  reg.digits = element.digitsAndDecimals() >> 8;
  reg.decimals = element.digitsAndDecimals() & 0xFF;
  reg.format = FormatWord::Unpack(element.formatBits());
  reg.leadingZeros = (element.options() & kLeadingZerosBit) != 0;
  reg.passwordProtected = (element.options() & kPasswordBit) != 0;
  reg.keyRegister = element.keyRegister();
  reg.keyCondition = element.keyCondition() >> 4;
  reg.keyAction = element.keyCondition() & 0x0F;
  reg.backColour = ColourOf(element.backColour());
  reg.foreColour = ColourOf(element.foreColour());
  return reg;
}

SpinRange UpperLimitRange(const RegisterProperties& reg, int registerMaximum) {
  if (reg.indirectLimits) return {0, registerMaximum};
  return DataRange(reg.dataType, reg.isSigned);
}

SpinRange LowerLimitRange(const RegisterProperties& reg) {
  return DataRange(reg.dataType, reg.isSigned);
}

std::optional<Bilingual> CheckRegisterLimits(const RegisterProperties& reg) {
  if (!reg.indirectLimits && reg.lowerLimit >= reg.upperLimit) return kDirectLimitsMessage;
  return std::nullopt;
}

std::string RegisterPreviewText(int digits, int decimals, bool isSigned) {
  static constexpr std::string_view kDigits = "1234567890";
  const auto n = static_cast<std::size_t>(std::clamp(digits, 0, static_cast<int>(kDigits.size())));
  const auto d = static_cast<std::size_t>(std::max(decimals, 0));
  std::string text(kDigits.substr(0, n));
  if (d >= n && d > 0) {
    text.insert(0, "0.");
  } else if (d > 0) {
    text.insert(n - d, ".");
  }
  if (isSigned) text.insert(0, "-");
  return text;
}

void WriteRegisterProperties(model::PageRecord& page, int slot, RegisterProperties reg) {
  if (reg.inputAllowed) reg.digits = std::min(reg.digits, kInputDigitsMax);
  const RegisterElement element(page, slot);
  WriteFrame(page, slot, reg.frame);
  StoreText(element.previewText(), RegisterPreviewText(reg.digits, reg.decimals, reg.isSigned));
  element.registerNumber() = static_cast<std::uint16_t>(reg.registerNumber);
  element.operandByte() = OperandByte{reg.dataType, reg.kind, reg.isFloat ? 1 : 0}.Pack();
  element.inputAllowed() = reg.inputAllowed ? 1 : 0;
  element.isSigned() = reg.isSigned ? 1 : 0;
  element.indirectLimits() = reg.indirectLimits ? 1 : 0;
  element.upperLimit() = reg.upperLimit;
  element.lowerLimit() = reg.lowerLimit;
  element.digitsAndDecimals() = static_cast<std::uint16_t>(reg.digits * 256 + reg.decimals);
  element.formatBits() = reg.format.Pack();
  element.options() = static_cast<std::uint16_t>((reg.leadingZeros ? kLeadingZerosBit : 0) |
                                                 (reg.passwordProtected ? kPasswordBit : 0));
  element.keyRegister() = static_cast<std::uint16_t>(reg.keyRegister);
  element.keyCondition() = static_cast<std::uint8_t>(reg.keyCondition * 16 + reg.keyAction);
  element.backColour() = ColourField(reg.backColour);
  element.foreColour() = ColourField(reg.foreColour);
}

}  // namespace dravik::elements
