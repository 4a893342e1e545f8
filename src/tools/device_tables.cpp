#include "tools/device_tables.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace dravik::tools {

namespace {

using elements::AddressCategory;
using params::DeviceLists;

struct LinkLists {
  std::vector<std::string> DeviceLists::*wordName;
  std::vector<std::string> DeviceLists::*wordMax;
  std::vector<std::string> DeviceLists::*bitName;
  std::vector<std::string> DeviceLists::*bitInfo;
  std::vector<std::string> DeviceLists::*bitMax;
};

constexpr std::array<LinkLists, 2> kLinkLists{{
    {&DeviceLists::W_DeviceName, &DeviceLists::W_DeviceMax, &DeviceLists::B_DeviceName,
     &DeviceLists::B_DeviceBit, &DeviceLists::B_DeviceMax},
    {&DeviceLists::W_DeviceName2, &DeviceLists::W_DeviceMax2, &DeviceLists::B_DeviceName2,
     &DeviceLists::B_DeviceBit2, &DeviceLists::B_DeviceMax2},
}};

// Protocols whose bit devices 3 and 4 (inputs and outputs) are numbered in octal digits.
constexpr std::array kOctalProtocols{0, 1, 2, 11};
constexpr std::array kOctalBitDevices{3, 4};

template <class Array>
bool Contains(const Array& values, int value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

const LinkLists& ListsOf(int link) {
  return kLinkLists[link == 1 ? 1 : 0];
}

int Number(const std::vector<std::string>& list, int index) {
  return params::ListNumber(params::ListEntry(list, static_cast<std::size_t>(index)));
}

}  // namespace

const std::vector<std::string>& DeviceNames(const DeviceLists& lists, int link,
                                            AddressCategory category) {
  const LinkLists& l = ListsOf(link);
  return category == AddressCategory::kBit ? lists.*l.bitName : lists.*l.wordName;
}

DeviceInfo DeviceOf(const DeviceLists& lists, int link, AddressCategory category, int index) {
  if (index < 0 || category == AddressCategory::kStationId) return {};
  const LinkLists& l = ListsOf(link);
  const auto i = static_cast<std::size_t>(index);
  if (category == AddressCategory::kWord) {
    return {params::ListEntry(lists.*l.wordName, i), Number(lists.*l.wordMax, index), 0};
  }
  return {params::ListEntry(lists.*l.bitName, i), Number(lists.*l.bitMax, index),
          Number(lists.*l.bitInfo, index)};
}

DeviceInfo DeviceOf(const DeviceLists& lists, const elements::ElementAddress& address) {
  return DeviceOf(lists, address.selector.Link(), address.category, address.selector.Device());
}

bool OctalNumbered(int protocolIndex, int bitDevice, int bitInfo) {
  return bitInfo <= 0 && Contains(kOctalProtocols, protocolIndex) &&
         Contains(kOctalBitDevices, bitDevice);
}

std::string AddressNumberText(std::int64_t address, bool hexadecimal) {
  if (!hexadecimal || address < 0) return std::to_string(address);
  std::array<char, 24> digits{};
  auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(),
                                    static_cast<std::uint64_t>(address), 16);
  std::string text(digits.data(), end);
  for (char& c : text) c = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
  if (text.size() < 3) text.insert(0, 3 - text.size(), '0');
  return text;
}

std::optional<std::int64_t> ParseAddressNumber(std::string_view text, bool hexadecimal) {
  if (text.empty()) return 0;
  std::uint32_t value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, hexadecimal ? 16 : 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string DeviceAddressText(std::string_view deviceName, std::int64_t address, bool hexadecimal,
                              std::optional<int> bit) {
  std::string text(deviceName);
  text += AddressNumberText(address, hexadecimal);
  if (bit) {
    text += '.';
    text += "0123456789ABCDEF"[*bit & 0x0F];
  }
  return text;
}

std::string StationIdText(std::int64_t id) {
  return "ID " + std::to_string(id);
}

std::string AddressText(const DeviceLists& lists, const elements::ElementAddress& address) {
  if (address.category == AddressCategory::kStationId) return StationIdText(address.address);
  const DeviceInfo device = DeviceOf(lists, address);
  const bool bitNumber = address.category == AddressCategory::kBit && device.HasBitNumber();
  return DeviceAddressText(device.name, address.address, device.Hexadecimal(),
                           bitNumber ? std::optional<int>(address.bit) : std::nullopt);
}

}  // namespace dravik::tools
