#include "params/key_led.h"

#include <algorithm>

#include "model/settings_page.h"

namespace dravik::params {

using namespace model::settings;
using model::At;

KeyLedRegisters StoredKeyLedRegisters(const model::PageRecord& s) {
  return {At(s, kKeyRegister), At(s, kLedRegister)};
}

KeyLedRegisters ReadKeyLedRegisters(const model::PageRecord& s, int maxReg) {
  const int highest = HighestFirstRegister(maxReg);
  const KeyLedRegisters stored = StoredKeyLedRegisters(s);
  return {std::min(stored.key, highest), std::min(stored.led, highest)};
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

Bilingual FollowerBeyondMaxRegMessage(int maxReg) {
  const std::string max = std::to_string(maxReg);
  const std::string lowered = std::to_string(HighestFirstRegister(maxReg));
  return {
      "16-31 对应的寄存器 (首寄存器 + 1) 不能超过 " + max + " ！\r首寄存器已改为 " + lowered + "。",
      "The register of 16-31 (the first register + 1) cannot exceed " + max +
          "!\rThe first register was lowered to " + lowered + "."};
}

}  // namespace dravik::params
