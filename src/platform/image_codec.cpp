#include "platform/image_codec.h"

#include <turbojpeg.h>

#include <algorithm>
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

// What exactly is wrong with a picture file, in both languages; nothing when all is well.
using Problem = std::optional<Bilingual>;

DecodeResult Fail(const Bilingual& message, Bilingual reason) {
  DecodeResult result;
  result.error = DecodeError(message, std::move(reason));
  return result;
}

DecodeResult Succeed(RgbImage image) {
  DecodeResult result;
  result.image = std::move(image);
  result.ok = true;
  return result;
}

// Checks the claimed size against the limits before anything is allocated for it.
Problem SizeProblem(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return Bilingual{"图片没有像素", "the picture has no pixels"};
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    const std::string side = std::to_string(kMaxPictureSide);
    const std::string pixels = std::to_string(kMaxPicturePixels);
    return Bilingual{
        "图片声称有 " + size + " 个像素，超过每边 " + side + "、共 " + pixels + " 个像素的上限",
        "the picture claims " + size + " pixels, more than the limit of " + side + " a side and " +
            pixels + " pixels"};
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
constexpr std::uint32_t kBiRle8 = 1;            // run-length encoded, 8 bits per pixel
constexpr std::uint32_t kBiRle4 = 2;            // run-length encoded, 4 bits per pixel
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

  bool RunLengthEncoded() const { return compression == kBiRle8 || compression == kBiRle4; }
};

Problem PlanesProblem(std::uint16_t planes) {
  if (planes == 1) return std::nullopt;
  return Bilingual{"位面数不是 1", "the number of planes is not 1"};
}

// RLE8 goes with 8 bits per pixel and RLE4 with 4; the masks with 16 and 32.
bool CompressionFits(std::uint32_t compression, int bits) {
  switch (compression) {
    case kBiRgb:
      return true;
    case kBiRle8:
      return bits == 8;
    case kBiRle4:
      return bits == 4;
    case kBiBitfields:
    case kBiAlphaBitfields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

Problem ReadBmpLayout(std::span<const std::uint8_t> file, BmpLayout& layout) {
  LeReader r(file);
  if (file.empty()) return Bilingual{"文件是空的", "the file is empty"};
  if (!r.Has(0, kFileHeaderSize + 4)) {
    return Bilingual{"文件太短，容不下 BMP 文件头", "the file is too short for a BMP header"};
  }
  if (file[0] != 'B' || file[1] != 'M') {
    return Bilingual{"文件不是以 \"BM\" 开头", "the file does not start with \"BM\""};
  }
  std::uint32_t pixelOffset = r.U32(10);
  std::uint32_t infoSize = r.U32(14);
  const std::size_t info = kFileHeaderSize;

  std::size_t paletteEntrySize = 4;
  std::uint32_t colorsUsed = 0;
  std::size_t afterHeader = 0;
  if (infoSize == kCoreHeaderSize) {
    if (!r.Has(info, kCoreHeaderSize)) {
      return Bilingual{"核心信息头不完整", "the core header is cut short"};
    }
    layout.width = r.U16(info + 4);
    layout.height = r.U16(info + 6);
    if (auto problem = PlanesProblem(r.U16(info + 8))) return problem;
    layout.bitCount = r.U16(info + 10);
    paletteEntrySize = 3;
    afterHeader = info + kCoreHeaderSize;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
             infoSize == 124) {
    if (!r.Has(info, infoSize)) return Bilingual{"信息头不完整", "the info header is cut short"};
    layout.width = r.I32(info + 4);
    std::int64_t height = r.I32(info + 8);
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    if (auto problem = PlanesProblem(r.U16(info + 12))) return problem;
    layout.bitCount = r.U16(info + 14);
    layout.compression = r.U32(info + 16);
    colorsUsed = r.U32(info + 32);
    afterHeader = info + infoSize;
  } else {
    const std::string size = std::to_string(infoSize);
    return Bilingual{"未知的信息头大小 " + size, "unknown info header size " + size};
  }

  if (auto problem = SizeProblem(layout.width, layout.height)) return problem;
  int bits = layout.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    const std::string depth = std::to_string(bits);
    return Bilingual{"不支持的位深度 " + depth, "unsupported bit depth " + depth};
  }

  bool masked = layout.compression == kBiBitfields || layout.compression == kBiAlphaBitfields;
  if (!CompressionFits(layout.compression, bits)) {
    const std::string code = std::to_string(layout.compression);
    const std::string depth = std::to_string(bits);
    return Bilingual{"不支持的压缩方式 " + code + "（" + depth + " 位）",
                     "unsupported compression " + code + " at " + depth + " bits"};
  }
  // The format knows compressed rows only from the bottom up.
  if (layout.RunLengthEncoded() && layout.topDown) {
    return Bilingual{"压缩位图不能自上而下存储", "a compressed bitmap cannot be stored top-down"};
  }
  if (masked) {
    // Version 1 headers keep the masks after the header; later ones inside it.
    std::size_t maskAt = info + 40;
    if (infoSize == 40) {
      std::size_t maskCount = layout.compression == kBiAlphaBitfields ? 4 : 3;
      if (!r.Has(maskAt, 4 * maskCount)) {
        return Bilingual{"颜色掩码不完整", "the colour masks are cut short"};
      }
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
      return Bilingual{"调色板缺失或不完整", "the palette is missing or cut short"};
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

  const std::string offset = std::to_string(pixelOffset);
  if (pixelOffset < afterHeader) {
    return Bilingual{"像素偏移 " + offset + " 指向文件头内部",
                     "the pixel offset " + offset + " points into the headers"};
  }
  layout.pixelOffset = pixelOffset;
  // Run-length data has no fixed size: the decoder keeps within what the file holds.
  std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) * bits + 31) / 32 * 4;
  std::uint64_t needed =
      layout.RunLengthEncoded() ? 0 : stride * static_cast<std::uint64_t>(layout.height);
  if (pixelOffset > file.size() || needed > file.size() - pixelOffset) {
    const std::string bytes = std::to_string(needed);
    const std::string size = std::to_string(file.size());
    return Bilingual{
        "像素行从偏移 " + offset + " 起需要 " + bytes + " 字节，但文件只有 " + size + " 字节",
        "the pixel rows need " + bytes + " bytes from offset " + offset + " but the file has " +
            size};
  }
  return std::nullopt;
}

// The palette indices of an RLE8 or RLE4 bitmap, `width` x `height`, row 0 the bottom row
// as the file stores it. Every code is read within `data`; writes are clipped to the
// bitmap, and positions never move past its edge, so no run count or delta can reach
// outside it and the work stays in proportion to the data and the pixels.
class RleDecoder {
 public:
  RleDecoder(std::span<const std::uint8_t> data, int width, int height, int bits)
      : data_(data),
        width_(width),
        height_(height),
        bits_(bits),
        indices_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

  Problem Decode() {
    for (;;) {
      if (!Has(2)) return CutShort();
      const int count = data_[at_];
      const int code = data_[at_ + 1];
      at_ += 2;
      if (count > 0) {
        EncodedRun(count, static_cast<std::uint8_t>(code));
        continue;
      }
      switch (code) {
        case kEndOfLine:
          x_ = 0;
          y_ = std::min(y_ + 1, height_);
          break;
        case kEndOfBitmap:
          return std::nullopt;
        case kDelta:
          if (!Has(2)) return CutShort();
          x_ = std::min(x_ + data_[at_], width_);
          y_ = std::min(y_ + data_[at_ + 1], height_);
          at_ += 2;
          break;
        default:
          if (!AbsoluteRun(code)) return CutShort();
          break;
      }
    }
  }

  // Row 0 is the bottom row.
  std::uint8_t Index(int x, int y) const {
    return indices_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                    static_cast<std::size_t>(x)];
  }

 private:
  // Escape codes after a zero count.
  static constexpr int kEndOfLine = 0;
  static constexpr int kEndOfBitmap = 1;
  static constexpr int kDelta = 2;  // followed by the steps right and up

  bool Has(std::size_t count) const { return count <= data_.size() - at_; }

  static Problem CutShort() {
    return Bilingual{"RLE 数据在位图结束标记之前中断",
                     "the RLE data ends before its end-of-bitmap mark"};
  }

  // How many of the next `count` pixels of this row lie inside the bitmap (the position
  // then moves on by all of them, up to the right edge).
  int PixelsInside(int count) const { return y_ < height_ ? std::min(count, width_ - x_) : 0; }
  void Put(int index) {
    indices_[static_cast<std::size_t>(y_) * static_cast<std::size_t>(width_) +
             static_cast<std::size_t>(x_)] = static_cast<std::uint8_t>(index);
    ++x_;
  }

  // `count` pixels of one index (RLE8), or of the two nibbles by turns, high first (RLE4).
  void EncodedRun(int count, std::uint8_t value) {
    const int inside = PixelsInside(count);
    for (int i = 0; i < inside; ++i) {
      Put(bits_ == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
    }
    x_ = std::min(x_ + (count - inside), width_);
  }

  // `count` indices as they stand, padded to a 16-bit boundary.
  bool AbsoluteRun(int count) {
    const std::size_t bytes =
        bits_ == 8 ? static_cast<std::size_t>(count) : static_cast<std::size_t>(count + 1) / 2;
    const std::size_t padded = bytes + (bytes & 1);
    if (!Has(padded)) return false;
    const int inside = PixelsInside(count);
    for (int i = 0; i < inside; ++i) {
      const std::uint8_t byte =
          data_[at_ + (bits_ == 8 ? static_cast<std::size_t>(i) : static_cast<std::size_t>(i / 2))];
      Put(bits_ == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F));
    }
    x_ = std::min(x_ + (count - inside), width_);
    at_ += padded;
    return true;
  }

  std::span<const std::uint8_t> data_;
  int width_;
  int height_;
  int bits_;
  std::vector<std::uint8_t> indices_;
  std::size_t at_ = 0;
  int x_ = 0;
  int y_ = 0;
};

// The bitmap's pixels from its palette indices, rows from the top.
RgbImage PaletteImage(const RleDecoder& decoder, const BmpLayout& layout) {
  RgbImage image;
  image.width = static_cast<int>(layout.width);
  image.height = static_cast<int>(layout.height);
  image.rgb.resize(static_cast<std::size_t>(layout.width * layout.height) * 3);
  for (int y = 0; y < image.height; ++y) {
    std::uint8_t* out = image.rgb.data() + image.PixelOffset(0, y);
    for (int x = 0; x < image.width; ++x, out += 3) {
      std::memcpy(out, &layout.palette[decoder.Index(x, image.height - 1 - y) * 3u], 3);
    }
  }
  return image;
}

DecodeResult DecodeRunLengths(std::span<const std::uint8_t> file, const BmpLayout& layout) {
  RleDecoder decoder(file.subspan(layout.pixelOffset), static_cast<int>(layout.width),
                     static_cast<int>(layout.height), layout.bitCount);
  if (auto problem = decoder.Decode()) return Fail(kBmpFormatError, std::move(*problem));
  return Succeed(PaletteImage(decoder, layout));
}

}  // namespace

DecodeResult DecodeBmp(std::span<const std::uint8_t> file) {
  BmpLayout layout;
  if (auto problem = ReadBmpLayout(file, layout)) return Fail(kBmpFormatError, *problem);
  if (layout.RunLengthEncoded()) return DecodeRunLengths(file, layout);

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

// libjpeg-turbo speaks English only; the Chinese form says whose words follow.
Bilingual TjErrorText(tjhandle handle) {
  const char* text = tjGetErrorStr2(handle);
  const std::string said = text != nullptr ? text : "unknown libjpeg-turbo error";
  return {"libjpeg-turbo 报告：" + said, said};
}

}  // namespace

DecodeResult DecodeJpeg(std::span<const std::uint8_t> file) {
  if (file.empty()) return Fail(kJpegFormatError, {"文件是空的", "the file is empty"});
  if (file.size() > static_cast<std::uint64_t>(std::numeric_limits<unsigned long>::max())) {
    return Fail(kJpegFormatError, {"文件太大", "the file is too large"});
  }
  TjHandle handle(tjInitDecompress());
  if (!handle) {
    return Fail(kJpegFormatError,
                {"libjpeg-turbo 无法启动解码器", "libjpeg-turbo could not start a decoder"});
  }

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
    return Error{Bilingual{"JPEG 编码器：图片没有像素或缓冲区大小不对",
                           "JPEG encoder: the picture has no pixels or a wrong buffer size"}};
  }
  TjHandle handle(tjInitCompress());
  if (!handle) {
    return Error{Bilingual{"JPEG 编码器：libjpeg-turbo 无法启动压缩器",
                           "JPEG encoder: libjpeg-turbo could not start a compressor"}};
  }
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (tjCompress2(handle.get(), image.rgb.data(), image.width, 0, image.height, TJPF_RGB, &buffer,
                  &size, TJSAMP_420, quality, 0) != 0) {
    const Bilingual text = TjErrorText(handle.get());
    tjFree(buffer);
    return Error{Bilingual{"JPEG 编码器：" + text.chinese, "JPEG encoder: " + text.english}};
  }
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  tjFree(buffer);
  return bytes;
}

}  // namespace dravik::platform
