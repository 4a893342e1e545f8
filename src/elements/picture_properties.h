#pragma once
// What the picture element's dialog edits, as plain values: where the picture stands, which
// picture of the project's library it shows (its size is the picture's), and the bit that
// may hide it. Read from a slot when the dialog opens, written back at OK; the key colour
// and the show flags are not the dialog's and keep what they hold.

#include "elements/bit_properties.h"
#include "elements/element_frame.h"
#include "model/page_record.h"

namespace dravik::elements {

struct PictureProperties {
  FrameValues frame;
  int pictureId = 0;
  bool visibilityByBit = false;  // shown only while the bit is set
  BitOperand operand;
  bool operator==(const PictureProperties&) const = default;
};

PictureProperties ReadPictureProperties(const model::PageRecord& page, int slot);
void WritePictureProperties(model::PageRecord& page, int slot, const PictureProperties& picture);

}  // namespace dravik::elements
