#include "elements/picture_properties.h"

#include "elements/element_fields.h"

namespace dravik::elements {

PictureProperties ReadPictureProperties(const model::PageRecord& page, int slot) {
  const PictureElement element(page, slot);
  return {ReadFrame(page, slot), element.pictureNumber(), element.visibilityByBit() != 0,
          ReadBitOperand(page, slot)};
}

void WritePictureProperties(model::PageRecord& page, int slot, const PictureProperties& picture) {
  const PictureElement element(page, slot);
  WriteFrame(page, slot, picture.frame);
  element.pictureNumber() = static_cast<std::uint16_t>(picture.pictureId);
  element.visibilityByBit() = picture.visibilityByBit ? 1 : 0;
  WriteBitOperand(page, slot, picture.operand);
}

}  // namespace dravik::elements
