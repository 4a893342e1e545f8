#pragma once
// Multiple copy: fills a rectangular array with copies of one element, a fixed gap apart,
// each a paste of the copied element from the clipboard page, and can raise the
// element's PLC address by one step from each copy to the next.

#include <array>
#include <functional>
#include <vector>

#include "editor/page_geometry.h"
#include "model/page_record.h"
#include "params/device_resources.h"

namespace dravik::tools {

// The dialog's fields with their ranges and defaults.
inline constexpr int kCopyCountMin = 1;
inline constexpr int kCopyCountMax = 10;
inline constexpr int kCopyGapMin = 1;
inline constexpr int kCopyGapMax = 50;

struct MultipleCopyOptions {
  int perRow = 2;         // elements per row, counting the source element
  int perColumn = 2;      // elements per column, counting the source element
  int horizontalGap = 5;  // pixels between neighbours
  int verticalGap = 5;
  bool increaseAddress = true;
  bool rowOrder = true;  // fill row by row; otherwise column by column
};

// What the address step needs to know of the project: the links' device lists and the
// PLC protocol index of each link (Link 1's protocol, Link 2's table).
struct AddressStepRules {
  const params::DeviceLists* lists = nullptr;
  std::array<int, 2> protocolIndex{};
};

// The rules for a project whose settings page is `settings`.
AddressStepRules AddressStepRulesOf(const params::DeviceLists& lists,
                                    const model::PageRecord& settings);

// Raises the operand address of the element in `slot` by one step: the next register
// for words; the next bit for bits, carrying into the next word after the device's
// highest bit number on devices with bits in a word and counting in octal on the
// octal-numbered devices of some protocols. An address stops at its device's maximum.
// Kinds without an operand (dates, drawing elements, keys) and elements whose operand
// is off keep their address; false then. Station IDs and the movement registers of
// drawing elements never change.
bool IncreaseAddress(model::PageRecord& page, int slot, const AddressStepRules& rules);

// The next address after `address` on a device numbered in octal digits (7 -> 10,
// 77 -> 100).
std::int64_t NextOctalAddress(std::int64_t address);

// Progress of the current row or column: copies done of copies in it.
using CopyProgress = std::function<void(int done, int total)>;

struct MultipleCopyOutcome {
  std::vector<int> created;  // the new slots, in the order they were made
  bool PasteFailed = false;  // a copy found no free slot: the run stopped there and the
                             // caller shows model::kNoFreeSlotMessage once
};

// Makes perRow x perColumn - 1 copies of element `sourceSlot` of `clipboardPage` (which
// holds the page the element was copied from) on `page`. The source counts as the first
// element of the first row (or column); copy c of row r lands at
// (x0 + c * (width + gap), y0 + r * (height + gap)), pushed back inside the page where it
// would leave it, and a copy pushed against an edge takes the rest of its row or column
// with it. The clipboard page keeps the last copy's position and address, so an ordinary
// paste continues from there.
MultipleCopyOutcome RunMultipleCopy(const MultipleCopyOptions& options,
                                    const AddressStepRules& rules, model::PageRecord& clipboardPage,
                                    int sourceSlot, model::PageRecord& page,
                                    editor::PageSize pageSize, const CopyProgress& progress = {});

}  // namespace dravik::tools
