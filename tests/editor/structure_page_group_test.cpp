// The page window as an editor of groups, driven by real mouse and key events: the rubber
// band, Shift-clicks with their order and anchor, corner markers, dragging a group,
// nudging one element or a group with the arrow keys, locking and deleting a group, and
// the placement ghost only in the active page window.

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "editor/ui/structure_page.h"
#include "page_edit_fixture.h"

namespace dravik::editor {
namespace {

// Three 30 x 30 rectangles: slot 7 top left, slot 3 beside it, slot 12 below it.
class GroupEditTest : public test::PageEditTest {
 protected:
  void SetUp() override {
    PageEditTest::SetUp();
    PutRectangle(7, 20, 20, 30, 30);
    PutRectangle(3, 100, 20, 30, 30);
    PutRectangle(12, 20, 100, 30, 30);
  }

  static QPoint Inside(int slot) {
    switch (slot) {
      case 7: return {30, 30};
      case 3: return {110, 30};
      default: return {30, 110};
    }
  }
  void ShiftClick(TStructureP& window, int slot) {
    QTest::mouseClick(&window, Qt::LeftButton, Qt::ShiftModifier, Inside(slot));
  }
  void Band(TStructureP& window, QPoint from, QPoint to) { Drag(window, from, to); }

  const CornerMarker& Marker(TStructureP& window, int slot) { return window.Element(slot)->markers[0]; }
  QPoint Position(int slot) {
    const auto s = static_cast<std::size_t>(slot);
    return {page().ElemLeft[s], page().ElemTop[s]};
  }
};

struct BandCase {
  const char* name;
  QPoint from, to;
  std::vector<int> expected;  // in selection order; the first is the anchor
};

class RubberBandPicks : public GroupEditTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(RubberBandPicks, TakesTheElementsWhollyInsideInSlotOrder) {
  const BandCase& c = GetParam();
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  Band(*window, c.from, c.to);
  EXPECT_TRUE(window->RubberBand().isNull()) << "the band is gone once the button is up";
  EXPECT_EQ(window->Group().SelList, c.expected);
  EXPECT_EQ(state.PickList, c.expected);
  EXPECT_EQ(window->HasAreaSelection(), !c.expected.empty());
  EXPECT_FALSE(window->HasSelection()) << "no single selection beside the group";
  EXPECT_EQ(edited.count(), 0) << "selecting is no edit";
  for (int slot : {3, 7, 12}) {
    const bool member = std::find(c.expected.begin(), c.expected.end(), slot) != c.expected.end();
    EXPECT_EQ(Marker(*window, slot).visible, member) << slot;
  }
  if (c.expected.empty()) {
    EXPECT_TRUE(window->AreaFrameRect().isNull());
    return;
  }
  EXPECT_EQ(Marker(*window, c.expected.front()).colour, kAnchorMarkerColour);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, RubberBandPicks,
    ::testing::Values(BandCase{"AllThreeWithTheLowestSlotAsAnchor", {15, 15}, {200, 200}, {3, 7, 12}},
                      BandCase{"RightEdgeOnAnElementsRightEdgeLeavesItOut", {15, 15}, {130, 60}, {7}},
                      BandCase{"LeftEdgeOnAnElementsLeftEdgeTakesIt", {100, 60}, {140, 15}, {3}},
                      BandCase{"DrawnUpwardsAndLeftwards", {200, 200}, {15, 90}, {12}},
                      BandCase{"OverNothingSelectsNothing", {150, 150}, {200, 200}, {}}),
    [](const ::testing::TestParamInfo<BandCase>& info) { return std::string(info.param.name); });

TEST_F(GroupEditTest, ShiftClicksPickInOrderAndTheFirstIsTheAnchor) {
  auto window = Open();
  ShiftClick(*window, 7);
  ShiftClick(*window, 3);
  ShiftClick(*window, 12);
  EXPECT_EQ(window->Group().SelList, (std::vector<int>{7, 3, 12}));
  EXPECT_EQ(window->AreaFrameRect(), QRect(20, 20, 110, 110));
  EXPECT_EQ(Marker(*window, 7).colour, kAnchorMarkerColour);
  EXPECT_EQ(Marker(*window, 3).colour, kMemberMarkerColour);
  EXPECT_EQ(window->Element(7)->markers[3].bounds, QRect(45, 45, 5, 5));

  ShiftClick(*window, 3);
  EXPECT_EQ(window->Group().SelList, (std::vector<int>{7, 12})) << "a second Shift-click unpicks";
  EXPECT_FALSE(Marker(*window, 3).visible);

  // A band makes slot 3 the anchor; the former anchor's markers take the window colour.
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  EXPECT_FALSE(window->HasAreaSelection()) << "a click on the canvas clears the group";
  Band(*window, {15, 15}, {200, 200});
  EXPECT_EQ(Marker(*window, 3).colour, kAnchorMarkerColour);
  EXPECT_EQ(Marker(*window, 7).colour, kFormerAnchorMarkerColour);

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 10));
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Inside(12));
  EXPECT_FALSE(window->HasAreaSelection());
  EXPECT_EQ(window->SelectedSlot(), 12) << "a click without Shift selects one element";
  EXPECT_TRUE(state.PickList.empty());
}

TEST_F(GroupEditTest, ADraggedGroupStopsAtTheDragBoundsAndIsOneEdit) {
  page().ElemByteA[3] = 1;  // a locked member moves with its group
  auto window = Open();
  Band(*window, {15, 15}, {140, 60});
  ASSERT_EQ(window->Group().SelList, (std::vector<int>{3, 7}));
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  Drag(*window, Inside(3), Inside(3) + QPoint(-200, 10));
  EXPECT_EQ(Position(7), QPoint(6, 30)) << "page pixel 1, as for one element";
  EXPECT_EQ(Position(3), QPoint(86, 30));
  EXPECT_EQ(window->Element(3)->bounds.topLeft(), QPoint(86, 30));
  EXPECT_EQ(window->Element(3)->markers[0].bounds.topLeft(), QPoint(86, 30));
  EXPECT_EQ(window->AreaFrameRect(), QRect(6, 30, 110, 30));
  EXPECT_EQ(edited.count(), 1);

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Inside(7));
  EXPECT_EQ(edited.count(), 1) << "a click that moves nothing is no edit";
  EXPECT_TRUE(window->HasAreaSelection()) << "a click inside the frame keeps the group";
}

TEST_F(GroupEditTest, ArrowKeysNudgeOneElementByTwoPixelsUpToThePageEdge) {
  PutRectangle(0, 6, 160, 30, 30);
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Inside(7));
  QTest::keyClick(window.get(), Qt::Key_Right);
  QTest::keyClick(window.get(), Qt::Key_Down);
  EXPECT_EQ(Position(7), QPoint(22, 22));
  EXPECT_EQ(window->SelectionFrame(), QRect(22, 22, 30, 30));
  EXPECT_EQ(window->Element(7)->bounds.topLeft(), QPoint(22, 22));
  EXPECT_EQ(edited.count(), 2) << "one edit per press and release";

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 170));
  QTest::keyClick(window.get(), Qt::Key_Left);
  EXPECT_EQ(Position(0), QPoint(5, 160)) << "one step to the page edge, the second stops";
  QTest::keyClick(window.get(), Qt::Key_Left);
  EXPECT_EQ(edited.count(), 3) << "a press that moves nothing is no edit";
}

TEST_F(GroupEditTest, AHeldArrowKeyMovesTheGroupAsOneEdit) {
  page().ElemLeft[7] = 6;
  page().ElemLeft[12] = 8;
  auto window = Open();
  Band(*window, {5, 15}, {60, 140});
  ASSERT_EQ(window->Group().SelList, (std::vector<int>{7, 12}));
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QTest::keyPress(window.get(), Qt::Key_Left);
  EXPECT_EQ(Position(7), QPoint(5, 20)) << "the frame at x 6 steps once, to the edge";
  EXPECT_EQ(Position(12), QPoint(7, 100));
  QTest::keyPress(window.get(), Qt::Key_Down);
  QTest::keyPress(window.get(), Qt::Key_Down);
  EXPECT_EQ(Position(12), QPoint(7, 104));
  EXPECT_EQ(window->AreaFrameRect().topLeft(), QPoint(5, 24));
  EXPECT_EQ(edited.count(), 0) << "no edit while the key is down";
  QTest::keyRelease(window.get(), Qt::Key_Down);
  EXPECT_EQ(edited.count(), 1) << "the burst is one edit";
}

TEST_F(GroupEditTest, AGroupIsLockedAndDeletedAsAWhole) {
  auto window = Open();
  Band(*window, {15, 15}, {200, 200});
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  window->LockValue = 1;
  window->N3Click();
  for (int slot : {3, 7, 12}) EXPECT_EQ(page().ElemByteA[static_cast<std::size_t>(slot)], 1) << slot;
  EXPECT_EQ(state.CurrentSlot, 12) << "the last member becomes current";
  EXPECT_EQ(edited.count(), 1) << "a group lock can be undone";
  EXPECT_EQ(MenuItem(*window, "N3")->text(), QStringLiteral("解锁(&U)"));

  QTest::keyClick(window.get(), Qt::Key_Delete);
  for (int slot : {3, 7, 12}) {
    EXPECT_EQ(page().ElemKind[static_cast<std::size_t>(slot)], 0) << slot;
    EXPECT_EQ(window->Element(slot), nullptr) << slot;
  }
  EXPECT_FALSE(window->HasAreaSelection());
  EXPECT_EQ(edited.count(), 2);
}

TEST_F(GroupEditTest, OnlyTheActivePageWindowShowsTheGhost) {
  QMdiArea area;
  area.resize(800, 600);
  area.show();
  state.CurrentPage = 1;
  TStructureP* first = OpenPageWindow(area, *image, state, nullptr);
  state.CurrentPage = 2;
  TStructureP* second = OpenPageWindow(area, *image, state, nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  state.PlaceKind = elements::kKindRectangle;
  QTest::mouseMove(second, QPoint(40, 40));
  EXPECT_EQ(second->GhostFrame().topLeft(), QPoint(40, 40));
  QTest::mouseMove(first, QPoint(40, 40));
  EXPECT_TRUE(first->GhostFrame().isNull());

  area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
  EXPECT_TRUE(second->GhostFrame().isNull()) << "the window left behind drops its ghost";
  QTest::mouseMove(first, QPoint(50, 50));
  EXPECT_EQ(first->GhostFrame().topLeft(), QPoint(50, 50));
}

}  // namespace
}  // namespace dravik::editor
