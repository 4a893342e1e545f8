#include "platform/image_codec.h"

#include <turbojpeg.h>

#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

namespace dravik::platform {

const Bilingual kBmpFormatError{"BMP 图像格式异常 ！", "BMP Image Format Exception"};
const Bilingual kJpegFormatError{"JPEG 图像格式异常 ！", "JPEG Image Format Exception"};

namespace {

DecodeResult Fail(const Bilingual& message, std::string detail) {
  DecodeResult result;
  result.error = {message, std::move(detail)};
  return result;
}

DecodeResult Succeed(RgbImage image) {
  DecodeResult result;
  result.image = std::move(image);
  result.ok = true;
  return result;
}

// Checks the claimed size against the limits before anything is allocated for it.
std::optional<std::string> SizeProblem(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return "the picture has no pixels";
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    return "the picture claims " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, more than the limit of " + std::to_string(kMaxPictureSide) + " a side and " +
           std::to_string(kMaxPicturePixels) + " pixels";
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// BMP

// Bounds-checked little-endian reads from the file.
class LeReader {
 public:
  explicit LeReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  std::uint16_t U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
  }
  std::uint32_t U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes_[offset]) |
           (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
  }
  std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Compression codes of the info header.
constexpr std::uint32_t kBiRgb = 0;             // uncompressed
constexpr std::uint32_t kBiBitfields = 3;       // uncompressed, channel masks given
constexpr std::uint32_t kBiAlphaBitfields = 6;  // the same with an alpha mask

// Info header sizes: OS/2 core header, then the Windows headers from v1 to v5 (52 and 56
// are the v2/v3 headers some tools write with the masks inside the header).
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kFileHeaderSize = 14;

// Extracts one channel from a pixel word by its mask and scales it to 8 bits.
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    max_ = mask >> shift_;  // highest value the channel can hold
  }
  std::uint8_t Get(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  std::uint64_t max_ = 0;
};

struct BmpLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive here
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::array<Channel, 3> channels;    // red, green, blue for 16 and 32 bits
  std::vector<std::uint8_t> palette;  // red, green, blue per entry
  std::size_t pixelOffset = 0;
};

std::optional<std::string> ReadBmpLayout(std::span<const std::uint8_t> file, BmpLayout& layout) {
  LeReader r(file);
  if (file.empty()) return "the file is empty";
  if (!r.Has(0, kFileHeaderSize + 4)) return "the file is too short for a BMP header";
  if (file[0] != 'B' || file[1] != 'M') return "the file does not start with \"BM\"";
  std::uint32_t pixelOffset = r.U32(10);
  std::uint32_t infoSize = r.U32(14);
  const std::size_t info = kFileHeaderSize;

  std::size_t paletteEntrySize = 4;
  std::uint32_t colorsUsed = 0;
  std::size_t afterHeader = 0;
  if (infoSize == kCoreHeaderSize) {
    if (!r.Has(info, kCoreHeaderSize)) return "the core header is cut short";
    layout.width = r.U16(info + 4);
    layout.height = r.U16(info + 6);
    if (r.U16(info + 8) != 1) return "the number of planes is not 1";
    layout.bitCount = r.U16(info + 10);
    paletteEntrySize = 3;
    afterHeader = info + kCoreHeaderSize;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
             infoSize == 124) {
    if (!r.Has(info, infoSize)) return "the info header is cut short";
    layout.width = r.I32(info + 4);
    std::int64_t height = r.I32(info + 8);
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    if (r.U16(info + 12) != 1) return "the number of planes is not 1";
    layout.bitCount = r.U16(info + 14);
    layout.compression = r.U32(info + 16);
    colorsUsed = r.U32(info + 32);
    afterHeader = info + infoSize;
  } else {
    return "unknown info header size " + std::to_string(infoSize);
  }

  if (auto problem = SizeProblem(layout.width, layout.height)) return problem;
  int bits = layout.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return "unsupported bit depth " + std::to_string(bits);
  }

  bool masked = layout.compression == kBiBitfields || layout.compression == kBiAlphaBitfields;
  if (layout.compression != kBiRgb && !(masked && (bits == 16 || bits == 32))) {
    return "unsupported compression " + std::to_string(layout.compression) + " at " +
           std::to_string(bits) + " bits";
  }
  if (masked) {
    // Version 1 headers keep the masks after the header; later ones inside it.
    std::size_t maskAt = info + 40;
    if (infoSize == 40) {
      std::size_t maskCount = layout.compression == kBiAlphaBitfields ? 4 : 3;
      if (!r.Has(maskAt, 4 * maskCount)) return "the colour masks are cut short";
      afterHeader += 4 * maskCount;
    }
    for (int c = 0; c < 3; ++c) layout.channels[c] = Channel(r.U32(maskAt + 4 * c));
  } else if (bits == 16) {
    layout.channels = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
  } else if (bits == 32) {
    layout.channels = {Channel(0xFF0000), Channel(0x00FF00), Channel(0x0000FF)};
  }

  if (bits <= 8) {
    std::uint32_t full = 1u << bits;
    std::uint32_t entries = (colorsUsed == 0 || colorsUsed > full) ? full : colorsUsed;
    // Some writers store fewer entries than the depth allows and say so only through the
    // pixel offset; take what lies between the header and the pixels.
    if (pixelOffset > afterHeader) {
      std::size_t room = (pixelOffset - afterHeader) / paletteEntrySize;
      if (room < entries) entries = static_cast<std::uint32_t>(room);
    }
    if (entries == 0 || !r.Has(afterHeader, entries * paletteEntrySize)) {
      return "the palette is missing or cut short";
    }
    layout.palette.resize(std::size_t{full} * 3, 0);  // indices past the palette are black
    for (std::uint32_t i = 0; i < entries; ++i) {
      std::size_t at = afterHeader + i * paletteEntrySize;
      layout.palette[i * 3 + 0] = file[at + 2];
      layout.palette[i * 3 + 1] = file[at + 1];
      layout.palette[i * 3 + 2] = file[at + 0];
    }
    afterHeader += entries * paletteEntrySize;
  }

  if (pixelOffset < afterHeader) {
    return "the pixel offset " + std::to_string(pixelOffset) + " points into the headers";
  }
  layout.pixelOffset = pixelOffset;
  std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) * bits + 31) / 32 * 4;
  std::uint64_t needed = stride * static_cast<std::uint64_t>(layout.height);
  if (pixelOffset > file.size() || needed > file.size() - pixelOffset) {
    return "the pixel rows need " + std::to_string(needed) + " bytes from offset " +
           std::to_string(pixelOffset) + " but the file has " + std::to_string(file.size());
  }
  return std::nullopt;
}

}  // namespace

DecodeResult DecodeBmp(std::span<const std::uint8_t> file) {
  BmpLayout layout;
  if (auto problem = ReadBmpLayout(file, layout)) return Fail(kBmpFormatError, *problem);

  RgbImage image;
  image.width = static_cast<int>(layout.width);
  image.height = static_cast<int>(layout.height);
  image.rgb.resize(static_cast<std::size_t>(layout.width * layout.height) * 3);

  const int bits = layout.bitCount;
  const std::size_t stride = (static_cast<std::size_t>(layout.width) * bits + 31) / 32 * 4;
  for (int y = 0; y < image.height; ++y) {
    int fileRow = layout.topDown ? y : image.height - 1 - y;
    const std::uint8_t* row = file.data() + layout.pixelOffset + stride * fileRow;
    std::uint8_t* out = image.rgb.data() + image.PixelOffset(0, y);
    for (int x = 0; x < image.width; ++x, out += 3) {
      if (bits <= 8) {
        std::size_t bitPos = static_cast<std::size_t>(x) * bits;
        unsigned byte = row[bitPos / 8];
        unsigned index = (byte >> (8 - bits - bitPos % 8)) & ((1u << bits) - 1);
        std::memcpy(out, &layout.palette[index * 3], 3);
      } else if (bits == 24) {
        const std::uint8_t* p = row + static_cast<std::size_t>(x) * 3;
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
      } else {
        std::uint32_t pixel;
        if (bits == 16) {
          const std::uint8_t* p = row + static_cast<std::size_t>(x) * 2;
          pixel = static_cast<std::uint32_t>(p[0] | (p[1] << 8));
        } else {
          const std::uint8_t* p = row + static_cast<std::size_t>(x) * 4;
          pixel = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                  (static_cast<std::uint32_t>(p[2]) << 16) |
                  (static_cast<std::uint32_t>(p[3]) << 24);
        }
        for (int c = 0; c < 3; ++c) out[c] = layout.channels[c].Get(pixel);
      }
    }
  }
  return Succeed(std::move(image));
}

std::vector<std::uint8_t> EncodeBmp(const RgbImage& image) {
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
  const std::size_t pixelBytes = stride * static_cast<std::size_t>(image.height);
  const std::size_t headers = kFileHeaderSize + 40;
  std::vector<std::uint8_t> file(headers + pixelBytes, 0);

  auto put16 = [&](std::size_t at, std::uint32_t v) {
    file[at] = static_cast<std::uint8_t>(v);
    file[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  constexpr std::uint32_t k96DpiInMetres = 3780;
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, static_cast<std::uint32_t>(headers));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(image.width));
  put32(22, static_cast<std::uint32_t>(image.height));
  put16(26, 1);   // planes
  put16(28, 24);  // bits per pixel
  put32(30, kBiRgb);
  put32(34, static_cast<std::uint32_t>(pixelBytes));
  put32(38, k96DpiInMetres);
  put32(42, k96DpiInMetres);

  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* in = image.rgb.data() + image.PixelOffset(0, y);
    std::uint8_t* out = file.data() + headers + stride * (image.height - 1 - y);
    for (int x = 0; x < image.width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  return file;
}

// ---------------------------------------------------------------------------------------
// JPEG

namespace {

struct TjHandleCloser {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjHandleCloser>;

std::string TjErrorText(tjhandle handle) {
  const char* text = tjGetErrorStr2(handle);
  return text != nullptr ? text : "unknown libjpeg-turbo error";
}

}  // namespace

DecodeResult DecodeJpeg(std::span<const std::uint8_t> file) {
  if (file.empty()) return Fail(kJpegFormatError, "the file is empty");
  if (file.size() > static_cast<std::uint64_t>(std::numeric_limits<unsigned long>::max())) {
    return Fail(kJpegFormatError, "the file is too large");
  }
  TjHandle handle(tjInitDecompress());
  if (!handle) return Fail(kJpegFormatError, "libjpeg-turbo could not start a decoder");

  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle.get(), file.data(), static_cast<unsigned long>(file.size()),
                          &width, &height, &subsampling, &colorspace) != 0) {
    return Fail(kJpegFormatError, TjErrorText(handle.get()));
  }
  if (auto problem = SizeProblem(width, height)) return Fail(kJpegFormatError, *problem);

  RgbImage image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  // Warnings (a cut-off file, corrupt data) stop the decode: a picture that is only partly
  // there must not be stored in the device image as if it were whole. The scan limit
  // keeps a crafted progressive file from taking minutes.
  const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
  if (tjDecompress2(handle.get(), file.data(), static_cast<unsigned long>(file.size()),
                    image.rgb.data(), width, 0, height, TJPF_RGB, flags) != 0) {
    return Fail(kJpegFormatError, TjErrorText(handle.get()));
  }
  return Succeed(std::move(image));
}

Result<std::vector<std::uint8_t>> EncodeJpeg(const RgbImage& image, int quality) {
  if (image.empty() || image.rgb.size() != static_cast<std::size_t>(image.width) *
                                               static_cast<std::size_t>(image.height) * 3) {
    return Error{"JPEG encoder: the picture has no pixels or a wrong buffer size"};
  }
  TjHandle handle(tjInitCompress());
  if (!handle) return Error{"JPEG encoder: libjpeg-turbo could not start a compressor"};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (tjCompress2(handle.get(), image.rgb.data(), image.width, 0, image.height, TJPF_RGB, &buffer,
                  &size, TJSAMP_420, quality, 0) != 0) {
    std::string text = TjErrorText(handle.get());
    tjFree(buffer);
    return Error{"JPEG encoder: " + text};
  }
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  tjFree(buffer);
  return bytes;
}

}  // namespace dravik::platform
