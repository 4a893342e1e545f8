// The values the property dialogs edit: read from a slot, written back with each kind's
// packing, and the rules of the register dialog that need no window.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "elements/bit_properties.h"
#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "elements/register_properties.h"
#include "elements/text_properties.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::elements {
namespace {

using model::PageRecord;

std::string Gbk(std::string_view utf8) {
  return platform::Utf8ToGbk(utf8);
}

bool SameBytes(const PageRecord& a, const PageRecord& b) {
  return std::memcmp(&a, &b, sizeof(PageRecord)) == 0;
}

TEST(RegisterProperties, PreviewOfDigitsAndDecimals) {
  struct Case {
    int digits, decimals;
    bool isSigned;
    const char* expected;
  };
  const Case cases[] = {
      {5, 2, false, "123.45"}, {5, 2, true, "-123.45"},      {3, 3, false, "0.123"},
      {4, 0, false, "1234"},   {10, 0, false, "1234567890"}, {10, 9, false, "1.234567890"},
      {1, 0, true, "-1"},      {1, 1, false, "0.1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RegisterPreviewText(c.digits, c.decimals, c.isSigned), c.expected)
        << c.digits << "/" << c.decimals;
  }
}

TEST(RegisterProperties, LimitRangesFollowTypeSignAndIndirection) {
  struct Case {
    const char* name;
    int dataType;
    bool isSigned, indirect;
    SpinRange upper, lower;
  };
  const Case cases[] = {
      {"unsigned 16", kDataType16, false, false, {0, 65535}, {0, 65535}},
      {"signed 16", kDataType16, true, false, {-32768, 32767}, {-32768, 32767}},
      {"unsigned 32", kDataType32, false, false, {0, 999999999}, {0, 999999999}},
      {"signed 32", kDataType32, true, false, {-999999999, 999999999}, {-999999999, 999999999}},
      {"indirect: a register", kDataType16, true, true, {0, 8191}, {-32768, 32767}},
  };
  for (const Case& c : cases) {
    RegisterProperties reg;
    reg.dataType = c.dataType;
    reg.isSigned = c.isSigned;
    reg.indirectLimits = c.indirect;
    EXPECT_EQ(UpperLimitRange(reg, 8191), c.upper) << c.name;
    EXPECT_EQ(LowerLimitRange(reg), c.lower) << c.name;
  }
}

TEST(RegisterProperties, DirectLimitsMustLeaveRoom) {
  RegisterProperties reg;
  reg.upperLimit = 100;
  reg.lowerLimit = 100;
  EXPECT_EQ(CheckRegisterLimits(reg), kDirectLimitsMessage);
  reg.lowerLimit = 99;
  EXPECT_EQ(CheckRegisterLimits(reg), std::nullopt);
  reg.lowerLimit = 200;
  reg.indirectLimits = true;  // register numbers: any order
  EXPECT_EQ(CheckRegisterLimits(reg), std::nullopt);
}

// ---- packing at OK

class PropertyWrite : public testing::Test {
 protected:
  PropertyWrite()
      : page_(std::make_unique<PageRecord>()), settings_(std::make_unique<PageRecord>()) {
    model::ApplySettingsDefaults(*settings_);
  }

  int Place(int kind) {
    const GhostSize size = GhostSizeTable(kind, At(*settings_, model::settings::kDefaultTextFont));
    return *PlaceElement(*page_, *settings_, {kind, 25, 35, size.width, size.height, 0x00ABCDEF});
  }

  std::unique_ptr<PageRecord> page_;
  std::unique_ptr<PageRecord> settings_;
};

TEST_F(PropertyWrite, TextKeepsFontAndAlignmentOnly) {
  const int s = Place(kKindText);
  TextProperties text = ReadTextProperties(*page_, s);
  EXPECT_EQ(text.frame, (FrameValues{20, 30, 76, 26, false}));
  EXPECT_EQ(text.textOne, Gbk("文字串"));
  text.textTwo = "Hello";
  text.font = 3;
  text.alignment = 2;
  text.backColour = 0x123456;
  text.foreColour = 0xFF000005;  // a desktop system colour
  text.frame = {10, 0, 100, 40, true};
  page_->ElemWordC[s] = 0x2F1F;  // border and level set elsewhere
  WriteTextProperties(*page_, s, text);
  EXPECT_EQ(page_->ElemWordC[s], 0x0320);
  EXPECT_EQ(page_->ElemTextB[s].View(), "Hello");
  EXPECT_EQ(page_->ElemLongA[s], 0x123456);
  EXPECT_EQ(static_cast<std::uint32_t>(page_->ElemLongB[s]), 0xFF000005u);
  EXPECT_EQ(page_->ElemLeft[s], 15);
  EXPECT_EQ(page_->ElemTop[s], 5);
  EXPECT_EQ(page_->ElemByteA[s], 1);
}

TEST_F(PropertyWrite, AsciiChineseLinkWordAndFormatWord) {
  const int s = Place(kKindAsciiChinese);
  AsciiChineseProperties text = ReadAsciiChineseProperties(*page_, s);
  EXPECT_EQ(text.length, 10);
  text.link = 1;
  text.kind = 3;
  text.registerNumber = 4321;
  text.length = 50;
  text.border = 2;
  text.font = 9;  // "320X320"
  text.alignment = 1;
  page_->ElemWordD[s] = 0x00FF;  // flags the kind does not have
  WriteAsciiChineseProperties(*page_, s, text);
  EXPECT_EQ(page_->ElemWordC[s], 0x2910);
  EXPECT_EQ(page_->ElemWordD[s], 0x0B00);
  EXPECT_EQ(page_->ElemWordA[s], 4321);
  EXPECT_EQ(page_->ElemByteB[s], 50);
  EXPECT_EQ(ReadAsciiChineseProperties(*page_, s), text);
}

TEST_F(PropertyWrite, RegisterFieldsAndTheirPackings) {
  const int s = Place(kKindRegister);
  RegisterProperties reg = ReadRegisterProperties(*page_, s);
  EXPECT_EQ(reg.digits, 4);
  EXPECT_EQ(reg.upperLimit, 0xFFFF);
  reg.kind = 2;
  reg.registerNumber = 700;
  reg.isFloat = true;
  reg.dataType = kDataType32;
  reg.isSigned = true;
  reg.inputAllowed = true;
  reg.digits = 10;  // a register that takes input shows nine at most
  reg.decimals = 2;
  reg.upperLimit = -5;
  reg.lowerLimit = -100;
  reg.format = {1, 2, 1, 5};
  reg.leadingZeros = true;
  reg.passwordProtected = true;
  reg.keyRegister = 12;
  reg.keyCondition = 2;
  reg.keyAction = 1;
  page_->ElemWordD[s] = 0xFFFC;  // bits the register does not use
  WriteRegisterProperties(*page_, s, reg);
  EXPECT_EQ(page_->ElemByteB[s], 0xA1);  // Float, kind 2, 32 bit
  EXPECT_EQ(page_->ElemByteC[s], 1);
  EXPECT_EQ(page_->ElemByteD[s], 1);
  EXPECT_EQ(page_->ElemByteE[s], 0);
  EXPECT_EQ(page_->ElemWordB[s], 0x0902);
  EXPECT_EQ(page_->ElemTextA[s].View(), "-1234567.89");
  EXPECT_EQ(page_->ElemLongC[s], -5);
  EXPECT_EQ(page_->ElemLongD[s], -100);
  EXPECT_EQ(page_->ElemWordC[s], 0x1215);
  EXPECT_EQ(page_->ElemWordD[s], 3);
  EXPECT_EQ(page_->ElemWordE[s], 12);
  EXPECT_EQ(page_->ElemByteF[s], 0x21);
  EXPECT_EQ(page_->ElemNameA[s].View(), Gbk("修改"));  // keypad captions: not the dialog's

  // Without input, ten digits stay ten.
  reg.inputAllowed = false;
  WriteRegisterProperties(*page_, s, reg);
  EXPECT_EQ(page_->ElemWordB[s], 0x0A02);
}

TEST_F(PropertyWrite, LampAndBitSwitchOperandByte) {
  const int lampSlot = Place(kKindLamp);
  LampProperties lamp = ReadLampProperties(*page_, lampSlot);
  EXPECT_EQ(lamp.offText, "OFF");
  lamp.operand = {1, 2, 2047, 3};
  lamp.negativeLogic = true;
  lamp.lampType = kLampTypeDynamicCharacters;
  lamp.onColour = 0xFF;
  WriteLampProperties(*page_, lampSlot, lamp);
  EXPECT_EQ(page_->ElemByteB[lampSlot], 0xA3);
  EXPECT_EQ(page_->ElemWordA[lampSlot], 2047);
  EXPECT_EQ(page_->ElemByteD[lampSlot], 1);
  EXPECT_EQ(page_->ElemByteF[lampSlot], 2);
  EXPECT_EQ(page_->ElemLongB[lampSlot], 0xFF);

  const int keySlot = Place(kKindBitSwitch);
  BitSwitchProperties key = ReadBitSwitchProperties(*page_, keySlot);
  EXPECT_EQ(key.panelKey, 13);
  key.operand = {0, 1, 100, 0};
  key.textOne = Gbk("F3 键");
  key.textTwo = "F3 Key";
  key.action = 3;
  key.panelKey = 2;
  key.format = {2, 3, 1, 4};
  key.passwordProtected = true;
  key.invisible = true;
  WriteBitSwitchProperties(*page_, keySlot, key);
  EXPECT_EQ(page_->ElemByteB[keySlot], 0x10);
  EXPECT_EQ(page_->ElemWordC[keySlot], 0x2314);
  EXPECT_EQ(page_->ElemWordE[keySlot], 3);
  EXPECT_EQ(page_->ElemWordB[keySlot], 2);
  EXPECT_EQ(page_->ElemByteC[keySlot], 1);
  EXPECT_EQ(page_->ElemByteD[keySlot], 1);
  EXPECT_EQ(page_->ElemTextA[keySlot].View(), Gbk("F3 键"));
  EXPECT_EQ(page_->ElemNameA[keySlot].View(), "F3 Key");
  // The ON state is not the dialog's.
  EXPECT_EQ(page_->ElemTextB[keySlot].View(), Gbk("1 键"));
  EXPECT_EQ(page_->ElemNameB[keySlot].View(), "1 Key");
  EXPECT_EQ(page_->ElemLongC[keySlot], 0x1EFF1E);
}

// Reading an element and writing it back as read changes nothing but what OK normalises,
// even in the arrays the kind gives no meaning.
TEST_F(PropertyWrite, ReadingAndWritingBackChangesNothingElse) {
  struct Case {
    int kind;
    std::function<void(PageRecord&, int)> roundTrip;
    std::function<void(PageRecord&, int)> normalise;  // what OK is expected to change
  };
  const Case cases[] = {
      {kKindText, [](PageRecord& p, int s) { WriteTextProperties(p, s, ReadTextProperties(p, s)); },
       [](PageRecord& p, int s) { p.ElemWordC[s] = p.ElemWordC[s] & 0x0FF0; }},
      {kKindAsciiChinese,
       [](PageRecord& p, int s) {
         WriteAsciiChineseProperties(p, s, ReadAsciiChineseProperties(p, s));
       },
       [](PageRecord& p, int s) {
         p.ElemWordC[s] = p.ElemWordC[s] & 0xFFF0;
         p.ElemWordD[s] = p.ElemWordD[s] & 0x0F00;
       }},
      {kKindRegister,
       [](PageRecord& p, int s) { WriteRegisterProperties(p, s, ReadRegisterProperties(p, s)); },
       [](PageRecord& p, int s) { p.ElemWordD[s] = p.ElemWordD[s] & 3; }},
      {kKindLamp, [](PageRecord& p, int s) { WriteLampProperties(p, s, ReadLampProperties(p, s)); },
       nullptr},
      {kKindBitSwitch,
       [](PageRecord& p, int s) { WriteBitSwitchProperties(p, s, ReadBitSwitchProperties(p, s)); },
       nullptr},
  };
  for (const Case& c : cases) {
    const int s = Place(c.kind);
    // Values in arrays some kinds do not use, and bytes behind the texts' ends.
    page_->ElemTextA[s].Assign("longer text behind");
    page_->ElemTextA[s].Assign(page_->ElemTextA[s].View().substr(0, 4));
    page_->ElemNameB[s].Assign("kept");
    page_->ElemWordD[s] = static_cast<std::uint16_t>(page_->ElemWordD[s] | 0x0030);
    page_->ElemLongD[s] = 77;
    auto expected = std::make_unique<PageRecord>(*page_);
    if (c.normalise) c.normalise(*expected, s);
    c.roundTrip(*page_, s);
    if (c.kind == kKindRegister) {
      // The preview follows the digits whatever the text held.
      expected->ElemTextA[s].Assign("1234");
    }
    EXPECT_TRUE(SameBytes(*page_, *expected)) << "kind " << c.kind;
  }
}

TEST(BitSwitchKeys, PanelKeyItemsAndTheirTexts) {
  const std::array<std::string, 22> names{"F1", "F2", "F3",   "F4",   "F5", "F6", "∧", "∨",
                                          "＜", "＞", "监视", "诊断", "0",  "1",  "2", "3",
                                          "4",  "5",  "6",    "7",    "8",  "9"};
  const std::vector<std::string> twenty = PanelKeyItems(names, 20, true);
  ASSERT_EQ(twenty.size(), 21u);
  EXPECT_EQ(twenty[20], "光标焦点");
  EXPECT_EQ(twenty[19], "7");
  const std::vector<std::string> all = PanelKeyItems(names, 22, false);
  ASSERT_EQ(all.size(), 23u);
  EXPECT_EQ(all[22], "Cursor");

  EXPECT_EQ(PanelKeyTexts("F3", false), (KeyTexts{"F3 键", "F3 Key"}));
  EXPECT_EQ(PanelKeyTexts("Cursor", true), (KeyTexts{"Cursor", "Cursor"}));
}

}  // namespace
}  // namespace dravik::elements
