#include "editor/element_edit.h"

#include <algorithm>

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "elements/kind_name_table.h"

namespace dravik::editor {

namespace {

// The canvas sits at (5, 5) in its window; positions shown to the user leave that out.
// A corner or edge handle refuses sizes of this many pixels or fewer.
constexpr int kSmallestResizable = 8;
// An end-point handle still leaves a line this long.
constexpr int kShortestLine = 2;

int ClampAxis(int position, int size, int low, int high) {
  if (position + size > high) position = high - size;
  if (position < low) position = low;
  if (position > high) position = low;
  return position;
}

int EvenDown(int value) { return value - (value & 1); }

bool IsLine(const model::PageRecord& page, int slot) {
  return elements::ElementFields(page, slot).kind() == elements::kKindLine;
}
bool IsRisingLine(const model::PageRecord& page, int slot) {
  return IsLine(page, slot) && elements::LineElement(page, slot).rising() == 1;
}
bool IsFallingLine(const model::PageRecord& page, int slot) {
  return IsLine(page, slot) && elements::LineElement(page, slot).rising() == 0;
}

bool Resizable(int size) { return size > kSmallestResizable; }

// A line's end-point handle: the line accepts any size, at least kShortestLine.
bool RaiseLineSize(WindowRect& box, int w, int h, bool line) {
  w = std::max(w, kShortestLine);
  h = std::max(h, kShortestLine);
  box.width = w;
  box.height = h;
  return line || (Resizable(w) && Resizable(h));
}

// The top-right handle, which of the lines only a rising one shows. Dragged below the
// bottom edge, the line turns falling and keeps its top.
bool ResizeTopRight(model::PageRecord& page, int slot, EditPoint c, WindowRect& box) {
  const WindowRect was = box;
  const bool line = IsLine(page, slot);
  int h = was.top + was.height - c.y;
  if (line && h < 0) {
    elements::LineElement(page, slot).rising() = 0;
    h = c.y - was.top;
  }
  if (!RaiseLineSize(box, c.x - was.left, h, line)) return false;
  if (!IsFallingLine(page, slot)) box.top = c.y;
  return true;
}

// The bottom-right handle, which of the lines only a falling one shows. Dragged above the
// top edge, the line turns rising, its top on an even page row.
bool ResizeBottomRight(model::PageRecord& page, int slot, EditPoint c, WindowRect& box) {
  const WindowRect was = box;
  const bool line = IsLine(page, slot);
  int h = c.y - was.top;
  if (line && h < 0) {
    elements::LineElement(page, slot).rising() = 1;
    box.top = kCanvasOrigin + EvenDown(c.y - kCanvasOrigin);
    h = was.top + was.height - c.y;
  }
  if (!RaiseLineSize(box, c.x - was.left, h, line)) return false;
  box.width = EvenDown(box.width);
  box.height = EvenDown(box.height);
  return true;
}

// The new box for a handle whose centre is at `c`; false when the size is refused.
bool Resized(model::PageRecord& page, int slot, Handle handle, EditPoint c, WindowRect& box) {
  const WindowRect was = box;
  const int right = was.left + was.width;
  const int bottom = was.top + was.height;
  switch (handle) {
    case Handle::TopLeft:
      if (!Resizable(right - c.x) || !Resizable(bottom - c.y)) return false;
      box = {c.x, c.y, right - c.x, bottom - c.y};
      return true;
    case Handle::TopMiddle:
      if (!Resizable(bottom - c.y)) return false;
      box.top = c.y;
      box.height = bottom - c.y;
      return true;
    case Handle::TopRight:
      return ResizeTopRight(page, slot, c, box);
    case Handle::MiddleLeft:
      if (!Resizable(right - c.x)) return false;
      box.left = c.x;
      box.width = right - c.x;
      return true;
    case Handle::MiddleRight:
      if (!Resizable(c.x - was.left)) return false;
      box.width = EvenDown(c.x - was.left);
      return true;
    case Handle::BottomLeft:
      if (!Resizable(right - c.x) || !Resizable(c.y - was.top)) return false;
      box.left = c.x;
      box.width = right - c.x;
      box.height = c.y - was.top;
      return true;
    case Handle::BottomMiddle:
      if (!Resizable(c.y - was.top)) return false;
      box.height = EvenDown(c.y - was.top);
      return true;
    case Handle::BottomRight:
      return ResizeBottomRight(page, slot, c, box);
  }
  return false;
}

}  // namespace

WindowRect ElementRect(const model::PageRecord& page, int slot) {
  const elements::ElementFields element(page, slot);
  return {element.left(), element.top(), element.width(), element.height()};
}

void SetElementRect(model::PageRecord& page, int slot, const WindowRect& box) {
  const elements::ElementFields element(page, slot);
  element.left() = static_cast<std::uint16_t>(box.left);
  element.top() = static_cast<std::uint16_t>(box.top);
  element.width() = static_cast<std::uint16_t>(box.width);
  element.height() = static_cast<std::uint16_t>(box.height);
}

DragBounds DragBoundsOf(PageSize canvas) {
  return {kCanvasOrigin + 1, kCanvasOrigin + canvas.width - 1, kCanvasOrigin + 1,
          kCanvasOrigin + canvas.height - 1};
}

EditPoint ClampToDragBounds(EditPoint topLeft, int width, int height, DragBounds bounds) {
  return {ClampAxis(topLeft.x, width, bounds.left, bounds.right),
          ClampAxis(topLeft.y, height, bounds.top, bounds.bottom)};
}

bool MoveElement(model::PageRecord& page, int slot, EditPoint topLeft, DragBounds bounds) {
  const elements::ElementFields element(page, slot);
  if (element.moveLock() != 0) return false;
  const EditPoint at = ClampToDragBounds(topLeft, element.width(), element.height(), bounds);
  element.left() = static_cast<std::uint16_t>(at.x);
  element.top() = static_cast<std::uint16_t>(at.y);
  return true;
}

EditPoint HandlePosition(Handle handle, WindowRect f) {
  const int left = f.left - 2;
  const int middle = f.left + f.width / 2 - 2;
  const int right = f.left + f.width - 3;
  const int top = f.top - 2;
  const int centre = f.top + f.height / 2 - 2;
  const int bottom = f.top + f.height - 3;
  switch (handle) {
    case Handle::TopLeft: return {left, top};
    case Handle::TopMiddle: return {middle, top};
    case Handle::TopRight: return {right, top};
    case Handle::MiddleLeft: return {left, centre};
    case Handle::MiddleRight: return {right, centre};
    case Handle::BottomLeft: return {left, bottom};
    case Handle::BottomMiddle: return {middle, bottom};
    case Handle::BottomRight: return {right, bottom};
  }
  return {left, top};
}

bool HandleShown(const model::PageRecord& page, int slot, Handle handle) {
  if (!IsLine(page, slot)) return true;
  switch (handle) {
    case Handle::TopLeft:
    case Handle::BottomRight: return IsFallingLine(page, slot);
    case Handle::TopRight:
    case Handle::BottomLeft: return IsRisingLine(page, slot);
    default: return false;
  }
}

EditPoint DragHandle(Handle handle, EditPoint start, int dx, int dy, DragBounds bounds) {
  const bool vertical = handle != Handle::MiddleLeft && handle != Handle::MiddleRight;
  const bool horizontal = handle != Handle::TopMiddle && handle != Handle::BottomMiddle;
  const EditPoint moved{start.x + (horizontal ? dx : 0), start.y + (vertical ? dy : 0)};
  return ClampToDragBounds(moved, kHandleSize, kHandleSize, bounds);
}

bool ResizeByHandle(model::PageRecord& page, int slot, Handle handle, EditPoint handleAt) {
  const elements::ElementFields element(page, slot);
  if (element.moveLock() != 0 || element.kind() == elements::kKindPicture) return false;
  const EditPoint centre{handleAt.x + 2, handleAt.y + 2};
  WindowRect box = ElementRect(page, slot);
  if (!Resized(page, slot, handle, centre, box)) return false;
  SetElementRect(page, slot, box);
  return true;
}

std::string ElementStatusText(const model::PageRecord& page, int slot, bool isChinese) {
  const elements::ElementFields element(page, slot);
  return " " + std::string(elements::KindNameOf(element.kind(), isChinese)) + " at[" +
         std::to_string(element.left() - kCanvasOrigin) + "," +
         std::to_string(element.top() - kCanvasOrigin) + "]" + " W:" +
         std::to_string(element.width()) + " " + " H:" + std::to_string(element.height());
}

std::string PointerStatusText(EditPoint windowPoint) {
  return " X: " + std::to_string(windowPoint.x - kCanvasOrigin) +
         "  Y: " + std::to_string(windowPoint.y - kCanvasOrigin);
}

}  // namespace dravik::editor
