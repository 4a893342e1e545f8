#include "compiler/element_encoders.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <memory>

#include "compiler/bit_address.h"
#include "compiler/image_writer.h"
#include "image_bytes.h"
#include "model/project_image.h"
#include "platform/gbk.h"

namespace dravik::compiler {
namespace {

using model::PageRecord;
using test::ImageBytes;

struct Encoded {
  std::vector<std::uint8_t> bytes;  // the records after the count table
  std::vector<int> counts;          // the 50 count bytes
};

Encoded EncodeSlot(PageRecord& page, int slot, int protocol) {
  ImageWriter image(4096);
  image.Seek(kKindCountTableSize);
  PageBlockWriter out(image, 0);
  EncodeElement(page, slot, {protocol}, out);
  EXPECT_FALSE(image.Overflowed());
  const auto written = image.Written();
  Encoded e;
  e.bytes.assign(written.begin() + kKindCountTableSize, written.end());
  for (int i = 0; i < kKindCountTableSize; ++i) e.counts.push_back(image.ByteAt(i));
  return e;
}

std::string Gbk(std::string_view utf8) {
  return platform::Utf8ToGbk(utf8);
}

// Every case places its element with the same frame and colours:
// ElemLeft 361 (X 0x164), ElemTop 55 (Y 50), 291 x 69; colours 0x0080FF and 0x123456.
void Frame(PageRecord& p, int s, int kind) {
  p.ElemKind[s] = static_cast<std::uint8_t>(kind);
  p.ElemLeft[s] = 361;
  p.ElemTop[s] = 55;
  p.ElemWidth[s] = 291;
  p.ElemHeight[s] = 69;
  p.ElemLongA[s] = 0x0080FF;
  p.ElemLongB[s] = 0x123456;
}
constexpr std::initializer_list<unsigned> kGeometry = {0x64, 0x01, 0x32, 0x00,
                                                       0x23, 0x01, 0x45, 0x00};
constexpr unsigned kColourA = 0xFC00;  // RGB565 of 0x0080FF
constexpr unsigned kColourB = 0x51A2;  // RGB565 of 0x123456

struct Case {
  const char* name;
  int kind;
  int slot;
  int protocol;
  std::function<void(PageRecord&, int)> set;
  std::vector<std::uint8_t> expected;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class RecordLayoutTest : public testing::TestWithParam<Case> {};

TEST_P(RecordLayoutTest, WritesTheRecordByteForByte) {
  const Case& c = GetParam();
  auto page = std::make_unique<PageRecord>();
  Frame(*page, c.slot, c.kind);
  c.set(*page, c.slot);
  const Encoded e = EncodeSlot(*page, c.slot, c.protocol);
  EXPECT_EQ(e.bytes, c.expected);
  for (int k = 1; k <= kKindCountTableSize; ++k) {
    EXPECT_EQ(e.counts[k - 1], k == c.kind ? 1 : 0) << "count of kind " << k;
  }
}

std::vector<Case> RecordCases() {
  return {
      {"Text", 1, 7, 0,
       [](PageRecord& p, int s) {
         p.ElemWordC[s] = 0x2110;
         p.ElemTextA[s].Assign("AB");
       },
       ImageBytes().u8(1).raw(kGeometry).u16(0x2110).u16(kColourA).u16(kColourB).text("AB").text(
           "EN")},
      {"TextWithBothTextsEmpty", 1, 7, 0, [](PageRecord&, int) {},
       ImageBytes()
           .u8(1)
           .raw(kGeometry)
           .u16(0)
           .u16(kColourA)
           .u16(kColourB)
           .text("\xD6\xD0")
           .text("EN")},
      {"Register", 2, 9, 0,
       [](PageRecord& p, int s) {
         p.ElemWordC[s] = 0x2100;
         p.ElemWordA[s] = 0x1234;
         p.ElemByteB[s] = 0x91;
         p.ElemByteC[s] = 1;
         p.ElemByteD[s] = 1;
         p.ElemByteE[s] = 1;
         p.ElemWordB[s] = 0x0502;
         p.ElemByteF[s] = 0x21;
         p.ElemWordD[s] = 3;
         p.ElemWordE[s] = 0x0ABC;
         p.ElemLongC[s] = 100000;
         p.ElemLongD[s] = -5;
       },
       ImageBytes()
           .u8(2)
           .raw(kGeometry)
           .u16(0x2100)
           .u16(kColourA)
           .u16(kColourB)
           .u16(0x1234)
           .u32(0xEABCE25F)
           .u32(100000)
           .u32(0xFFFFFFFB)
           .u8(10)},
      {"RegisterPackedTermsCarry", 2, 0, 0,
       [](PageRecord& p, int s) {
         // Condition 15 and action 3 overflow their places into the key register, which
         // itself wraps past 2^32: the sum is written, not the masked fields.
         p.ElemWordB[s] = 0x0A0F;
         p.ElemByteF[s] = 0xF3;
         p.ElemWordE[s] = 0xFFFF;
         p.ElemLongC[s] = 0;
       },
       ImageBytes()
           .u8(2)
           .raw(kGeometry)
           .u16(0)
           .u16(kColourA)
           .u16(kColourB)
           .u16(0)
           .u32(0x0000BFA0)
           .u32(0)
           .u32(0)
           .u8(1)},
      {"Lamp", 3, 0, 4,
       [](PageRecord& p, int s) {
         p.ElemWordA[s] = 0x123;
         p.ElemByteB[s] = 0x15;
         p.ElemByteD[s] = 1;
         p.ElemByteF[s] = 2;
         p.ElemTextB[s].Assign("ON");
       },
       ImageBytes()
           .u8(3)
           .raw(kGeometry)
           .u16(kColourA)
           .u16(kColourB)
           .u32(0x02A51235)
           .u8(1)
           .text("0")
           .text("ON")},
      {"TrendChart", 4, 10, 0,
       [](PageRecord& p, int s) {
         p.ElemWordA[s] = 0x0321;
         p.ElemByteB[s] = 0x12;
         p.ElemWordB[s] = 0x0603;
         p.ElemWordC[s] = 40;
         p.ElemByteE[s] = 1;
         p.ElemWordE[s] = 2;
         p.ElemByteF[s] = 1;
         p.ElemLongC[s] = 1000;
         p.ElemLongD[s] = -100;
         p.ElemWordD[s] = 0x300;
       },
       ImageBytes()
           .u8(4)
           .raw(kGeometry)
           .u16(kColourA)
           .u16(kColourB)
           .u16(0x0321)
           .u32(0x0B3340DE)
           .u32(1000)
           .u32(0xFFFFFF9C)
           .u16(0x300)},
      {"BarGraph", 5, 11, 0,
       [](PageRecord& p, int s) {
         p.ElemWordA[s] = 0x4321;
         p.ElemByteB[s] = 0x20;
         p.ElemByteC[s] = 1;
         p.ElemByteE[s] = 1;
         p.ElemWordC[s] = 0x0305;  // direction 3, pattern 5 (not in the image)
         p.ElemLongC[s] = 0xFFFF;
         p.ElemLongD[s] = 10;
         p.ElemWordB[s] = 0x55;
         p.ElemWordD[s] = 0x66;
       },
       ImageBytes()
           .u8(5)
           .raw(kGeometry)
           .u16(kColourA)
           .u16(kColourB)
           .u32(0x0C3E4321)
           .u32(0xFFFF)
           .u32(10)
           .u16(0x55)
           .u16(0x66)},
      {"Picture", 6, 12, 7,
       [](PageRecord& p, int s) {
         p.ElemWordE[s] = 0x0107;
         p.ElemWordA[s] = 0x123;
         p.ElemByteB[s] = 0x95;
         p.ElemByteD[s] = 1;
       },
       ImageBytes().u8(6).raw(kGeometry).u8(0x07).u32(0x0DB5091D)},
      {"FunctionKey", 8, 13, 0,
       [](PageRecord& p, int s) {
         p.ElemWordC[s] = 0x2100;
         p.ElemWordD[s] = 0x1224;
         p.ElemLongD[s] = 0x1F5;
         p.ElemWordE[s] = 0x0203;
       },
       ImageBytes()
           .u8(8)
           .raw(kGeometry)
           .u16(0x2100)
           .u16(kColourA)
           .u16(kColourB)
           .u8(0x24)
           .u8(0xF5)
           .u8(0x03)
           .u8(14)
           .text("\xBC\xFC")
           .text("K")},
      {"AsciiChinese", 9, 14, 0,
       [](PageRecord& p, int s) {
         p.ElemWordC[s] = 0x2300;
         p.ElemWordA[s] = 0x0200;
         p.ElemByteB[s] = 10;
         p.ElemWordD[s] = 0xFD00;
       },
       ImageBytes()
           .u8(9)
           .raw(kGeometry)
           .u16(0x2300)
           .u16(kColourA)
           .u16(kColourB)
           .u16(0x0200)
           .u8(10)
           .u8(0x0D)
           .u8(15)},
      {"Rectangle", 20, 15, 0,
       [](PageRecord& p, int s) {
         p.ElemByteC[s] = 1;
         p.ElemByteE[s] = 1;
         p.ElemWordD[s] = 0x0101;
         p.ElemLongC[s] = 0x1234;
         p.ElemWordE[s] = 2;
         p.ElemLongD[s] = 0x10005;
         p.ElemWordA[s] = 0x77;
       },
       ImageBytes().u8(20).raw(kGeometry).u16(kColourB).u32(0x51012B4D).u16(0x0005).u16(0x77)},
      {"Ellipse", 26, 15, 0,
       [](PageRecord& p, int s) {
         p.ElemByteC[s] = 1;
         p.ElemByteE[s] = 1;
         p.ElemWordD[s] = 0x0101;
         p.ElemLongC[s] = 0x1234;
         p.ElemWordE[s] = 2;
         p.ElemLongD[s] = 0x10005;
         p.ElemWordA[s] = 0x77;
       },
       ImageBytes().u8(26).raw(kGeometry).u16(kColourB).u32(0x41012B4D).u16(0x0005).u16(0x77)},
      {"Scale", 25, 17, 0,
       [](PageRecord& p, int s) {
         p.ElemWordB[s] = 3;
         p.ElemWordA[s] = 10;
         p.ElemByteB[s] = 4;
         p.ElemWordD[s] = 1;
       },
       ImageBytes().u8(25).raw(kGeometry).u16(kColourB).u32(0x025040A3)},
      {"FallingLine", 27, 18, 0,
       [](PageRecord& p, int s) {
         p.ElemLeft[s] = 15;
         p.ElemTop[s] = 25;
         p.ElemWidth[s] = 40;
         p.ElemHeight[s] = 20;
         p.ElemWordC[s] = 2;
       },
       ImageBytes().u8(27).u16(11).u16(22).u16(49).u16(39).u8(2).u16(kColourB)},
      {"RisingLineLeftOfTheCanvas", 27, 18, 0,
       [](PageRecord& p, int s) {
         p.ElemLeft[s] = 3;  // X = -2
         p.ElemTop[s] = 25;
         p.ElemWidth[s] = 40;
         p.ElemHeight[s] = 20;
         p.ElemByteD[s] = 1;
         p.ElemWordC[s] = 1;
       },
       ImageBytes().u8(27).u16(0xFFFF).u16(39).u16(37).u16(21).u8(1).u16(kColourB)},
      {"BitSwitch", 34, 19, 6,
       [](PageRecord& p, int s) {
         p.ElemWordC[s] = 0x2100;
         p.ElemWordA[s] = 0x10;
         p.ElemByteB[s] = 0xA3;
         p.ElemWordE[s] = 3;
         p.ElemByteD[s] = 1;
         p.ElemWordB[s] = 13;
         p.ElemByteC[s] = 1;
         p.ElemNameA[s].Assign("unused");
       },
       ImageBytes()
           .u8(34)
           .raw(kGeometry)
           .u16(0x2100)
           .u16(kColourA)
           .u16(kColourB)
           .text("F")
           .text("K")
           .u32(0xD6F30103)
           .u8(20)},
  };
}

INSTANTIATE_TEST_SUITE_P(ByKind, RecordLayoutTest, testing::ValuesIn(RecordCases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(RecordLayoutTest, KindsWithoutEncoderWriteNothing) {
  auto page = std::make_unique<PageRecord>();
  for (int kind : {0, 12, 17, 19, 21, 22, 31, 33, 255}) {
    Frame(*page, 140, kind);
    const Encoded e = EncodeSlot(*page, 140, 0);
    EXPECT_TRUE(e.bytes.empty()) << kind;
    for (int count : e.counts) EXPECT_EQ(count, 0) << kind;
  }
}

TEST(RecordLayoutTest, LampStoresItsStateTextsInTheProject) {
  auto page = std::make_unique<PageRecord>();
  Frame(*page, 4, 3);
  EncodeSlot(*page, 4, 0);
  EXPECT_EQ(page->ElemTextA[4].View(), "0");
  EXPECT_EQ(page->ElemTextB[4].View(), "1");

  page->ElemTextA[4].Assign("OFF");
  page->ElemTextB[4].Assign("ON");
  EncodeSlot(*page, 4, 0);
  EXPECT_EQ(page->ElemTextA[4].View(), "OFF") << "only empty texts are replaced";
}

TEST(GeometryBlockTest, PositionsLeftOfOrAboveTheCanvas) {
  struct Case {
    int left, top;
    std::vector<std::uint8_t> positionBytes;
  };
  const Case cases[] = {
      {5, 5, {0x00, 0x00, 0x00, 0x00}},
      {3, 4, {0xFE, 0x00, 0xFF, 0x00}},  // not FE FF: the quotient truncates toward zero
      {0, 5, {0xFB, 0x00, 0x00, 0x00}},
      {261, 300, {0x00, 0x01, 0x27, 0x01}},
  };
  for (const Case& c : cases) {
    const auto block = GeometryBlock(c.left, c.top, 0x1234, 0x0056);
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 4), c.positionBytes)
        << c.left << "," << c.top;
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin() + 4, block.end()),
              (std::vector<std::uint8_t>{0x34, 0x12, 0x56, 0x00}));
  }
}

TEST(BitAddressTest, CombinedBitNumbersByProtocolAndKind) {
  struct Case {
    int protocol;
    std::uint8_t operand;  // bit number in 0..3, kind in 4..6, link in 7
    std::uint32_t expected;
  };
  const Case cases[] = {
      {4, 0x15, 0x1235}, {4, 0x05, 0x123}, {4, 0x95, 0x1235}, {4, 0x75, 0x1235}, {6, 0x15, 0x1235},
      {6, 0x25, 0x1235}, {6, 0x35, 0x123}, {6, 0x05, 0x123},  {7, 0x15, 0x91D},  {7, 0x1D, 0x91D},
      {7, 0x05, 0x123},  {0, 0x15, 0x123}, {1, 0x15, 0x123},  {5, 0x25, 0x123},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BitAddress(0x123, c.operand, c.protocol), c.expected)
        << "protocol " << c.protocol << " operand " << int{c.operand};
  }
  EXPECT_EQ(BitAddress(0xFFFF, 0x1F, 4), 0xFFFFFu) << "not cut to 16 bits";
}

TEST(DynamicTextTest, StateTextSplitsIntoValueAndText) {
  struct Case {
    std::string stored;
    int index;
    int language;
    DynTextState expected;
  };
  const Case cases[] = {
      {Gbk("动态文字串0000"), 0, 0, {0, Gbk("动态文字串")}},
      {"OFF", 3, 0, {3, "OFF"}},
      {"1F", 5, 0, {0x1F, ""}},
      {"ABCDE", 1, 0, {0xBCDE, "A"}},
      {"ab12", 2, 0, {0xAB12, ""}},
      {"Run 12G4", 4, 0, {4, "Run 12G4"}},
      {"", 7, 0, {7, Gbk("空7")}},
      {"", 12, 1, {12, "N12"}},
      {"D.Text0000", 0, 1, {0, "D.Text"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitStateText(c.stored, c.index, c.language), c.expected) << c.stored;
  }
}

TEST(DynamicTextTest, RecordCarriesBothLanguages) {
  auto page = std::make_unique<PageRecord>();
  const int s = 150;  // 20 states per language
  Frame(*page, s, 7);
  page->ElemWordC[s] = 0x2100;
  page->ElemWordA[s] = 0x42;
  page->ElemByteC[s] = 1;
  page->ElemWordD[s] = 0x0503;  // transparent, password, register kind 5
  page->ElemByteB[s] = 3;
  auto state = [&](int language, int j) -> model::ShortString30& {
    return page->DynTextStates[*model::TextEntry(s, language, j)];
  };
  state(0, 0).Assign(Gbk("动态文字串0000"));
  state(0, 1).Assign("OFF");
  state(1, 0).Assign("D.Text0000");
  state(1, 1).Assign("1F");

  const std::vector<std::uint8_t> expected = ImageBytes()
                                                 .u8(7)
                                                 .raw(kGeometry)
                                                 .u16(0x2100)
                                                 .u16(kColourA)
                                                 .u16(kColourB)
                                                 .u16(0x42)
                                                 .u8(1 + 4 + 8 + 16 * 5)
                                                 .u8(151)
                                                 .u8(3)
                                                 .u8(10)
                                                 .u8(0)
                                                 .text(Gbk("动态文字串"))
                                                 .u8(1)
                                                 .text("OFF")
                                                 .u8(2)
                                                 .text(Gbk("空2"))
                                                 .u8(0)
                                                 .text("D.Text")
                                                 .u8(1)
                                                 .text("")
                                                 .u8(2)
                                                 .text("N2");
  EXPECT_EQ(EncodeSlot(*page, s, 0).bytes, expected);
}

TEST(DynamicTextTest, NoStatesWritesTheFixedPartOnly) {
  auto page = std::make_unique<PageRecord>();
  Frame(*page, 135, 7);
  page->ElemByteB[135] = 0;
  const Encoded e = EncodeSlot(*page, 135, 0);
  ASSERT_EQ(e.bytes.size(), 21u);
  EXPECT_EQ(e.bytes[19], 0);
  EXPECT_EQ(e.bytes[20], 0);
}

TEST(DynamicTextTest, DamagedStateCountsStayInsideTheSlotsRoom) {
  // A file may claim more states than the slot has room for, or put the kind outside the
  // text-table slots; the record never reads other elements' states.
  auto page = std::make_unique<PageRecord>();
  Frame(*page, 199, 7);
  page->ElemByteB[199] = 255;
  EXPECT_EQ(EncodeSlot(*page, 199, 0).bytes[19], 20);

  Frame(*page, 149, 7);
  page->ElemByteB[149] = 101;
  EXPECT_EQ(EncodeSlot(*page, 149, 0).bytes[19], 100);

  Frame(*page, 20, 7);
  page->ElemByteB[20] = 5;
  EXPECT_EQ(EncodeSlot(*page, 20, 0).bytes.size(), 21u);
}

TEST(KindCountTableTest, CountsRecordsNotSlots) {
  auto page = std::make_unique<PageRecord>();
  ImageWriter image(4096);
  image.Seek(kKindCountTableSize);
  PageBlockWriter out(image, 0);
  Frame(*page, 3, 3);
  Frame(*page, 90, 27);
  Frame(*page, 170, 3);
  for (int s = 0; s < model::kSlotCount; ++s) EncodeElement(*page, s, {0}, out);
  EXPECT_EQ(image.ByteAt(2), 2);
  EXPECT_EQ(image.ByteAt(26), 1);
  EXPECT_EQ(out.Count(3), 2);
  EXPECT_FALSE(out.CountOverflowed());
}

}  // namespace
}  // namespace dravik::compiler
