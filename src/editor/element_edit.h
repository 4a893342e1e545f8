#pragma once
// The arithmetic of editing one element with the mouse: where a dragged element or handle
// may go, what a handle drag does to the element's geometry, which handles an element
// shows and where, and the status-bar read-outs. Everything is in window coordinates
// (page pixels + 5), as the slot arrays keep them.

#include <array>
#include <string>

#include "editor/page_geometry.h"
#include "model/page_record.h"

namespace dravik::editor {

// The canvas sits at (5, 5) in its window: page pixel 0 is window coordinate 5.
inline constexpr int kCanvasOrigin = 5;

struct EditPoint {
  int x = 0;
  int y = 0;
  bool operator==(const EditPoint&) const = default;
};

// An element's bounds as its slot arrays keep them.
WindowRect ElementRect(const model::PageRecord& page, int slot);
void SetElementRect(model::PageRecord& page, int slot, const WindowRect& rect);

// How far a drag may take an element or a handle: one pixel inside the canvas on every
// side.
struct DragBounds {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
  bool operator==(const DragBounds&) const = default;
};
DragBounds DragBoundsOf(PageSize canvas);

// A dragged control of the given size moved to `topLeft`, kept inside the bounds: first
// off the right (bottom) bound, then off the left (top) one, and to the left (top) bound
// when it is still beyond the right (bottom) one.
EditPoint ClampToDragBounds(EditPoint topLeft, int width, int height, DragBounds bounds);

// The selected element moved so that its top-left corner goes to `topLeft` (clamped), in
// the record. Nothing happens to a locked element; false then.
bool MoveElement(model::PageRecord& page, int slot, EditPoint topLeft, DragBounds bounds);

// The eight resize handles around the selection frame, clockwise names as the window
// knows them.
enum class Handle {
  TopLeft = 2,       // Shape2
  TopMiddle = 3,     // Shape3
  TopRight = 4,      // Shape4
  MiddleLeft = 5,    // Shape5
  MiddleRight = 6,   // Shape6
  BottomLeft = 7,    // Shape7
  BottomMiddle = 8,  // Shape8
  BottomRight = 9,   // Shape9
};
inline constexpr std::array<Handle, 8> kHandles{Handle::TopLeft,     Handle::TopMiddle,
                                                Handle::TopRight,    Handle::MiddleLeft,
                                                Handle::MiddleRight, Handle::BottomLeft,
                                                Handle::BottomMiddle, Handle::BottomRight};
inline constexpr int kHandleSize = 5;

// The top-left corner of a handle around the frame `frame`.
EditPoint HandlePosition(Handle handle, WindowRect frame);
// Whether the element in `slot` shows the handle: a line shows only the two on its end
// points (top-left and bottom-right when falling, top-right and bottom-left when rising).
bool HandleShown(const model::PageRecord& page, int slot, Handle handle);
// The handle dragged from `start` by (dx, dy): corner handles both ways, the top and
// bottom middle ones only up and down, the side ones only sideways; kept inside the
// bounds like a dragged element.
EditPoint DragHandle(Handle handle, EditPoint start, int dx, int dy, DragBounds bounds);

// Resizes the element by the handle whose top-left corner is now at `handleAt`. False when
// nothing was written: a locked element or a picture, or a size of 8 pixels or less
// (lines take sizes down to 2 through their end-point handles).
bool ResizeByHandle(model::PageRecord& page, int slot, Handle handle, EditPoint handleAt);

// Status panel 0 for the selected element: " " + kind name + " at[" + x + "," + y + "]" +
// " W:" + width + " " + " H:" + height, the position in page pixels.
std::string ElementStatusText(const model::PageRecord& page, int slot, bool isChinese);
// Status panel 3 for the pointer at a window point: " X: " + x + "  Y: " + y in page
// pixels.
std::string PointerStatusText(EditPoint windowPoint);

}  // namespace dravik::editor
