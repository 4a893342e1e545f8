#pragma once
// The picture operations of the library window and the text renderers. Each changes the
// picture in place, as the editing commands expect.

#include <cstdint>

#include "platform/image_codec.h"

namespace dravik::pictures {

using platform::RgbImage;

// Inverts every colour (255 - value in each channel).
void InvertColours(RgbImage& image);

// Mirrors left-right.
void MirrorLeftRight(RgbImage& image);

// Mirrors top-bottom.
void MirrorTopBottom(RgbImage& image);

// Rotates by 90 degrees clockwise: width and height swap, the old left column becomes the
// top row.
void RotateClockwise90(RgbImage& image);

// Reduces the picture to two colours: every pixel becomes whichever of `textColor` and
// `backColor` lies nearer in RGB space (a tie goes to the background, so a smooth
// background never turns into text). Colours are 0x00BBGGRR values, red in the low byte.
void ReduceToTwoColours(RgbImage& image, std::uint32_t textColor, std::uint32_t backColor);

// The stretch dialog's limits.
inline constexpr int kStretchMinSide = 8;
inline constexpr int kStretchMaxWidth = 1280;
inline constexpr int kStretchMaxHeight = 1024;

// Draws the picture stretched to width x height (each clamped to the dialog's limits),
// nearest pixel, as a bitmap drawn stretched onto a canvas does. An empty picture stays
// empty.
void StretchPicture(RgbImage& image, int width, int height);

}  // namespace dravik::pictures
