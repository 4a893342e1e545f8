#include "editor/page_geometry.h"

#include <cctype>
#include <limits>

#include "model/project_image.h"

namespace dravik::editor {

std::optional<std::int64_t> ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isdigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > (std::int64_t{1} << 32)) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return value;
}

PageSize ScreenSizeOfModel(int model) {
  if (model < 0 || model >= static_cast<int>(ScreenSizeTable.size())) return ScreenSizeTable[0];
  return ScreenSizeTable[static_cast<std::size_t>(model)];
}

PageSize PanelScreenSize(const model::PageRecord& settings) {
  return ScreenSizeOfModel(static_cast<int>(settings.ElemWordA[0]) & 0x3F);
}

std::optional<PageSize> PageOwnSizeOf(const model::PageRecord& page) {
  if (!(page.PageStrings[model::kPageOwnSize] == "Y")) return std::nullopt;
  auto width = ParseDecimal(page.PageStrings[model::kPageOwnWidth].View());
  auto height = ParseDecimal(page.PageStrings[model::kPageOwnHeight].View());
  if (!width || !height || *width < 1 || *height < 1 || *width > kMaxPageWidth ||
      *height > kMaxPageHeight) {
    return std::nullopt;
  }
  return PageSize{static_cast<int>(*width), static_cast<int>(*height)};
}

PageSize PageCanvasSize(const model::PageRecord& page, const model::PageRecord& settings) {
  if (!(page.PageStrings[model::kPageOwnSize] == "Y")) return PanelScreenSize(settings);
  return PageOwnSizeOf(page).value_or(kFallbackPageSize);
}

std::int32_t PageBackground(const model::PageRecord& page) {
  auto value = ParseDecimal(page.PageStrings[model::kPageBackColorText].View());
  if (!value) return static_cast<std::int32_t>(kWindowBackgroundColour);
  // Negative texts are system colours written as signed numbers.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
}

namespace {

// The first `limit` bytes of GBK text, without a lead byte whose partner was cut off.
std::string_view CutGbk(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t i = 0;
  while (i < limit) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t width = (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  return text.substr(0, i);
}

}  // namespace

std::string PageCaptionBytes(const model::PageRecord& page) {
  std::string caption(page.PageStrings[model::kPageNumberText].View());
  caption += ':';
  caption = std::string(CutGbk(caption, 21));
  caption += page.PageStrings[model::kPageName].View();
  return std::string(CutGbk(caption, 41));
}

namespace {

struct Geometry {
  int left, top, width, height;
  bool operator==(const Geometry&) const = default;
};

Geometry GeometryOf(const model::PageRecord& page, std::size_t slot) {
  return {page.ElemLeft[slot], page.ElemTop[slot], page.ElemWidth[slot], page.ElemHeight[slot]};
}

Geometry Repaired(Geometry g, PageSize canvas) {
  if (g.left > canvas.width) g.left = 6;
  if (g.top > canvas.height) g.top = 6;
  if (g.width > canvas.width) g.width = canvas.width;
  if (g.height > canvas.height) g.height = canvas.height;
  if (g.width == 0) g.width = 16;
  if (g.height == 0) g.height = 16;
  return g;
}

bool RepairChanges(const Geometry& g, PageSize canvas) {
  return !(Repaired(g, canvas) == g);
}

}  // namespace

void RepairGeometry(model::PageRecord& page, int slot, PageSize canvas) {
  const auto s = static_cast<std::size_t>(slot);
  const Geometry g = Repaired(GeometryOf(page, s), canvas);
  page.ElemLeft[s] = static_cast<std::uint16_t>(g.left);
  page.ElemTop[s] = static_cast<std::uint16_t>(g.top);
  page.ElemWidth[s] = static_cast<std::uint16_t>(g.width);
  page.ElemHeight[s] = static_cast<std::uint16_t>(g.height);
}

MovedElements ElementsMovedByScreenChange(const model::ProjectImage& image, PageSize from,
                                          PageSize to) {
  MovedElements moved;
  for (int n = 1; n <= model::kMaxPage; ++n) {
    const model::PageRecord& page = image.Page(n);
    // A page of its own size keeps it whatever the panel's screen is.
    if (!image.IsPageUsed(n) || page.PageStrings[model::kPageOwnSize] == "Y") continue;
    int onPage = 0;
    for (std::size_t slot = 0; slot < model::kSlotCount; ++slot) {
      if (page.ElemKind[slot] == 0) continue;
      const Geometry g = GeometryOf(page, slot);
      if (RepairChanges(g, to) && !RepairChanges(g, from)) ++onPage;
    }
    moved.elements += onPage;
    if (onPage > 0) ++moved.pages;
  }
  return moved;
}

}  // namespace dravik::editor
