#include "pictures/picture_operations.h"

#include <algorithm>
#include <utility>

namespace dravik::pictures {

namespace {

// Swaps two pixels of three bytes each.
void SwapPixel(std::uint8_t* a, std::uint8_t* b) {
  std::swap(a[0], b[0]);
  std::swap(a[1], b[1]);
  std::swap(a[2], b[2]);
}

bool Valid(const RgbImage& image) {
  return !image.empty() && image.rgb.size() == static_cast<std::size_t>(image.width) *
                                                   static_cast<std::size_t>(image.height) * 3;
}

int SquaredDistance(const std::uint8_t* pixel, const std::uint8_t* colour) {
  int total = 0;
  for (int c = 0; c < 3; ++c) {
    int d = pixel[c] - colour[c];
    total += d * d;
  }
  return total;
}

}  // namespace

void InvertColours(RgbImage& image) {
  for (auto& value : image.rgb) value = static_cast<std::uint8_t>(255 - value);
}

void MirrorLeftRight(RgbImage& image) {
  if (!Valid(image)) return;
  for (int y = 0; y < image.height; ++y) {
    for (int left = 0, right = image.width - 1; left < right; ++left, --right) {
      SwapPixel(&image.rgb[image.PixelOffset(left, y)], &image.rgb[image.PixelOffset(right, y)]);
    }
  }
}

void MirrorTopBottom(RgbImage& image) {
  if (!Valid(image)) return;
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
  for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(
        image.rgb.begin() + static_cast<std::ptrdiff_t>(image.PixelOffset(0, top)),
        image.rgb.begin() + static_cast<std::ptrdiff_t>(image.PixelOffset(0, top) + rowBytes),
        image.rgb.begin() + static_cast<std::ptrdiff_t>(image.PixelOffset(0, bottom)));
  }
}

void RotateClockwise90(RgbImage& image) {
  if (!Valid(image)) return;
  RgbImage turned;
  turned.width = image.height;
  turned.height = image.width;
  turned.rgb.resize(image.rgb.size());
  // Clockwise: source (x, y) lands at (height - 1 - y, x).
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* from = &image.rgb[image.PixelOffset(x, y)];
      std::uint8_t* to = &turned.rgb[turned.PixelOffset(image.height - 1 - y, x)];
      std::copy(from, from + 3, to);
    }
  }
  image = std::move(turned);
}

void ReduceToTwoColours(RgbImage& image, std::uint32_t textColor, std::uint32_t backColor) {
  const std::uint8_t text[3] = {static_cast<std::uint8_t>(textColor),
                                static_cast<std::uint8_t>(textColor >> 8),
                                static_cast<std::uint8_t>(textColor >> 16)};
  const std::uint8_t back[3] = {static_cast<std::uint8_t>(backColor),
                                static_cast<std::uint8_t>(backColor >> 8),
                                static_cast<std::uint8_t>(backColor >> 16)};
  for (std::size_t at = 0; at + 3 <= image.rgb.size(); at += 3) {
    std::uint8_t* pixel = &image.rgb[at];
    const std::uint8_t* chosen =
        SquaredDistance(pixel, text) < SquaredDistance(pixel, back) ? text : back;
    std::copy(chosen, chosen + 3, pixel);
  }
}

void StretchPicture(RgbImage& image, int width, int height) {
  if (!Valid(image)) return;
  width = std::clamp(width, kStretchMinSide, kStretchMaxWidth);
  height = std::clamp(height, kStretchMinSide, kStretchMaxHeight);
  RgbImage stretched;
  stretched.width = width;
  stretched.height = height;
  stretched.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (int y = 0; y < height; ++y) {
    // Sample at the centre of each target pixel.
    int sy = static_cast<int>((2LL * y + 1) * image.height / (2LL * height));
    for (int x = 0; x < width; ++x) {
      int sx = static_cast<int>((2LL * x + 1) * image.width / (2LL * width));
      const std::uint8_t* from = &image.rgb[image.PixelOffset(sx, sy)];
      std::copy(from, from + 3, &stretched.rgb[stretched.PixelOffset(x, y)]);
    }
  }
  image = std::move(stretched);
}

}  // namespace dravik::pictures
