#pragma once
// The alarm list: a run of up to 80 consecutive PLC bits, each with a text in both panel
// languages. The bits are either bits inside word registers (kind position 0) or plain
// bits of Link 1's second bit kind (position 1); the addresses the dialog shows follow.

#include <array>
#include <string>
#include <string_view>

#include "model/page_record.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "platform/bilingual.h"

namespace dravik::params {

inline constexpr int kAlarmKindWordBit = 0;  // bit b of a word register: "D100.3"
inline constexpr int kAlarmKindBit = 1;      // a plain bit: "M107"
inline constexpr int kAlarmKindChoices = 2;  // the first two bit kinds of Link 1
inline constexpr int kAlarmStartMax = 5000;
inline constexpr int kAlarmTextBytes = 50;
inline constexpr int kBitsPerWord = 16;
inline constexpr std::array<const char*, 2> kAlarmFontNames{"16x16", "24x24"};

struct AlarmSettings {
  int kind = kAlarmKindBit;
  int start = 0;
  int count = 0;
  int font = 0;
  // GBK texts of alarms 0..79, language one (A) and two (B).
  std::array<std::string, model::settings::kMaxAlarms> textsA;
  std::array<std::string, model::settings::kMaxAlarms> textsB;
};

// Reads every entry as stored, with the count held to 0..80 and the kind to the two
// positions the dialog offers (anything else reads as the plain-bit kind).
AlarmSettings ReadAlarmSettings(const model::PageRecord& settings);

// Writes kind, start, count and font, and the texts of alarms 0..count-1 (cut to 50 bytes
// on a character boundary); the texts after them keep what they held.
void WriteAlarmSettings(model::PageRecord& settings, const AlarmSettings& alarms);

// The address of alarm row `row` (1-based) from `start`: kind position 0 (or no kind
// chosen, -1) gives bit (row - 1) mod 16 of word start + (row - 1) div 16; position 1 the
// bit start + row - 1.
std::string AlarmAddress(int kindPosition, std::string_view kindName, int start, int row);

// The two kinds the dialog offers: the first two bit kinds of Link 1 (fewer when the
// protocol has fewer).
std::array<std::string, kAlarmKindChoices> AlarmKindNames(const DeviceLists& lists);

// The caption of the start register: "寄存器号" + kind + ":" / "Register " + kind + ":".
std::string AlarmStartCaption(std::string_view kindName, bool chinese);
extern const Bilingual kAlarmAddressHeader;  // "地址"
extern const Bilingual kAlarmTextHeader;     // "报警信息"

// GBK text cut to at most `bytes` bytes without splitting a double-byte character.
std::string CutGbk(std::string_view gbk, std::size_t bytes);

}  // namespace dravik::params
