// The clipboard text another instance (or any program) leaves: "zr_QX:" markers for a
// page, an element or an area. What is taken names only real slots and a frame on the
// largest page, is written back as the same marker, and pastes onto a page without
// reaching past its slots.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string_view>
#include <variant>

#include "editor/element_clipboard.h"
#include "editor/page_geometry.h"
#include "elements/element_kind.h"
#include "fuzz_check.h"
#include "model/project_image.h"

using namespace dravik;
using namespace dravik::editor;

namespace {

constexpr int kSlotCount = model::kLastUsableSlot + 1;

// A clipboard page with an element in every slot, so every marker finds its elements.
Status ReadFullClipboardPage(model::PageRecord& page) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const auto s = static_cast<std::size_t>(slot);
    page.ElemKind[s] =
        slot < model::kTextTableFirstSlot ? elements::kKindText : elements::kKindDynamicText;
    page.ElemLeft[s] = static_cast<std::uint16_t>(slot * 7 % 1300);
    page.ElemTop[s] = static_cast<std::uint16_t>(slot * 5 % 1100);
    page.ElemWidth[s] = static_cast<std::uint16_t>(20 + slot);
    page.ElemHeight[s] = 16;
  }
  return Status::Ok();
}

void CheckMarker(const ClipboardMarker& marker) {
  if (const auto* element = std::get_if<ElementMarker>(&marker)) {
    FUZZ_CHECK(element->slot >= 0 && element->slot < kSlotCount);
  } else if (const auto* area = std::get_if<AreaMarker>(&marker)) {
    FUZZ_CHECK(!area->slotList.empty());
    for (int slot : area->slotList) FUZZ_CHECK(slot >= 0 && slot < kSlotCount);
    FUZZ_CHECK(area->frame.left >= 0 && area->frame.top >= 0);
    FUZZ_CHECK(area->frame.left + area->frame.width <= kMaxPageWidth);
    FUZZ_CHECK(area->frame.top + area->frame.height <= kMaxPageHeight);
  }
  const auto again = ParseMarker(MarkerText(marker));
  FUZZ_CHECK(again.has_value() && *again == marker);
}

void CheckPaste(std::string_view text, std::size_t sourceSlots) {
  ClipboardState state;
  const auto command = state.Receive(text, ReadFullClipboardPage);
  FUZZ_CHECK(command.has_value());
  model::RecordStore page(1);
  const PageSize size = ScreenSizeOfModel(0);
  const PasteOutcome outcome = state.Paste(page[0], size);
  if (*command == PasteCommand::Page) {
    FUZZ_CHECK(outcome.PickList.empty());
    return;
  }
  FUZZ_CHECK(outcome.PickList.size() + static_cast<std::size_t>(outcome.notPasted) == sourceSlots);
  std::set<int> distinct;
  for (int slot : outcome.PickList) {
    FUZZ_CHECK(slot >= 0 && slot < kSlotCount);
    FUZZ_CHECK(page[0].ElemKind[static_cast<std::size_t>(slot)] != 0);
    distinct.insert(slot);
  }
  FUZZ_CHECK(distinct.size() == outcome.PickList.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto marker = ParseMarker(text);
  if (!marker) return 0;
  CheckMarker(*marker);
  const auto* area = std::get_if<AreaMarker>(&*marker);
  CheckPaste(text, area ? area->slotList.size() : 1);
  return 0;
}
