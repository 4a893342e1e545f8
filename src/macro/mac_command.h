#pragma once
// The clock macro's command vocabulary: codes 1 to 37, what each shows and takes.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace dravik::macro {

inline constexpr int kMacFirstCode = 1;
inline constexpr int kMacLastCode = 37;
inline constexpr int kMacCommentCode = 34;
inline constexpr int kMacChrCode = 14;
inline constexpr int kMacLabelCode = 26;
inline constexpr int kMacCallCode = 27;

// The kinds an operand may take; None = the command does not use the operand.
enum class MacOperandKinds : std::uint8_t { None, Register, Constant, Either };

// The text a command carries besides its operands.
enum class MacTextUse : std::uint8_t {
  None,
  ChrText,  // code 14: the string of CHR, entered in place of A2
  Comment,  // code 34: the comment, entered in place of A1
};

struct MacCommand {
  std::uint8_t code;
  // The name on the editor's command panel; empty for the codes the panel does not offer
  // (such rows only come from files made elsewhere).
  std::string_view panelName;
  // The row's text form: {1} {2} {3} stand for the operand texts, {T} for the text.
  std::string_view textForm;
  // What the editor's expression line shows when the command is chosen.
  std::string_view templateText;
  std::array<MacOperandKinds, 3> operands;
  MacTextUse text;
  bool offersDoubleWord;
  bool offersSigned;
  bool doubleWordAlways;  // the option is fixed on (code 33)
  // Whether a row with options set shows them after its text form.
  bool showsOptions;

  bool UsesOperand(int index) const { return operands[index] != MacOperandKinds::None; }
};

// Codes 1 to 37 in order.
std::span<const MacCommand> MacCommands();

// The command of a code; nullptr for 0 and codes above 37.
const MacCommand* FindMacCommand(int code);

// Whether the compiler encodes rows of this code as instructions (others leave no trace).
bool IsMacInstruction(int code);

// The jump target operand of a row's command: 2 (A3) for the IFs 15 to 22, 1 (A2) for
// 23 and 24, 0 (A1) for GOTO; -1 for commands that do not jump.
int MacJumpOperand(int code);

}  // namespace dravik::macro
