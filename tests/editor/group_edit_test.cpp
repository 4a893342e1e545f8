// The area selection and the group operations: rubber band and shift-click picking, the
// anchor and its markers, dragging and nudging with their limits, and the nine alignment
// tools against the anchor.

#include "editor/group_edit.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>
#include <vector>

namespace dravik::editor {
namespace {

using model::PageRecord;

constexpr PageSize kCanvas{240, 320};  // window x 5..245, y 5..325

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};
void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
}

Rect RectOf(const WindowRect& f) {
  return {f.left, f.top, f.width, f.height};
}
Rect RectOf(const PageRecord& page, int slot) {
  const auto s = static_cast<std::size_t>(slot);
  return {page.ElemLeft[s], page.ElemTop[s], page.ElemWidth[s], page.ElemHeight[s]};
}

void Put(PageRecord& page, int slot, Rect r, bool locked = false) {
  const auto s = static_cast<std::size_t>(slot);
  page.ElemKind[s] = 1;
  page.ElemLeft[s] = static_cast<std::uint16_t>(r.left);
  page.ElemTop[s] = static_cast<std::uint16_t>(r.top);
  page.ElemWidth[s] = static_cast<std::uint16_t>(r.width);
  page.ElemHeight[s] = static_cast<std::uint16_t>(r.height);
  page.ElemByteA[s] = locked ? 1 : 0;
}

// Three elements: the anchor in slot 2, a small one in slot 5 and a locked one in slot 9
// that is wider and taller than the anchor. Slot 7 held an element once: its geometry is
// still there but its kind is 0.
constexpr Rect kAnchor{20, 30, 41, 21};
constexpr Rect kSmall{60, 80, 10, 10};
constexpr Rect kLarge{100, 50, 80, 60};
constexpr Rect kFixtureBox{20, 30, 160, 80};

struct ThreeElements : ::testing::Test {
  ThreeElements() {
    Put(*page, 2, kAnchor);
    Put(*page, 5, kSmall);
    Put(*page, 9, kLarge, /*locked=*/true);
    Put(*page, 7, {30, 35, 10, 10});
    page->ElemKind[7] = 0;
  }
  GroupSelection Group(std::vector<int> pickList = {2, 5, 9}) const {
    return BuildFromPickList(*page, pickList);
  }
  std::array<Rect, 3> Members() const {
    return {RectOf(*page, 2), RectOf(*page, 5), RectOf(*page, 9)};
  }
  std::unique_ptr<PageRecord> page = std::make_unique<PageRecord>();
};

// ---- Alignment ----

struct AlignCase {
  const char* name;
  AlignMode mode;
  std::array<Rect, 3> expected;  // slots 2, 5, 9
};
void PrintTo(const AlignCase& c, std::ostream* os) {
  *os << c.name;
}

class Alignment : public ThreeElements, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(Alignment, FollowsTheAnchorAndKeepsMembersOnThePage) {
  GroupSelection group = Group();
  AlignComponent(*page, group, GetParam().mode, kCanvas);
  EXPECT_EQ(Members(), GetParam().expected);
  EXPECT_EQ(RectOf(group.frame), kFixtureBox) << "the frame keeps its bounds";
}

// The anchor (20, 30, 41 x 21): its centre is at x 20 + 20 and y 30 + 10, its right edge
// at 61 and its bottom at 51. The large locked member is aligned too; where it would start
// before the page (x or y below 5) it stops at the page's edge.
INSTANTIATE_TEST_SUITE_P(
    GroupEdit, Alignment,
    ::testing::Values(
        AlignCase{"Left", AlignMode::Left, {{kAnchor, {20, 80, 10, 10}, {20, 50, 80, 60}}}},
        AlignCase{"CentreHorizontally",
                  AlignMode::CentreHorizontally,
                  {{kAnchor, {35, 80, 10, 10}, {5, 50, 80, 60}}}},
        AlignCase{"Right", AlignMode::Right, {{kAnchor, {51, 80, 10, 10}, {5, 50, 80, 60}}}},
        AlignCase{"Top", AlignMode::Top, {{kAnchor, {60, 30, 10, 10}, {100, 30, 80, 60}}}},
        AlignCase{"CentreVertically",
                  AlignMode::CentreVertically,
                  {{kAnchor, {60, 35, 10, 10}, {100, 10, 80, 60}}}},
        AlignCase{"Bottom", AlignMode::Bottom, {{kAnchor, {60, 41, 10, 10}, {100, 5, 80, 60}}}},
        AlignCase{
            "SameWidth", AlignMode::SameWidth, {{kAnchor, {60, 80, 41, 10}, {100, 50, 41, 60}}}},
        AlignCase{
            "SameHeight", AlignMode::SameHeight, {{kAnchor, {60, 80, 10, 21}, {100, 50, 80, 21}}}},
        AlignCase{
            "SameSize", AlignMode::SameSize, {{kAnchor, {60, 80, 41, 21}, {100, 50, 41, 21}}}}),
    [](const ::testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.name); });

TEST_F(ThreeElements, AlignmentNearTheFarEdgesKeepsMembersOnThePage) {
  Put(*page, 2, {200, 290, 40, 30});  // right edge 240, bottom 320: inside 245 x 325
  Put(*page, 5, {220, 300, 10, 10});
  const GroupSelection group = Group({2, 5, 9});
  AlignComponent(*page, group, AlignMode::SameSize, kCanvas);
  EXPECT_EQ(RectOf(*page, 5), (Rect{205, 295, 40, 30})) << "grown past the edge, moved back";
  Put(*page, 9, kLarge);
  AlignComponent(*page, group, AlignMode::Left, kCanvas);
  EXPECT_EQ(RectOf(*page, 9), (Rect{165, 50, 80, 60})) << "80 wide from 200 would pass 245";
  AlignComponent(*page, group, AlignMode::Top, kCanvas);
  EXPECT_EQ(RectOf(*page, 9), (Rect{165, 265, 80, 60}));
}

TEST_F(ThreeElements, AlignmentByTheAnchorFirstPicked) {
  const GroupSelection group = Group({5, 2});
  AlignComponent(*page, group, AlignMode::CentreHorizontally, kCanvas);
  // 60 + 10 / 2 - 41 / 2
  EXPECT_EQ(RectOf(*page, 2).left, 45);
  EXPECT_EQ(RectOf(*page, 5), kSmall);
}

TEST_F(ThreeElements, GroupOfOneStaysWhereItIs) {
  const GroupSelection group = Group({9});
  EXPECT_TRUE(GroupToolsEnabled(group));
  for (int tag = 1; tag <= 9; ++tag) {
    AlignComponent(*page, group, *AlignModeOfTag(tag), kCanvas);
    EXPECT_EQ(RectOf(*page, 9), kLarge) << tag;
  }
}

TEST(GroupEdit, AlignModesByButtonTag) {
  EXPECT_EQ(AlignModeOfTag(1), AlignMode::Left);
  EXPECT_EQ(AlignModeOfTag(9), AlignMode::SameSize);
  EXPECT_EQ(AlignModeOfTag(0), std::nullopt);
  EXPECT_EQ(AlignModeOfTag(10), std::nullopt);
  EXPECT_FALSE(ChangesSize(AlignMode::Bottom));
  EXPECT_TRUE(ChangesSize(AlignMode::SameWidth));
  EXPECT_TRUE(ChangesSize(AlignMode::SameSize));
}

// ---- The empty selection ----

TEST_F(ThreeElements, EmptyPickListSelectsNothingAndChangesNothing) {
  std::vector<int> pickList;
  EXPECT_EQ(TogglePick(pickList, 5, true), PickChange::Added);
  EXPECT_EQ(TogglePick(pickList, 5, true), PickChange::Removed);
  GroupSelection group = BuildFromPickList(*page, pickList);
  EXPECT_TRUE(group.empty());
  EXPECT_EQ(RectOf(group.frame), Rect{}) << "no extent, never a negative size";
  EXPECT_FALSE(GroupToolsEnabled(group));
  AnchorState anchors;
  EXPECT_EQ(UpdateAnchor(anchors, *page, group), std::nullopt);

  for (int tag = 1; tag <= 9; ++tag) AlignComponent(*page, group, *AlignModeOfTag(tag), kCanvas);
  NudgeGroup(*page, group, ArrowKey::Left, kCanvas);
  DragGroup(*page, group, {100, 100}, DragBoundsOf(kCanvas));
  EXPECT_EQ(Members(), (std::array<Rect, 3>{kAnchor, kSmall, kLarge}));
  EXPECT_EQ(RectOf(group.frame), Rect{});
}

// ---- Rubber band ----

struct BandCase {
  const char* name;
  EditPoint start, end;
  std::vector<int> taken;
  Rect frame;
};
void PrintTo(const BandCase& c, std::ostream* os) {
  *os << c.name;
}

class RubberBand : public ThreeElements, public ::testing::WithParamInterface<BandCase> {};

TEST_P(RubberBand, TakesWhatLiesWhollyInside) {
  const BandCase& c = GetParam();
  const GroupSelection group = CollectArea(*page, BandFrame(c.start, c.end));
  EXPECT_EQ(group.SelList, c.taken);
  EXPECT_EQ(RectOf(group.frame), c.frame);
}

INSTANTIATE_TEST_SUITE_P(
    GroupEdit, RubberBand,
    ::testing::Values(
        BandCase{"AllInSlotOrder", {10, 10}, {200, 200}, {2, 5, 9}, kFixtureBox},
        BandCase{"DrawnBackwards", {200, 200}, {10, 10}, {2, 5, 9}, kFixtureBox},
        BandCase{"LeftEdgeOnTheElementsTakesIt", {20, 30}, {62, 52}, {2}, kAnchor},
        BandCase{"RightEdgeOnTheElementsLeavesIt", {10, 10}, {61, 60}, {}, {}},
        BandCase{"BottomEdgeOnTheElementsLeavesIt", {10, 10}, {70, 51}, {}, {}},
        BandCase{"DeletedElementIsNotTaken", {25, 32}, {45, 50}, {}, {}},
        BandCase{"NothingInside", {190, 200}, {230, 300}, {}, {}},
        // Dragged out of the canvas to the left: the band still ends at x 58, short of
        // the anchor's right edge at 61, however far into the margin it went.
        BandCase{"CutAtTheCanvasNotShifted", {58, 60}, {-10, 20}, {}, {}},
        BandCase{"IntoTheMarginAboveAndLeft", {75, 95}, {-30, -30}, {2, 5}, {20, 30, 50, 60}}),
    [](const ::testing::TestParamInfo<BandCase>& info) { return std::string(info.param.name); });

// ---- Picking one by one, the anchor and its markers ----

TEST_F(ThreeElements, ShiftClicksBuildTheSelectionInPickOrder) {
  std::vector<int> pickList;
  for (int slot : {5, 2, 9}) EXPECT_EQ(TogglePick(pickList, slot, true), PickChange::Added);
  GroupSelection group = BuildFromPickList(*page, pickList);
  EXPECT_EQ(group.SelList, (std::vector<int>{5, 2, 9}));
  EXPECT_EQ(RectOf(group.frame), kFixtureBox);

  EXPECT_EQ(TogglePick(pickList, 2, true), PickChange::Removed);
  EXPECT_EQ(pickList, (std::vector<int>{5, 9}));
  EXPECT_EQ(TogglePick(pickList, 201, true), PickChange::Unchanged);
  EXPECT_EQ(TogglePick(pickList, -1, true), PickChange::Unchanged);
  group = BuildFromPickList(*page, pickList);
  EXPECT_EQ(RectOf(group.frame), (Rect{60, 50, 120, 60}));

  EXPECT_EQ(TogglePick(pickList, 9, false), PickChange::Cleared);
  EXPECT_TRUE(pickList.empty());
}

TEST_F(ThreeElements, PickListEntriesThatHoldNoElementAreLeftOut) {
  const GroupSelection group = BuildFromPickList(*page, {7, 9, 300, -4, 2, 9});
  EXPECT_EQ(group.SelList, (std::vector<int>{9, 2}));
  EXPECT_EQ(RectOf(group.frame), (Rect{20, 30, 160, 80}));
}

TEST_F(ThreeElements, AnchorIsTheFirstMemberAndTheOldOneIsMarkedOnce) {
  AnchorState anchors;
  EXPECT_EQ(UpdateAnchor(anchors, *page, Group({2, 5})), (AnchorChange{std::nullopt, 2}));
  EXPECT_EQ(UpdateAnchor(anchors, *page, Group({9, 2})), (AnchorChange{2, 9}));
  EXPECT_EQ(UpdateAnchor(anchors, *page, Group({9})), (AnchorChange{std::nullopt, 9}));
  EXPECT_EQ(anchors.SelAnchor, 9);
  page->ElemKind[9] = 0;  // deleted: its markers are gone
  EXPECT_EQ(UpdateAnchor(anchors, *page, Group({5})), (AnchorChange{std::nullopt, 5}));
}

TEST_F(ThreeElements, CornerMarkersSitInsideTheElementsCorners) {
  EXPECT_EQ(CornerMarkers(*page, 2),
            (std::array<EditPoint, 4>{{{20, 30}, {56, 30}, {20, 46}, {56, 46}}}));
}

TEST(GroupEdit, FrameHintListsTheSlotsInHexadecimal) {
  EXPECT_EQ(AreaHint({10, 200, 3}), "0AC803");
  EXPECT_EQ(AreaHint({}), "");
}

// ---- Dragging ----

struct DragCase {
  const char* name;
  EditPoint proposed;
  EditPoint expected;
};
void PrintTo(const DragCase& c, std::ostream* os) {
  *os << c.name;
}

// Drag bounds of a 240 x 320 canvas: x 6..244, y 6..324.
const DragCase kDragCases[] = {
    {"Inside", {100, 100}, {100, 100}},         {"PastLeft", {0, 100}, {6, 100}},
    {"OnTheLeftEdge", {5, 100}, {6, 100}},      {"PastTop", {100, -40}, {100, 6}},
    {"PastRight", {400, 100}, {244 - 41, 100}}, {"PastBottom", {100, 400}, {100, 324 - 21}},
};

class SingleDrag : public ThreeElements, public ::testing::WithParamInterface<DragCase> {};

TEST_P(SingleDrag, StopsOnePixelInsideThePage) {
  ASSERT_TRUE(MoveElement(*page, 2, GetParam().proposed, DragBoundsOf(kCanvas)));
  const EditPoint expected = GetParam().expected;
  EXPECT_EQ(RectOf(*page, 2), (Rect{expected.x, expected.y, 41, 21}));
}
INSTANTIATE_TEST_SUITE_P(GroupEdit, SingleDrag, ::testing::ValuesIn(kDragCases),
                         [](const ::testing::TestParamInfo<DragCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(GroupEdit, ElementLargerThanTheBoundsStaysAtTheLeftAndTop) {
  EXPECT_EQ(DragBoundsOf(kCanvas), (DragBounds{6, 244, 6, 324}));
  EXPECT_EQ(ClampToDragBounds({50, 50}, 300, 400, DragBoundsOf(kCanvas)), (EditPoint{6, 6}));
}

// The group's frame is 160 x 80: it may go from (6, 6) to (244 - 160, 324 - 80).
const DragCase kGroupDragCases[] = {
    {"Inside", {30, 40}, {30, 40}},       {"PastLeft", {-20, 40}, {6, 40}},
    {"PastTop", {30, 0}, {30, 6}},        {"PastRight", {200, 40}, {84, 40}},
    {"PastBottom", {30, 500}, {30, 244}},
};

class GroupDrag : public ThreeElements, public ::testing::WithParamInterface<DragCase> {};

TEST_P(GroupDrag, MovesEveryMemberAsFarAsTheFrame) {
  GroupSelection group = Group();
  DragGroup(*page, group, GetParam().proposed, DragBoundsOf(kCanvas));
  const EditPoint at = GetParam().expected;
  EXPECT_EQ(RectOf(group.frame), (Rect{at.x, at.y, 160, 80}));
  const int dx = at.x - kFixtureBox.left;
  const int dy = at.y - kFixtureBox.top;
  auto moved = [&](Rect r) { return Rect{r.left + dx, r.top + dy, r.width, r.height}; };
  EXPECT_EQ(Members(), (std::array<Rect, 3>{moved(kAnchor), moved(kSmall), moved(kLarge)}))
      << "the locked member moves with its group";
}
INSTANTIATE_TEST_SUITE_P(GroupEdit, GroupDrag, ::testing::ValuesIn(kGroupDragCases),
                         [](const ::testing::TestParamInfo<DragCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ThreeElements, MembersBeyondTheFrameStayInsideTheBoundsToo) {
  // "Same width" widens the small member past the frame, which keeps its size; the frame
  // is then made smaller still, so the anchor reaches beyond its left edge as well.
  GroupSelection group = Group({2, 5});
  AlignComponent(*page, group, AlignMode::SameWidth, kCanvas);
  EXPECT_EQ(RectOf(group.frame), (Rect{20, 30, 50, 60}));
  group.frame = {40, 40, 10, 10};
  DragGroup(*page, group, {10, 40}, DragBoundsOf(kCanvas));
  EXPECT_EQ(RectOf(*page, 2).left, 6) << "not wrapped round past the page's origin";
  EXPECT_EQ(group.frame.left, 26);
  DragGroup(*page, group, {300, 40}, DragBoundsOf(kCanvas));
  EXPECT_EQ(RectOf(*page, 5).left + 41, 244);
}

// ---- Nudging ----

struct NudgeCase {
  const char* name;
  ArrowKey key;
  EditPoint from;
  EditPoint to;
};
void PrintTo(const NudgeCase& c, std::ostream* os) {
  *os << c.name;
}

// One press is two one-pixel steps, each stopped at the page edge (window 5 on the left
// and top, 245 and 325 on the right and bottom for a 240 x 320 page).
class SingleNudge : public ThreeElements, public ::testing::WithParamInterface<NudgeCase> {};

TEST_P(SingleNudge, MovesTwoPixelsUpToThePageEdge) {
  const NudgeCase& c = GetParam();
  Put(*page, 9, {c.from.x, c.from.y, 41, 21}, /*locked=*/true);
  NudgeElement(*page, 9, c.key, kCanvas);
  EXPECT_EQ(RectOf(*page, 9), (Rect{c.to.x, c.to.y, 41, 21}));
}
INSTANTIATE_TEST_SUITE_P(
    GroupEdit, SingleNudge,
    ::testing::Values(NudgeCase{"Left", ArrowKey::Left, {20, 30}, {18, 30}},
                      NudgeCase{"LeftOneStepFromTheEdge", ArrowKey::Left, {6, 30}, {5, 30}},
                      NudgeCase{"LeftAtTheEdge", ArrowKey::Left, {5, 30}, {5, 30}},
                      NudgeCase{"UpOneStepFromTheEdge", ArrowKey::Up, {20, 6}, {20, 5}},
                      NudgeCase{"Right", ArrowKey::Right, {100, 30}, {102, 30}},
                      NudgeCase{"RightOneStepFromTheEdge", ArrowKey::Right, {203, 30}, {204, 30}},
                      NudgeCase{"RightAtTheEdge", ArrowKey::Right, {204, 30}, {204, 30}},
                      NudgeCase{"DownOneStepFromTheEdge", ArrowKey::Down, {20, 303}, {20, 304}},
                      NudgeCase{"DownAtTheEdge", ArrowKey::Down, {20, 304}, {20, 304}}),
    [](const ::testing::TestParamInfo<NudgeCase>& info) { return std::string(info.param.name); });

// The group's frame (160 x 80) is first dragged to `from`, then nudged.
class GroupNudge : public ThreeElements, public ::testing::WithParamInterface<NudgeCase> {};

TEST_P(GroupNudge, MovesTheFrameAndEveryMemberTogether) {
  const NudgeCase& c = GetParam();
  GroupSelection group = Group();
  DragGroup(*page, group, c.from, DragBoundsOf(kCanvas));
  ASSERT_EQ(RectOf(group.frame), (Rect{c.from.x, c.from.y, 160, 80}));
  NudgeGroup(*page, group, c.key, kCanvas);
  EXPECT_EQ(RectOf(group.frame), (Rect{c.to.x, c.to.y, 160, 80}));
  const int dx = c.to.x - kFixtureBox.left;
  const int dy = c.to.y - kFixtureBox.top;
  auto moved = [&](Rect r) { return Rect{r.left + dx, r.top + dy, r.width, r.height}; };
  EXPECT_EQ(Members(), (std::array<Rect, 3>{moved(kAnchor), moved(kSmall), moved(kLarge)}));
}
INSTANTIATE_TEST_SUITE_P(
    GroupEdit, GroupNudge,
    ::testing::Values(NudgeCase{"Left", ArrowKey::Left, {20, 30}, {18, 30}},
                      NudgeCase{"LeftOneStepFromTheEdge", ArrowKey::Left, {6, 30}, {5, 30}},
                      NudgeCase{"UpOneStepFromTheEdge", ArrowKey::Up, {20, 6}, {20, 5}},
                      NudgeCase{"RightOneStepFromTheEdge", ArrowKey::Right, {84, 30}, {85, 30}},
                      NudgeCase{"Down", ArrowKey::Down, {20, 30}, {20, 32}},
                      NudgeCase{"DownOneStepFromTheEdge", ArrowKey::Down, {20, 244}, {20, 245}}),
    [](const ::testing::TestParamInfo<NudgeCase>& info) { return std::string(info.param.name); });

TEST_F(ThreeElements, GroupNudgeStopsWhereAMemberBeyondTheFrameMeetsTheEdge) {
  GroupSelection group = Group({2});
  group.frame = {40, 40, 10, 10};  // smaller than its member, which lies at x 6
  Put(*page, 2, {6, 30, 41, 21});
  NudgeGroup(*page, group, ArrowKey::Left, kCanvas);
  EXPECT_EQ(RectOf(*page, 2).left, 5);
  EXPECT_EQ(group.frame.left, 39);
}

}  // namespace
}  // namespace dravik::editor
