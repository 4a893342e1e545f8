#include "tools/register_search.h"

#include <algorithm>

#include "elements/element_operands.h"
#include "tools/device_tables.h"
#include "tools/page_caption.h"

namespace dravik::tools {

namespace {

using elements::AddressCategory;
using elements::ElementAddress;

// A station ID is a 16-bit number.
constexpr std::int64_t kHighestStationId = 65535;

AddressCategory CategoryOf(SearchCategory category) {
  switch (category) {
    case SearchCategory::kWord:
      return AddressCategory::kWord;
    case SearchCategory::kBit:
      return AddressCategory::kBit;
    case SearchCategory::kOther:
      break;
  }
  return AddressCategory::kStationId;
}

bool Matches(const ElementAddress& address, const SearchQuery& query) {
  if (address.category != CategoryOf(query.category) || address.address != query.address) {
    return false;
  }
  // A station ID is the same on either link.
  return address.category == AddressCategory::kStationId ||
         address.selector == elements::DeviceSelector::Of(query.link, query.device);
}

bool ElementMatches(const model::PageRecord& page, int slot, const SearchQuery& query) {
  const elements::ElementAddresses addresses =
      elements::AddressesOf(page, slot, elements::FlagRule::kExactlyOne);
  return std::any_of(addresses.begin(), addresses.end(),
                     [&](const ElementAddress& address) { return Matches(address, query); });
}

}  // namespace

AddressField AddressFieldFor(const params::DeviceLists& lists, SearchCategory category, int link,
                             int device) {
  AddressField field;
  if (category == SearchCategory::kOther) {
    field.devices = {"ID"};
    field.maximum = kHighestStationId;
  } else {
    const AddressCategory addresses = CategoryOf(category);
    field.devices = DeviceNames(lists, link, addresses);
    const int last = static_cast<int>(field.devices.size()) - 1;
    field.device = device >= 0 && device <= last ? device : last;
    const DeviceInfo info = DeviceOf(lists, link, addresses, field.device);
    field.maximum = info.maximum;
    field.hexadecimal = category == SearchCategory::kBit && info.Hexadecimal();
  }
  field.hint = "0 ~ " + AddressNumberText(field.maximum, field.hexadecimal);
  return field;
}

std::optional<std::int64_t> CompleteAddress(const AddressField& field, std::string_view text) {
  const std::optional<std::int64_t> typed = ParseAddressNumber(text, field.hexadecimal);
  if (!typed) return std::nullopt;
  return std::min(*typed, std::max<std::int64_t>(field.maximum, 0));
}

std::vector<SearchMatch> RegisterSearch(const model::ProjectImage& project,
                                        const SearchQuery& query) {
  std::vector<SearchMatch> matches;
  for (int number = 1; number <= model::kMaxPage; ++number) {
    if (!project.IsPageUsed(number)) continue;
    const model::PageRecord& page = project.Page(number);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      if (!ElementMatches(page, slot, query)) continue;
      matches.push_back({number, slot, page.ElemKind[static_cast<std::size_t>(slot)],
                         PageNameOf(page), PageCaption(page)});
    }
  }
  return matches;
}

Bilingual SearchCaption(std::size_t count) {
  const std::string n = std::to_string(count);
  return {"寄存器查找 -> 共计: " + n + " 条", "Search Register -> Total: " + n + " Item"};
}

}  // namespace dravik::tools
