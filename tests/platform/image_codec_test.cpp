#include "platform/image_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
      {"RLE8", Patched(good8, 30, {1, 0, 0, 0}), "compression"},
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
