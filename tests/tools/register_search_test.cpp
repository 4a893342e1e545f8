#include "tools/register_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "elements/element_kind.h"
#include "tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

struct Found {
  int page;
  int slot;
  bool operator==(const Found&) const = default;
};
void PrintTo(const Found& f, std::ostream* os) {
  *os << "page " << f.page << " slot " << f.slot;
}

class RegisterSearchTest : public testing::Test {
 protected:
  std::vector<Found> Search(SearchCategory category, int link, int device, std::int64_t address) {
    std::vector<Found> found;
    for (const SearchMatch& match : RegisterSearch(*p.image, {category, link, device, address})) {
      EXPECT_EQ(match.kind, p.image->Page(match.page).ElemKind[match.slot]);
      found.push_back({match.page, match.slot});
    }
    return found;
  }
  ToolsProject p;
};

TEST_F(RegisterSearchTest, AWordSearchFindsTheWordKindsOfEveryUsedPageButNotBits) {
  p.UsePage(1, "主画面");
  p.UsePage(3, "趋势");
  const int reg = p.PlaceOperand(1, kKindRegister, 100, 0x00);
  const int bar = p.PlaceOperand(1, kKindBarGraph, 100, 0x00);
  p.PlaceOperand(1, kKindLamp, 100, 0x00);
  p.PlaceOperand(1, kKindRegister, 101, 0x00);
  p.PlaceOperand(1, kKindRegister, 100, 0x10);  // kind R
  const int chart = p.PlaceOperand(3, kKindTrendChart, 100, 0x00);
  p.PlaceOperand(2, kKindRegister, 100, 0x00);  // page 2 is not in use

  EXPECT_EQ(Search(SearchCategory::kWord, 0, 0, 100),
            (std::vector<Found>{{1, reg}, {1, bar}, {3, chart}}));

  const std::vector<SearchMatch> matches =
      RegisterSearch(*p.image, {SearchCategory::kWord, 0, 0, 100});
  EXPECT_EQ(matches[0].caption, "1:主画面");
  EXPECT_EQ(matches[0].pageName, "主画面");
  EXPECT_EQ(matches[2].kind, kKindTrendChart);
}

TEST_F(RegisterSearchTest, TheLinkAndDeviceMustMatch) {
  const int link1 = p.PlaceOperand(1, kKindLamp, 7, 0x15);              // M7.5 on Link 1
  const int link2 = p.PlaceOperand(1, kKindLamp, 7, 0x95);              // the same on Link 2
  const int floatRegister = p.PlaceOperand(1, kKindRegister, 7, 0x91);  // R7, Float
  EXPECT_EQ(Search(SearchCategory::kBit, 0, 1, 7), (std::vector<Found>{{1, link1}}));
  EXPECT_EQ(Search(SearchCategory::kBit, 1, 1, 7), (std::vector<Found>{{1, link2}}));
  // The register's bit 7 is its Float flag; the register stays on Link 1.
  EXPECT_EQ(Search(SearchCategory::kWord, 0, 1, 7), (std::vector<Found>{{1, floatRegister}}));
  EXPECT_EQ(Search(SearchCategory::kWord, 1, 1, 7), std::vector<Found>{});
}

// A text or a picture carries a bit only while its flag (ElemByteD) says so; fresh ones
// hold bit 0 of the first bit kind in their arrays and must not be found there.
TEST_F(RegisterSearchTest, TextsAndPicturesAreFoundOnlyByABitInUse) {
  model::PageRecord& page = p.UsePage(1, "Main");
  p.Place(1, kKindText);
  p.Place(1, kKindPicture);
  const int lamp = p.PlaceOperand(1, kKindLamp, 0, 0x00);
  EXPECT_EQ(Search(SearchCategory::kBit, 0, 0, 0), (std::vector<Found>{{1, lamp}}));
  EXPECT_EQ(Search(SearchCategory::kWord, 0, 0, 0), std::vector<Found>{});

  const int picture = p.PlaceOperand(1, kKindPicture, 3, 0x12);
  page.ElemByteD[picture] = 1;
  EXPECT_EQ(Search(SearchCategory::kBit, 0, 1, 3), (std::vector<Found>{{1, picture}}));
}

// Kinds 8, 19 and the drawing kinds follow rules of their own.
TEST_F(RegisterSearchTest, StationIdsAndDrawingFlagsFollowTheirOwnRules) {
  model::PageRecord& page = p.UsePage(1, "Main");
  const int station = p.Place(1, kKindStationText);
  page.ElemWordA[station] = 5;
  page.ElemWordB[station] = 9;       // station ID
  page.ElemWordD[station] = 0x0900;  // Link 2, kind 1
  const int recipeKey = p.Place(1, kKindFunctionKey);
  page.ElemWordD[recipeKey] = 0x08;
  page.ElemLongC[recipeKey] = 9;
  const int jumpKey = p.Place(1, kKindFunctionKey);
  page.ElemWordD[jumpKey] = 0x04;
  page.ElemLongC[jumpKey] = 9;
  const int rectangle = p.Place(1, kKindRectangle);
  page.ElemByteD[rectangle] = 1;
  page.ElemLongD[rectangle] = 9;
  const int ellipse = p.Place(1, kKindEllipse);
  page.ElemByteC[ellipse] = 2;  // set, but not to 1
  page.ElemLongC[ellipse] = 9;

  // A station ID matches on either link, whatever device is chosen; rows go by slot (the
  // station text lives in the text-table slots).
  EXPECT_EQ(Search(SearchCategory::kOther, 0, 0, 9),
            (std::vector<Found>{{1, recipeKey}, {1, station}}));
  EXPECT_EQ(Search(SearchCategory::kOther, 1, 1, 9),
            (std::vector<Found>{{1, recipeKey}, {1, station}}));
  EXPECT_EQ(Search(SearchCategory::kWord, 1, 1, 5), (std::vector<Found>{{1, station}}));
  EXPECT_EQ(Search(SearchCategory::kWord, 0, 0, 9), (std::vector<Found>{{1, rectangle}}));
}

TEST_F(RegisterSearchTest, TheAddressFieldFollowsTheChosenDevice) {
  const params::DeviceLists lists = TestLists();
  struct Case {
    const char* name;
    SearchCategory category;
    int link;
    int device;
    int expectedDevice;
    std::int64_t maximum;
    bool hexadecimal;
    const char* hint;
  };
  const Case cases[] = {
      {"word D", SearchCategory::kWord, 0, 0, 0, 65000, false, "0 ~ 65000"},
      {"a maximum that is not a number", SearchCategory::kWord, 0, 1, 1, 0, false, "0 ~ 0"},
      {"hexadecimal bits", SearchCategory::kBit, 0, 2, 2, 8191, true, "0 ~ 1FFF"},
      {"beyond the list: the last", SearchCategory::kBit, 0, 6, 2, 8191, true, "0 ~ 1FFF"},
      {"Link 2", SearchCategory::kWord, 1, 1, 1, 65535, false, "0 ~ 65535"},
      {"station IDs", SearchCategory::kOther, 1, 4, 0, 65535, false, "0 ~ 65535"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AddressField field = AddressFieldFor(lists, c.category, c.link, c.device);
    EXPECT_EQ(field.device, c.expectedDevice);
    EXPECT_EQ(field.maximum, c.maximum);
    EXPECT_EQ(field.hexadecimal, c.hexadecimal);
    EXPECT_EQ(field.hint, c.hint);
  }
  EXPECT_EQ(AddressFieldFor(lists, SearchCategory::kOther, 0, 0).devices,
            std::vector<std::string>{"ID"});
}

TEST_F(RegisterSearchTest, ATypedAddressIsCompletedAsTheFieldDoes) {
  const params::DeviceLists lists = TestLists();
  const AddressField hex = AddressFieldFor(lists, SearchCategory::kBit, 0, 2);
  const AddressField dec = AddressFieldFor(lists, SearchCategory::kBit, 0, 1);
  struct Case {
    const AddressField* field;
    const char* text;
    std::optional<std::int64_t> expected;
  };
  const Case cases[] = {
      {&hex, "7ff", 0x7FF},       {&hex, "7FF", 0x7FF},      {&hex, "", 0},
      {&hex, "2000", 0x1FFF},  // above the maximum: the maximum
      {&hex, "G", std::nullopt},  {&dec, "A", std::nullopt}, {&dec, "99999", 8191},
      {&dec, "-1", std::nullopt}, {&dec, "12", 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CompleteAddress(*c.field, c.text), c.expected);
  }
}

TEST_F(RegisterSearchTest, TheCaptionCountsTheRows) {
  EXPECT_EQ(SearchCaption(0).english, "Search Register -> Total: 0 Item");
  EXPECT_EQ(SearchCaption(3).chinese, "寄存器查找 -> 共计: 3 条");
}

}  // namespace
}  // namespace dravik::tools
