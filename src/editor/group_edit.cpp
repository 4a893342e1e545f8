#include "editor/group_edit.h"

#include <algorithm>
#include <cstdlib>

#include "elements/element_fields.h"

namespace dravik::editor {

namespace {

bool IsSlot(int slot) {
  return slot >= 0 && slot < model::kSlotCount;
}

bool HoldsElement(const model::PageRecord& page, int slot) {
  return IsSlot(slot) && elements::ElementFields(page, slot).kind() != 0;
}

// An extent in window coordinates; right and bottom lie just past it.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

Box BoxOf(const WindowRect& frame) {
  return {frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
}

WindowRect FrameOf(const Box& box) {
  return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

Box Union(const Box& a, const Box& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool HasExtent(const WindowRect& frame) {
  return frame.width > 0 || frame.height > 0;
}

// The slots of a list that name a slot of the page, in order.
template <class Visit>
void ForEachMember(const std::vector<int>& selList, Visit visit) {
  for (int slot : selList) {
    if (IsSlot(slot)) visit(slot);
  }
}

// The bounding box of the members; nothing when none names a slot.
std::optional<Box> MembersBox(const model::PageRecord& page, const std::vector<int>& selList) {
  std::optional<Box> box;
  ForEachMember(selList, [&](int slot) {
    const Box member = BoxOf(ElementRect(page, slot));
    box = box ? Union(*box, member) : member;
  });
  return box;
}

// What a group move must keep inside its limits: the frame and every member, since the
// alignment tools may have left members reaching beyond the frame.
std::optional<Box> GroupExtent(const model::PageRecord& page, const GroupSelection& group) {
  std::optional<Box> box = MembersBox(page, group.SelList);
  if (box && HasExtent(group.frame)) box = Union(*box, BoxOf(group.frame));
  return box;
}

GroupSelection SelectionOf(const model::PageRecord& page, std::vector<int> selList) {
  const std::optional<Box> box = MembersBox(page, selList);
  return {std::move(selList), box ? FrameOf(*box) : WindowRect{}};
}

// Moves the frame and every member; the callers have checked that nothing leaves its
// limits, so the 16-bit positions never wrap.
void ShiftSelection(model::PageRecord& page, GroupSelection& group, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  ForEachMember(group.SelList, [&](int slot) {
    const elements::ElementFields element(page, slot);
    element.left() = static_cast<std::uint16_t>(element.left() + dx);
    element.top() = static_cast<std::uint16_t>(element.top() + dy);
  });
  group.frame.left += dx;
  group.frame.top += dy;
}

EditPoint Step(ArrowKey key) {
  switch (key) {
    case ArrowKey::Left:
      return {-1, 0};
    case ArrowKey::Up:
      return {0, -1};
    case ArrowKey::Right:
      return {1, 0};
    case ArrowKey::Down:
      return {0, 1};
  }
  return {};
}

// Whether one more step towards `key` keeps `box` on the page; it may reach the edge.
bool CanStep(const Box& box, ArrowKey key, PageSize canvas) {
  switch (key) {
    case ArrowKey::Left:
      return box.left > kCanvasOrigin;
    case ArrowKey::Up:
      return box.top > kCanvasOrigin;
    case ArrowKey::Right:
      return box.right < kCanvasOrigin + canvas.width;
    case ArrowKey::Down:
      return box.bottom < kCanvasOrigin + canvas.height;
  }
  return false;
}

// `position` moved back onto a page of `extent` pixels, to its start when `size` is larger.
int KeptOnPage(int position, int size, int extent) {
  return std::max(kCanvasOrigin, std::min(position, kCanvasOrigin + extent - size));
}

bool IsHorizontal(AlignMode mode) {
  return mode == AlignMode::Left || mode == AlignMode::CentreHorizontally ||
         mode == AlignMode::Right || mode == AlignMode::SameWidth || mode == AlignMode::SameSize;
}

bool IsVertical(AlignMode mode) {
  return mode == AlignMode::Top || mode == AlignMode::CentreVertically ||
         mode == AlignMode::Bottom || mode == AlignMode::SameHeight || mode == AlignMode::SameSize;
}

WindowRect Aligned(WindowRect g, const WindowRect& anchor, AlignMode mode) {
  switch (mode) {
    case AlignMode::Left:
      g.left = anchor.left;
      break;
    case AlignMode::CentreHorizontally:
      g.left = anchor.left + anchor.width / 2 - g.width / 2;
      break;
    case AlignMode::Right:
      g.left = anchor.left + anchor.width - g.width;
      break;
    case AlignMode::Top:
      g.top = anchor.top;
      break;
    case AlignMode::CentreVertically:
      g.top = anchor.top + anchor.height / 2 - g.height / 2;
      break;
    case AlignMode::Bottom:
      g.top = anchor.top + anchor.height - g.height;
      break;
    case AlignMode::SameWidth:
      g.width = anchor.width;
      break;
    case AlignMode::SameHeight:
      g.height = anchor.height;
      break;
    case AlignMode::SameSize:
      g.width = anchor.width;
      g.height = anchor.height;
      break;
  }
  return g;
}

}  // namespace

WindowRect BandFrame(EditPoint start, EditPoint end) {
  return {std::min(start.x, end.x), std::min(start.y, end.y), std::abs(end.x - start.x),
          std::abs(end.y - start.y)};
}

GroupSelection CollectArea(const model::PageRecord& page, const WindowRect& band) {
  // A band dragged into the margin is cut at the canvas; its far edges stay where the
  // pointer left them, so it never takes elements beyond what it was drawn over.
  Box area = BoxOf(band);
  area.left = std::max(area.left, kCanvasOrigin);
  area.top = std::max(area.top, kCanvasOrigin);
  std::vector<int> taken;
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (!HoldsElement(page, slot)) continue;
    const Box element = BoxOf(ElementRect(page, slot));
    if (element.left >= area.left && element.right < area.right && element.top >= area.top &&
        element.bottom < area.bottom) {
      taken.push_back(slot);
    }
  }
  return SelectionOf(page, std::move(taken));
}

PickChange TogglePick(std::vector<int>& pickList, int slot, bool shiftHeld) {
  if (!shiftHeld) {
    pickList.clear();
    return PickChange::Cleared;
  }
  if (!IsSlot(slot)) return PickChange::Unchanged;
  const auto picked = std::find(pickList.begin(), pickList.end(), slot);
  if (picked != pickList.end()) {
    pickList.erase(picked);
    return PickChange::Removed;
  }
  pickList.push_back(slot);
  return PickChange::Added;
}

GroupSelection BuildFromPickList(const model::PageRecord& page, const std::vector<int>& pickList) {
  std::vector<int> selList;
  for (int slot : pickList) {
    if (HoldsElement(page, slot) &&
        std::find(selList.begin(), selList.end(), slot) == selList.end()) {
      selList.push_back(slot);
    }
  }
  return SelectionOf(page, std::move(selList));
}

bool GroupToolsEnabled(const GroupSelection& group) {
  return !group.empty();
}

std::array<EditPoint, 4> CornerMarkers(const model::PageRecord& page, int slot) {
  if (!IsSlot(slot)) return {};
  const Box box = BoxOf(ElementRect(page, slot));
  const int right = box.right - kCornerMarkerSize;
  const int bottom = box.bottom - kCornerMarkerSize;
  return {{{box.left, box.top}, {right, box.top}, {box.left, bottom}, {right, bottom}}};
}

std::optional<AnchorChange> UpdateAnchor(AnchorState& anchors, const model::PageRecord& page,
                                         const GroupSelection& group) {
  if (group.empty()) return std::nullopt;
  AnchorChange change;
  change.anchor = group.SelList.front();
  const std::optional<int> previous = anchors.PrevAnchor;
  if (previous && *previous != change.anchor && HoldsElement(page, *previous)) {
    change.formerAnchor = previous;
  }
  anchors.SelAnchor = change.anchor;
  anchors.PrevAnchor = change.anchor;
  return change;
}

std::string AreaHint(const std::vector<int>& selList) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hint;
  for (int slot : selList) {
    hint += kDigits[(slot >> 4) & 0xF];
    hint += kDigits[slot & 0xF];
  }
  return hint;
}

void DragGroup(model::PageRecord& page, GroupSelection& group, EditPoint proposed,
               const DragBounds& bounds) {
  const std::optional<Box> extent = GroupExtent(page, group);
  if (!extent) return;
  const EditPoint wanted{extent->left + proposed.x - group.frame.left,
                           extent->top + proposed.y - group.frame.top};
  const EditPoint at =
      ClampToDragBounds(wanted, extent->right - extent->left, extent->bottom - extent->top, bounds);
  ShiftSelection(page, group, at.x - extent->left, at.y - extent->top);
}

void NudgeGroup(model::PageRecord& page, GroupSelection& group, ArrowKey key, PageSize canvas) {
  const EditPoint step = Step(key);
  for (int n = 0; n < kNudgeStepsPerPress; ++n) {
    const std::optional<Box> extent = GroupExtent(page, group);
    if (!extent || !CanStep(*extent, key, canvas)) return;
    ShiftSelection(page, group, step.x, step.y);
  }
}

void NudgeElement(model::PageRecord& page, int slot, ArrowKey key, PageSize canvas) {
  if (!IsSlot(slot)) return;
  const EditPoint step = Step(key);
  const elements::ElementFields element(page, slot);
  for (int n = 0; n < kNudgeStepsPerPress; ++n) {
    if (!CanStep(BoxOf(ElementRect(page, slot)), key, canvas)) return;
    element.left() = static_cast<std::uint16_t>(element.left() + step.x);
    element.top() = static_cast<std::uint16_t>(element.top() + step.y);
  }
}

std::optional<AlignMode> AlignModeOfTag(int tag) {
  if (tag < static_cast<int>(AlignMode::Left) || tag > static_cast<int>(AlignMode::SameSize)) {
    return std::nullopt;
  }
  return static_cast<AlignMode>(tag);
}

bool ChangesSize(AlignMode mode) {
  return mode == AlignMode::SameWidth || mode == AlignMode::SameHeight ||
         mode == AlignMode::SameSize;
}

void AlignComponent(model::PageRecord& page, const GroupSelection& group, AlignMode mode,
                    PageSize canvas) {
  if (group.empty() || !IsSlot(group.SelList.front())) return;
  const WindowRect anchor = ElementRect(page, group.SelList.front());
  ForEachMember(group.SelList, [&](int slot) {
    WindowRect g = Aligned(ElementRect(page, slot), anchor, mode);
    if (IsHorizontal(mode)) g.left = KeptOnPage(g.left, g.width, canvas.width);
    if (IsVertical(mode)) g.top = KeptOnPage(g.top, g.height, canvas.height);
    SetElementRect(page, slot, g);
  });
}

}  // namespace dravik::editor
