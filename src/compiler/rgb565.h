#pragma once
// The panel's 16-bit colour: project colours are 0x00BBGGRR (red in the low byte, the top
// byte ignored), the image keeps 5 bits of red, 6 of green and 5 of blue.

#include <cstdint>

namespace dravik::compiler {

constexpr std::uint16_t Rgb565(std::int32_t colour) {
  const auto bits = static_cast<std::uint32_t>(colour);
  const std::uint32_t red = bits & 0xFF;
  const std::uint32_t green = (bits >> 8) & 0xFF;
  const std::uint32_t blue = (bits >> 16) & 0xFF;
  return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

static_assert(Rgb565(0xFFFFFF) == 0xFFFF);
static_assert(Rgb565(0x0000FF) == 0xF800);  // red
static_assert(Rgb565(0x00FF00) == 0x07E0);  // green
static_assert(Rgb565(0xFF0000) == 0x001F);  // blue

// A panel colour as a project colour, each channel widened by repeating its top bits, so
// white stays white and every colour goes back to itself through Rgb565.
constexpr std::int32_t ColourFromRgb565(std::uint16_t value) {
  const std::uint32_t red5 = (value >> 11) & 0x1F;
  const std::uint32_t green6 = (value >> 5) & 0x3F;
  const std::uint32_t blue5 = value & 0x1F;
  const std::uint32_t red = (red5 << 3) | (red5 >> 2);
  const std::uint32_t green = (green6 << 2) | (green6 >> 4);
  const std::uint32_t blue = (blue5 << 3) | (blue5 >> 2);
  return static_cast<std::int32_t>(red | (green << 8) | (blue << 16));
}

static_assert(ColourFromRgb565(0xFFFF) == 0xFFFFFF);
static_assert(ColourFromRgb565(0xF800) == 0x0000FF);
static_assert(Rgb565(ColourFromRgb565(0x1234)) == 0x1234);

}  // namespace dravik::compiler
