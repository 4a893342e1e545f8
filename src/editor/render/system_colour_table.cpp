#include "editor/render/system_colour_table.h"

#include <array>

namespace dravik::editor {

namespace {

// index  red  green blue   the desktop element it colours
constexpr std::array<std::array<int, 3>, kSystemColourCount> kSystemColours{{
    {212, 208, 200},  //  0 scroll bar
    {58, 110, 165},   //  1 desktop background
    {10, 36, 106},    //  2 active caption
    {128, 128, 128},  //  3 inactive caption
    {212, 208, 200},  //  4 menu
    {255, 255, 255},  //  5 window background
    {0, 0, 0},        //  6 window frame
    {0, 0, 0},        //  7 menu text
    {0, 0, 0},        //  8 window text
    {255, 255, 255},  //  9 caption text
    {212, 208, 200},  // 10 active border
    {212, 208, 200},  // 11 inactive border
    {128, 128, 128},  // 12 application workspace
    {10, 36, 106},    // 13 highlight
    {255, 255, 255},  // 14 highlight text
    {212, 208, 200},  // 15 button face
    {128, 128, 128},  // 16 button shadow
    {128, 128, 128},  // 17 grey text
    {0, 0, 0},        // 18 button text
    {212, 208, 200},  // 19 inactive caption text
    {255, 255, 255},  // 20 button highlight
    {64, 64, 64},     // 21 3-D dark shadow
    {212, 208, 200},  // 22 3-D light
    {0, 0, 0},        // 23 tool-tip text
    {255, 255, 225},  // 24 tool-tip background
    {0, 0, 0},        // 25 (not assigned)
    {0, 0, 128},      // 26 hot-tracked item
    {166, 202, 240},  // 27 active caption gradient
    {192, 192, 192},  // 28 inactive caption gradient
    {49, 106, 197},   // 29 highlighted menu item
    {236, 233, 216},  // 30 menu bar
}};

}  // namespace

QRgb SystemColourRgb(int index) {
  if (index < 0 || index >= kSystemColourCount) return qRgb(0, 0, 0);
  const auto& c = kSystemColours[static_cast<std::size_t>(index)];
  return qRgb(c[0], c[1], c[2]);
}

QRgb ResolveColour(std::uint32_t colour) {
  if ((colour & 0x80000000u) != 0) return SystemColourRgb(static_cast<int>(colour & 0xFF));
  return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
              static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace dravik::editor
