#pragma once
// What the dynamic text dialog edits (kind 7), as plain values: the word register whose
// value picks the state, input and its options, the format word, and per language one row
// per state with its value and text. The rows live in the page's text table: an entry is
// the state's text followed by its value as four upper-case hexadecimal digits, and the
// slot decides how many states it has room for (model::StatesPerLanguage).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_frame.h"
#include "elements/format_word.h"
#include "model/page_record.h"
#include "platform/bilingual.h"

namespace dravik::elements {

inline constexpr int kLanguageCount = 2;
// A state value is what a word register holds.
inline constexpr int kStateValueMax = 65535;
// The value column takes this many characters, the text column this many GBK bytes: the
// text and four hexadecimal digits fill a text-table entry.
inline constexpr int kStateValueChars = 5;
inline constexpr int kStateTextBytes = 26;
inline constexpr int kStateValueDigits = 4;

// One state of a text-table entry.
struct StateEntry {
  int value = 0;
  std::string text;  // GBK
  bool operator==(const StateEntry&) const = default;
};

// Splits an entry: its last one to four characters, when they are all hexadecimal digits,
// are the value and are cut off; otherwise the whole entry is the text and the value is the
// state's index.
StateEntry SplitStateEntry(std::string_view entry, int index);
// The entry of a state: the text, then the value in upper-case hexadecimal with at least
// four digits. The text gives way where both do not fit (never half a character), so the
// value always survives.
std::string JoinStateEntry(std::string_view text, int value);

// One row of a state grid as the user edits it: the value as typed (a decimal number when
// it is right) and the text.
struct StateRow {
  std::string value;
  std::string text;  // GBK
  bool operator==(const StateRow&) const = default;
};

// The value a value cell stands for: a decimal number 0..65535 (blanks around it allowed),
// or nothing.
std::optional<int> StateValueOf(std::string_view cell);
// When the number of states changes, a value cell that reads exactly "0" takes the index
// of its state: new states start with distinct values.
std::string RenumberedValue(std::string_view cell, int index);

struct DynamicTextProperties {
  FrameValues frame;
  int link = 0;
  int kind = 0;  // word kind of the link
  int registerNumber = 0;
  int stateCount = 1;
  bool inputAllowed = false;
  bool zeroOnLeave = false;
  bool transparent = false;  // carried; the dialog does not offer it
  bool passwordProtected = false;
  FormatWord format;
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  // Every state the slot has room for, shown or not.
  std::array<std::vector<StateRow>, kLanguageCount> states;
  bool operator==(const DynamicTextProperties&) const = default;
};

// The number of states the element in `slot` may have.
SpinRange StateCountRange(int slot);

DynamicTextProperties ReadDynamicTextProperties(const model::PageRecord& page, int slot);

// Why OK is refused, and the state to show the user.
struct StatesRefusal {
  Bilingual message;
  int language = 0;
  int state = 0;
};
// The first pair of identical value cells among the shown states, language one first
// (compared as typed, so "1" and "01" differ), then the first value cell that is not a
// number 0..65535.
std::optional<StatesRefusal> CheckDynamicTextStates(const DynamicTextProperties& text);

// Writes every field and the entries of the shown states; states beyond the count keep
// what they held. The element's own texts are the texts of state 0.
void WriteDynamicTextProperties(model::PageRecord& page, int slot,
                                const DynamicTextProperties& text);

}  // namespace dravik::elements
