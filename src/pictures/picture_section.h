#pragma once
// The picture section of the device image: one count byte, then per picture u16 width,
// u16 height and width x height RGB565 pixels.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/image_codec.h"

namespace dravik::pictures {

// Only pictures with IDs below this number go into the device image.
inline constexpr int kSectionIdLimit = 50;

// A section that has grown past this size can never fit the device image (the compiler's
// buffer is this large and its file limit smaller), so the walk stops after the picture
// that crossed it instead of decoding more; the compiler then refuses the image as too
// large.
inline constexpr std::size_t kSectionStopBytes = 160'004;

// RGB565 of a 24-bit colour: R5 = red >> 3, G6 = green >> 2, B5 = blue >> 3.
constexpr std::uint16_t PackRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// Appends one picture (u16le width, u16le height, the pixels row by row from the top, each
// row from the left, as u16le RGB565) without touching the count byte.
void AppendPicture(std::vector<std::uint8_t>& section, const platform::RgbImage& image);

// The section for the pictures of group 1 with IDs below 50 in the project's picture
// library (".PIC"), in the order the database returns them. A library that cannot be
// read gives the pictures written so far (a lone count byte of 0 when none). A record
// whose picture cannot be decoded (damaged, or neither ".bmp" nor ".jpg") is left out
// and does not count.
std::vector<std::uint8_t> BuildPictureSection(const std::filesystem::path& pictureLibrary);

}  // namespace dravik::pictures
