#include "elements/placement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::elements {
namespace {

using model::PageRecord;

std::string Gbk(std::string_view utf8) {
  return platform::Utf8ToGbk(utf8);
}

struct SlotCase {
  const char* name;
  int kind;
  int fullFrom, fullTo;  // slots filled before asking
  std::optional<int> expected;
};

TEST(FindFreeSlot, FollowsTheSlotRule) {
  const SlotCase cases[] = {
      {"empty page, text", 1, 0, -1, 0},
      {"empty page, dynamic text", 7, 0, -1, 135},
      {"low slots full, lamp moves up", 3, 0, 134, 135},
      {"slots 0..199 full: no kind fits", 1, 0, 199, std::nullopt},
      {"slots 0..199 full: dynamic text neither", 7, 0, 199, std::nullopt},
      {"text-table slots full, low slots free", 7, 135, 199, std::nullopt},
      {"kind 12 needs a 100-state slot", 12, 135, 149, std::nullopt},
      {"kind 13 finds one", 13, 135, 140, 141},
      {"kind 33 may use 150 up", 33, 135, 149, 150},
      {"kind 19 starts at 135", 19, 0, 10, 135},
  };
  for (const SlotCase& c : cases) {
    auto page = std::make_unique<PageRecord>();
    for (int s = c.fullFrom; s <= c.fullTo; ++s) page->ElemKind[s] = 1;
    EXPECT_EQ(FindFreeSlot(*page, c.kind), c.expected) << c.name;
  }
}

class PlacementTest : public testing::Test {
 protected:
  PlacementTest()
      : page_(std::make_unique<PageRecord>()), settings_(std::make_unique<PageRecord>()) {
    model::ApplySettingsDefaults(*settings_);
  }

  std::optional<int> Place(int kind, int x = 25, int y = 35) {
    const GhostSize size = GhostSizeTable(kind, At(*settings_, model::settings::kDefaultTextFont));
    return PlaceElement(*page_, *settings_, {kind, x, y, size.width, size.height, 0x00ABCDEF});
  }

  std::unique_ptr<PageRecord> page_;
  std::unique_ptr<PageRecord> settings_;
};

// One expected value of one slot array after placement.
struct Field {
  const char* name;
  std::function<std::int64_t(const PageRecord&, int)> read;
};
#define FIELD(array)                                                            \
  Field {                                                                       \
#array, [](const PageRecord& p, int s) { return std::int64_t{p.array[s]}; } \
  }

struct Expect {
  Field field;
  std::int64_t value;
};

struct KindCase {
  int kind;
  std::vector<Expect> values;
  std::vector<std::pair<const char*, std::string>> texts;  // TextA/TextB/NameA/NameB, UTF-8
};

std::string TextOf(const PageRecord& p, int s, const std::string& which) {
  if (which == "TextA") return std::string(p.ElemTextA[s].View());
  if (which == "TextB") return std::string(p.ElemTextB[s].View());
  if (which == "NameA") return std::string(p.ElemNameA[s].View());
  return std::string(p.ElemNameB[s].View());
}

TEST_F(PlacementTest, CommonValuesThenTheKindsDefaults) {
  const std::vector<KindCase> cases = {
      {kKindText,
       {{FIELD(ElemLongA), 0xFFFF00},
        {FIELD(ElemLongB), 0},
        {FIELD(ElemWordC), 0x2100},
        {FIELD(ElemWordB), 1},
        {FIELD(ElemWidth), 76},
        {FIELD(ElemHeight), 26}},
       {{"TextA", "文字串"}, {"TextB", "Text"}}},
      {kKindRegister,
       {{FIELD(ElemLongA), 0xFFFFFF},
        {FIELD(ElemLongB), 0},
        {FIELD(ElemLongC), 0xFFFF},
        {FIELD(ElemLongD), 0},
        {FIELD(ElemWordB), 0x400},
        {FIELD(ElemWordC), 0x2100},
        {FIELD(ElemByteF), 0}},
       {{"TextA", "1234"}, {"NameA", "修改"}, {"NameB", "Amend"}}},
      {kKindLamp,
       {{FIELD(ElemLongA), 0xABCDEF},
        {FIELD(ElemLongB), 0},
        {FIELD(ElemByteB), 0},
        {FIELD(ElemByteF), 0}},
       {{"TextA", "OFF"}, {"TextB", "ON"}}},
      {kKindTrendChart,
       {{FIELD(ElemLongA), 0},
        {FIELD(ElemLongB), 0x6C6C6C},
        {FIELD(ElemWordB), 0x603},
        {FIELD(ElemLongC), 1000},
        {FIELD(ElemLongD), 0},
        {FIELD(ElemWordC), 0x100},
        {FIELD(ElemWordD), 0x300},
        {FIELD(ElemByteF), 0x30},
        {FIELD(ElemWordE), 0}},
       {{"TextA", std::string(50, '0')}, {"TextB", std::string(34, '0') + "000003E8FFFFFF0"}}},
      {kKindBarGraph,
       {{FIELD(ElemLongA), 0x3A3A3A},
        {FIELD(ElemLongB), 0xFF},
        {FIELD(ElemLongC), 0xFFFF},
        {FIELD(ElemWordB), 0},
        {FIELD(ElemWordC), 0},
        {FIELD(ElemWordD), 0}},
       {}},
      {kKindPicture,
       {{FIELD(ElemWordE), 0},
        {FIELD(ElemByteB), 1},
        {FIELD(ElemLongA), 0xFFFFFF},
        {FIELD(ElemLongC), 0},
        {FIELD(ElemLongD), 0},
        {FIELD(ElemWordB), 0},
        {FIELD(ElemWordC), 0},
        {FIELD(ElemWidth), 16}},
       {{"TextA", ""}, {"TextB", ""}}},
      {kKindDynamicText,
       {{FIELD(ElemByteB), 1},
        {FIELD(ElemWordC), 0x2100},
        {FIELD(ElemWordD), 0},
        {FIELD(ElemLongA), 0xFFFFFF},
        {FIELD(ElemLongB), 0}},
       {{"TextA", "动态文字串0000"},
        {"TextB", "D.Text0000"},
        {"NameA", "修改"},
        {"NameB", "Amend"}}},
      {kKindFunctionKey,
       {{FIELD(ElemLongA), 0xFF00},
        {FIELD(ElemWordC), 0x2100},
        {FIELD(ElemWordD), 0x224},
        {FIELD(ElemLongD), 0},
        {FIELD(ElemWordE), 0},
        {FIELD(ElemLongC), 0}},
       {{"TextA", "功能键"}, {"TextB", "FunKey"}}},
      {kKindAsciiChinese,
       {{FIELD(ElemByteB), 10},
        {FIELD(ElemWordC), 0x2100},
        {FIELD(ElemWordD), 0},
        {FIELD(ElemLongA), 0xFFFFFF}},
       {{"TextA", "ASCII中文"}}},
      {kKindDate,
       {{FIELD(ElemByteB), 0},
        {FIELD(ElemWordC), 0x100},
        {FIELD(ElemWordD), 1},
        {FIELD(ElemLongA), 0xFFFFFF},
        {FIELD(ElemWidth), 180}},
       {{"TextA", "YYYY年MM月DD日"}}},
      {kKindTime,
       {{FIELD(ElemWordC), 0x100}, {FIELD(ElemWordD), 1}, {FIELD(ElemWidth), 158}},
       {{"TextA", "HH时MM分SS秒"}}},
      {kKindRectangle,
       {{FIELD(ElemLongB), 0xFFFFFF},
        {FIELD(ElemLongA), 0xD8E9EC},
        {FIELD(ElemWordD), 0},
        {FIELD(ElemLongC), 0xFFFF},
        {FIELD(ElemWordE), 0},
        {FIELD(ElemWordC), 0}},
       {}},
      {kKindEllipse,
       {{FIELD(ElemLongB), 0},
        {FIELD(ElemLongA), 0xFFFFFF},
        {FIELD(ElemWordD), 1},
        {FIELD(ElemWordC), 0}},
       {}},
      {kKindScale,
       {{FIELD(ElemLongB), 0},
        {FIELD(ElemWordA), 5},
        {FIELD(ElemByteB), 2},
        {FIELD(ElemWordB), 2},
        {FIELD(ElemWordD), 1},
        {FIELD(ElemWordC), 0x2100}},
       {}},
      {kKindLine, {{FIELD(ElemLongB), 0}, {FIELD(ElemWordC), 1}, {FIELD(ElemByteD), 0}}, {}},
      {kKindBitSwitch,
       {{FIELD(ElemLongA), 0xD8E9EC},
        {FIELD(ElemLongB), 0},
        {FIELD(ElemLongC), 0x1EFF1E},
        {FIELD(ElemLongD), 0},
        {FIELD(ElemWordE), 0},
        {FIELD(ElemWordC), 0x2100},
        {FIELD(ElemWordB), 13}},
       {{"TextA", "1 键"}, {"NameA", "1 Key"}, {"TextB", "1 键"}, {"NameB", "1 Key"}}},
  };

  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.kind);
    const std::optional<int> slot = Place(c.kind);
    ASSERT_TRUE(slot.has_value());
    const PageRecord& p = *page_;
    const int s = *slot;
    EXPECT_EQ(p.ElemKind[s], c.kind);
    EXPECT_EQ(p.ElemLeft[s], 25);
    EXPECT_EQ(p.ElemTop[s], 35);
    EXPECT_EQ(p.ElemByteA[s], 0);
    for (const Expect& e : c.values) EXPECT_EQ(e.field.read(p, s), e.value) << e.field.name;
    for (const auto& [which, utf8] : c.texts) EXPECT_EQ(TextOf(p, s, which), Gbk(utf8)) << which;
  }
}

TEST_F(PlacementTest, TextTakesTheSettingsAtTheMomentOfPlacement) {
  At(*settings_, model::settings::kDefaultTextFont) = 2;
  At(*settings_, model::settings::kDefaultTextBackColor) = 0x102030;
  At(*settings_, model::settings::kDefaultTextForeColor) = 0x405060;
  const int slot = *Place(kKindText);
  EXPECT_EQ(page_->ElemWordC[slot], 0x2200);
  EXPECT_EQ(page_->ElemLongA[slot], 0x102030);
  EXPECT_EQ(page_->ElemLongB[slot], 0x405060);
  EXPECT_EQ(page_->ElemWidth[slot], 98);

  At(*settings_, model::settings::kDefaultTextBackColor) = 0;
  EXPECT_EQ(page_->ElemLongA[slot], 0x102030) << "existing texts keep their colours";
}

TEST_F(PlacementTest, DynamicTextGetsFreshStates) {
  // Stale states of an earlier element in the slot must not survive.
  for (int j = 0; j < 100; ++j) {
    page_->DynTextStates[*model::TextEntry(149, 0, j)].Assign("old");
    page_->DynTextStates[*model::TextEntry(149, 1, j)].Assign("old");
  }
  for (int s = 135; s < 149; ++s) page_->ElemKind[s] = kKindDynamicText;

  ASSERT_EQ(Place(kKindDynamicText), 149);
  EXPECT_EQ(page_->DynTextStates[*model::TextEntry(149, 0, 0)].View(), Gbk("动态文字串0000"));
  EXPECT_EQ(page_->DynTextStates[*model::TextEntry(149, 1, 0)].View(), "D.Text0000");
  for (int j = 1; j < 100; ++j) {
    EXPECT_TRUE(page_->DynTextStates[*model::TextEntry(149, 0, j)].Empty()) << j;
    EXPECT_TRUE(page_->DynTextStates[*model::TextEntry(149, 1, j)].Empty()) << j;
  }
  EXPECT_EQ(model::StatesPerLanguage(149), 100);

  ASSERT_EQ(Place(kKindDynamicText), 150);
  EXPECT_EQ(model::StatesPerLanguage(150), 20) << "slot 150 has room for 20 states only";
  EXPECT_EQ(page_->DynTextStates[*model::TextEntry(150, 1, 0)].View(), "D.Text0000");
}

TEST_F(PlacementTest, FullPageWritesNothing) {
  for (int s = 0; s < 200; ++s) page_->ElemKind[s] = kKindLine;
  const std::vector<std::uint8_t> before(
      reinterpret_cast<const std::uint8_t*>(page_.get()),
      reinterpret_cast<const std::uint8_t*>(page_.get()) + sizeof(PageRecord));
  for (int kind : {int{kKindText}, int{kKindDynamicText}, int{kKindBitSwitch}, 12}) {
    EXPECT_FALSE(Place(kind).has_value()) << kind;
  }
  EXPECT_EQ(std::memcmp(before.data(), page_.get(), sizeof(PageRecord)), 0);
  EXPECT_EQ(model::kNoFreeSlotMessage.chinese, "不再有这种类型的部件 ！");
  EXPECT_EQ(model::kNoFreeSlotMessage.english, "There is no longer such types of components!");
}

TEST_F(PlacementTest, SlotRangesByKind) {
  for (int s = 135; s < 200; ++s) page_->ElemKind[s] = kKindText;
  EXPECT_FALSE(Place(kKindDynamicText).has_value()) << "text-table slots are full";
  EXPECT_EQ(Place(kKindLamp), 0) << "other kinds take the low slots";

  page_->ElemKind.fill(0);
  for (int s = 135; s < 150; ++s) page_->ElemKind[s] = kKindText;
  EXPECT_FALSE(Place(12).has_value()) << "codes 12..15 need a 100-state slot";
  EXPECT_EQ(Place(kKindDynamicText), 150);
}

TEST_F(PlacementTest, ReusesTheLowestFreeSlotAndKeepsUnsetTexts) {
  ASSERT_EQ(Place(kKindRegister), 0);
  ASSERT_EQ(Place(kKindRegister), 1);
  page_->ElemKind[0] = 0;  // deleted; its names stay in the slot
  ASSERT_EQ(Place(kKindLamp), 0);
  EXPECT_EQ(page_->ElemNameA[0].View(), Gbk("修改")) << "a lamp does not set the names";
  EXPECT_EQ(page_->ElemTextA[0].View(), "OFF");
}

TEST(TrendChartPlacementTextTest, HexadecimalDefaults) {
  const std::string_view text = TrendChartPlacementText();
  ASSERT_EQ(text.size(), 99u);
  EXPECT_EQ(text.substr(0, 84), std::string(84, '0'));
  EXPECT_EQ(text.substr(84), "000003E8FFFFFF0");
}

}  // namespace
}  // namespace dravik::elements
