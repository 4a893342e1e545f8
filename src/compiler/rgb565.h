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

}  // namespace dravik::compiler
