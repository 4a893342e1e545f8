#pragma once
// An element record of a device image back in the slot arrays of a page, so the page
// renderers draw it as the page window draws the element it was compiled from. The
// record's packed words are unpacked again; what the image does not carry (the bar's fill
// pattern, the shapes' second colour, the bit switch's ON colours (shown as its OFF colours
// exchanged) and language-two texts, the keypad captions) takes a fixed value. A date or time
// arrives as what the compiler made of it (frame, separator text, register fields on the clock
// registers) and stays so.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "compiler/image_reader.h"
#include "compiler/rgb565.h"
#include "model/page_record.h"

namespace dravik::sim {

using compiler::ColourFromRgb565;

// The slot a record names through its ID (slot + 1), where it has one: the ID byte or
// the ID inside the packed word. The clock fields of a date or time carry the panel's own
// tags, not slots, and so name none; nor do lines and texts.
std::optional<int> SlotNamedBy(const compiler::ImageRecord& record);

// A register record that shows the panel's clock: its (register, ID) is one of the
// clock table's.
bool IsClockField(const compiler::ImageRecord& record);

// Writes `record` into `slot` of `page`; `protocol` is Link 1's protocol index, which
// decides how bit operands are numbered. The slot's other arrays are cleared first.
void RecordIntoSlot(const compiler::ImageRecord& record, int protocol, model::PageRecord& page,
                    int slot);

// A whole page block rebuilt as a page: every record in a slot of its own, the page's
// number, background and key jumps in its page strings.
struct RebuiltPage {
  std::unique_ptr<model::PageRecord> page;
  // The record in each slot (-1 for none) and the slot of each record (-1 when the page
  // had more records than slots).
  std::array<int, model::kSlotCount> recordOfSlot{};
  std::vector<int> slotOfRecord;
};

// Records that name a slot take it; the others (lines, the parts of a date or time) take
// the next free slot after the record before them, so the drawing order stays the
// image's wherever the slots allow.
RebuiltPage RebuildPage(const compiler::ImagePage& page, int protocol);

}  // namespace dravik::sim
