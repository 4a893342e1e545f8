// The values the function key dialog and the date and time dialog edit: the key's flags
// and action, the clock's format texts and border, and what OK writes of each.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "elements/clock_properties.h"
#include "elements/element_kind.h"
#include "elements/function_key_properties.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::elements {
namespace {

using model::PageRecord;

std::string Gbk(std::string_view utf8) {
  return platform::Utf8ToGbk(utf8);
}

class KeyAndClockWrite : public testing::Test {
 protected:
  KeyAndClockWrite()
      : page_(std::make_unique<PageRecord>()), settings_(std::make_unique<PageRecord>()) {
    model::ApplySettingsDefaults(*settings_);
  }

  int Place(int kind) {
    const GhostSize size = GhostSizeTable(kind, At(*settings_, model::settings::kDefaultTextFont));
    return *PlaceElement(*page_, *settings_, {kind, 25, 35, size.width, size.height, 0x00ABCDEF});
  }
  std::unique_ptr<PageRecord> Copy() const { return std::make_unique<PageRecord>(*page_); }
  bool SameBytes(const PageRecord& expected) const {
    return std::memcmp(page_.get(), &expected, sizeof(PageRecord)) == 0;
  }

  std::unique_ptr<PageRecord> page_;
  std::unique_ptr<PageRecord> settings_;
};

TEST(FunctionKeyFlags, ActionOfTheStoredFlags) {
  struct Case {
    std::uint16_t options;
    FunctionKeyAction action;
  };
  const Case cases[] = {
      {0x224, FunctionKeyAction::kPageJump},  // placement value
      {0x004, FunctionKeyAction::kPageJump},      {0x008, FunctionKeyAction::kPanelFunction},
      {0x00C, FunctionKeyAction::kPanelFunction},  // both: the function, checked last
      {0x000, FunctionKeyAction::kPageJump},       // neither: as a new key
      {0xFF03, FunctionKeyAction::kPageJump},
  };
  for (const Case& c : cases) EXPECT_EQ(FunctionKeyActionOf(c.options), c.action) << c.options;
}

TEST(FunctionKeyFlags, OnlyTheChecksAndTheActionAreKept) {
  struct Case {
    bool transparent, password;
    FunctionKeyAction action;
    std::uint16_t options;
  };
  const Case cases[] = {
      {false, false, FunctionKeyAction::kPageJump, 0x4},
      {false, false, FunctionKeyAction::kPanelFunction, 0x8},
      {true, false, FunctionKeyAction::kPageJump, 0x5},
      {true, true, FunctionKeyAction::kPanelFunction, 0xB},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FunctionKeyOptions(c.transparent, c.password, c.action), c.options) << c.options;
  }
}

TEST_F(KeyAndClockWrite, AFreshKeyKeepsEverythingButItsFlags) {
  const int s = Place(kKindFunctionKey);
  page_->ElemLongD[s] = 17;
  page_->ElemWordE[s] = 6;
  auto expected = Copy();
  WriteFunctionKeyProperties(*page_, s, ReadFunctionKeyProperties(*page_, s));
  expected->ElemWordD[s] = 4;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(KeyAndClockWrite, AKeyStoresItsJumpTargetAndFunctionWhateverItDoes) {
  const int s = Place(kKindFunctionKey);
  FunctionKeyProperties key = ReadFunctionKeyProperties(*page_, s);
  EXPECT_EQ(key.format, (FormatWord{2, 1, 0, 0}));
  key.action = FunctionKeyAction::kPanelFunction;
  key.jumpPage = 252;
  key.panelFunction = 3;
  key.passwordProtected = true;
  key.captionOne = Gbk("语言");
  key.format = {1, 3, 1, 5};
  auto expected = Copy();
  WriteFunctionKeyProperties(*page_, s, key);
  expected->ElemWordD[s] = 0xA;
  expected->ElemLongD[s] = 252;
  expected->ElemWordE[s] = 3;
  expected->ElemTextA[s].Assign(Gbk("语言"));
  expected->ElemWordC[s] = 0x1315;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST(ClockTexts, FormatTextsAndCaptionsByKind) {
  struct Case {
    int kind, format;
    const char* text;  // nullptr: the kind has no such format
  };
  const Case cases[] = {
      {kKindDate, 0, "YYYY-MM-DD"}, {kKindDate, 1, "MM/DD/YYYY"}, {kKindDate, 2, "YYYY/MM/DD"},
      {kKindTime, 0, "HH时MM分"},   {kKindTime, 1, "HH:MM:SS"},   {kKindTime, 2, "HH:MM"},
      {kKindDate, 3, nullptr},      {kKindTime, -1, nullptr},     {kKindTime, 255, nullptr},
  };
  for (const Case& c : cases) {
    const auto text = ClockFormatText(c.kind, c.format);
    if (c.text == nullptr) {
      EXPECT_FALSE(text.has_value()) << c.kind << "/" << c.format;
    } else {
      EXPECT_EQ(text, Gbk(c.text)) << c.kind << "/" << c.format;
    }
  }
  EXPECT_EQ(ClockDialogCaption(kKindDate), (Bilingual{" 日期属性", " Date attribute"}));
  EXPECT_EQ(ClockDialogCaption(kKindTime), (Bilingual{" 时间属性", " Time attribute"}));
}

TEST(ClockTexts, BorderOfTheFormatWord) {
  struct Case {
    std::uint16_t word;
    int border;
  };
  const Case cases[] = {{0x0000, 0}, {0x0100, 0}, {0x1100, 1}, {0x1FFF, 1},
                        {0x2000, 1}, {0x2100, 1}, {0xF000, 1}};
  for (const Case& c : cases) EXPECT_EQ(ClockBorderOf(c.word), c.border) << c.word;
}

TEST_F(KeyAndClockWrite, AFreshTimeTakesTheTextOfFormat0) {
  const int s = Place(kKindTime);
  EXPECT_EQ(page_->ElemTextA[s].View(), Gbk("HH时MM分SS秒"));
  auto expected = Copy();
  WriteClockProperties(*page_, s, ReadClockProperties(*page_, s));
  expected->ElemTextA[s].Assign(Gbk("HH时MM分"));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(KeyAndClockWrite, AClockKeepsBorderAndFontOnly) {
  const int s = Place(kKindDate);
  page_->ElemWordC[s] = 0x2514;  // border field 2, font 5, centred, level 4
  ClockProperties clock = ReadClockProperties(*page_, s);
  EXPECT_EQ(clock.border, 1);
  EXPECT_EQ(clock.font, 5);
  clock.format = 2;
  clock.inputAllowed = true;
  auto expected = Copy();
  WriteClockProperties(*page_, s, clock);
  expected->ElemWordC[s] = 0x1500;
  expected->ElemByteB[s] = 2;
  expected->ElemByteC[s] = 1;
  expected->ElemTextA[s].Assign("YYYY/MM/DD");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(KeyAndClockWrite, AFormatFromElsewhereKeepsItsText) {
  const int s = Place(kKindDate);
  page_->ElemByteB[s] = 7;
  auto expected = Copy();
  WriteClockProperties(*page_, s, ReadClockProperties(*page_, s));
  EXPECT_TRUE(SameBytes(*expected));
}

}  // namespace
}  // namespace dravik::elements
