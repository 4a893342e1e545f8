#pragma once
// The text form of macro rows and operands, as the editor grid and printing show them.
// Texts are GBK bytes (a comment or CHR string is inserted as stored); the rest is ASCII
// plus the register name as the caller passes it.

#include <cstdint>
#include <string>
#include <string_view>

#include "macro/macro_row.h"

namespace dravik::macro {

// The name of the first word register kind of Link 1 before the work parameters named one.
inline constexpr std::string_view kDefaultRegisterName = "D";

// The operand text: the value (signed for a constant in a row with the signed option), the
// register name before a register, and ".<bit number in hex>" for a bit operand.
std::string MacReStr(std::uint8_t kind, std::uint16_t value, std::uint8_t BIT,
                     std::string_view RegisterName = kDefaultRegisterName);

struct MacRowText {
  std::string text;
  bool isComment = false;
};

// The row's text form; empty for an empty row and for codes without a command.
MacRowText MacCodeToStr(const MacroRow& row, std::string_view RegisterName = kDefaultRegisterName);

// The template the expression line shows when the command is chosen; empty for none.
std::string_view MacTemplate(int code);

}  // namespace dravik::macro
