#pragma once
// The size and background of a page as the page window opens it, the caption of the
// window, and the repair of element geometry that precedes every drawing of an element.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/page_record.h"

namespace dravik::model {
class ProjectImage;
}

namespace dravik::editor {

// A rectangle in window coordinates (page pixels + 5): an element's bounds, a selection
// frame, the area a copy came from.
struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const WindowRect&) const = default;
};

struct PageSize {
  int width = 0;
  int height = 0;
  bool operator==(const PageSize&) const = default;
};

// The panel's screen size by panel model index (the low 6 bits of the settings page's
// panel model entry).
inline constexpr std::array<PageSize, 8> ScreenSizeTable{{
    {240, 320},  // 0 VM20 portrait
    {320, 240},  // 1 VM20 landscape
    {480, 320},  // 2 VM30
    {480, 320},  // 3 VR40
    {320, 480},  // 4 VM30 portrait
    {256, 64},   // 5 VD12
    {64, 256},   // 6 VD12 portrait
    {240, 320},  // 7
}};

// The size a page with unreadable own-size numbers opens at.
inline constexpr PageSize kFallbackPageSize{200, 100};
// The largest own size a page may claim; larger numbers count as unreadable, so a
// damaged record cannot make the editor allocate a canvas the size of the number. The
// editor's other limits (stretching, the area selection) stop at the same size.
inline constexpr int kMaxPageWidth = 1280;
inline constexpr int kMaxPageHeight = 1024;

// The window-background system colour, for pages whose colour text is unreadable.
inline constexpr std::uint32_t kWindowBackgroundColour = 0xFF000005u;

// A decimal number as the page strings keep them: optional blanks, an optional sign and
// digits, within 32 bits. Nothing for anything else.
std::optional<std::int64_t> ParseDecimal(std::string_view text);

// The panel's screen size for a panel model index; an index beyond the table takes its
// first row.
PageSize ScreenSizeOfModel(int model);
// The same for the model the settings page names.
PageSize PanelScreenSize(const model::PageRecord& settings);

// The canvas size of `page`: its own size when PageOwnSize is "Y" (200 x 100 when either
// number is unreadable or out of range), else the panel's screen size.
PageSize PageCanvasSize(const model::PageRecord& page, const model::PageRecord& settings);

// The own size alone: nothing unless PageOwnSize is "Y" and both numbers are readable.
std::optional<PageSize> PageOwnSizeOf(const model::PageRecord& page);

// PageBackColorText as a colour; the window-background system colour when unreadable.
std::int32_t PageBackground(const model::PageRecord& page);

// The window caption in GBK bytes: PageNumberText + ":" + PageName, the number and colon
// at most 21 bytes and the whole at most 41 (never ending in half a character).
std::string PageCaptionBytes(const model::PageRecord& page);

// Puts an element that lies or reaches outside the canvas back inside it, in the record:
// a position beyond the canvas becomes 6 (page pixel 1), a size beyond it the canvas
// size, and a size of 0 becomes 16.
void RepairGeometry(model::PageRecord& page, int slot, PageSize canvas);

// The elements that a change of the panel's screen from `from` to `to` would move or shrink
// for good: those on pages in use that take the panel's screen size (not their own) which
// the repair leaves alone on the old screen but changes on the new one. Opening their page
// writes the repair into the record, so switching back restores nothing. Elements the
// repair changes on either screen (damaged geometry) are not counted: the change of model
// is not what moves them.
struct MovedElements {
  int elements = 0;
  int pages = 0;
  bool operator==(const MovedElements&) const = default;
};
MovedElements ElementsMovedByScreenChange(const model::ProjectImage& image, PageSize from,
                                          PageSize to);

}  // namespace dravik::editor
