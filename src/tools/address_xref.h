#pragma once
// The addresses a project uses: for one element, the label the used-data preview writes
// over it; for the whole project, the cross-reference of every address with the elements
// that use it, sorted by link, device and address.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_operands.h"
#include "model/project_image.h"
#include "params/device_resources.h"

namespace dravik::tools {

// What the used-data preview writes over an element: its addresses, each followed by " "
// ("; " between a drawing element's registers), and the link whose colour it is shown on.
struct UsedDataLabel {
  std::string text;  // ASCII; empty for elements that use no address
  int link = 0;      // 0 Link 1, 1 Link 2
};
UsedDataLabel UsedDataLabelOf(const model::PageRecord& page, int slot,
                              const params::DeviceLists& lists);

struct AddressRef {
  elements::AddressCategory category = elements::AddressCategory::kWord;
  std::optional<int> link;      // 0 Link 1, 1 Link 2; none for station IDs
  int device = -1;              // index into the link's word or bit kinds; -1 for station IDs
                                // and selectors that name no device
  std::string_view deviceName;  // into the lists the refs were made with; "" when the
                                // link's list has no such kind; "ID" for stations
  std::int64_t address = 0;
  std::optional<int> bit;    // on devices with bits in a word
  bool hexadecimal = false;  // the device numbers its addresses in hexadecimal
  int page = 0;
  int slot = 0;
  int kind = 0;
};

// The address as the preview writes it: "D100", "X7FF", "D.b12.F", "ID 5".
std::string AddressRefText(const AddressRef& ref);

// Every address of every element on the used pages: Link 1 before Link 2 before station
// IDs; within a link word kinds before bit kinds, each in list order; then address, bit,
// page and slot ascending.
std::vector<AddressRef> CollectAddressRefs(const model::ProjectImage& project,
                                           const params::DeviceLists& lists);
// The lists must outlive the refs, which point at their names.
std::vector<AddressRef> CollectAddressRefs(const model::ProjectImage& project,
                                           params::DeviceLists&& lists) = delete;

}  // namespace dravik::tools
