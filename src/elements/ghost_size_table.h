#pragma once
// The size of the placement frame ("ghost") of each kind, which becomes the placed
// element's initial size.

#include <array>

namespace dravik::elements {

struct GhostSize {
  int width;
  int height;
  bool operator==(const GhostSize&) const = default;
};

// A text's frame follows the default text font of the work parameters (settings
// ElemLongC[51]); the dialog offers 0..2, the table goes up to 5.
inline constexpr std::array<GhostSize, 6> kTextGhostSizes{
    {{52, 18}, {76, 26}, {98, 32}, {148, 48}, {196, 64}, {288, 96}}};

// `defaultTextFont` is only read for kind 1; a value outside the table takes the
// nearest end of it, so a damaged setting still gives a usable frame.
constexpr GhostSize GhostSizeTable(int kind, int defaultTextFont) {
  // clang-format off
  switch (kind) {
    case 1: {
      int font = defaultTextFont < 0 ? 0 : defaultTextFont;
      if (font >= static_cast<int>(kTextGhostSizes.size())) font = kTextGhostSizes.size() - 1;
      return kTextGhostSizes[font];
    }
    case 2: return {60, 26};
    case 3: return {20, 20};
    case 4: case 29: return {200, 100};
    case 5: return {20, 60};
    case 6: return {16, 16};
    case 7: case 9: return {132, 32};
    case 8: case 34: return {80, 32};
    case 10: return {180, 28};
    case 11: return {158, 28};
    case 12: case 13: case 14: case 19: return {302, 180};
    case 15: return {467, 180};
    case 16: return {60, 22};
    case 17: return {28, 40};
    case 18: return {61, 16};
    case 20: case 21: case 22: return {100, 50};
    case 23: return {100, 30};
    case 24: case 25: return {30, 100};
    case 26: case 27: case 28: return {50, 50};
    case 32: return {228, 128};
    case 33: case 35: return {300, 25};
    default: return {0, 0};
  }
  // clang-format on
}

}  // namespace dravik::elements
