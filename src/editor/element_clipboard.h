#pragma once
// The clipboard shared by running instances: the copied page goes to the work file
// "MCopy.Temp" and a marker text naming what was copied (the page, one element of it, or
// an area of elements) goes on the system clipboard. Every instance that sees a marker
// loads the work file into its clipboard page; pasting takes elements from that page.
//
// Clipboard text comes from any program, so a marker is only taken when every field of it
// is well-formed; anything else is ignored.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "editor/page_geometry.h"
#include "model/page_record.h"
#include "model/project_image.h"
#include "platform/result.h"

namespace dravik::editor {

inline constexpr char kClipboardFileName[] = "MCopy.Temp";
inline constexpr char kMarkerPrefix[] = "zr_QX:";
inline constexpr int kPageMarkerCode = 255;  // "FF": a whole page
inline constexpr int kAreaMarkerCode = 238;  // "EE": a selected area
// How far a pasted element lands from the one it was copied from.
inline constexpr int kPasteShiftX = 10;
inline constexpr int kPasteShiftY = 6;

// The area selection's frame, in page-window canvas coordinates.
struct PageMarker {
  bool operator==(const PageMarker&) const = default;
};
struct ElementMarker {
  int slot = 0;
  bool operator==(const ElementMarker&) const = default;
};
struct AreaMarker {
  WindowRect frame;
  std::vector<int> slotList;  // in selection order (not `slots`: a Qt keyword)
  bool operator==(const AreaMarker&) const = default;
};
using ClipboardMarker = std::variant<PageMarker, ElementMarker, AreaMarker>;

// "zr_QX:FF" for a page; "zr_QX:" + the slot as two upper-case hexadecimal digits for an
// element; "zr_QX:EE" + the count (2 digits), left, top, width, height (4 digits each) and
// the slots (2 digits each) for an area.
std::string MarkerText(const ClipboardMarker& marker);

// The marker a clipboard text holds; nothing for any other text, and for a text that
// starts like a marker but is cut short, carries characters other than hexadecimal
// digits or more than it should, names a slot beyond 199, holds another count of slots
// than it claims, or whose frame reaches beyond the largest page.
std::optional<ClipboardMarker> ParseMarker(std::string_view text);

// The two digits after "zr_QX:" as a number: 255 a page, 238 an area, else the slot.
int MarkerCode(const ClipboardMarker& marker);

// The paste command a marker enables: a page marker the page paste, the others the
// element paste.
enum class PasteCommand { Page, Element };

// What a paste created: the new slots in order (the editor selects them), the area frame
// where the selection goes (areas only), and whether elements found no free slot (the
// caller shows model::kNoFreeSlotMessage once for each of them).
struct PasteOutcome {
  std::vector<int> PickList;
  std::optional<WindowRect> frame;
  bool PasteFailed = false;
  int notPasted = 0;
};

// Pastes element `sourceSlot` of the clipboard page into `page` (of canvas size
// `pageSize`) and returns its new slot; nothing when the source slot holds no element or
// the page has no free slot for its kind (the caller shows model::kNoFreeSlotMessage).
// The shift of 10 and 6 stays in the clipboard page, so repeated pastes walk on; an
// element is kept inside the page, and at its left or top edge when it is larger.
std::optional<int> Paste1PcsOrgan(model::PageRecord& clipboardPage, int sourceSlot,
                                  model::PageRecord& page, PageSize pageSize);

// Pastes element `sourceSlot` of the clipboard page with its top left at (`left`, `top`)
// in window coordinates, kept inside the page as every paste is, and stores the final
// position back in the clipboard page. Nothing when the source slot holds no element or
// the page has no free slot for its kind; the clipboard page is then unchanged.
std::optional<int> PasteElementAt(model::PageRecord& clipboardPage, int sourceSlot,
                                  model::PageRecord& page, PageSize pageSize, int left, int top);

// Pastes every slot of an area, in order, leaving out those that find no free slot. The
// frame walks on with its elements: it is shifted in `area` itself.
PasteOutcome PasteArea(model::PageRecord& clipboardPage, AreaMarker& area, model::PageRecord& page,
                       PageSize pageSize);

// What an instance last received: the marker and the clipboard page, which only ever
// change together.
class ClipboardState {
 public:
  // Reads the work file's page into its argument.
  using PageReader = std::function<Status(model::PageRecord&)>;

  ClipboardState() = default;
  ClipboardState(const ClipboardState&) = delete;
  ClipboardState& operator=(const ClipboardState&) = delete;

  // Takes a clipboard text. Only a marker whose page could be read, and whose element
  // slots hold elements on that page, replaces the marker and the page, both at once; the
  // result is then the paste command to enable (and the other to disable). Anything else
  // changes nothing and gives nothing.
  std::optional<PasteCommand> Receive(std::string_view text, const PageReader& readPage);

  // The paste command the last marker taken enables; nothing before the first.
  std::optional<PasteCommand> EnabledPaste() const;
  // The code of the last marker taken (MarkerCode); nothing before the first.
  std::optional<int> ClipboardCode() const;
  const std::optional<ClipboardMarker>& Marker() const { return marker_; }
  model::PageRecord& ClipboardPage() { return page_[0]; }
  const model::PageRecord& ClipboardPage() const { return page_[0]; }

  // Pastes the element or area of the last marker into `page`; nothing is pasted for a
  // page marker (pages are pasted as a new page) or before any marker.
  PasteOutcome Paste(model::PageRecord& page, PageSize pageSize);

 private:
  model::RecordStore page_{1};
  model::RecordStore incoming_{1};  // read into first, so a failed read keeps the page
  std::optional<ClipboardMarker> marker_;
};

// Moves the element in `slot` to slot 0, the bottom of the drawing order, and the elements
// below it up by one. Refused (false) for the text-table slots from 135 on, whose texts
// cannot move with them; slot 0 stays where it is.
bool OrganSendToBack(model::PageRecord& page, int slot);

// The work file between instances. Both are done under the work folder's lock, so no two
// instances use it at once, and the file is replaced only by a complete page.
std::filesystem::path ClipboardFilePath(const std::filesystem::path& workDir);
Status WriteClipboardFile(const std::filesystem::path& workDir, const model::PageRecord& page);
// The file's page; a missing or short file is an error and `page` is untouched.
Status ReadClipboardFile(const std::filesystem::path& workDir, model::PageRecord& page);

}  // namespace dravik::editor
