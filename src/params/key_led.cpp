#include "params/key_led.h"

#include <algorithm>

#include "model/settings_page.h"

namespace dravik::params {

using namespace model::settings;
using model::At;

KeyLedRegisters ReadKeyLedRegisters(const model::PageRecord& s, int maxReg) {
  const int max = std::max(0, maxReg);
  return {std::min<int>(At(s, kKeyRegister), max), std::min<int>(At(s, kLedRegister), max)};
}

void WriteKeyLedRegisters(model::PageRecord& s, const KeyLedRegisters& registers) {
  At(s, kKeyRegister) = static_cast<std::uint16_t>(registers.key);
  At(s, kLedRegister) = static_cast<std::uint16_t>(registers.led);
}

std::string KeyLedLowCaption(std::string_view kind, bool chinese) {
  return (chinese ? "00-15 对应寄存器号" : "00-15 Corres. Reg.") + std::string(kind) + ":";
}

std::string KeyLedHighCaption(std::string_view kind, bool chinese) {
  return (chinese ? "16-31 对应寄存器号" : "16-31 Corres. Reg.") + std::string(kind) + ":";
}

}  // namespace dravik::params
