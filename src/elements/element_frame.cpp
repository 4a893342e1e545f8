#include "elements/element_frame.h"

#include <algorithm>

#include "elements/element_fields.h"

namespace dravik::elements {

namespace {

SpinRange PositionRange(int pageSize) {
  return {0, std::max(0, pageSize - kMinElementSize)};
}

SpinRange SizeRange(int pageSize, int minSize) {
  return {minSize, std::max(minSize, pageSize)};
}

}  // namespace

FrameValues ReadFrame(const model::PageRecord& page, int slot) {
  const ElementFields element(page, slot);
  return {ShownPosition(element.left()), ShownPosition(element.top()), element.width(),
          element.height(), element.moveLock() != 0};
}

void WriteFrame(model::PageRecord& page, int slot, const FrameValues& frame) {
  const ElementFields element(page, slot);
  element.left() = static_cast<std::uint16_t>(StoredPosition(frame.left));
  element.top() = static_cast<std::uint16_t>(StoredPosition(frame.top));
  element.width() = static_cast<std::uint16_t>(frame.width);
  element.height() = static_cast<std::uint16_t>(frame.height);
  element.moveLock() = frame.moveLock ? 1 : 0;
}

FrameRanges FrameRangesFor(int pageWidth, int pageHeight, int minSize) {
  return {PositionRange(pageWidth), PositionRange(pageHeight), SizeRange(pageWidth, minSize),
          SizeRange(pageHeight, minSize)};
}

}  // namespace dravik::elements
