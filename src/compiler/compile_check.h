#pragma once
// The compile check: before every compile, every register an element refers to must exist
// on the PLC chosen in the work parameters. It also lowers the keyboard, LED and
// fast-write registers to the PLC's register area.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compiler_message.h"
#include "model/project_image.h"
#include "params/device_resources.h"
#include "platform/bilingual.h"

namespace dravik::compiler {

// The limits of a link, taken from Link 1's register-kind lists at the start of a check.
// Missing or non-numeric entries count as 0.
struct LinkLimits {
  int highestWordKind = -1;  // index of the last word kind; -1 when there is none
  int highestBitKind = -1;
  std::array<std::int32_t, 8> wordMax{};  // highest register number per word kind
  std::array<std::int32_t, 8> bitMax{};   // highest register number per bit kind
  std::array<int, 8> bitCount{};          // bits per register; 0 = bit numbers not checked

  static LinkLimits FromLists(const params::DeviceLists& lists);
};

// Which test an element failed; an element reports the last failing one.
enum class CheckFailure {
  kKindIndex,  // register kind not among the link's kinds
  kRegisterNumber,
  kBitNumber,
  kIndirectUpperLimit,
  kIndirectLowerLimit,
  kKeyRegister,
  kFullScaleRegister,
  kZeroRegister,
  kHorizontalRegister,
  kVerticalRegister,
  kVisibilityRegister,
  // The work parameters name a table the device resources do not have; the row stands
  // for the whole check, whose limits would be those of another PLC or none.
  kUnknownLink1Protocol,
  kUnknownLink2Table,
};
// The row message of a failure; `table` is the number the two unknown-table failures name.
Bilingual CheckMessage(CheckFailure failure, int table = 0);

// Shown when the keyboard, LED or fast-write registers had to be lowered; the caller then
// opens the keyboard LED dialog. It does not stop the compile.
extern const Bilingual kKeyboardLedMessage;

struct CheckRow {
  int page = 0;  // page number 1..240; 0 for a row about the work parameters
  int slot = 0;  // -1 for a row about the work parameters
  int kind = 0;
  CheckFailure failure{};
  std::string caption;   // UTF-8: the page's number text, ":" and its name
  std::string kindName;  // UTF-8, interface language
  std::string message;   // UTF-8, interface language
};

struct CheckReport {
  std::vector<CheckRow> rows;  // one per failing element, pages and slots ascending
  bool keyboardClamped = false;

  bool Failed() const { return !rows.empty(); }
  // The messages to show, in order: the keyboard message, then the error summary.
  std::vector<CompilerMessage> Messages() const;
};

// Runs the check in the interface language; both languages run the same tests. Lowered
// keyboard, LED and fast-write settings are written into the project. When the lists
// stand for a protocol or device table the device resources do not have, the check gives
// one row per such link instead, and neither judges nor lowers anything.
CheckReport StartCheck(model::ProjectImage& project, const params::DeviceLists& lists,
                       bool isChinese);

// The texts of the check window.
Bilingual CheckSummaryLabel(std::size_t count);    // above the list
Bilingual CheckSummaryMessage(std::size_t count);  // message box after a failed check
std::string CheckRowHint(const CheckRow& row);     // hint of a clicked row

}  // namespace dravik::compiler
