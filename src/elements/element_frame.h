#pragma once
// What every property dialog shows of an element, whatever its kind: where it is, how big,
// whether the mouse may move it, and the lists its format word is chosen from. Positions
// are shown the way the panel counts them, from the page's corner, while the slot arrays
// keep window coordinates (page pixels + 5).

#include <array>
#include <cstdint>
#include <string_view>

#include "editor/element_edit.h"
#include "model/page_record.h"

namespace dravik::elements {

// A dialog shows page pixels; the record keeps window coordinates.
constexpr int ShownPosition(int stored) {
  return stored - editor::kCanvasOrigin;
}
constexpr int StoredPosition(int shown) {
  return shown + editor::kCanvasOrigin;
}

// An element is never made smaller than this in a dialog.
inline constexpr int kMinElementSize = 8;

// Position (shown) and size of an element, and its move lock.
struct FrameValues {
  int left = 0;  // page pixels
  int top = 0;
  int width = 0;
  int height = 0;
  bool moveLock = false;
  bool operator==(const FrameValues&) const = default;
};

FrameValues ReadFrame(const model::PageRecord& page, int slot);
void WriteFrame(model::PageRecord& page, int slot, const FrameValues& frame);

// A text the dialog gives back as it was keeps every byte of its field; another one is
// stored cut to the field's capacity.
template <class ShortString>
void StoreText(ShortString& field, std::string_view gbk) {
  if (field.View() != gbk) field.Assign(gbk);
}

// Colours are kept as 0x00BBGGRR in signed fields.
inline std::uint32_t ColourOf(std::int32_t field) {
  return static_cast<std::uint32_t>(field);
}
inline std::int32_t ColourField(std::uint32_t colour) {
  return static_cast<std::int32_t>(colour);
}

struct SpinRange {
  int min = 0;
  int max = 0;
  bool operator==(const SpinRange&) const = default;
};

// What the four fields accept on a page of the given size: a position keeps at least the
// smallest element on the page, a size runs from `minSize` to the page. A page smaller than
// the smallest element still gets a range that holds one value.
struct FrameRanges {
  SpinRange left, top, width, height;
  bool operator==(const FrameRanges&) const = default;
};
FrameRanges FrameRangesFor(int pageWidth, int pageHeight, int minSize = kMinElementSize);

// The lists of the format word's fields, in the order of their codes (FormatWord).
inline constexpr std::array<const char*, 3> kBorderNames{"无", "普通", "三维"};
inline constexpr std::array<const char*, 8> kFontNames{"16X16", "24X24", "32*32", "48*48",
                                                       "64*64", "80*80", "96*96", "112*112"};
inline constexpr std::array<const char*, 10> kAsciiChineseFontNames{
    "16X16", "24X24",   "32X32",   "48X48",   "64X64",
    "96X96", "128X128", "192X192", "256X256", "320X320"};
inline constexpr std::array<const char*, 3> kAlignmentNames{"左边", "中间", "右边"};
inline constexpr std::array<const char*, 6> kLevelNames{"普通", "管理", "系统",
                                                        "中级", "高级", "超级"};

}  // namespace dravik::elements
