#include "elements/element_operands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "elements/element_kind.h"
#include "model/page_record.h"

namespace dravik::elements {
namespace {

using model::PageRecord;
using enum AddressCategory;
using enum AddressRole;

constexpr int kSlot = 7;

ElementAddress WordAt(std::int64_t address, int link, int device, AddressRole role = kOperand) {
  return {kWord, role, address, DeviceSelector::Of(link, device), 0};
}
ElementAddress BitAt(std::int64_t address, int link, int device, int bit) {
  return {kBit, kOperand, address, DeviceSelector::Of(link, device), bit};
}
ElementAddress Station(std::int64_t id) {
  return {kStationId, kStation, id, {}, 0};
}

// The arrays in which kinds keep addresses; the others stay 0.
struct Fields {
  std::uint16_t wordA = 0;
  std::uint16_t wordB = 0;
  std::uint16_t wordD = 0;
  std::uint16_t wordE = 0;
  std::uint8_t byteB = 0;
  std::uint8_t byteC = 0;
  std::uint8_t byteD = 0;
  std::uint8_t byteE = 0;
  std::int32_t longC = 0;
  std::int32_t longD = 0;
};

struct Case {
  const char* name;
  int kind;
  Fields fields;
  std::vector<ElementAddress> expected;  // under FlagRule::kNonZero
};

class ElementOperandsTest : public testing::Test {
 protected:
  std::vector<ElementAddress> Addresses(const Case& c, FlagRule rule = FlagRule::kNonZero) {
    page_ = std::make_unique<PageRecord>();
    PageRecord& p = *page_;
    const Fields& f = c.fields;
    p.ElemKind[kSlot] = static_cast<std::uint8_t>(c.kind);
    p.ElemWordA[kSlot] = f.wordA;
    p.ElemWordB[kSlot] = f.wordB;
    p.ElemWordD[kSlot] = f.wordD;
    p.ElemWordE[kSlot] = f.wordE;
    p.ElemByteB[kSlot] = f.byteB;
    p.ElemByteC[kSlot] = f.byteC;
    p.ElemByteD[kSlot] = f.byteD;
    p.ElemByteE[kSlot] = f.byteE;
    p.ElemLongC[kSlot] = f.longC;
    p.ElemLongD[kSlot] = f.longD;
    const ElementAddresses found = AddressesOf(p, kSlot, rule);
    return {found.begin(), found.end()};
  }
  std::unique_ptr<PageRecord> page_;
};

TEST_F(ElementOperandsTest, EachKindNamesItsAddressesWhereItKeepsThem) {
  // clang-format off
  const Case cases[] = {
      {"text without a bit in use", kKindText, {.wordA = 7, .byteB = 0x15}, {}},
      {"text with a bit in use", kKindText, {.wordA = 7, .byteB = 0x15, .byteD = 1},
       {BitAt(7, 0, 1, 5)}},
      {"lamp on Link 2", kKindLamp, {.wordA = 100, .byteB = 0x93}, {BitAt(100, 1, 1, 3)}},
      {"bit switch", kKindBitSwitch, {.wordA = 2047, .byteB = 0x20}, {BitAt(2047, 0, 2, 0)}},
      {"picture always shown", kKindPicture, {.wordA = 5, .byteB = 0x12}, {}},
      {"picture shown by a bit", kKindPicture, {.wordA = 5, .byteB = 0x12, .byteD = 1},
       {BitAt(5, 0, 1, 2)}},
      {"Float register stays on Link 1", kKindRegister, {.wordA = 100, .byteB = 0x91},
       {WordAt(100, 0, 1)}},
      {"trend chart on Link 2", kKindTrendChart, {.wordA = 40, .byteB = 0xA0},
       {WordAt(40, 1, 2)}},
      {"dynamic text", kKindDynamicText, {.wordA = 12, .wordD = 0x0A01}, {WordAt(12, 1, 2)}},
      {"station text: register and station", kKindStationText,
       {.wordA = 100, .wordB = 5, .wordD = 0x0100}, {WordAt(100, 0, 1), Station(5)}},
      {"rectangle: the flagged registers in order", kKindRectangle,
       {.wordA = 7, .wordD = 0x0801, .byteC = 1, .byteE = 2, .longC = 5, .longD = 6},
       {WordAt(5, 1, 0, kHorizontalMove), WordAt(7, 1, 0, kVisibility)}},
      {"word panel", kKindWordPanel, {.wordA = 3, .longD = 9}, {WordAt(3, 1, 1)}},
      {"recipe-save key names a station", kKindFunctionKey, {.wordD = 0x08, .longC = 7},
       {Station(7)}},
      {"other panel functions name none", kKindFunctionKey,
       {.wordD = 0x08, .wordE = 3, .longC = 7}, {}},
      {"a page-jump key names none", kKindFunctionKey, {.wordD = 0x04, .longC = 7}, {}},
      {"scale", kKindScale, {.wordA = 5}, {}},
      {"empty slot", kKindEmpty, {.wordA = 5}, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Addresses(c), c.expected);
  }
}

// The search takes a drawing element's flag as set only when it is 1; the preview, the
// cross-reference and the compile check whenever it is not 0.
TEST_F(ElementOperandsTest, TheSearchTakesOnlyFlagsOfOne) {
  const Case ellipse{"ellipse", kKindEllipse, {.byteC = 2, .byteD = 1, .longC = 5, .longD = 6}, {}};
  EXPECT_EQ(Addresses(ellipse, FlagRule::kExactlyOne),
            std::vector<ElementAddress>{WordAt(6, 0, 0, kVerticalMove)});
  EXPECT_EQ(Addresses(ellipse, FlagRule::kNonZero),
            (std::vector<ElementAddress>{WordAt(5, 0, 0, kHorizontalMove),
                                         WordAt(6, 0, 0, kVerticalMove)}));
}

TEST_F(ElementOperandsTest, AWordPanelSelectorOutOfRangeNamesNoDevice) {
  EXPECT_EQ(Addresses({"word panel", kKindWordPanel, {.wordA = 3, .longD = 99}, {}}).size(), 1u);
  const std::optional<DeviceSelector> selector = DeviceSelectorOf(*page_, kSlot);
  ASSERT_TRUE(selector.has_value());
  EXPECT_FALSE(selector->Valid());
  EXPECT_EQ(selector->Device(), -1);
  EXPECT_FALSE(DeviceSelectorOf(*page_, kSlot + 1).has_value()) << "an empty slot has none";
}

}  // namespace
}  // namespace dravik::elements
