#pragma once
// The device kinds of each link as the project tools read them from the work parameters'
// lists, and how an address on one of them is written ("D100", "X7FF", "D.b12.F").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_operands.h"
#include "params/device_resources.h"

namespace dravik::tools {

// One device kind of a link. Entries that are not numbers count as 0.
struct DeviceInfo {
  std::string_view name;     // "" when the list has no such entry
  std::int64_t maximum = 0;  // the highest address
  int bitInfo = 0;           // bit kinds: >0 bits in a word (highest bit number), 0 plain
                             // bits, -1 plain bits numbered in hexadecimal

  bool Hexadecimal() const { return bitInfo == -1; }
  bool HasBitNumber() const { return bitInfo > 0; }
};

// The word or bit kinds' names of Link 1 (`link` 0) or Link 2 (1).
const std::vector<std::string>& DeviceNames(const params::DeviceLists& lists, int link,
                                            elements::AddressCategory category);

// Kind `index` of those; an index past the list gives an empty name and zeros.
DeviceInfo DeviceOf(const params::DeviceLists& lists, int link, elements::AddressCategory category,
                    int index);

// The device an element's address is on (empty for station IDs and selectors that name
// none).
DeviceInfo DeviceOf(const params::DeviceLists& lists, const elements::ElementAddress& address);

// Whether plain bit kind `bitDevice` (its position in the link's bit list) of protocol or
// table `protocolIndex` numbers its addresses in octal digits: the inputs and outputs (X,
// Y) of the FX-like protocols. Such addresses are kept as the number their octal digits
// read in decimal (X17 is 17, the one after it 20), and their maximum is written so too.
bool OctalNumbered(int protocolIndex, int bitDevice, int bitInfo);

// An address number as the device writes it: at least three upper-case hexadecimal digits
// ("07F") on hexadecimal devices, decimal otherwise.
std::string AddressNumberText(std::int64_t address, bool hexadecimal);

// An address number typed for a device: decimal digits, or hexadecimal digits in either
// case on hexadecimal devices; an empty text is 0. Nothing for any other character or a
// number beyond 32 bits.
std::optional<std::int64_t> ParseAddressNumber(std::string_view text, bool hexadecimal);

// An address as the used-data preview writes it, without its separator: the device name
// and number ("D100", "X07F"), and the bit number, if any, as one hexadecimal digit after
// a "." ("D.b12.F").
std::string DeviceAddressText(std::string_view deviceName, std::int64_t address, bool hexadecimal,
                              std::optional<int> bit);
// A station: "ID 5".
std::string StationIdText(std::int64_t id);

// An element's address so written; the bit number only on devices with bits in a word.
std::string AddressText(const params::DeviceLists& lists, const elements::ElementAddress& address);

}  // namespace dravik::tools
