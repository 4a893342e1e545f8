#include "tools/address_xref.h"

#include <algorithm>
#include <utility>

#include "tools/device_tables.h"

namespace dravik::tools {

namespace {

using elements::AddressCategory;
using elements::ElementAddress;

// The preview separates a drawing element's movement registers from what follows.
std::string_view SeparatorAfter(const ElementAddress& address) {
  using enum elements::AddressRole;
  return address.role == kHorizontalMove || address.role == kVerticalMove ? "; " : " ";
}

AddressRef RefOf(const params::DeviceLists& lists, const ElementAddress& address, int page,
                 int slot, int kind) {
  AddressRef ref;
  ref.category = address.category;
  ref.address = address.address;
  ref.page = page;
  ref.slot = slot;
  ref.kind = kind;
  if (address.category == AddressCategory::kStationId) {
    ref.deviceName = "ID";
    return ref;
  }
  const DeviceInfo device = DeviceOf(lists, address);
  ref.link = address.selector.Link();
  ref.device = address.selector.Device();
  ref.deviceName = device.name;
  ref.hexadecimal = device.Hexadecimal();
  if (address.category == AddressCategory::kBit && device.HasBitNumber()) ref.bit = address.bit;
  return ref;
}

// The order of the cross-reference as one number: link (station IDs after both links),
// category, device, address, bit. Addresses are 32-bit values, signed where a drawing
// element keeps one in a long field.
std::uint64_t SortKey(const AddressRef& ref) {
  const auto link = static_cast<std::uint64_t>(ref.link.value_or(2));
  const auto category = static_cast<std::uint64_t>(ref.category);
  const auto device = static_cast<std::uint64_t>(ref.device + 1) & 0x0F;
  const auto address = static_cast<std::uint64_t>(ref.address + 0x80000000LL) & 0xFFFFFFFF;
  const auto bit = static_cast<std::uint64_t>(ref.bit.value_or(-1) + 1) & 0x1F;
  return link << 60 | category << 58 | device << 54 | address << 5 | bit;
}

// Sorted by key; refs of equal key keep their order, which is by page and slot.
std::vector<AddressRef> SortedByKey(std::vector<AddressRef>&& refs) {
  std::vector<std::pair<std::uint64_t, std::size_t>> order(refs.size());
  for (std::size_t i = 0; i < refs.size(); ++i) order[i] = {SortKey(refs[i]), i};
  std::sort(order.begin(), order.end());
  std::vector<AddressRef> sorted;
  sorted.reserve(refs.size());
  for (const auto& entry : order) sorted.push_back(refs[entry.second]);
  return sorted;
}

}  // namespace

std::string AddressRefText(const AddressRef& ref) {
  if (ref.category == AddressCategory::kStationId) return StationIdText(ref.address);
  return DeviceAddressText(ref.deviceName, ref.address, ref.hexadecimal, ref.bit);
}

UsedDataLabel UsedDataLabelOf(const model::PageRecord& page, int slot,
                              const params::DeviceLists& lists) {
  UsedDataLabel label;
  const elements::ElementAddresses addresses = elements::AddressesOf(page, slot);
  for (const ElementAddress& address : addresses) {
    // A station after a register is the register's: "D100  : ID5 ".
    if (address.category == AddressCategory::kStationId && !label.text.empty()) {
      label.text += " : ID" + std::to_string(address.address) + " ";
      continue;
    }
    label.text += AddressText(lists, address);
    label.text += SeparatorAfter(address);
  }
  if (!addresses.empty() && addresses[0].category != AddressCategory::kStationId) {
    label.link = addresses[0].selector.Link();
  }
  return label;
}

std::vector<AddressRef> CollectAddressRefs(const model::ProjectImage& project,
                                           const params::DeviceLists& lists) {
  std::vector<AddressRef> refs;
  for (int number = 1; number <= model::kMaxPage; ++number) {
    if (!project.IsPageUsed(number)) continue;
    const model::PageRecord& page = project.Page(number);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      const int kind = page.ElemKind[static_cast<std::size_t>(slot)];
      for (const ElementAddress& address : elements::AddressesOf(page, slot)) {
        refs.push_back(RefOf(lists, address, number, slot, kind));
      }
    }
  }
  return SortedByKey(std::move(refs));
}

}  // namespace dravik::tools
