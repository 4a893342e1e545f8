#include "platform/image_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>

#include "pictures/picture_fixtures.h"

namespace dravik::platform {
namespace {

using test::BmpLayout;
using test::MakeBmp;
using test::MakeJpeg;

struct BmpCase {
  const char* name;
  BmpLayout layout;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }

class BmpDecodeTest : public testing::TestWithParam<BmpCase> {};

TEST_P(BmpDecodeTest, GivesThePixelsWrittenInTheFile) {
  const BmpLayout& layout = GetParam().layout;
  // Widths 1, 5 and 13 make every depth pad its rows differently.
  for (int width : {1, 5, 13}) {
    SCOPED_TRACE(width);
    DecodeResult decoded = DecodeBmp(MakeBmp(layout, width, 3));
    ASSERT_TRUE(decoded.ok) << decoded.error.detail;
    EXPECT_EQ(decoded.image, test::PatternImage(width, 3, test::ColoursFor(layout.bits)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpDecodeTest,
    testing::Values(
        BmpCase{"Bits1BottomUp", {.bits = 1}},
        BmpCase{"Bits1TopDown", {.bits = 1, .topDown = true}},
        BmpCase{"Bits4BottomUp", {.bits = 4}},
        BmpCase{"Bits4TopDown", {.bits = 4, .topDown = true}},
        BmpCase{"Bits8BottomUp", {.bits = 8}},
        BmpCase{"Bits8TopDown", {.bits = 8, .topDown = true}},
        BmpCase{"Bits8ShortPalette", {.bits = 8, .paletteEntries = 8}},
        BmpCase{"Bits8CoreHeader", {.bits = 8, .infoSize = 12}},
        BmpCase{"Bits4CoreHeader", {.bits = 4, .infoSize = 12}},
        BmpCase{"Bits16Rgb555", {.bits = 16}},
        BmpCase{"Bits16Bitfields565TopDown", {.bits = 16, .topDown = true, .bitfields = true}},
        BmpCase{"Bits24BottomUp", {.bits = 24}},
        BmpCase{"Bits24TopDown", {.bits = 24, .topDown = true}},
        BmpCase{"Bits24V5Header", {.bits = 24, .infoSize = 124}},
        BmpCase{"Bits24TrailingBytes", {.bits = 24, .trailingBytes = 2}},
        BmpCase{"Bits32Bgrx", {.bits = 32}},
        BmpCase{"Bits32BitfieldsTopDown", {.bits = 32, .topDown = true, .bitfields = true}},
        BmpCase{"Bits32BitfieldsV5", {.bits = 32, .infoSize = 124, .bitfields = true}}),
    [](const testing::TestParamInfo<BmpCase>& info) { return std::string(info.param.name); });

TEST(BmpEncode, RoundTripsEveryRowPadding) {
  for (int width = 1; width <= 5; ++width) {
    RgbImage image = test::PatternImage(width, 4);
    std::vector<std::uint8_t> file = EncodeBmp(image);
    // 54 bytes of headers, rows padded to four bytes.
    EXPECT_EQ(file.size(), 54 + 4 * ((width * 3 + 3) / 4 * 4));
    DecodeResult decoded = DecodeBmp(file);
    ASSERT_TRUE(decoded.ok) << decoded.error.detail;
    EXPECT_EQ(decoded.image, image);
  }
}

struct DamagedBmp {
  const char* name;
  std::vector<std::uint8_t> bytes;
  const char* detailContains;
};

std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t at,
                                  std::vector<std::uint8_t> with) {
  for (std::size_t i = 0; i < with.size(); ++i) bytes[at + i] = with[i];
  return bytes;
}

std::vector<DamagedBmp> DamagedBmps() {
  const std::vector<std::uint8_t> good = MakeBmp({.bits = 24}, 4, 4);
  const std::vector<std::uint8_t> good8 = MakeBmp({.bits = 8}, 4, 4);
  std::vector<std::uint8_t> huge = good;
  test::SetBmpSize(huge, 60000, 60000);
  std::vector<std::uint8_t> minHeight = good;
  test::SetBmpSize(minHeight, 4, INT32_MIN);
  std::vector<std::uint8_t> cutRows(good.begin(), good.end() - 1);
  return {
      {"empty", {}, "empty"},
      {"signature only", {'B', 'M'}, "too short"},
      {"not a bitmap", Patched(good, 0, {'P', 'K'}), "BM"},
      {"60000 x 60000", huge, "limit"},
      {"height of INT32_MIN", minHeight, "limit"},
      {"zero width", Patched(good, 18, {0, 0, 0, 0}), "no pixels"},
      {"rows cut short", cutRows, "pixel rows"},
      {"two bits per pixel", Patched(good, 28, {2, 0}), "bit depth"},
      {"RLE8 at 24 bits", Patched(good, 30, {1, 0, 0, 0}), "compression"},
      {"RLE4 at 8 bits", Patched(good8, 30, {2, 0, 0, 0}), "compression"},
      {"bit fields at 24 bits", Patched(good, 30, {3, 0, 0, 0}), "compression"},
      {"unknown header size", Patched(good, 14, {41, 0, 0, 0}), "header size"},
      {"pixels inside the headers", Patched(good, 10, {20, 0, 0, 0}), "headers"},
      {"planes", Patched(good, 26, {2, 0}), "planes"},
  };
}

TEST(BmpDecode, DamagedFilesGiveTheFormatMessage) {
  for (const DamagedBmp& c : DamagedBmps()) {
    SCOPED_TRACE(c.name);
    DecodeResult decoded = DecodeBmp(c.bytes);
    EXPECT_FALSE(decoded.ok);
    EXPECT_EQ(decoded.error.message, kBmpFormatError);
    EXPECT_NE(decoded.error.detail.find(c.detailContains), std::string::npos)
        << decoded.error.detail;
    EXPECT_TRUE(decoded.image.rgb.empty());
  }
  EXPECT_EQ(kBmpFormatError.chinese, "BMP 图像格式异常 ！");
  EXPECT_EQ(kBmpFormatError.english, "BMP Image Format Exception");
}

TEST(BmpDecode, ReasonsComeInBothLanguages) {
  DecodeResult decoded = DecodeBmp(Patched(MakeBmp({.bits = 24}, 4, 4), 28, {2, 0}));
  ASSERT_FALSE(decoded.ok);
  EXPECT_EQ(decoded.error.reason.english, "unsupported bit depth 2");
  EXPECT_EQ(decoded.error.reason.chinese, "不支持的位深度 2");
  EXPECT_EQ(decoded.error.detail, decoded.error.reason.english);
  EXPECT_EQ(DecodeJpeg({}).error.reason.chinese, "文件是空的");
  auto encoded = EncodeJpeg(RgbImage{});
  ASSERT_FALSE(encoded.ok());
  EXPECT_NE(encoded.message(true).find("JPEG 编码器"), std::string::npos);
  EXPECT_NE(encoded.message(false).find("JPEG encoder"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Run-length encoded bitmaps, written by hand: the codes run from the bottom row up.

// Palette entry i of the RLE fixtures: a colour no other index has.
std::array<std::uint8_t, 3> IndexColour(int i) {
  return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
          static_cast<std::uint8_t>(i * 3)};
}

// A BITMAPINFOHEADER bitmap of 4 bits (RLE4) or 8 bits (RLE8) with a full palette and
// `codes` as its pixel data; a negative height stores it top-down.
std::vector<std::uint8_t> RleBmp(int bits, int width, int height,
                                 const std::vector<std::uint8_t>& codes) {
  std::vector<std::uint8_t> f;
  auto u16 = [&f](unsigned v) {
    for (int i = 0; i < 2; ++i) f.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto u32 = [&f](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const std::uint32_t entries = 1u << bits;
  const std::uint32_t offset = 14 + 40 + 4 * entries;
  f.push_back('B');
  f.push_back('M');
  u32(offset + static_cast<std::uint32_t>(codes.size()));
  u32(0);
  u32(offset);
  u32(40);
  u32(static_cast<std::uint32_t>(width));
  u32(static_cast<std::uint32_t>(height));
  u16(1);
  u16(static_cast<unsigned>(bits));
  u32(bits == 8 ? 1 : 2);  // BI_RLE8, BI_RLE4
  u32(static_cast<std::uint32_t>(codes.size()));
  u32(0);
  u32(0);
  u32(0);
  u32(0);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const auto colour = IndexColour(static_cast<int>(i));
    f.insert(f.end(), {colour[2], colour[1], colour[0], 0});
  }
  f.insert(f.end(), codes.begin(), codes.end());
  return f;
}

// The picture whose rows, from the top, hold these palette indices.
RgbImage IndexImage(const std::vector<std::vector<int>>& rows) {
  RgbImage image;
  image.height = static_cast<int>(rows.size());
  image.width = static_cast<int>(rows.front().size());
  for (const auto& row : rows) {
    for (int index : row) {
      const auto colour = IndexColour(index);
      image.rgb.insert(image.rgb.end(), colour.begin(), colour.end());
    }
  }
  return image;
}

struct RleCase {
  const char* name;
  int bits;
  std::vector<std::uint8_t> codes;
  std::vector<std::vector<int>> expected;  // indices, top row first
};

void PrintTo(const RleCase& c, std::ostream* out) {
  *out << c.name;
}

class RleDecodeTest : public testing::TestWithParam<RleCase> {};

TEST_P(RleDecodeTest, GivesThePixelsTheCodesWrite) {
  const RleCase& c = GetParam();
  const int width = static_cast<int>(c.expected.front().size());
  const int height = static_cast<int>(c.expected.size());
  DecodeResult decoded = DecodeBmp(RleBmp(c.bits, width, height, c.codes));
  ASSERT_TRUE(decoded.ok) << decoded.error.detail;
  EXPECT_EQ(decoded.image, IndexImage(c.expected));
}

// Codes: a count above 0 is an encoded run of that many pixels; 00 00 ends the line,
// 00 01 the bitmap, 00 02 dx dy moves right and up; 00 n (n >= 3) is an absolute run of n
// indices padded to a 16-bit boundary.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Codes, RleDecodeTest,
    testing::Values(
        RleCase{"Rle8RunsLinesAndDelta", 8,
                {0x03, 0x05, 0x00, 0x00,                    // bottom: 5 5 5, line end
                 0x00, 0x03, 0x01, 0x02, 0x03, 0x00,        // absolute 1 2 3 and its pad
                 0x01, 0x09, 0x00, 0x00,                    // 9, line end
                 0x00, 0x02, 0x02, 0x00, 0x02, 0x07,        // two to the right, 7 7
                 0x00, 0x01},
                {{0, 0, 7, 7}, {1, 2, 3, 9}, {5, 5, 5, 0}}},
        RleCase{"Rle8AbsoluteRunOfEvenLengthHasNoPad", 8,
                {0x00, 0x04, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x01},
                {{10, 11, 12, 13}}},
        RleCase{"Rle4RunsAlternateNibblesAndDeltaGoesUp", 4,
                {0x05, 0x12, 0x00, 0x00,                    // bottom: 1 2 1 2 1
                 0x00, 0x02, 0x01, 0x01,                    // one right, one up: row 2
                 0x00, 0x03, 0xAB, 0xC0,                    // absolute A B C, 2 bytes
                 0x00, 0x01},
                {{0, 10, 11, 12, 0}, {0, 0, 0, 0, 0}, {1, 2, 1, 2, 1}}},
        RleCase{"Rle4AbsoluteRunOfThreeBytesIsPadded", 4,
                {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x02, 0x0F, 0x00, 0x01},
                {{1, 2, 3, 4, 5, 0, 15}}},
        RleCase{"WithoutLineEndsRowsStayWhereTheCodesLeaveThem", 8,
                {0x02, 0x04, 0x00, 0x01},
                {{0, 0}, {4, 4}}},
        // Runs and deltas beyond the bitmap are clipped: nothing outside it is written,
        // and the codes after them are still read in step.
        RleCase{"Rle8RunLongerThanTheRowIsClipped", 8,
                {0xFF, 0x01, 0x00, 0x00, 0x01, 0x02, 0x00, 0x01},
                {{2, 0}, {1, 1}}},
        RleCase{"Rle8AbsoluteRunLongerThanTheRowIsClippedAndStaysInStep", 8,
                {0x00, 0x05, 0x01, 0x02, 0x03, 0x04, 0x05, 0x00,  // 5 indices + pad
                 0x00, 0x00, 0x01, 0x06, 0x00, 0x01},
                {{6, 0, 0}, {1, 2, 3}}},
        RleCase{"Rle4RunRoundedUpToWholeBytesIsClipped", 4,
                {0x04, 0xAB, 0x00, 0x01},
                {{10, 11, 10}}},
        RleCase{"DeltaPastTheTopWritesNothingMore", 8,
                {0x01, 0x03, 0x00, 0x02, 0xFF, 0xFF, 0x00, 0x02, 0xFF, 0xFF,
                 0xFF, 0x04, 0x00, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x01},
                {{0, 0}, {3, 0}}},
        RleCase{"BytesAfterTheEndOfBitmapAreIgnored", 8,
                {0x01, 0x08, 0x00, 0x01, 0xFF, 0xFF, 0x00},
                {{8}}}),
    [](const testing::TestParamInfo<RleCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(RleDecode, CutOrMisplacedDataIsRefused) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> file;
    const char* detailContains;
  };
  const Case cases[] = {
      {"no end of bitmap", RleBmp(8, 4, 1, {0x03, 0x05}), "end-of-bitmap"},
      {"count without its index", RleBmp(8, 4, 1, {0x03}), "end-of-bitmap"},
      {"absolute run cut", RleBmp(8, 4, 1, {0x00, 0x04, 0x01, 0x02}), "end-of-bitmap"},
      {"absolute run without its pad", RleBmp(8, 4, 1, {0x00, 0x03, 0x01, 0x02, 0x03}),
       "end-of-bitmap"},
      {"delta cut", RleBmp(8, 4, 2, {0x00, 0x02, 0x01}), "end-of-bitmap"},
      {"no data at all", RleBmp(4, 4, 1, {}), "end-of-bitmap"},
      {"top-down", RleBmp(8, 4, -1, {0x00, 0x01}), "top-down"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodeResult decoded = DecodeBmp(c.file);
    EXPECT_FALSE(decoded.ok);
    EXPECT_EQ(decoded.error.message, kBmpFormatError);
    EXPECT_NE(decoded.error.detail.find(c.detailContains), std::string::npos)
        << decoded.error.detail;
    EXPECT_FALSE(decoded.error.reason.chinese.empty());
  }
  // Every cut of a whole file, headers included, is refused.
  const std::vector<std::uint8_t> file =
      RleBmp(4, 5, 3, {0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0xAB, 0xC0, 0x00, 0x01});
  ASSERT_TRUE(DecodeBmp(file).ok);
  for (std::size_t length = 0; length < file.size(); ++length) {
    EXPECT_FALSE(DecodeBmp(std::span<const std::uint8_t>(file.data(), length)).ok) << length;
  }
}

TEST(BmpDecode, EveryCutOfAFileIsRefused) {
  for (const BmpLayout& layout : {BmpLayout{.bits = 1}, BmpLayout{.bits = 8, .infoSize = 12},
                              BmpLayout{.bits = 32, .infoSize = 124, .bitfields = true}}) {
    const std::vector<std::uint8_t> file = MakeBmp(layout, 7, 5);
    for (std::size_t length = 0; length < file.size(); ++length) {
      std::span<const std::uint8_t> cut(file.data(), length);
      EXPECT_FALSE(DecodeBmp(cut).ok) << "bits " << layout.bits << " length " << length;
    }
  }
}

TEST(JpegCodec, RoundTripKeepsSizeAndColoursClose) {
  RgbImage image = test::GradientImage(37, 21);
  auto encoded = EncodeJpeg(image);
  ASSERT_TRUE(encoded.ok()) << encoded.message();
  ASSERT_GE(encoded->size(), 4u);
  EXPECT_EQ((*encoded)[0], 0xFF);
  EXPECT_EQ((*encoded)[1], 0xD8);
  DecodeResult decoded = DecodeJpeg(*encoded);
  ASSERT_TRUE(decoded.ok) << decoded.error.detail;
  ASSERT_EQ(decoded.image.width, 37);
  ASSERT_EQ(decoded.image.height, 21);
  ASSERT_EQ(decoded.image.rgb.size(), image.rgb.size());
  int worst = 0;
  for (std::size_t i = 0; i < image.rgb.size(); ++i) {
    worst = std::max(worst, std::abs(int{decoded.image.rgb[i]} - int{image.rgb[i]}));
  }
  EXPECT_LE(worst, 24);
}

TEST(JpegCodec, EmptyPictureIsNotEncoded) {
  EXPECT_FALSE(EncodeJpeg(RgbImage{}).ok());
}

std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

TEST(JpegDecode, DamagedFilesGiveTheFormatMessage) {
  const std::vector<std::uint8_t> good = MakeJpeg(64, 48);
  ASSERT_FALSE(good.empty());
  std::vector<std::uint8_t> huge = good;
  test::SetJpegSize(huge, 60000, 60000);
  std::vector<std::uint8_t> garbageAfterMarker = RandomBytes(600, 7);
  garbageAfterMarker[0] = 0xFF;
  garbageAfterMarker[1] = 0xD8;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"cut in half", {good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)}},
      {"without its end marker", {good.begin(), good.end() - 2}},
      {"60000 x 60000", huge},
      {"garbage", RandomBytes(600, 3)},
      {"garbage after a start marker", garbageAfterMarker},
      {"a bitmap", MakeBmp({.bits = 24}, 4, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodeResult decoded = DecodeJpeg(c.bytes);
    EXPECT_FALSE(decoded.ok);
    EXPECT_EQ(decoded.error.message, kJpegFormatError);
    EXPECT_FALSE(decoded.error.detail.empty());
  }
  EXPECT_NE(DecodeJpeg(huge).error.detail.find("limit"), std::string::npos);
}

TEST(JpegDecode, EveryCutOfAFileIsRefused) {
  const std::vector<std::uint8_t> file = MakeJpeg(40, 24);
  for (std::size_t length = 0; length < file.size(); ++length) {
    std::span<const std::uint8_t> cut(file.data(), length);
    EXPECT_FALSE(DecodeJpeg(cut).ok) << "length " << length;
  }
}

TEST(BmpDecode, GarbageIsRefused) {
  for (unsigned seed = 0; seed < 50; ++seed) {
    std::vector<std::uint8_t> bytes = RandomBytes(200 + seed * 13, seed);
    bytes[0] = 'B';
    bytes[1] = 'M';
    // Whatever the bytes claim, the result is an answer, never a crash or a huge buffer.
    DecodeResult decoded = DecodeBmp(bytes);
    if (decoded.ok) {
      EXPECT_LE(static_cast<std::int64_t>(decoded.image.width) * decoded.image.height,
                kMaxPicturePixels);
    }
  }
}

TEST(PictureDecode, MutatedFilesGiveAnAnswerNeverACrash) {
  struct Source {
    std::vector<std::uint8_t> bytes;
    DecodeResult (*decode)(std::span<const std::uint8_t>);
  } sources[] = {
      {MakeBmp({.bits = 4}, 9, 7), DecodeBmp},
      {MakeBmp({.bits = 32, .infoSize = 124, .bitfields = true}, 5, 5), DecodeBmp},
      {MakeBmp({.bits = 16, .bitfields = true}, 6, 3), DecodeBmp},
      {RleBmp(8, 7, 4,
              {0x03, 0x05, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x01,
               0x04, 0x09, 0x00, 0x01}),
       DecodeBmp},
      {MakeJpeg(24, 16), DecodeJpeg},
  };
  std::mt19937 random(11);
  for (const Source& source : sources) {
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bytes = source.bytes;
      // Headers are where the trouble is: most changes land in the first 160 bytes.
      const std::size_t span = std::min<std::size_t>(bytes.size(), round % 2 ? 160 : bytes.size());
      for (int change = 0; change < 1 + round % 4; ++change) {
        bytes[random() % span] = static_cast<std::uint8_t>(random());
      }
      DecodeResult decoded = source.decode(bytes);
      if (decoded.ok) {
        EXPECT_EQ(decoded.image.rgb.size(),
                  static_cast<std::size_t>(decoded.image.width) * decoded.image.height * 3);
      } else {
        EXPECT_FALSE(decoded.error.detail.empty());
      }
    }
  }
}

}  // namespace
}  // namespace dravik::platform
