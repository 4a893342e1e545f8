// The arithmetic of single-element editing: drag bounds and clamping, handle positions
// and which handles an element shows, resizing by each handle with the line rules, and
// the status-bar read-outs.

#include "editor/element_edit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "elements/element_kind.h"

namespace dravik::editor {
namespace {

constexpr PageSize kPortrait{240, 320};

struct Records {
  std::unique_ptr<model::PageRecord> page = std::make_unique<model::PageRecord>();

  model::PageRecord& operator*() { return *page; }
  void Put(int slot, int kind, WindowRect box, int byteD = 0, int locked = 0) {
    const auto s = static_cast<std::size_t>(slot);
    page->ElemKind[s] = static_cast<std::uint8_t>(kind);
    page->ElemLeft[s] = static_cast<std::uint16_t>(box.left);
    page->ElemTop[s] = static_cast<std::uint16_t>(box.top);
    page->ElemWidth[s] = static_cast<std::uint16_t>(box.width);
    page->ElemHeight[s] = static_cast<std::uint16_t>(box.height);
    page->ElemByteD[s] = static_cast<std::uint8_t>(byteD);
    page->ElemByteA[s] = static_cast<std::uint8_t>(locked);
  }
  WindowRect Box(int slot) const {
    const auto s = static_cast<std::size_t>(slot);
    return {page->ElemLeft[s], page->ElemTop[s], page->ElemWidth[s], page->ElemHeight[s]};
  }
};

TEST(ElementMove, StaysOnePixelInsideThePage) {
  const DragBounds bounds = DragBoundsOf(kPortrait);
  EXPECT_EQ(bounds, (DragBounds{6, 244, 6, 324}));
  struct Case {
    EditPoint to;
    int width;
    EditPoint expected;
  } cases[] = {
      {{-100, -100}, 50, {6, 6}},   // far left and up: page pixel 1, not 0
      {{300, 400}, 50, {194, 274}},  // far right and down: the far edge at the bound
      {{100, 60}, 50, {100, 60}},    // inside: where it was put
      {{100, 60}, 300, {6, 24}},     // wider than the page: at the left bound
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClampToDragBounds(c.to, c.width, c.width, bounds), c.expected) << c.to.x << "," << c.width;
  }
}

TEST(ElementMove, WritesThePositionUnlessLocked) {
  Records records;
  records.Put(4, elements::kKindRectangle, {20, 20, 50, 50});
  records.Put(5, elements::kKindRectangle, {20, 20, 50, 50}, 0, 1);
  const DragBounds bounds = DragBoundsOf(kPortrait);
  EXPECT_TRUE(MoveElement(*records, 4, {-3, 500}, bounds));
  EXPECT_EQ(records.Box(4), (WindowRect{6, 274, 50, 50}));
  EXPECT_FALSE(MoveElement(*records, 5, {100, 100}, bounds));
  EXPECT_EQ(records.Box(5), (WindowRect{20, 20, 50, 50}));
}

struct ResizeCase {
  const char* name;
  int kind;
  WindowRect box;
  int byteD;
  int locked;
  Handle handle;
  EditPoint centre;  // where the dragged handle's centre ends
  bool applied;
  WindowRect expected;
  int expectedByteD;
};

class ElementResize : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ElementResize, FollowsTheHandleRules) {
  const ResizeCase& c = GetParam();
  Records records;
  records.Put(7, c.kind, c.box, c.byteD, c.locked);
  const EditPoint handleAt{c.centre.x - 2, c.centre.y - 2};
  EXPECT_EQ(ResizeByHandle(*records, 7, c.handle, handleAt), c.applied);
  EXPECT_EQ(records.Box(7), c.applied ? c.expected : c.box);
  EXPECT_EQ(records.page->ElemByteD[7], c.expectedByteD);
}

constexpr int kRect = elements::kKindRectangle;
constexpr int kLine = elements::kKindLine;
constexpr WindowRect kSquare{15, 15, 50, 50};

INSTANTIATE_TEST_SUITE_P(
    Handles, ElementResize,
    ::testing::Values(
        ResizeCase{"RightEdgeRoundsWidthDownToEven", kRect, kSquare, 0, 0, Handle::MiddleRight, {46, 30}, true, {15, 15, 30, 50}, 0},
        ResizeCase{"LeftEdgeKeepsAnOddWidth", kRect, kSquare, 0, 0, Handle::MiddleLeft, {34, 30}, true, {34, 15, 31, 50}, 0},
        ResizeCase{"TopEdgeMovesTheTop", kRect, kSquare, 0, 0, Handle::TopMiddle, {30, 25}, true, {15, 25, 50, 40}, 0},
        ResizeCase{"BottomEdgeRoundsHeightDownToEven", kRect, kSquare, 0, 0, Handle::BottomMiddle, {30, 56}, true, {15, 15, 50, 40}, 0},
        ResizeCase{"TopLeftCorner", kRect, kSquare, 0, 0, Handle::TopLeft, {25, 35}, true, {25, 35, 40, 30}, 0},
        ResizeCase{"BottomLeftCorner", kRect, kSquare, 0, 0, Handle::BottomLeft, {20, 75}, true, {20, 15, 45, 60}, 0},
        ResizeCase{"TopRightCorner", kRect, kSquare, 0, 0, Handle::TopRight, {60, 25}, true, {15, 25, 45, 40}, 0},
        ResizeCase{"BottomRightCornerEvenSizes", kRect, kSquare, 0, 0, Handle::BottomRight, {56, 48}, true, {15, 15, 40, 32}, 0},
        ResizeCase{"EightPixelsIsTooNarrow", kRect, kSquare, 0, 0, Handle::TopLeft, {57, 20}, false, {}, 0},
        ResizeCase{"EightPixelsIsTooLow", kRect, kSquare, 0, 0, Handle::BottomMiddle, {30, 23}, false, {}, 0},
        ResizeCase{"NinePixelsIsEnough", kRect, kSquare, 0, 0, Handle::MiddleLeft, {56, 30}, true, {56, 15, 9, 50}, 0},
        ResizeCase{"LockedIsNotResized", kRect, kSquare, 0, 1, Handle::BottomRight, {100, 100}, false, {}, 0},
        ResizeCase{"PictureIsNotResized", elements::kKindPicture, kSquare, 0, 0, Handle::BottomRight, {100, 100}, false, {}, 0},
        // A falling line dragged by its bottom end above its top turns rising: its top on
        // an even page row, its bottom where it was.
        ResizeCase{"FallingLineTurnsRising", kLine, {15, 105, 50, 50}, 0, 0, Handle::BottomRight, {80, 85}, true, {15, 85, 64, 70}, 1},
        // A rising line dragged by its top end below its bottom turns falling, top kept.
        ResizeCase{"RisingLineTurnsFalling", kLine, kSquare, 1, 0, Handle::TopRight, {60, 90}, true, {15, 15, 45, 75}, 0},
        ResizeCase{"LineTakesSmallSizes", kLine, kSquare, 1, 0, Handle::TopRight, {18, 63}, true, {15, 63, 3, 2}, 1},
        ResizeCase{"LineIsAtLeastTwoPixels", kLine, kSquare, 0, 0, Handle::BottomRight, {10, 15}, true, {15, 15, 2, 2}, 0}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

TEST(ElementHandles, StandOnTheFrameCornersAndMiddles) {
  const WindowRect frame{10, 20, 51, 31};
  struct Case {
    Handle handle;
    EditPoint at;
  } cases[] = {
      {Handle::TopLeft, {8, 18}},      {Handle::TopMiddle, {33, 18}},    {Handle::TopRight, {58, 18}},
      {Handle::MiddleLeft, {8, 33}},   {Handle::MiddleRight, {58, 33}},  {Handle::BottomLeft, {8, 48}},
      {Handle::BottomMiddle, {33, 48}}, {Handle::BottomRight, {58, 48}},
  };
  for (const Case& c : cases) EXPECT_EQ(HandlePosition(c.handle, frame), c.at) << static_cast<int>(c.handle);
}

TEST(ElementHandles, LinesShowOnlyTheirEndPoints) {
  Records records;
  records.Put(0, kRect, kSquare);
  records.Put(1, kLine, kSquare, 0);  // falling
  records.Put(2, kLine, kSquare, 1);  // rising
  for (Handle handle : kHandles) {
    const bool topLeftToBottomRight = handle == Handle::TopLeft || handle == Handle::BottomRight;
    const bool bottomLeftToTopRight = handle == Handle::TopRight || handle == Handle::BottomLeft;
    EXPECT_TRUE(HandleShown(*records, 0, handle));
    EXPECT_EQ(HandleShown(*records, 1, handle), topLeftToBottomRight) << static_cast<int>(handle);
    EXPECT_EQ(HandleShown(*records, 2, handle), bottomLeftToTopRight) << static_cast<int>(handle);
  }
}

TEST(ElementHandles, SideHandlesMoveOneWayAndStayInside) {
  const DragBounds bounds = DragBoundsOf(kPortrait);
  EXPECT_EQ(DragHandle(Handle::MiddleRight, {50, 50}, 10, 30, bounds), (EditPoint{60, 50}));
  EXPECT_EQ(DragHandle(Handle::BottomMiddle, {50, 50}, 10, 30, bounds), (EditPoint{50, 80}));
  EXPECT_EQ(DragHandle(Handle::BottomRight, {50, 50}, 500, -500, bounds), (EditPoint{239, 6}));
}

TEST(ElementStatus, DescribesTheElementAndThePointer) {
  Records records;
  records.Put(3, elements::kKindEllipse, {5, 5, 50, 50});
  EXPECT_EQ(ElementStatusText(*records, 3, false), " Ellipse at[0,0] W:50  H:50");
  EXPECT_EQ(ElementStatusText(*records, 3, true), " 椭圆形 at[0,0] W:50  H:50");
  records.Put(4, 99, {105, 37, 8, 9});
  EXPECT_EQ(ElementStatusText(*records, 4, false), "  at[100,32] W:8  H:9");
  EXPECT_EQ(PointerStatusText({5, 5}), " X: 0  Y: 0");
  EXPECT_EQ(PointerStatusText({105, 37}), " X: 100  Y: 32");
}

}  // namespace
}  // namespace dravik::editor
