#include "elements/bit_properties.h"

#include <algorithm>

#include "elements/element_fields.h"
#include "elements/operand_byte.h"

namespace dravik::elements {

BitOperand ReadBitOperand(const model::PageRecord& page, int slot) {
  const OperandElement element(page, slot);
  const OperandByte operand = element.operand();
  return {operand.link, operand.registerKind, element.registerNumber(), operand.bitOrType};
}

void WriteBitOperand(model::PageRecord& page, int slot, const BitOperand& operand) {
  const OperandElement element(page, slot);
  element.registerNumber() = static_cast<std::uint16_t>(operand.registerNumber);
  element.operandByte() = OperandByte{operand.bit, operand.kind, operand.link}.Pack();
}

LampProperties ReadLampProperties(const model::PageRecord& page, int slot) {
  const LampElement element(page, slot);
  return {ReadFrame(page, slot),         ReadBitOperand(page, slot),
          element.offText().Str(),       element.onText().Str(),
          ColourOf(element.offColour()), ColourOf(element.onColour()),
          element.negativeLogic() != 0,  element.lampType()};
}

void WriteLampProperties(model::PageRecord& page, int slot, const LampProperties& lamp) {
  const LampElement element(page, slot);
  WriteFrame(page, slot, lamp.frame);
  WriteBitOperand(page, slot, lamp.operand);
  StoreText(element.offText(), lamp.offText);
  StoreText(element.onText(), lamp.onText);
  element.offColour() = ColourField(lamp.offColour);
  element.onColour() = ColourField(lamp.onColour);
  element.negativeLogic() = lamp.negativeLogic ? 1 : 0;
  element.lampType() = static_cast<std::uint8_t>(lamp.lampType);
}

BitSwitchProperties ReadBitSwitchProperties(const model::PageRecord& page, int slot) {
  const BitSwitchElement element(page, slot);
  return {ReadFrame(page, slot),
          ReadBitOperand(page, slot),
          element.offTextOne().Str(),
          element.offTextTwo().Str(),
          ColourOf(element.offBackColour()),
          ColourOf(element.offTextColour()),
          element.action(),
          element.panelKey(),
          FormatWord::Unpack(element.formatBits()),
          element.passwordProtected() != 0,
          element.invisible() != 0};
}

void WriteBitSwitchProperties(model::PageRecord& page, int slot, const BitSwitchProperties& key) {
  const BitSwitchElement element(page, slot);
  WriteFrame(page, slot, key.frame);
  WriteBitOperand(page, slot, key.operand);
  StoreText(element.offTextOne(), key.textOne);
  StoreText(element.offTextTwo(), key.textTwo);
  element.offBackColour() = ColourField(key.backColour);
  element.offTextColour() = ColourField(key.foreColour);
  element.action() = static_cast<std::uint16_t>(key.action);
  element.panelKey() = static_cast<std::uint16_t>(key.panelKey);
  element.formatBits() = key.format.Pack();
  element.passwordProtected() = key.passwordProtected ? 1 : 0;
  element.invisible() = key.invisible ? 1 : 0;
}

std::array<std::string, model::kPageKeyRows> PanelKeyNames(int panelModelWord) {
  const bool large = (panelModelWord & 0x3F) >= 2;
  std::array<std::string, model::kPageKeyRows> names{
      "F1", "F2", "F3", "F4", "F5", large ? "F6" : "CLR", "∧", "∨", "＜", "＞",
      large ? "监视" : "HOME", large ? "诊断" : "ALM"};
  for (int digit = 0; digit <= 9; ++digit) names[12 + digit] = std::to_string(digit);
  return names;
}

std::vector<std::string> PanelKeyItems(std::span<const std::string> keyNames, int rows,
                                       bool chinese) {
  const auto count =
      static_cast<std::size_t>(std::clamp<int>(rows, 0, static_cast<int>(keyNames.size())));
  std::vector<std::string> items(keyNames.begin(),
                                 keyNames.begin() + static_cast<std::ptrdiff_t>(count));
  items.emplace_back(chinese ? "光标焦点" : "Cursor");
  return items;
}

KeyTexts PanelKeyTexts(std::string_view item, bool cursorItem) {
  if (cursorItem) return {std::string(item), std::string(item)};
  return {std::string(item) + " 键", std::string(item) + " Key"};
}

}  // namespace dravik::elements
