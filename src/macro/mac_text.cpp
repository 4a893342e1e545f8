#include "macro/mac_text.h"

#include "macro/mac_command.h"

namespace dravik::macro {

std::string MacReStr(std::uint8_t kind, std::uint16_t value, std::uint8_t BIT,
                     std::string_view RegisterName) {
  const bool isRegister = (kind & kKindRegister) != 0;
  // A constant is a kind byte with bits 0..2 clear; only those are read as signed.
  const bool plainConstant = (kind & 0x07) == 0;
  std::string text;
  if (isRegister) text = RegisterName;
  if (plainConstant && (BIT & kMacSigned) != 0) {
    text += std::to_string(static_cast<std::int16_t>(value));
  } else {
    text += std::to_string(static_cast<unsigned>(value));
  }
  if ((kind & kKindBitMark) != 0 && (kind & 0x07) != 0x03) {
    text += '.';
    text += "0123456789ABCDEF"[kind >> 4];
  }
  return text;
}

MacRowText MacCodeToStr(const MacroRow& row, std::string_view RegisterName) {
  const MacCommand* command = FindMacCommand(row.OPt);
  if (command == nullptr) return {};

  const std::string operands[3] = {
      MacReStr(row.A1t, row.A1v, row.BIT, RegisterName),
      MacReStr(row.A2t, row.A2v, row.BIT, RegisterName),
      MacReStr(row.A3t, row.A3v, row.BIT, RegisterName),
  };
  // One pass over the form, so braces inside a comment are never taken as placeholders.
  std::string text;
  const std::string_view form = command->textForm;
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (form[i] == '{' && i + 2 < form.size() && form[i + 2] == '}') {
      const char slot = form[i + 1];
      if (slot == 'T') {
        text += row.Comment.View();
      } else {
        text += operands[slot - '1'];
      }
      i += 2;
    } else {
      text += form[i];
    }
  }
  if (command->showsOptions && row.BIT != 0) {
    text += " ( ";
    if ((row.BIT & kMacSigned) != 0) text += "Signed ";
    if ((row.BIT & kMacDoubleWord) != 0) text += "DW ";
    text += ")";
  }
  return {std::move(text), row.OPt == kMacCommentCode};
}

std::string_view MacTemplate(int code) {
  const MacCommand* command = FindMacCommand(code);
  return command == nullptr ? std::string_view{} : command->templateText;
}

}  // namespace dravik::macro
