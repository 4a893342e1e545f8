#include "params/alarm_settings.h"

#include <algorithm>

namespace dravik::params {

using namespace model::settings;
using model::At;

const Bilingual kAlarmAddressHeader{"地址", "Address"};
const Bilingual kAlarmTextHeader{"报警信息", "Alarm information"};

AlarmSettings ReadAlarmSettings(const model::PageRecord& s) {
  AlarmSettings alarms;
  const int kind = At(s, kAlarmKind);
  alarms.kind = kind == kAlarmKindWordBit ? kAlarmKindWordBit : kAlarmKindBit;
  alarms.start = At(s, kAlarmStart);
  alarms.count = std::min<int>(At(s, kAlarmCount), kMaxAlarms);
  alarms.font = At(s, kAlarmFont);
  for (int i = 0; i < kMaxAlarms; ++i) {
    alarms.textsA[static_cast<std::size_t>(i)] = s.ElemTextA[kAlarmTextFirst + i].Str();
    alarms.textsB[static_cast<std::size_t>(i)] = s.ElemTextB[kAlarmTextFirst + i].Str();
  }
  return alarms;
}

void WriteAlarmSettings(model::PageRecord& s, const AlarmSettings& alarms) {
  const int count = std::clamp(alarms.count, 0, kMaxAlarms);
  At(s, kAlarmKind) = static_cast<std::uint16_t>(alarms.kind);
  At(s, kAlarmStart) = static_cast<std::uint16_t>(alarms.start);
  At(s, kAlarmCount) = static_cast<std::uint16_t>(count);
  At(s, kAlarmFont) = static_cast<std::uint16_t>(alarms.font);
  for (int i = 0; i < count; ++i) {
    const auto at = static_cast<std::size_t>(i);
    s.ElemTextA[kAlarmTextFirst + i] = CutGbk(alarms.textsA[at], kAlarmTextBytes);
    s.ElemTextB[kAlarmTextFirst + i] = CutGbk(alarms.textsB[at], kAlarmTextBytes);
  }
}

std::string AlarmAddress(int kindPosition, std::string_view kindName, int start, int row) {
  const int offset = row - 1;
  std::string address(kindName);
  if (kindPosition == kAlarmKindBit) return address + std::to_string(start + offset);
  return address + std::to_string(start + offset / kBitsPerWord) + "." +
         std::to_string(offset % kBitsPerWord);
}

std::array<std::string, kAlarmKindChoices> AlarmKindNames(const DeviceLists& lists) {
  return {ListEntry(lists.B_DeviceName, 0), ListEntry(lists.B_DeviceName, 1)};
}

std::string AlarmStartCaption(std::string_view kindName, bool chinese) {
  return (chinese ? "寄存器号" : "Register ") + std::string(kindName) + ":";
}

std::string CutGbk(std::string_view gbk, std::size_t bytes) {
  std::size_t end = 0;
  while (end < gbk.size()) {
    // A lead byte (0x81..0xFE) starts a two-byte character.
    const auto byte = static_cast<unsigned char>(gbk[end]);
    const std::size_t width = byte >= 0x81 && byte <= 0xFE && end + 1 < gbk.size() ? 2 : 1;
    if (end + width > bytes) break;
    end += width;
  }
  return std::string(gbk.substr(0, end));
}

}  // namespace dravik::params
