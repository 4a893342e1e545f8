#pragma once
// The register kinds of protocols 0 (the panel as slave) and 1 (Modbus RTU master) as
// data/device_resources.txt lists them, for the targets that name or poll registers.

#include <cstddef>

#include "params/device_resources.h"
#include "sim/register_memory.h"
#include "sim/register_names.h"

namespace dravik::fuzz {

struct Kind {
  const char* name;
  const char* max;
  const char* bits;  // nullptr for word kinds
};

// Protocols 0 and 1 as data/device_resources.txt lists them.
inline constexpr Kind kPanelSlave[] = {
    {"D", "65000", nullptr}, {"R", "32767", nullptr}, {"W", "8191", nullptr},
    {"T", "1023", nullptr},  {"C", "1023", nullptr},  {"SD", "1023", nullptr},
    {"V", "15", nullptr},    {"Z", "15", nullptr},    {"4X", "65535", nullptr},
    {"D.b", "65000", "15"},  {"M", "8191", "0"},      {"S", "4095", "0"},
    {"X", "377", "0"},       {"Y", "377", "0"},       {"T", "1023", "0"},
    {"C", "1023", "0"},      {"SM", "1023", "0"}};
inline constexpr Kind kModbusMaster[] = {
    {"4X", "65535", nullptr}, {"3X", "65535", nullptr}, {"D", "8511", nullptr},
    {"T", "639", nullptr},    {"C", "639", nullptr},    {"4X.b", "65535", "15"},
    {"0X", "65535", "0"},     {"1X", "65535", "0"},     {"X", "377", "0"},
    {"Y", "377", "0"},        {"M", "8511", "0"},       {"S", "1023", "0"},
    {"T", "639", "0"}};

// Both links get the same protocol, so "2:" names are exercised as well.
template <std::size_t N>
inline sim::RegisterNaming NamingOf(const Kind (&kinds)[N], int protocol) {
  params::DeviceLists lists;
  for (const Kind& kind : kinds) {
    if (kind.bits == nullptr) {
      lists.W_DeviceName.push_back(kind.name);
      lists.W_DeviceMax.push_back(kind.max);
    } else {
      lists.B_DeviceName.push_back(kind.name);
      lists.B_DeviceMax.push_back(kind.max);
      lists.B_DeviceBit.push_back(kind.bits);
    }
  }
  lists.W_DeviceName2 = lists.W_DeviceName;
  lists.W_DeviceMax2 = lists.W_DeviceMax;
  lists.B_DeviceName2 = lists.B_DeviceName;
  lists.B_DeviceMax2 = lists.B_DeviceMax;
  lists.B_DeviceBit2 = lists.B_DeviceBit;
  return {sim::RegisterKinds::FromLists(lists), {protocol, protocol}};
}

}  // namespace dravik::fuzz
