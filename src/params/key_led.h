#pragma once
// The lower keyboard's 32 keys and 32 LEDs, 16 to a register: the dialog chooses the first
// register of each pair and the second always follows it.

#include <string>
#include <string_view>

#include "model/page_record.h"
#include "platform/bilingual.h"

namespace dravik::params {

struct KeyLedRegisters {
  int key = 0;  // K00..K15; K16..K31 in key + 1
  int led = 0;  // LED00..LED15; LED16..LED31 in led + 1
  bool operator==(const KeyLedRegisters&) const = default;
};

// The second register of a pair.
constexpr int Follower(int first) {
  return first + 1;
}

// The highest first register whose follower still lies within MaxReg: the panel uses both
// registers of a pair, so a first register of MaxReg would put the second beyond the area.
constexpr int HighestFirstRegister(int maxReg) {
  return maxReg > 0 ? maxReg - 1 : 0;
}

// The registers as stored, and as the dialog shows them: held to 0..HighestFirstRegister.
KeyLedRegisters StoredKeyLedRegisters(const model::PageRecord& settings);
KeyLedRegisters ReadKeyLedRegisters(const model::PageRecord& settings, int maxReg);
void WriteKeyLedRegisters(model::PageRecord& settings, const KeyLedRegisters& registers);

// "00-15 对应寄存器号" + kind + ":" and "16-31 对应寄存器号" + kind + ":" (English
// "00-15 Corres. Reg." ...).
std::string KeyLedLowCaption(std::string_view kind, bool chinese);
std::string KeyLedHighCaption(std::string_view kind, bool chinese);

// Said when a first register entered at MaxReg is lowered so that its follower fits.
Bilingual FollowerBeyondMaxRegMessage(int maxReg);

}  // namespace dravik::params
