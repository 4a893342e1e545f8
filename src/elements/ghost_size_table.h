#pragma once
// The size of the placement frame ("ghost") of each kind, which becomes the placed
// element's initial size.

#include "elements/element_kinds.h"

namespace dravik::elements {

// `defaultTextFont` is only read for the text kind; a value outside the table takes the
// nearest end of it, so a damaged setting still gives a usable frame. Unknown codes get
// an empty frame.
constexpr GhostSize GhostSizeTable(int code, int defaultTextFont) {
  const KindDescriptor* kind = FindKind(code);
  if (kind == nullptr) return {0, 0};
  if (!kind->ghostFollowsTextFont) return kind->ghost;
  const int last = static_cast<int>(kTextGhostSizes.size()) - 1;
  const int font = defaultTextFont < 0 ? 0 : (defaultTextFont > last ? last : defaultTextFont);
  return kTextGhostSizes[static_cast<std::size_t>(font)];
}

}  // namespace dravik::elements
