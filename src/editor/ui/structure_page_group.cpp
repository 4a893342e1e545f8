// The page window as an editor of groups: the area selection built with a rubber band,
// by Shift-clicks or by a group paste, its corner markers and frame, dragging it, the
// arrow keys for a group or one element, and the alignment tools.

#include <QPainter>
#include <algorithm>

#include "editor/render/system_colour_table.h"
#include "editor/ui/structure_page.h"

namespace dravik::editor {

namespace {

constexpr int kBandColourIndex = 16;  // button shadow: the dotted grey border

QRect ToQRect(const WindowRect& frame) { return {frame.left, frame.top, frame.width, frame.height}; }

}  // namespace

QRect TStructureP::AreaFrameRect() const { return areaShown_ ? ToQRect(group_.frame) : QRect(); }

QRect TStructureP::RubberBand() const {
  if (!banding_) return {};
  return ToQRect(BandFrame({bandStart_.x(), bandStart_.y()}, {bandEnd_.x(), bandEnd_.y()}));
}

bool TStructureP::OnGroup(QPoint windowPoint) const {
  if (!areaShown_) return false;
  if (AreaFrameRect().contains(windowPoint)) return true;
  const int slot = SlotAt(windowPoint);
  return std::find(group_.SelList.begin(), group_.SelList.end(), slot) != group_.SelList.end();
}

bool TStructureP::CurrentLocked() const {
  const int slot = state_.CurrentSlot;
  return slot >= 0 && slot < model::kSlotCount && scene_.Record().ElemByteA[static_cast<std::size_t>(slot)] != 0;
}

void TStructureP::PaintArea(QPainter& painter) const {
  // The frame's border shows only while a band is drawn or the group is dragged.
  QRect border = RubberBand();
  if (border.isNull() && drag_ == Drag::Group) border = AreaFrameRect();
  if (border.isNull()) return;
  painter.setPen(QPen(ResolveQColor(SystemColour(kBandColourIndex)), 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(border.adjusted(0, 0, -1, -1));
}

void TStructureP::HidePanel1TShape() {
  markFrame_ = QRect();
  markedSlot_ = -1;
  areaShown_ = false;
  group_.frame = {};
  state_.PickList.clear();
  state_.PickCount = 0;
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (ElementImage* element = scene_.Element(slot)) {
      for (CornerMarker& marker : element->markers) marker.visible = false;
    }
  }
  update();
}

void TStructureP::ShowGroup(GroupSelection group) {
  HidePanel1TShape();
  group_ = std::move(group);
  SelList = group_.SelList;
  state_.PickList = group_.SelList;
  state_.PickCount = group_.SelCount();
  for (int slot : group_.SelList) {
    if (ElementImage* element = scene_.Element(slot)) {
      for (CornerMarker& marker : element->markers) marker.visible = true;
    }
  }
  // A marker keeps its colour until the anchor moves on: the new anchor's turn red, the
  // former anchor's take the window colour.
  if (const std::optional<AnchorChange> change = UpdateAnchor(anchors_, scene_.Record(), group_)) {
    const auto paint = [this](int slot, std::uint32_t colour) {
      if (ElementImage* element = scene_.Element(slot)) {
        for (CornerMarker& marker : element->markers) marker.colour = colour;
      }
    };
    if (change->formerAnchor) paint(*change->formerAnchor, kFormerAnchorMarkerColour);
    paint(change->anchor, kAnchorMarkerColour);
  }
  areaShown_ = !group_.empty();
  if (areaShown_) setFocus(Qt::OtherFocusReason);
  UpdateMenuTexts();
  update();
  emit SelectionChanged();
}

void TStructureP::TogglePickOrgan(int slot) {
  editor::TogglePick(state_.PickList, slot, true);
  state_.CurrentSlot = slot;
  // Picking shows no single-selection frame.
  selectionFrame_ = QRect();
  selectedSlot_ = -1;
  DescribeElement(slot);
  ShowGroup(BuildFromPickList(scene_.Record(), state_.PickList));
}

void TStructureP::CollectBand() {
  const QRect band = RubberBand();
  banding_ = false;
  const WindowRect frame{band.left(), band.top(), band.width(), band.height()};
  ShowGroup(CollectArea(scene_.Record(), frame));
}

void TStructureP::WholePasteFinish() {
  selectionFrame_ = QRect();
  selectedSlot_ = -1;
  ShowGroup(BuildFromPickList(scene_.Record(), state_.PickList));
}

void TStructureP::FollowRecord(int slot) {
  ElementImage* element = scene_.Element(slot);
  if (element == nullptr) return;
  const auto s = static_cast<std::size_t>(slot);
  element->bounds.moveTo(scene_.Record().ElemLeft[s], scene_.Record().ElemTop[s]);
  element->PlaceMarkers();
}

void TStructureP::DragGroupTo(QPoint windowPoint) {
  const QPoint moved = windowPoint - dragStart_;
  const WindowRect before = group_.frame;
  // The frame as it was at the press, moved by the pointer; the group follows it.
  DragGroup(scene_.Record(), group_,
            {frameAtPress_.left + moved.x(), frameAtPress_.top + moved.y()}, DragBoundsOf(scene_.Size()));
  if (group_.frame == before) return;
  for (int slot : group_.SelList) FollowRecord(slot);
  update();
}

void TStructureP::Nudge(ArrowKey key) {
  if (areaShown_) {
    const WindowRect before = group_.frame;
    NudgeGroup(scene_.Record(), group_, key, scene_.Size());
    if (group_.frame == before) return;
    for (int slot : group_.SelList) FollowRecord(slot);
  } else if (HasSelection()) {
    const WindowRect before = SelectedBox();
    NudgeElement(scene_.Record(), selectedSlot_, key, scene_.Size());
    const WindowRect after = SelectedBox();
    if (after == before) return;
    FollowRecord(selectedSlot_);
    selectionFrame_.moveTo(after.left, after.top);
    DescribeElement(selectedSlot_);
  } else {
    return;
  }
  nudged_ = true;
  update();
}

void TStructureP::EndNudging() {
  if (!nudged_) return;
  nudged_ = false;
  emit Edited();
}

void TStructureP::AlignComponent(AlignMode mode) {
  if (!areaShown_ || !GroupToolsEnabled(group_)) return;
  editor::AlignComponent(scene_.Record(), group_, mode, scene_.Size());
  if (ChangesSize(mode)) {
    // Members of a new size are drawn again, one after the other; the frame stays.
    SelList = group_.SelList;
    state_.RepaintCursor = 0;
    state_.BulkMode = true;
    for (int n = 0; n < group_.SelCount(); ++n) OrganRepaint();
    state_.BulkMode = false;
  } else {
    for (int slot : group_.SelList) FollowRecord(slot);
  }
  update();
  emit Edited();
}

void TStructureP::LockFromMenu() {
  // The menu item offers what the current element lacks; for a group it gives every
  // member that lock.
  if (areaShown_) LockValue = CurrentLocked() ? 0 : 1;
  N3Click();
}

}  // namespace dravik::editor
