#pragma once
// The area selection of a page window and what is done to a group of elements: picking
// them with a rubber band or one by one with Shift, moving the group with the mouse or the
// arrow keys, and aligning its members or making them equal in size against the first of
// them. The window keeps the widgets, markers and frame controls; everything here works on
// the slot arrays of the page and on the selection lists, in window coordinates (page
// pixels + 5), so the window only shows what these functions decide.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/element_clipboard.h"
#include "editor/element_edit.h"
#include "editor/page_geometry.h"
#include "model/page_record.h"

namespace dravik::editor {

// ---- The selection ----

// The area selection: its slots in selection order and its frame. The frame is the
// members' bounding box when the selection is built; the alignment tools leave it as it
// was, so it may later differ from the members' own extent.
struct GroupSelection {
  std::vector<int> SelList;  // SelList[0] is the anchor the alignment tools follow
  WindowRect frame;           // no extent when the selection is empty

  int SelCount() const { return static_cast<int>(SelList.size()); }
  bool empty() const { return SelList.empty(); }
  bool operator==(const GroupSelection&) const = default;
};

// The frame a rubber band spans between the pointer's start and end.
WindowRect BandFrame(EditPoint start, EditPoint end);

// The elements a released rubber band takes, in slot order: those lying wholly inside it
// (an element whose right or bottom edge lies on the band's is outside). The part of the
// band in the window's margin left of or above the canvas counts for nothing. The caller
// copies SelList into the pick list; an empty result means no selection (the frame hides).
GroupSelection CollectArea(const model::PageRecord& page, const WindowRect& band);

// What a click on an element did to the pick list.
enum class PickChange {
  Cleared,    // no Shift: the pick list is emptied and the click is a single selection
  Added,      // appended: the slot is the newest member
  Removed,    // it was picked already: it leaves the list and its markers hide
  Unchanged,  // not a slot of a page
};
PickChange TogglePick(std::vector<int>& pickList, int slot, bool shiftHeld);

// The area selection made of the pick list, in its order (a group paste and shift-clicks
// build it this way): the first picked element is the anchor. Entries that are no slot or
// hold no element are left out.
GroupSelection BuildFromPickList(const model::PageRecord& page, const std::vector<int>& pickList);

// The alignment tools act on a selection with at least one member.
bool GroupToolsEnabled(const GroupSelection& group);

// ---- Corner markers and the frame's hint ----

inline constexpr int kCornerMarkerSize = 5;
// Marker fills (0x00BBGGRR): the anchor's, a former anchor's, every other member's.
inline constexpr std::uint32_t kAnchorMarkerColour = 0x0000FF;
inline constexpr std::uint32_t kFormerAnchorMarkerColour = kWindowBackgroundColour;
inline constexpr std::uint32_t kMemberMarkerColour = 0xFFFFFF;

// The top-left corners of an element's four markers: top-left, top-right, bottom-left,
// bottom-right, each inside the element.
std::array<EditPoint, 4> CornerMarkers(const model::PageRecord& page, int slot);

// A page's anchor and the one before it, kept per page across page windows.
struct AnchorState {
  std::optional<int> SelAnchor;
  std::optional<int> PrevAnchor;
};
// Which markers change colour when a selection is built.
struct AnchorChange {
  std::optional<int> formerAnchor;  // its markers take kFormerAnchorMarkerColour
  int anchor = 0;                   // its markers turn kAnchorMarkerColour
  bool operator==(const AnchorChange&) const = default;
};
// Nothing for an empty selection, which leaves the anchors as they were.
std::optional<AnchorChange> UpdateAnchor(AnchorState& anchors, const model::PageRecord& page,
                                         const GroupSelection& group);

// The frame's hint: each slot as two upper-case hexadecimal digits, in selection order,
// nothing between them (slots 10, 200, 3 give "0AC803").
std::string AreaHint(const std::vector<int>& selList);

// ---- Moving the group ----

// One step of dragging the group's frame: the frame goes to `proposed` (its left and top
// as the pointer puts them), kept inside the drag bounds, and every member moves as far as
// the frame did. Members reaching beyond a frame the alignment tools left behind are kept
// inside the bounds too. Locked members move with the group.
void DragGroup(model::PageRecord& page, GroupSelection& group, EditPoint proposed,
               const DragBounds& bounds);

enum class ArrowKey { Left, Up, Right, Down };

// One arrow press moves by this many one-pixel steps, each checked against the page edge.
inline constexpr int kNudgeStepsPerPress = 2;

// One arrow press for the group: the frame and every member (locked ones too) step one
// pixel at a time while the group stays on the page (which, unlike dragging, lets it reach
// the page's very edge).
void NudgeGroup(model::PageRecord& page, GroupSelection& group, ArrowKey key, PageSize canvas);
// One arrow press for a single element, by the same steps and limits.
void NudgeElement(model::PageRecord& page, int slot, ArrowKey key, PageSize canvas);

// ---- Alignment ----

// The tools in the order of their buttons; the value is the button's tag.
enum class AlignMode {
  Left = 1,            // "水平左对齐"
  CentreHorizontally,  // "水平居中对齐"
  Right,               // "水平右对齐"
  Top,                 // "垂直顶对齐"
  CentreVertically,    // "垂直居中对齐"
  Bottom,              // "垂直底对齐"
  SameWidth,           // "使等宽"
  SameHeight,          // "使等高"
  SameSize,            // "使等宽高"
};
// The tool of a button's tag; nothing for a tag outside 1..9.
std::optional<AlignMode> AlignModeOfTag(int tag);
// The size tools change what the members look like: the window draws each member again
// (OrganRepaint); the others only move members and markers.
bool ChangesSize(AlignMode mode);

// Aligns every member, the anchor and locked members included, against the anchor's
// geometry as it was before the tool ran. A member the tool would put partly off the page
// (wider or taller than the anchor, or grown past the page's edge) is kept on it, at the
// page's left or top edge when it is larger than the page. The frame keeps its bounds.
void AlignComponent(model::PageRecord& page, const GroupSelection& group, AlignMode mode,
                    PageSize canvas);

}  // namespace dravik::editor
