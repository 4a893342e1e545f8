// The dynamic text's values: how a text-table entry splits into text and value and is
// joined again, the checks OK makes of the states, and what OK writes where.

#include "elements/dynamic_text_properties.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::elements {
namespace {

using model::PageRecord;

std::string Gbk(std::string_view utf8) {
  return platform::Utf8ToGbk(utf8);
}

TEST(DynamicTextEntry, SplitsIntoTextAndValue) {
  struct Case {
    std::string entry;
    int index;
    StateEntry expected;
  };
  const Case cases[] = {
      {Gbk("动态文字串0000"), 0, {0, Gbk("动态文字串")}},
      {"D.Text0000", 0, {0, "D.Text"}},
      {"Run00FF", 3, {255, "Run"}},
      {"go 00af", 2, {0xAF, "go "}},  // lower case reads too
      {"ABCDE", 1, {0xBCDE, "A"}},    // only the last four
      {"1F", 5, {0x1F, ""}},          // a short entry is all value
      {"OFF", 3, {3, "OFF"}},         // not all hexadecimal: the index
      {"Run 12G4", 4, {4, "Run 12G4"}},
      {"", 7, {7, ""}},  // an empty entry: state index, empty text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitStateEntry(c.entry, c.index), c.expected) << c.entry;
  }
}

TEST(DynamicTextEntry, JoinsTextAndFourUpperCaseDigitsWithinThirtyBytes) {
  struct Case {
    const char* name;
    std::string text;
    int value;
    std::string expected;
  };
  const std::string chinese = Gbk("中");  // two bytes
  const Case cases[] = {
      {"plain", "Run", 255, "Run00FF"},
      {"zero", "", 0, "0000"},
      {"largest", "x", 65535, "xFFFF"},
      {"26 bytes fit", std::string(26, 'a'), 10, std::string(26, 'a') + "000A"},
      // A longer text (stored elsewhere) gives way so the value stays whole.
      {"text cut, value kept", std::string(30, 'a'), 1, std::string(26, 'a') + "0001"},
      {"never half a character", std::string(25, 'a') + chinese, 2, std::string(25, 'a') + "0002"},
  };
  for (const Case& c : cases) {
    const std::string joined = JoinStateEntry(c.text, c.value);
    EXPECT_EQ(joined, c.expected) << c.name;
    EXPECT_LE(joined.size(), 30u) << c.name;
  }
  // What is joined splits back into the same state.
  EXPECT_EQ(SplitStateEntry(JoinStateEntry(Gbk("运行"), 1234), 0), (StateEntry{1234, Gbk("运行")}));
}

TEST(DynamicTextEntry, ValueCells) {
  struct Case {
    const char* cell;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"0", 0},      {"65535", 65535}, {"01", 1},      {" 7 ", 7}, {"65536", {}},
      {"99999", {}}, {"-1", {}},       {"abc", {}},    {"", {}},   {"  ", {}},
      {"1 2", {}},   {"$1F", {}},      {"123456", {}}, {"+5", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(StateValueOf(c.cell), c.value) << '"' << c.cell << '"';

  EXPECT_EQ(RenumberedValue("0", 4), "4");
  EXPECT_EQ(RenumberedValue("00", 4), "00");
  EXPECT_EQ(RenumberedValue("7", 4), "7");
  EXPECT_EQ(RenumberedValue("", 4), "");
}

TEST(DynamicTextEntry, StateRoomFollowsTheSlot) {
  EXPECT_EQ(StateCountRange(135), (SpinRange{1, 100}));
  EXPECT_EQ(StateCountRange(149), (SpinRange{1, 100}));
  EXPECT_EQ(StateCountRange(150), (SpinRange{1, 20}));
  EXPECT_EQ(StateCountRange(199), (SpinRange{1, 20}));
  EXPECT_EQ(StateCountRange(10), (SpinRange{0, 0})) << "no text-table room below 135";
}

DynamicTextProperties WithValues(std::vector<std::string> one, std::vector<std::string> two) {
  DynamicTextProperties text;
  text.stateCount = static_cast<int>(one.size());
  for (std::string& v : one) text.states[0].push_back({v, "t"});
  for (std::string& v : two) text.states[1].push_back({v, "t"});
  return text;
}

TEST(DynamicTextCheck, RefusesRepeatedAndImpossibleValues) {
  struct Case {
    const char* name;
    DynamicTextProperties text;
    std::optional<int> language, state;
    std::string chinese, english;
  };
  const Case cases[] = {
      {"distinct values", WithValues({"0", "1", "2"}, {"0", "1", "2"}), {}, {}, {}, {}},
      {"compared as typed", WithValues({"1", "01"}, {"0", "1"}), {}, {}, {}, {}},
      {"language one first pair", WithValues({"3", "5", "3", "5"}, {"0", "0", "0", "0"}), 0, 2,
       "语言一数值栏，有2个数值重复 ！\r看看ID:0  ID:2",
       "Language 1 numeric Bar, there are 2 numerical repetition!\rLook ID:0  ID:2"},
      {"language two", WithValues({"0", "1", "2"}, {"0", "5", "5"}), 1, 2,
       "语言二数值栏，有2个数值重复 ！\r看看ID:1  ID:2",
       "Language 2 numeric Bar, there are 2 numerical repetition!\rLook ID:1  ID:2"},
      {"not a number", WithValues({"0", "x1"}, {"0", "1"}), 0, 1,
       "语言一数值栏，ID:1 的数值 \"x1\" 不是 0 ~ 65535 的整数 ！",
       "Language 1 numeric Bar, the value \"x1\" of ID:1 is not a whole number from 0 to 65535!"},
      {"too large", WithValues({"0", "1"}, {"0", "70000"}), 1, 1,
       "语言二数值栏，ID:1 的数值 \"70000\" 不是 0 ~ 65535 的整数 ！",
       "Language 2 numeric Bar, the value \"70000\" of ID:1 is not a whole number from 0 to "
       "65535!"},
      {"repeats before bad values", WithValues({"x", "1", "1"}, {"0", "1", "2"}), 0, 2,
       "语言一数值栏，有2个数值重复 ！\r看看ID:1  ID:2",
       "Language 1 numeric Bar, there are 2 numerical repetition!\rLook ID:1  ID:2"},
  };
  for (const Case& c : cases) {
    const std::optional<StatesRefusal> refusal = CheckDynamicTextStates(c.text);
    ASSERT_EQ(refusal.has_value(), c.language.has_value()) << c.name;
    if (!refusal) continue;
    EXPECT_EQ(refusal->language, *c.language) << c.name;
    EXPECT_EQ(refusal->state, *c.state) << c.name;
    EXPECT_EQ(refusal->message, (Bilingual{c.chinese, c.english})) << c.name;
  }
  // Rows beyond the count are not states: they may repeat or hold anything.
  DynamicTextProperties text = WithValues({"0", "1", "1", "bad"}, {"0", "1", "1", "bad"});
  text.stateCount = 2;
  EXPECT_FALSE(CheckDynamicTextStates(text));
}

class DynamicTextWrite : public ::testing::Test {
 protected:
  DynamicTextWrite()
      : page_(std::make_unique<PageRecord>()), settings_(std::make_unique<PageRecord>()) {
    model::ApplySettingsDefaults(*settings_);
  }
  int Place() {
    const GhostSize size = GhostSizeTable(kKindDynamicText, 0);
    return *PlaceElement(*page_, *settings_,
                         {kKindDynamicText, 25, 35, size.width, size.height, 0xABCDEF});
  }
  std::string Entry(int slot, int language, int state) const {
    return std::string(page_->DynTextStates[*model::TextEntry(slot, language, state)].View());
  }
  std::unique_ptr<PageRecord> page_;
  std::unique_ptr<PageRecord> settings_;
};

TEST_F(DynamicTextWrite, ANewElementReadsAsOneStateWithRoomForAll) {
  const int s = Place();
  ASSERT_EQ(s, 135);
  const DynamicTextProperties text = ReadDynamicTextProperties(*page_, s);
  EXPECT_EQ(text.stateCount, 1);
  ASSERT_EQ(text.states[0].size(), 100u);
  ASSERT_EQ(text.states[1].size(), 100u);
  EXPECT_EQ(text.states[0][0], (StateRow{"0", Gbk("动态文字串")}));
  EXPECT_EQ(text.states[1][0], (StateRow{"0", "D.Text"}));
  EXPECT_EQ(text.states[0][2], (StateRow{"2", ""})) << "an empty entry reads as its index";
  EXPECT_EQ(text.format, (FormatWord{2, 1, 0, 0}));
}

TEST_F(DynamicTextWrite, PacksFieldsAndShownStatesOnly) {
  const int s = Place();
  page_->DynTextStates[*model::TextEntry(s, 0, 3)].Assign("keep0003");
  DynamicTextProperties text = ReadDynamicTextProperties(*page_, s);
  text.frame = {10, 20, 60, 24, true};
  text.link = 1;
  text.kind = 2;
  text.registerNumber = 4321;
  text.stateCount = 3;
  text.inputAllowed = true;
  text.zeroOnLeave = true;
  text.transparent = true;
  text.passwordProtected = true;
  text.format = {1, 3, 2, 5};
  text.backColour = 0x112233;
  text.foreColour = 0x445566;
  text.states[0][0] = {"10", Gbk("停止")};
  text.states[0][1] = {"11", "Run"};
  text.states[0][2] = {"bad", "x"};  // stores 0 if ever written unchecked
  text.states[0][3] = {"99", "never"};
  text.states[1][0] = {"65535", "Stop"};
  WriteDynamicTextProperties(*page_, s, text);

  const PageRecord& p = *page_;
  EXPECT_EQ(p.ElemLeft[s], 15);
  EXPECT_EQ(p.ElemTop[s], 25);
  EXPECT_EQ(p.ElemByteA[s], 1);
  EXPECT_EQ(p.ElemWordA[s], 4321);
  EXPECT_EQ(p.ElemByteB[s], 3);
  EXPECT_EQ(p.ElemByteC[s], 1);
  EXPECT_EQ(p.ElemByteD[s], 1);
  EXPECT_EQ(p.ElemWordC[s], 0x1325);
  EXPECT_EQ(p.ElemWordD[s], 0x0A03);  // transparent + password + kind 2 + Link 2
  EXPECT_EQ(p.ElemLongA[s], 0x112233);
  EXPECT_EQ(p.ElemLongB[s], 0x445566);
  EXPECT_EQ(Entry(s, 0, 0), Gbk("停止") + "000A");
  EXPECT_EQ(Entry(s, 0, 1), "Run000B");
  EXPECT_EQ(Entry(s, 0, 2), "x0000");
  EXPECT_EQ(Entry(s, 0, 3), "keep0003") << "beyond the count";
  EXPECT_EQ(Entry(s, 1, 0), "StopFFFF");
  EXPECT_EQ(Entry(s, 1, 1), "0001");
  EXPECT_EQ(p.ElemTextA[s].Str(), Gbk("停止"));
  EXPECT_EQ(p.ElemTextB[s].Str(), "Stop");
}

TEST_F(DynamicTextWrite, StatesStayInTheSlotsOwnBlock) {
  // Slot 150 has room for 20 states: a count beyond it writes no neighbour's entries.
  for (int slot = 135; slot <= 151; ++slot) page_->ElemKind[slot] = kKindText;
  page_->ElemKind[150] = 0;
  const int s = Place();
  ASSERT_EQ(s, 150);
  page_->ElemKind[151] = kKindDynamicText;
  page_->DynTextStates[*model::TextEntry(151, 0, 0)].Assign("next0000");
  page_->DynTextStates[*model::TextEntry(150, 1, 0)].Assign("two0000");
  DynamicTextProperties text = ReadDynamicTextProperties(*page_, s);
  ASSERT_EQ(text.states[0].size(), 20u);
  for (int i = 0; i < 20; ++i) text.states[0][i] = {std::to_string(i), "s"};
  text.stateCount = 40;  // more than the slot holds
  WriteDynamicTextProperties(*page_, s, text);
  EXPECT_EQ(page_->ElemByteB[150], 20);
  EXPECT_EQ(Entry(150, 0, 19), "s0013");
  EXPECT_EQ(Entry(150, 1, 0), "two0000");
  EXPECT_EQ(Entry(151, 0, 0), "next0000");
}

}  // namespace
}  // namespace dravik::elements
