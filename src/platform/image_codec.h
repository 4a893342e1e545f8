#pragma once
// Decoding and encoding of the picture files the picture library keeps (BMP and JPEG).
// This is the only place that parses picture bytes, so it is where the limits live: a
// picture file comes from anywhere, and a header must never make us allocate, loop or
// read beyond what the file itself can back.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
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

// Why a decode failed: `message` is what the user sees, `reason` says what exactly was
// wrong in both languages, and `detail` is its English text (for logs and tests).
struct DecodeError {
  DecodeError() = default;
  DecodeError(Bilingual message, Bilingual reason)
      : message(std::move(message)), reason(std::move(reason)), detail(this->reason.english) {}
  // A reason known in English only reads the same in both languages.
  DecodeError(Bilingual message, std::string detail)
      : message(std::move(message)), reason{detail, detail}, detail(std::move(detail)) {}

  Bilingual message;
  Bilingual reason;
  std::string detail;
};

struct DecodeResult {
  RgbImage image;
  bool ok = false;
  DecodeError error;  // meaningful when !ok
};

// BMP: BITMAPCOREHEADER (OS/2) and BITMAPINFOHEADER up to V5; 1, 4 and 8 bits with a
// palette, 16 bits (5-5-5 or bit fields), 24 bits, 32 bits (BGRX or bit fields); rows
// bottom-up or top-down. Bytes after the pixel rows are ignored.
//
// RLE8 and RLE4 palette bitmaps (bottom-up, as the format requires) are decoded with all
// their codes: encoded and absolute runs, end of line, end of bitmap and delta. Pixels no
// code writes keep palette index 0. A run or delta that reaches past the bitmap is clipped
// at its edge rather than refused: encoders round RLE4 runs up to whole bytes, so a run one
// pixel longer than the row is common and harmless, and nothing outside the bitmap is ever
// written. Data that ends before the end-of-bitmap code is refused, like any cut file.
// Other compressions (embedded JPEG/PNG) are refused.
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
