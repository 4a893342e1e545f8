#include <gtest/gtest.h>

#include "elements/format_word.h"
#include "elements/ghost_size_table.h"
#include "elements/kind_name_table.h"
#include "elements/link_word.h"
#include "elements/operand_byte.h"

namespace dravik::elements {
namespace {

TEST(KindNameTableTest, NamesEveryPlaceableKindInBothLanguages) {
  struct Case {
    int kind;
    const char* chinese;
    const char* english;
  };
  const Case cases[] = {
      {1, "文本", "Text"},
      {2, "寄存器", "Register"},
      {3, "指示灯", "Lamp"},
      {4, "趋势图", "Tendency chart"},
      {5, "棒状图", "Bar graph"},
      {6, "图片", "BMP"},
      {7, "动态文本", "Dynamic text"},
      {8, "功能键", "Function key"},
      {9, "ASCII中文", "ASCII Chinese"},
      {10, "日期", "Date"},
      {11, "时间", "Time"},
      {20, "长方形", "Rectangle"},
      {25, "刻度", "Scale"},
      {26, "椭圆形", "Ellipse"},
      {27, "线", "Line"},
      {34, "位操作开关", "Bit Ope.Switch"},
  };
  int named = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(KindNameOf(c.kind, true), c.chinese) << c.kind;
    EXPECT_EQ(KindNameOf(c.kind, false), c.english) << c.kind;
  }
  for (int kind = -1; kind <= 40; ++kind) {
    if (!KindNameOf(kind, false).empty()) ++named;
  }
  EXPECT_EQ(named, 16) << "codes without a row must have empty names";
  EXPECT_EQ(KindNameOf(12, true), "");
  EXPECT_EQ(KindNameOf(35, false), "");
}

TEST(GhostSizeTableTest, SizesByKind) {
  struct Case {
    int kind;
    GhostSize size;
  };
  const Case cases[] = {
      {2, {60, 26}},   {3, {20, 20}},   {4, {200, 100}},  {29, {200, 100}}, {5, {20, 60}},
      {6, {16, 16}},   {7, {132, 32}},  {9, {132, 32}},   {8, {80, 32}},    {34, {80, 32}},
      {10, {180, 28}}, {11, {158, 28}}, {12, {302, 180}}, {19, {302, 180}}, {15, {467, 180}},
      {16, {60, 22}},  {17, {28, 40}},  {18, {61, 16}},   {21, {100, 50}},  {23, {100, 30}},
      {24, {30, 100}}, {25, {30, 100}}, {26, {50, 50}},   {28, {50, 50}},   {32, {228, 128}},
      {33, {300, 25}}, {35, {300, 25}}, {0, {0, 0}},      {30, {0, 0}},     {99, {0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(GhostSizeTable(c.kind, 1), c.size) << c.kind;
}

TEST(GhostSizeTableTest, TextFollowsTheDefaultFont) {
  const GhostSize expected[] = {{52, 18}, {76, 26}, {98, 32}, {148, 48}, {196, 64}, {288, 96}};
  for (int font = 0; font < 6; ++font) EXPECT_EQ(GhostSizeTable(1, font), expected[font]);
  // A damaged setting still gives a frame one can see.
  EXPECT_EQ(GhostSizeTable(1, -3), (GhostSize{52, 18}));
  EXPECT_EQ(GhostSizeTable(1, 77), (GhostSize{288, 96}));
}

TEST(PackingTest, OperandByteFields) {
  EXPECT_EQ(OperandByte::Unpack(0xB5), (OperandByte{5, 3, 1}));
  EXPECT_EQ((OperandByte{12, 6, 0}).Pack(), 0x6C);
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(OperandByte::Unpack(static_cast<std::uint8_t>(byte)).Pack(), byte);
  }
}

TEST(PackingTest, FormatWordFields) {
  EXPECT_EQ(FormatWord::Unpack(0x2153), (FormatWord{2, 1, 5, 3}));
  EXPECT_EQ((FormatWord{1, 7, 2, 5}).Pack(), 0x1725);
  EXPECT_EQ(FormatWord::Unpack(0xFFFF).Pack(), 0xFFFF);
}

TEST(PackingTest, LinkWordFields) {
  EXPECT_EQ(LinkWord::Unpack(0x0D03), (LinkWord{3, 5, 1}));
  EXPECT_EQ((LinkWord{1, 2, 0}).Pack(), 0x0201);
  EXPECT_EQ((LinkWord{0, 7, 1}).Pack(), 0x0F00);
}

}  // namespace
}  // namespace dravik::elements
