#include "tools/multiple_copy.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "elements/element_operands.h"
#include "model/settings_page.h"
#include "tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

constexpr editor::PageSize kPage{320, 240};

// The test lists with two more plain bit kinds, 3 "Y" and 4 "Q", so that the octal
// numbering of some protocols' inputs and outputs can show.
params::DeviceLists ListsWithOctalKinds() {
  params::DeviceLists lists = TestLists();
  lists.B_DeviceName = {"D.b", "M", "X", "Y", "Q"};
  lists.B_DeviceBit = {"15", "0", "-1", "0", "0"};
  lists.B_DeviceMax = {"65000", "8191", "8191", "1777", "8191"};
  return lists;
}

struct Position {
  int left;
  int top;
  bool operator==(const Position&) const = default;
};
void PrintTo(const Position& p, std::ostream* os) {
  *os << "(" << p.left << ", " << p.top << ")";
}

class MultipleCopyTest : public testing::Test {
 protected:
  MultipleCopyTest() { p.UsePage(1, "画面"); }

  model::PageRecord& Page() { return p.image->Page(1); }

  int PlaceAt(int kind, int left, int top, int width, int height) {
    const int slot = p.Place(1, kind);
    ElementFields element(Page(), slot);
    element.left() = static_cast<std::uint16_t>(left);
    element.top() = static_cast<std::uint16_t>(top);
    element.width() = static_cast<std::uint16_t>(width);
    element.height() = static_cast<std::uint16_t>(height);
    return slot;
  }

  // Copies the page to the clipboard and runs the multiple copy of `slot`.
  MultipleCopyOutcome Run(int slot, const MultipleCopyOptions& options,
                          const CopyProgress& progress = {}) {
    clipboard[0] = Page();
    return RunMultipleCopy(options, rules, clipboard[0], slot, Page(), kPage, progress);
  }

  std::vector<Position> Positions(const std::vector<int>& slotList) {
    std::vector<Position> positions;
    for (int slot : slotList) {
      positions.push_back({Page().ElemLeft[static_cast<std::size_t>(slot)],
                           Page().ElemTop[static_cast<std::size_t>(slot)]});
    }
    return positions;
  }

  std::vector<int> Addresses(const std::vector<int>& slotList) {
    std::vector<int> addresses;
    for (int slot : slotList) addresses.push_back(Page().ElemWordA[static_cast<std::size_t>(slot)]);
    return addresses;
  }

  ToolsProject p;
  params::DeviceLists lists = ListsWithOctalKinds();
  AddressStepRules rules{&lists, {0, 0}};
  model::RecordStore clipboard{1};
};

MultipleCopyOptions Options(int perRow, int perColumn, bool rowOrder) {
  MultipleCopyOptions options;
  options.perRow = perRow;
  options.perColumn = perColumn;
  options.rowOrder = rowOrder;
  return options;
}

TEST_F(MultipleCopyTest, RowAndColumnOrdersPlaceTheArrayAndStepTheAddressInTheirOrder) {
  struct Case {
    bool rowOrder;
    std::vector<Position> expected;
  };
  const Case cases[] = {
      {true, {{85, 30}, {150, 30}, {20, 61}, {85, 61}, {150, 61}}},
      {false, {{20, 61}, {85, 30}, {85, 61}, {150, 30}, {150, 61}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rowOrder ? "rows" : "columns");
    p.image->Page(1) = model::PageRecord{};
    p.UsePage(1, "画面");
    const int source = PlaceAt(kKindRegister, 20, 30, 60, 26);
    Page().ElemWordA[static_cast<std::size_t>(source)] = 100;

    const MultipleCopyOutcome outcome = Run(source, Options(3, 2, c.rowOrder));

    EXPECT_FALSE(outcome.PasteFailed);
    EXPECT_EQ(Positions(outcome.created), c.expected);
    EXPECT_EQ(Addresses(outcome.created), (std::vector<int>{101, 102, 103, 104, 105}));
    EXPECT_EQ(Positions({source}), (std::vector<Position>{{20, 30}}));
    // The clipboard keeps the last copy, so an ordinary paste continues from there.
    EXPECT_EQ(clipboard[0].ElemLeft[static_cast<std::size_t>(source)], 150);
    EXPECT_EQ(clipboard[0].ElemTop[static_cast<std::size_t>(source)], 61);
    EXPECT_EQ(clipboard[0].ElemWordA[static_cast<std::size_t>(source)], 105);
  }
}

TEST_F(MultipleCopyTest, OneByOneMakesNoCopy) {
  const int source = PlaceAt(kKindRegister, 20, 30, 60, 26);
  EXPECT_TRUE(Run(source, Options(1, 1, true)).created.empty());
}

TEST_F(MultipleCopyTest, WithoutIncrementEveryCopyKeepsTheAddress) {
  const int source = PlaceAt(kKindRegister, 20, 30, 60, 26);
  Page().ElemWordA[static_cast<std::size_t>(source)] = 100;
  MultipleCopyOptions options = Options(2, 2, true);
  options.increaseAddress = false;
  EXPECT_EQ(Addresses(Run(source, options).created), (std::vector<int>{100, 100, 100}));
}

TEST_F(MultipleCopyTest, ASourceAtTheTopLeftCornerNeverWrapsAround) {
  for (const bool rowOrder : {true, false}) {
    SCOPED_TRACE(rowOrder ? "rows" : "columns");
    p.image->Page(1) = model::PageRecord{};
    p.UsePage(1, "画面");
    const int source = PlaceAt(kKindLamp, 5, 5, 40, 20);
    const MultipleCopyOutcome outcome = Run(source, Options(2, 2, rowOrder));
    const std::vector<Position> expected = rowOrder
                                               ? std::vector<Position>{{50, 5}, {5, 30}, {50, 30}}
                                               : std::vector<Position>{{5, 30}, {50, 5}, {50, 30}};
    EXPECT_EQ(Positions(outcome.created), expected);
  }
}

TEST_F(MultipleCopyTest, ACopyPushedAgainstTheRightEdgeTakesTheRestOfItsRowAlong) {
  const int source = PlaceAt(kKindRegister, 200, 30, 60, 26);
  const MultipleCopyOutcome outcome = Run(source, Options(3, 2, true));
  // The page ends at 320, so nothing starts right of 260.
  EXPECT_EQ(Positions(outcome.created),
            (std::vector<Position>{{260, 30}, {260, 30}, {200, 61}, {260, 61}, {260, 61}}));
}

TEST_F(MultipleCopyTest, AFullPageStopsAtTheFirstFailingPasteAndKeepsTheCopiesMade) {
  const int source = PlaceAt(kKindRegister, 20, 30, 60, 26);
  Page().ElemWordA[static_cast<std::size_t>(source)] = 100;
  // Fill the page until two slots are left for another register.
  std::vector<int> fillers;
  while (const std::optional<int> slot = elements::FindFreeSlot(Page(), kKindRegister)) {
    fillers.push_back(p.Place(1, kKindRegister));
  }
  Page().ElemKind[static_cast<std::size_t>(fillers.back())] = 0;
  Page().ElemKind[static_cast<std::size_t>(fillers[fillers.size() - 2])] = 0;

  const MultipleCopyOutcome outcome = Run(source, Options(3, 3, true));

  EXPECT_TRUE(outcome.PasteFailed);
  EXPECT_EQ(outcome.created.size(), 2u);
  EXPECT_EQ(Addresses(outcome.created), (std::vector<int>{101, 102}));
  // The clipboard holds the last copy made, not the one that found no slot.
  EXPECT_EQ(clipboard[0].ElemWordA[static_cast<std::size_t>(source)], 102);
}

TEST_F(MultipleCopyTest, ProgressCountsEachRowWithItsOwnTotal) {
  const int source = PlaceAt(kKindRegister, 20, 30, 60, 26);
  std::vector<std::pair<int, int>> steps;
  Run(source, Options(3, 2, true), [&](int done, int total) { steps.emplace_back(done, total); });
  EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{
                       {0, 2}, {1, 2}, {2, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(MultipleCopyTest, IncreaseAddressFollowsTheKindAndTheDevice) {
  struct Case {
    const char* name;
    int kind;
    std::uint16_t address;
    std::uint8_t operandByte;
    int protocol;
    std::uint16_t expectedAddress;
    std::uint8_t expectedByte;
    bool stepped;
  };
  const Case cases[] = {
      {"octal output 7 carries to 10", kKindLamp, 7, 0x30, 0, 10, 0x30, true},
      {"octal output 77 carries to 100", kKindLamp, 77, 0x30, 1, 100, 0x30, true},
      {"octal input 1677 carries to 1700", kKindBitSwitch, 1677, 0x40, 11, 1700, 0x40, true},
      {"octal stops at its maximum 1777", kKindLamp, 1777, 0x30, 0, 1777, 0x30, true},
      {"the same device is decimal on another protocol", kKindLamp, 7, 0x30, 5, 8, 0x30, true},
      {"plain bits stop at the maximum", kKindLamp, 8191, 0x10, 0, 8191, 0x10, true},
      {"hexadecimal bits count on", kKindLamp, 0x7F, 0x20, 0, 0x80, 0x20, true},
      {"bit 15 of word 4 is followed by word 5 bit 0", kKindLamp, 4, 0x0F, 0, 5, 0x00, true},
      {"the next bit in the same word", kKindBitSwitch, 4, 0x03, 0, 4, 0x04, true},
      {"the last bit of the last word stays", kKindLamp, 65000, 0x0F, 0, 65000, 0x0F, true},
      {"a register steps by one", kKindRegister, 100, 0x00, 0, 101, 0x00, true},
      {"a register stops at its maximum", kKindRegister, 65000, 0x00, 0, 65000, 0x00, true},
      // The register's bit 7 is its Float flag, not Link 2 (whose 4X would go on).
      {"a float register is on Link 1", kKindRegister, 65000, 0x80, 0, 65000, 0x80, true},
      {"a maximum that is no number sets no limit", kKindRegister, 500, 0x10, 0, 501, 0x10, true},
      {"a Link 2 trend chart", kKindTrendChart, 65534, 0x80, 0, 65535, 0x80, true},
      {"a date keeps its fields", kKindDate, 7, 0x01, 0, 7, 0x01, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int slot = p.PlaceOperand(1, c.kind, c.address, c.operandByte);
    const AddressStepRules caseRules{&lists, {c.protocol, 0}};
    EXPECT_EQ(IncreaseAddress(Page(), slot, caseRules), c.stepped);
    EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(slot)], c.expectedAddress);
    EXPECT_EQ(Page().ElemByteB[static_cast<std::size_t>(slot)], c.expectedByte);
    Page().ElemKind[static_cast<std::size_t>(slot)] = 0;
  }
}

TEST_F(MultipleCopyTest, KindsWithALinkWordOrAWholeSelectorStepTheirRegisterOnly) {
  const int dynamic = p.Place(1, kKindDynamicText);
  Page().ElemWordA[static_cast<std::size_t>(dynamic)] = 65535;
  Page().ElemWordD[static_cast<std::size_t>(dynamic)] = LinkWord{0, 1, 1}.Pack();  // 3X
  const int station = p.Place(1, kKindStationText);
  Page().ElemWordA[static_cast<std::size_t>(station)] = 10;
  Page().ElemWordB[static_cast<std::size_t>(station)] = 3;  // the station's ID
  const int panel = p.Place(1, kKindWordPanel);
  Page().ElemWordA[static_cast<std::size_t>(panel)] = 20;
  Page().ElemLongD[static_cast<std::size_t>(panel)] = 9;  // Link 2, 3X
  const int rectangle = p.Place(1, kKindRectangle);
  ShapeElement shape(Page(), rectangle);
  shape.movesHorizontally() = 1;
  shape.horizontalRegister() = 40;
  shape.visibilityByRegister() = 1;
  shape.visibilityRegister() = 50;

  for (int slot : {dynamic, station, panel, rectangle}) IncreaseAddress(Page(), slot, rules);

  EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(dynamic)], 65535);  // 3X's maximum
  EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(station)], 11);
  EXPECT_EQ(Page().ElemWordB[static_cast<std::size_t>(station)], 3);
  EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(panel)], 21);
  // A drawing element's movement and visibility registers are no operand.
  EXPECT_EQ(shape.horizontalRegister(), 40);
  EXPECT_EQ(shape.visibilityRegister(), 50);
}

TEST_F(MultipleCopyTest, ALinkWhoseListsAreUnknownLimitsNothing) {
  lists.unknownLink1Protocol = 42;
  const int slot = p.PlaceOperand(1, kKindLamp, 8191, 0x10);
  IncreaseAddress(Page(), slot, rules);
  EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(slot)], 8192);
}

TEST(NextOctalAddress, CarriesEveryDigitPastSeven) {
  const std::pair<std::int64_t, std::int64_t> cases[] = {{0, 1},      {6, 7},       {7, 10},
                                                         {17, 20},    {77, 100},    {177, 200},
                                                         {777, 1000}, {1777, 2000}, {1234, 1235}};
  for (const auto& [address, next] : cases) EXPECT_EQ(NextOctalAddress(address), next) << address;
}

TEST(AddressStepRulesOf, TakesEachLinksProtocolFromTheSettings) {
  ToolsProject p;
  model::At(p.image->Settings(), model::settings::kLink1Protocol) = 11;
  model::At(p.image->Settings(), model::settings::kLink2Table) = 2;
  const params::DeviceLists lists = TestLists();
  const AddressStepRules rules = AddressStepRulesOf(lists, p.image->Settings());
  EXPECT_EQ(rules.lists, &lists);
  EXPECT_EQ(rules.protocolIndex, (std::array<int, 2>{11, 2}));
}

}  // namespace
}  // namespace dravik::tools
