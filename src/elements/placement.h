#pragma once
// Writing a new element into a page: the free slot, the values every kind starts with, the
// kind's own defaults and, for dynamic text, its fresh state texts. The editor calls this
// and then clamps the geometry, opens the property dialog and takes the undo snapshot.

#include <cstdint>
#include <optional>

#include "elements/kind_defaults.h"
#include "model/page_record.h"

namespace dravik::elements {

struct Placement {
  int kind = 0;
  int x = 0;  // window coordinates (page pixels + 5)
  int y = 0;
  int width = 0;  // the placement frame, normally GhostSizeTable(kind, default font)
  int height = 0;
  std::int32_t pageBackColor = 0;  // the page's current background colour
};

// The lowest empty slot of the kind's range (codes the system does not know may take any),
// or nothing when the page has none left for it.
std::optional<int> FindFreeSlot(const model::PageRecord& page, int kind);

// Places the element and returns its slot. When the page has no slot left for the kind,
// nothing is written and the caller shows model::kNoFreeSlotMessage.
std::optional<int> PlaceElement(model::PageRecord& page, const model::PageRecord& settings,
                                const Placement& placement);

// The kind's own defaults over the common values (see kind_defaults.h); codes the system
// does not know keep the common values.
void WriteKindDefaults(model::PageRecord& page, int slot, int kind,
                       const model::PageRecord& settings);

// Empties the slot's state texts and makes state 0 of each language the element's texts.
void ResetDynTextStates(model::PageRecord& page, int slot);

}  // namespace dravik::elements
