#pragma once
// Decoding and encoding of the picture files the picture library keeps (BMP and JPEG).
// This is the only place that parses picture bytes, so it is where the limits live: a
// picture file comes from anywhere, and a header must never make us allocate, loop or
// read beyond what the file itself can back.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::platform {

// A decoded picture: 24-bit colour, rows from the top, each row from the left, three
// bytes per pixel in the order red, green, blue, no padding.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes

  bool empty() const { return width <= 0 || height <= 0; }
  std::size_t PixelOffset(int x, int y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(x)) *
           3;
  }
  bool operator==(const RgbImage&) const = default;
};

// Limits on what a picture may claim before anything is allocated for it. The panel's
// largest screen is far below them; they only keep a damaged or hostile header (say
// 60000 x 60000 pixels, 10 GB of colour) from exhausting memory. 8192 pixels a side and
// 16 Mpixels (48 MB of colour) at most.
inline constexpr int kMaxPictureSide = 8192;
inline constexpr std::int64_t kMaxPicturePixels = 16LL * 1024 * 1024;
// Picture files larger than this are refused before they are read (a 16 Mpixel 32-bit
// BMP is 64 MB plus its headers).
inline constexpr std::int64_t kMaxPictureFileBytes = 80LL * 1024 * 1024;

// The messages shown for a picture that cannot be decoded.
extern const Bilingual kBmpFormatError;  // "BMP 图像格式异常 ！" / "BMP Image Format Exception"
extern const Bilingual kJpegFormatError;  // the same for JPEG

// Why a decode failed: `message` is what the user sees, `detail` says what exactly was
// wrong (for logs and tests; English, not translated).
struct DecodeError {
  Bilingual message;
  std::string detail;
};

struct DecodeResult {
  RgbImage image;
  bool ok = false;
  DecodeError error;  // meaningful when !ok
};

// BMP: BITMAPCOREHEADER (OS/2) and BITMAPINFOHEADER up to V5; 1, 4 and 8 bits with a
// palette, 16 bits (5-5-5 or bit fields), 24 bits, 32 bits (BGRX or bit fields); rows
// bottom-up or top-down. Compressed bitmaps (RLE, embedded JPEG/PNG) are refused. Bytes
// after the pixel rows are ignored.
DecodeResult DecodeBmp(std::span<const std::uint8_t> file);

// JPEG through libjpeg-turbo. Every warning counts as an error, so a truncated file or a
// corrupt stream is refused instead of showing a half-grey picture.
DecodeResult DecodeJpeg(std::span<const std::uint8_t> file);

// A 24-bit, bottom-up, uncompressed BMP file (BITMAPINFOHEADER, 96 dpi).
std::vector<std::uint8_t> EncodeBmp(const RgbImage& image);

// A baseline JPEG file, 4:2:0 subsampling.
inline constexpr int kDefaultJpegQuality = 90;
Result<std::vector<std::uint8_t>> EncodeJpeg(const RgbImage& image,
                                             int quality = kDefaultJpegQuality);

}  // namespace dravik::platform
