#pragma once
// Picture files made inside the tests: BMP files written byte by byte here (independent
// of the encoder under test) in every depth and row order, and JPEG files.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/image_codec.h"

namespace dravik::test {

using platform::RgbImage;

// Colours every BMP depth holds exactly (each channel 0 or 255).
inline constexpr std::array<std::array<std::uint8_t, 3>, 8> kPureColours = {{
    {0, 0, 0},
    {255, 255, 255},
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {0, 255, 255},
    {255, 0, 255},
    {255, 255, 0},
}};

inline int PatternIndex(int x, int y, int colours) {
  return (x * 3 + y * 5 + x * y) % colours;
}

// A picture whose pixel (x, y) is kPureColours[PatternIndex(x, y, colours)].
inline RgbImage PatternImage(int width, int height, int colours = 8) {
  RgbImage image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto& c = kPureColours[PatternIndex(x, y, colours)];
      image.rgb.insert(image.rgb.end(), c.begin(), c.end());
    }
  }
  return image;
}

// A smooth picture for JPEG, which would blur sharp patterns.
inline RgbImage GradientImage(int width, int height) {
  RgbImage image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.rgb.push_back(static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1)));
      image.rgb.push_back(static_cast<std::uint8_t>(y * 255 / (height > 1 ? height - 1 : 1)));
      image.rgb.push_back(128);
    }
  }
  return image;
}

struct BmpLayout {
  int bits = 24;
  bool topDown = false;
  int infoSize = 40;       // 12 (OS/2 core), 40 or 124 (v5)
  bool bitfields = false;  // 16 bits: 5-6-5 masks; 32 bits: R, G, B, A byte order
  int paletteEntries = 0;  // 0: the full palette of the depth
  int trailingBytes = 0;   // junk after the pixel rows
};

inline int ColoursFor(int bits) {
  return bits <= 8 ? ((1 << bits) < 8 ? (1 << bits) : 8) : 8;
}

// The BMP file of PatternImage(width, height, ColoursFor(layout.bits)).
inline std::vector<std::uint8_t> MakeBmp(const BmpLayout& layout, int width, int height) {
  std::vector<std::uint8_t> f;
  auto u16 = [&f](unsigned v) {
    f.push_back(static_cast<std::uint8_t>(v));
    f.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto u32 = [&f](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const int bits = layout.bits;
  const int colours = ColoursFor(bits);
  const bool core = layout.infoSize == 12;
  const int paletteCount = bits <= 8 ? (layout.paletteEntries ? layout.paletteEntries : 1 << bits) : 0;
  const int paletteEntrySize = core ? 3 : 4;
  const bool masksAfterHeader = layout.bitfields && layout.infoSize == 40;
  const std::uint32_t masks16[3] = {0xF800, 0x07E0, 0x001F};
  const std::uint32_t masks32[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  const std::uint32_t* masks = bits == 16 ? masks16 : masks32;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const std::uint32_t offBits =
      14 + layout.infoSize + (masksAfterHeader ? 12 : 0) + paletteCount * paletteEntrySize;
  const std::uint32_t fileSize = offBits + static_cast<std::uint32_t>(stride * height) +
                                 static_cast<std::uint32_t>(layout.trailingBytes);

  f.push_back('B');
  f.push_back('M');
  u32(fileSize);
  u32(0);
  u32(offBits);
  u32(static_cast<std::uint32_t>(layout.infoSize));
  if (core) {
    u16(static_cast<unsigned>(width));
    u16(static_cast<unsigned>(height));
    u16(1);
    u16(static_cast<unsigned>(bits));
  } else {
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(layout.topDown ? -height : height));
    u16(1);
    u16(static_cast<unsigned>(bits));
    u32(layout.bitfields ? 3 : 0);
    u32(static_cast<std::uint32_t>(stride * height));
    u32(2835);
    u32(2835);
    u32(static_cast<std::uint32_t>(layout.paletteEntries));
    u32(0);
    if (layout.infoSize == 124) {
      for (int i = 0; i < 4; ++i) u32(layout.bitfields ? masks[i] : 0);
      while (f.size() < 14 + 124) f.push_back(0);
    }
  }
  if (masksAfterHeader) {
    for (int i = 0; i < 3; ++i) u32(masks[i]);
  }
  for (int i = 0; i < paletteCount; ++i) {
    std::array<std::uint8_t, 3> c =
        i < colours ? kPureColours[i] : std::array<std::uint8_t, 3>{90, 90, 90};
    f.push_back(c[2]);
    f.push_back(c[1]);
    f.push_back(c[0]);
    if (!core) f.push_back(0);
  }
  for (int row = 0; row < height; ++row) {
    const int y = layout.topDown ? row : height - 1 - row;  // core headers: never top-down
    std::vector<std::uint8_t> line(stride, 0);
    for (int x = 0; x < width; ++x) {
      const int index = PatternIndex(x, y, colours);
      const auto& c = kPureColours[index];
      if (bits <= 8) {
        const std::size_t bitPos = static_cast<std::size_t>(x) * bits;
        line[bitPos / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bitPos % 8));
      } else if (bits == 16) {
        unsigned v = layout.bitfields ? ((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3)
                                    : ((c[0] >> 3) << 10) | ((c[1] >> 3) << 5) | (c[2] >> 3);
        line[x * 2] = static_cast<std::uint8_t>(v);
        line[x * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
      } else if (bits == 24) {
        line[x * 3] = c[2];
        line[x * 3 + 1] = c[1];
        line[x * 3 + 2] = c[0];
      } else if (layout.bitfields) {
        line[x * 4] = c[0];
        line[x * 4 + 1] = c[1];
        line[x * 4 + 2] = c[2];
        line[x * 4 + 3] = 0xFF;
      } else {
        line[x * 4] = c[2];
        line[x * 4 + 1] = c[1];
        line[x * 4 + 2] = c[0];
        line[x * 4 + 3] = 0;
      }
    }
    f.insert(f.end(), line.begin(), line.end());
  }
  for (int i = 0; i < layout.trailingBytes; ++i) f.push_back(0xA5);
  return f;
}

inline std::vector<std::uint8_t> MakeJpeg(int width, int height) {
  auto encoded = platform::EncodeJpeg(GradientImage(width, height));
  return encoded.ok() ? encoded.value() : std::vector<std::uint8_t>{};
}

// Patches the size in a JPEG's start-of-frame marker (for headers that lie).
inline void SetJpegSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
  for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      return;
    }
  }
}

// Sets the width and height fields of a BMP with a 40-byte or larger info header.
inline void SetBmpSize(std::vector<std::uint8_t>& bmp, std::int32_t width, std::int32_t height) {
  for (int i = 0; i < 4; ++i) {
    bmp[18 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(width) >> (8 * i));
    bmp[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
  }
}

}  // namespace dravik::test
