#include "tools/address_xref.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elements/element_kind.h"
#include "tools/device_tables.h"
#include "tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

// The used-data preview's label of one element, as the preview writes it.
TEST(UsedDataLabelTest, WritesEachKindsAddresses) {
  struct Case {
    const char* name;
    int kind;
    std::uint16_t wordA;
    std::uint8_t byteB;
    void (*more)(model::PageRecord&, std::size_t);
    const char* text;
    int link;
  };
  const auto none = [](model::PageRecord&, std::size_t) {};
  const Case cases[] = {
      {"register", kKindRegister, 100, 0x00, none, "D100 ", 0},
      {"register on Link 2's word kind", kKindBarGraph, 100, 0x90, none, "3X100 ", 1},
      {"bits in a word", kKindLamp, 12, 0x0F, none, "D.b12.F ", 0},
      {"plain bits", kKindBitSwitch, 12, 0x13, none, "M12 ", 0},
      {"hexadecimal bits", kKindLamp, 0x7F, 0x20, none, "X07F ", 0},
      {"Link 2 bits", kKindLamp, 12, 0x80, none, "0X12 ", 1},
      {"text without a bit", kKindText, 12, 0x10, none, "", 0},
      {"picture shown by a bit", kKindPicture, 4, 0x10,
       [](model::PageRecord& p, std::size_t s) { p.ElemByteD[s] = 1; }, "M4 ", 0},
      {"station text", kKindStationText, 100, 0,
       [](model::PageRecord& p, std::size_t s) { p.ElemWordB[s] = 5; }, "D100  : ID5 ", 0},
      {"recipe key", kKindFunctionKey, 0, 0,
       [](model::PageRecord& p, std::size_t s) {
         p.ElemWordD[s] = 0x08;
         p.ElemLongC[s] = 7;
       },
       "ID 7 ", 0},
      {"rectangle", kKindRectangle, 7, 0,
       [](model::PageRecord& p, std::size_t s) {
         p.ElemByteC[s] = 1;
         p.ElemLongC[s] = 5;
         p.ElemByteD[s] = 2;  // the preview takes any flag that is not 0
         p.ElemLongD[s] = 6;
         p.ElemByteE[s] = 1;
         p.ElemWordD[s] = 0x0900;
       },
       "3X5; 3X6; 3X7 ", 1},
      {"a device the link does not have", kKindRegister, 9, 0x50, none, "9 ", 0},
  };
  const params::DeviceLists lists = TestLists();
  ToolsProject p;
  model::PageRecord& page = p.image->Page(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Placement writes every array these kinds read, so each case starts afresh.
    const int slot = p.PlaceOperand(1, c.kind, c.wordA, c.byteB);
    c.more(page, static_cast<std::size_t>(slot));
    const UsedDataLabel label = UsedDataLabelOf(page, slot, lists);
    EXPECT_EQ(label.text, c.text);
    EXPECT_EQ(label.link, c.link);
    page.ElemKind[static_cast<std::size_t>(slot)] = kKindEmpty;
  }
}

struct Ref {
  std::optional<int> link;
  std::string device;
  std::int64_t address;
  std::optional<int> bit;
  int page;
  int slot;
  bool operator==(const Ref&) const = default;
};

void PrintTo(const Ref& r, std::ostream* os) {
  *os << "{link " << (r.link ? std::to_string(*r.link) : "-") << ", " << r.device << r.address
      << (r.bit ? "." + std::to_string(*r.bit) : "") << ", page " << r.page << ", slot " << r.slot
      << "}";
}

TEST(AddressXrefTest, ListsEveryAddressByLinkDeviceAndAddress) {
  ToolsProject p;
  model::PageRecord& two = p.UsePage(2, "Two");
  p.UsePage(1, "One");
  const int m7 = p.PlaceOperand(1, kKindLamp, 7, 0x10);
  const int d200 = p.PlaceOperand(1, kKindRegister, 200, 0x00);
  const int link2 = p.PlaceOperand(1, kKindRegister, 1, 0x90);  // Float: still Link 1's R
  const int bits = p.PlaceOperand(1, kKindLamp, 3, 0x05);
  const int d100b = p.PlaceOperand(2, kKindTrendChart, 100, 0x00);
  const int d100a = p.PlaceOperand(1, kKindRegister, 100, 0x00);
  const int x4x = p.PlaceOperand(2, kKindBarGraph, 5, 0x80);
  const int key = p.Place(2, kKindFunctionKey);
  two.ElemWordD[key] = 0x08;
  two.ElemLongC[key] = 3;
  const int shape = p.Place(2, kKindEllipse);
  two.ElemByteC[shape] = 1;
  two.ElemLongC[shape] = 150;
  two.ElemByteE[shape] = 1;
  two.ElemWordA[shape] = 50;
  p.PlaceOperand(3, kKindRegister, 100, 0x00);  // page 3 is not in use

  std::vector<Ref> refs;
  const params::DeviceLists lists = TestLists();
  for (const AddressRef& ref : CollectAddressRefs(*p.image, lists)) {
    refs.push_back(
        {ref.link, std::string(ref.deviceName), ref.address, ref.bit, ref.page, ref.slot});
  }
  const std::vector<Ref> expected = {
      {0, "D", 50, {}, 2, shape},  {0, "D", 100, {}, 1, d100a}, {0, "D", 100, {}, 2, d100b},
      {0, "D", 150, {}, 2, shape}, {0, "D", 200, {}, 1, d200},  {0, "R", 1, {}, 1, link2},
      {0, "D.b", 3, 5, 1, bits},   {0, "M", 7, {}, 1, m7},      {1, "4X", 5, {}, 2, x4x},
      {{}, "ID", 3, {}, 2, key},
  };
  EXPECT_EQ(refs, expected);
}

TEST(AddressXrefTest, AddressNumbersAreTypedAndWrittenInTheDevicesBase) {
  EXPECT_EQ(AddressNumberText(0x7F, true), "07F");
  EXPECT_EQ(AddressNumberText(0x1FFF, true), "1FFF");
  EXPECT_EQ(AddressNumberText(127, false), "127");
  EXPECT_EQ(ParseAddressNumber("1fFf", true), 0x1FFF);
  EXPECT_EQ(ParseAddressNumber("0x10", true), std::nullopt);
  EXPECT_EQ(ParseAddressNumber("12a", false), std::nullopt);
  EXPECT_EQ(ParseAddressNumber("99999999999", false), std::nullopt);
}

}  // namespace
}  // namespace dravik::tools
