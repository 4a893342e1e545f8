#include "pictures/picture_operations.h"

#include <gtest/gtest.h>

#include "pictures/picture_fixtures.h"

namespace dravik::pictures {
namespace {

// A picture given as one letter per pixel, rows from the top.
RgbImage Letters(std::initializer_list<const char*> rows) {
  RgbImage image;
  image.height = static_cast<int>(rows.size());
  for (const char* row : rows) {
    image.width = static_cast<int>(std::string(row).size());
    for (const char* c = row; *c != '\0'; ++c) {
      // Each letter its own colour: red = letter, green = 2 * letter, blue = 255 - letter.
      image.rgb.push_back(static_cast<std::uint8_t>(*c));
      image.rgb.push_back(static_cast<std::uint8_t>(*c * 2));
      image.rgb.push_back(static_cast<std::uint8_t>(255 - *c));
    }
  }
  return image;
}

struct OperationCase {
  const char* name;
  void (*operation)(RgbImage&);
  RgbImage expected;
};

TEST(PictureOperations, GeometryOperations) {
  const RgbImage original = Letters({"abc", "def"});
  const OperationCase cases[] = {
      {"horizontal", MirrorLeftRight, Letters({"cba", "fed"})},
      {"vertical", MirrorTopBottom, Letters({"def", "abc"})},
      // Clockwise: the bottom-left pixel comes to the top-left.
      {"rotate 90", RotateClockwise90, Letters({"da", "eb", "fc"})},
  };
  for (const OperationCase& c : cases) {
    SCOPED_TRACE(c.name);
    RgbImage image = original;
    c.operation(image);
    EXPECT_EQ(image, c.expected);
  }
  RgbImage turned = original;
  for (int i = 0; i < 4; ++i) RotateClockwise90(turned);
  EXPECT_EQ(turned, original);
}

TEST(PictureOperations, InvertColoursInvertsEveryChannel) {
  RgbImage image{2, 1, {0, 10, 255, 128, 200, 1}};
  InvertColours(image);
  EXPECT_EQ(image.rgb, (std::vector<std::uint8_t>{255, 245, 0, 127, 55, 254}));
}

TEST(PictureOperations, ReduceToTwoColoursKeepsOnlyTheTwoColours) {
  // Text dark blue 0x00800000 (blue 128), background white.
  const std::uint32_t text = 0x00800000;
  const std::uint32_t back = 0x00FFFFFF;
  RgbImage image{4,
                 1,
                 {0, 0, 100,     /* near text */
                  250, 250, 250, /* near background */
                  0, 0, 128,     /* the text colour */
                  200, 200, 200}};
  ReduceToTwoColours(image, text, back);
  EXPECT_EQ(image.rgb,
            (std::vector<std::uint8_t>{0, 0, 128, 255, 255, 255, 0, 0, 128, 255, 255, 255}));
  // Equally far from both: the background wins.
  RgbImage middle{1, 1, {100, 100, 100}};
  ReduceToTwoColours(middle, 0x00000000, 0x00C8C8C8);
  EXPECT_EQ(middle.rgb, (std::vector<std::uint8_t>{200, 200, 200}));
}

TEST(PictureOperations, StretchUsesTheNearestPixelAndTheDialogLimits) {
  RgbImage image = Letters({"ab"});
  StretchPicture(image, 8, 8);
  ASSERT_EQ(image.width, 8);
  ASSERT_EQ(image.height, 8);
  const RgbImage a = Letters({"a"});
  const RgbImage b = Letters({"b"});
  for (int x = 0; x < 8; ++x) {
    const std::uint8_t* pixel = &image.rgb[image.PixelOffset(x, 7)];
    const std::uint8_t* want = x < 4 ? a.rgb.data() : b.rgb.data();
    EXPECT_TRUE(std::equal(pixel, pixel + 3, want)) << x;
  }
  RgbImage big = test::PatternImage(20, 20);
  StretchPicture(big, 5000, 1);
  EXPECT_EQ(big.width, kStretchMaxWidth);
  EXPECT_EQ(big.height, kStretchMinSide);
  RgbImage shrunk = test::PatternImage(16, 16);
  StretchPicture(shrunk, 8, 8);
  EXPECT_EQ(shrunk.rgb.size(), 8u * 8 * 3);
}

TEST(PictureOperations, EmptyPicturesStayEmpty) {
  RgbImage empty;
  MirrorLeftRight(empty);
  MirrorTopBottom(empty);
  RotateClockwise90(empty);
  StretchPicture(empty, 100, 100);
  ReduceToTwoColours(empty, 0, 0xFFFFFF);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace dravik::pictures
