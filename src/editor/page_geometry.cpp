#include "editor/page_geometry.h"

#include <cctype>
#include <limits>

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

PageSize PanelScreenSize(const model::PageRecord& settings) {
  const int model = static_cast<int>(settings.ElemWordA[0]) & 0x3F;
  if (model >= static_cast<int>(ScreenSizeTable.size())) return ScreenSizeTable[0];
  return ScreenSizeTable[static_cast<std::size_t>(model)];
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

void RepairGeometry(model::PageRecord& page, int slot, PageSize canvas) {
  const auto s = static_cast<std::size_t>(slot);
  if (static_cast<int>(page.ElemLeft[s]) > canvas.width) page.ElemLeft[s] = 6;
  if (static_cast<int>(page.ElemTop[s]) > canvas.height) page.ElemTop[s] = 6;
  if (static_cast<int>(page.ElemWidth[s]) > canvas.width) page.ElemWidth[s] = static_cast<std::uint16_t>(canvas.width);
  if (static_cast<int>(page.ElemHeight[s]) > canvas.height) page.ElemHeight[s] = static_cast<std::uint16_t>(canvas.height);
  if (static_cast<int>(page.ElemWidth[s]) == 0) page.ElemWidth[s] = 16;
  if (static_cast<int>(page.ElemHeight[s]) == 0) page.ElemHeight[s] = 16;
}

}  // namespace dravik::editor
