#include "elements/element_frame.h"

#include <gtest/gtest.h>

#include <memory>

namespace dravik::elements {
namespace {

TEST(ElementFrame, DialogsShowPagePixelsAndStoreWindowCoordinates) {
  auto page = std::make_unique<model::PageRecord>();
  page->ElemLeft[3] = 5;
  page->ElemTop[3] = 12;
  page->ElemWidth[3] = 60;
  page->ElemHeight[3] = 26;
  page->ElemByteA[3] = 1;
  EXPECT_EQ(ReadFrame(*page, 3), (FrameValues{0, 7, 60, 26, true}));

  WriteFrame(*page, 3, {10, 0, 8, 9, false});
  EXPECT_EQ(page->ElemLeft[3], 15);
  EXPECT_EQ(page->ElemTop[3], 5);
  EXPECT_EQ(page->ElemWidth[3], 8);
  EXPECT_EQ(page->ElemHeight[3], 9);
  EXPECT_EQ(page->ElemByteA[3], 0);
}

TEST(ElementFrame, RangesFollowThePageSize) {
  struct Case {
    const char* name;
    int width, height;
    FrameRanges expected;
  };
  const Case cases[] = {
      {"portrait panel", 240, 320, {{0, 232}, {0, 312}, {8, 240}, {8, 320}}},
      {"narrow page", 64, 256, {{0, 56}, {0, 248}, {8, 64}, {8, 256}}},
      // A page smaller than the smallest element still has one value in each range.
      {"tiny page", 4, 0, {{0, 0}, {0, 0}, {8, 8}, {8, 8}}},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameRangesFor(c.width, c.height), c.expected) << c.name;
}

TEST(ElementFrame, AnUnchangedTextKeepsTheBytesBehindIt) {
  model::ShortString50 field;
  field.Assign("ABCDEFGH");
  field.Assign("AB");  // bytes 3..8 stay behind the length
  StoreText(field, "AB");
  EXPECT_EQ(field.RawChars()[2], 'C');
  StoreText(field, "XYZ");
  EXPECT_EQ(field.View(), "XYZ");
  EXPECT_EQ(field.RawChars()[3], 'D');
}

}  // namespace
}  // namespace dravik::elements
