#include "elements/dynamic_text_properties.h"

#include <algorithm>
#include <cstdio>

#include "elements/element_fields.h"
#include "elements/link_word.h"
#include "model/project_image.h"
#include "params/alarm_settings.h"

namespace dravik::elements {

namespace {

// The link word's flags of a dynamic text.
constexpr int kTransparentFlag = 1;
constexpr int kPasswordFlag = 2;

constexpr std::size_t kEntryBytes =
    decltype(model::PageRecord::DynTextStates)::value_type::kCapacity;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 16 + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  return value;
}

const char* LanguageNumber(int language) {
  return language == 0 ? "1" : "2";
}

Bilingual DuplicateMessage(int language, int first, int second) {
  const std::string ids = std::to_string(first) + "  ID:" + std::to_string(second);
  return {
      std::string(language == 0 ? "语言一" : "语言二") + "数值栏，有2个数值重复 ！\r看看ID:" + ids,
      std::string("Language ") + LanguageNumber(language) +
          " numeric Bar, there are 2 numerical repetition!\rLook ID:" + ids};
}

Bilingual NotAValueMessage(int language, int state, std::string_view cell) {
  const std::string id = std::to_string(state);
  const std::string shown(cell);
  return {std::string(language == 0 ? "语言一" : "语言二") + "数值栏，ID:" + id + " 的数值 \"" +
              shown + "\" 不是 0 ~ 65535 的整数 ！",
          std::string("Language ") + LanguageNumber(language) + " numeric Bar, the value \"" +
              shown + "\" of ID:" + id + " is not a whole number from 0 to 65535!"};
}

}  // namespace

StateEntry SplitStateEntry(std::string_view entry, int index) {
  const std::size_t tail = std::min<std::size_t>(kStateValueDigits, entry.size());
  const std::string_view digits = entry.substr(entry.size() - tail);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
    return {index, std::string(entry)};
  }
  return {HexValue(digits), std::string(entry.substr(0, entry.size() - tail))};
}

std::string JoinStateEntry(std::string_view text, int value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(value));
  const std::string hex(digits);
  return params::CutGbk(text, kEntryBytes - std::min(hex.size(), kEntryBytes)) + hex;
}

std::optional<int> StateValueOf(std::string_view cell) {
  const std::size_t first = cell.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::string_view number = cell.substr(first, cell.find_last_not_of(' ') + 1 - first);
  if (number.size() > kStateValueChars) return std::nullopt;
  int value = 0;
  for (const char c : number) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kStateValueMax) return std::nullopt;
  return value;
}

std::string RenumberedValue(std::string_view cell, int index) {
  return cell == "0" ? std::to_string(index) : std::string(cell);
}

SpinRange StateCountRange(int slot) {
  const int room = model::StatesPerLanguage(slot);
  return {std::min(1, room), room};
}

DynamicTextProperties ReadDynamicTextProperties(const model::PageRecord& page, int slot) {
  const DynamicTextElement element(page, slot);
  const LinkWord link = element.linkWord();
  DynamicTextProperties text;
  text.frame = ReadFrame(page, slot);
  text.link = link.link;
  text.kind = link.registerKind;
  text.registerNumber = element.registerNumber();
  text.stateCount = element.stateCount();
  text.inputAllowed = element.inputAllowed() != 0;
  text.zeroOnLeave = element.zeroOnLeave() != 0;
  text.transparent = (link.flags & kTransparentFlag) != 0;
  text.passwordProtected = (link.flags & kPasswordFlag) != 0;
  text.format = FormatWord::Unpack(element.formatBits());
  text.backColour = ColourOf(element.backColour());
  text.foreColour = ColourOf(element.foreColour());
  const int room = model::StatesPerLanguage(slot);
  for (int language = 0; language < kLanguageCount; ++language) {
    std::vector<StateRow>& rows = text.states[language];
    for (int i = 0; i < room; ++i) {
      const auto entry = static_cast<std::size_t>(*model::TextEntry(slot, language, i));
      StateEntry state = SplitStateEntry(page.DynTextStates[entry].View(), i);
      rows.push_back({std::to_string(state.value), std::move(state.text)});
    }
  }
  return text;
}

std::optional<StatesRefusal> CheckDynamicTextStates(const DynamicTextProperties& text) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::vector<StateRow>& rows = text.states[language];
    const int shown = std::min<int>(text.stateCount, static_cast<int>(rows.size()));
    for (int i = 0; i < shown; ++i) {
      for (int j = i + 1; j < shown; ++j) {
        if (rows[i].value == rows[j].value) {
          return StatesRefusal{DuplicateMessage(language, i, j), language, j};
        }
      }
    }
  }
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::vector<StateRow>& rows = text.states[language];
    const int shown = std::min<int>(text.stateCount, static_cast<int>(rows.size()));
    for (int i = 0; i < shown; ++i) {
      if (!StateValueOf(rows[i].value)) {
        return StatesRefusal{NotAValueMessage(language, i, rows[i].value), language, i};
      }
    }
  }
  return std::nullopt;
}

void WriteDynamicTextProperties(model::PageRecord& page, int slot,
                                const DynamicTextProperties& text) {
  const DynamicTextElement element(page, slot);
  WriteFrame(page, slot, text.frame);
  element.registerNumber() = static_cast<std::uint16_t>(text.registerNumber);
  // A slot without text-table room (a file made elsewhere) keeps its count: no state shows.
  const SpinRange room = StateCountRange(slot);
  if (room.max > 0) {
    element.stateCount() =
        static_cast<std::uint8_t>(std::clamp(text.stateCount, room.min, room.max));
  }
  element.inputAllowed() = text.inputAllowed ? 1 : 0;
  element.zeroOnLeave() = text.zeroOnLeave ? 1 : 0;
  element.formatBits() = text.format.Pack();
  const int flags =
      (text.transparent ? kTransparentFlag : 0) | (text.passwordProtected ? kPasswordFlag : 0);
  element.linkWordBits() = LinkWord{flags, text.kind, text.link}.Pack();
  element.backColour() = ColourField(text.backColour);
  element.foreColour() = ColourField(text.foreColour);

  for (int language = 0; language < kLanguageCount; ++language) {
    const std::vector<StateRow>& rows = text.states[language];
    const int shown = std::min<int>(text.stateCount, static_cast<int>(rows.size()));
    for (int i = 0; i < shown; ++i) {
      const auto entry = model::TextEntry(slot, language, i);
      if (!entry) break;
      const int value = StateValueOf(rows[i].value).value_or(0);
      StoreText(page.DynTextStates[static_cast<std::size_t>(*entry)],
                JoinStateEntry(rows[i].text, value));
    }
  }
  if (!text.states[0].empty()) StoreText(element.languageOneText(), text.states[0][0].text);
  if (!text.states[1].empty()) StoreText(element.languageTwoText(), text.states[1][0].text);
}

}  // namespace dravik::elements
