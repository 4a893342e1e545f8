#pragma once
// What the lamp dialog and the bit switch dialog edit, as plain values: the bit operand
// both share, the lamp's type, logic and state texts, and the bit switch's action, panel
// key, texts and format. Read from a slot when the dialog opens, written back at OK.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_frame.h"
#include "elements/format_word.h"
#include "model/page_record.h"

namespace dravik::elements {

// A bit of a bit kind of a link: the operand byte holds link, kind and bit number.
struct BitOperand {
  int link = 0;
  int kind = 0;
  int registerNumber = 0;
  int bit = 0;
  bool operator==(const BitOperand&) const = default;
};
BitOperand ReadBitOperand(const model::PageRecord& page, int slot);
void WriteBitOperand(model::PageRecord& page, int slot, const BitOperand& operand);

// The lamp (kind 3).
inline constexpr std::array<const char*, 3> kLampTypeNames{"圆形", "方形", "动态字符"};
inline constexpr int kLampTypeDynamicCharacters = 2;  // the only type that shows the texts

struct LampProperties {
  FrameValues frame;
  BitOperand operand;
  std::string offText;  // state one, GBK
  std::string onText;   // state two, GBK
  std::uint32_t offColour = 0;
  std::uint32_t onColour = 0;
  bool negativeLogic = false;
  int lampType = 0;
  bool operator==(const LampProperties&) const = default;
};
LampProperties ReadLampProperties(const model::PageRecord& page, int slot);
void WriteLampProperties(model::PageRecord& page, int slot, const LampProperties& lamp);

// The bit switch (kind 34). The dialog edits its OFF state only; the ON state's texts and
// colours keep what they hold.
inline constexpr std::array<const char*, 4> kBitSwitchActionNames{"设ON", "设OFF", "保持型",
                                                                  "交替型"};

struct BitSwitchProperties {
  FrameValues frame;
  BitOperand operand;
  std::string textOne;  // ElemTextA, GBK
  std::string textTwo;  // ElemNameA, GBK
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  int action = 0;
  int panelKey = 0;  // item of the panel key list
  FormatWord format;
  bool passwordProtected = false;
  bool invisible = false;
  bool operator==(const BitSwitchProperties&) const = default;
};
BitSwitchProperties ReadBitSwitchProperties(const model::PageRecord& page, int slot);
void WriteBitSwitchProperties(model::PageRecord& page, int slot, const BitSwitchProperties& key);

// The 22 key names of the panel model in `panelModelWord` (low 6 bits).
std::array<std::string, model::kPageKeyRows> PanelKeyNames(int panelModelWord);

// The panel key list of the bit switch dialog: the names of the first `rows` key rows,
// then the cursor item, "光标焦点" or "Cursor".
std::vector<std::string> PanelKeyItems(std::span<const std::string> keyNames, int rows,
                                       bool chinese);

// The texts a chosen panel key item gives the switch (UTF-8): a key's name followed by
// " 键" and " Key"; the cursor item (the last one) as it stands in both languages.
struct KeyTexts {
  std::string languageOne;
  std::string languageTwo;
  bool operator==(const KeyTexts&) const = default;
};
KeyTexts PanelKeyTexts(std::string_view item, bool cursorItem);

}  // namespace dravik::elements
