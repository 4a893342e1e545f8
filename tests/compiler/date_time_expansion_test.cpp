#include "compiler/date_time_expansion.h"

#include <gtest/gtest.h>

#include <ostream>

#include <memory>

#include "compiler/element_encoders.h"
#include "compiler/image_writer.h"
#include "image_bytes.h"
#include "model/page_record.h"

namespace dravik::compiler {
namespace {

using model::PageRecord;
using test::ImageBytes;

// One record of the expansion, read back from the image.
struct Record {
  int kind;
  int x, y, width, height;  // as 16-bit values
  std::vector<std::uint8_t> bytes;
};

struct Expansion {
  std::vector<Record> records;
  std::vector<int> counts;
};

int U16At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}

Expansion Expand(PageRecord& page, int slot) {
  ImageWriter image(4096);
  image.Seek(kKindCountTableSize);
  PageBlockWriter out(image, 0);
  EncodeElement(page, slot, {0}, out);
  const auto all = image.Written();
  const std::vector<std::uint8_t> b(all.begin() + kKindCountTableSize, all.end());
  Expansion e;
  for (int i = 0; i < kKindCountTableSize; ++i) e.counts.push_back(image.ByteAt(i));
  std::size_t at = 0;
  while (at < b.size()) {
    const int kind = b[at];
    std::size_t size = 0;
    if (kind == 20) size = 19;
    if (kind == 2) size = 30;
    if (kind == 1) {
      const std::size_t textB = at + 15 + 1 + b[at + 15];
      size = textB + 1 + b[textB] - at;
    }
    if (size == 0 || at + size > b.size()) {
      ADD_FAILURE() << "unexpected record at " << at;
      break;
    }
    Record r{kind,
             U16At(b, at + 1),
             U16At(b, at + 3),
             U16At(b, at + 5),
             U16At(b, at + 7),
             std::vector<std::uint8_t>(b.begin() + at, b.begin() + at + size)};
    e.records.push_back(r);
    at += size;
  }
  return e;
}

void Clock(PageRecord& p, int slot, int kind, int format, std::uint16_t formatWord) {
  p.ElemKind[slot] = static_cast<std::uint8_t>(kind);
  p.ElemLeft[slot] = 105;
  p.ElemTop[slot] = 55;
  p.ElemWidth[slot] = 180;
  p.ElemHeight[slot] = 30;
  p.ElemByteB[slot] = static_cast<std::uint8_t>(format);
  p.ElemWordC[slot] = formatWord;
  p.ElemLongA[slot] = 0xFFFFFF;
  p.ElemLongB[slot] = 0x0000FF;
}

struct Box {
  int kind, x, y, width, height;
};

struct Case {
  const char* name;
  int kind;
  int format;
  std::uint16_t formatWord;
  std::vector<Box> boxes;  // after the frame
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ClockExpansionTest : public testing::TestWithParam<Case> {};

TEST_P(ClockExpansionTest, PositionsAndSizes) {
  const Case& c = GetParam();
  auto page = std::make_unique<PageRecord>();
  Clock(*page, 4, c.kind, c.format, c.formatWord);
  const Expansion e = Expand(*page, 4);
  ASSERT_EQ(e.records.size(), c.boxes.size() + 1);
  EXPECT_EQ(e.records[0].kind, 20);
  for (std::size_t i = 0; i < c.boxes.size(); ++i) {
    const Box& box = c.boxes[i];
    const Record& r = e.records[i + 1];
    SCOPED_TRACE(i);
    EXPECT_EQ(r.kind, box.kind);
    EXPECT_EQ(r.x, box.x);
    EXPECT_EQ(r.y, box.y);
    EXPECT_EQ(r.width, box.width);
    EXPECT_EQ(r.height, box.height);
  }
}

// clang-format off
std::vector<Case> ClockCases() {
  return {
      // cw 12: text X 105 + 48; year at 100, month 105 + 60 + 3 - 5, day 105 + 96 + 8 - 5.
      {"DateYmd", 10, 0, 0x0100,
       {{1, 153, 50, 48, 28}, {2, 100, 50, 56, 28}, {2, 163, 50, 32, 28}, {2, 204, 50, 32, 28}}},
      {"DateYmdWithBorder", 10, 0, 0x1100,
       {{1, 153, 52, 48, 26}, {2, 100, 52, 56, 26}, {2, 163, 52, 32, 26}, {2, 204, 52, 32, 26}}},
      {"DateYmdSlashes", 10, 2, 0x0100,
       {{1, 153, 50, 48, 28}, {2, 100, 50, 56, 28}, {2, 163, 50, 32, 28}, {2, 204, 50, 32, 28}}},
      // Month, day, year: text at 105 + 24; day at 105 + 36 + 3 - 5; year at 105 + 72 + 8 - 5.
      {"DateMdy", 10, 1, 0x0100,
       {{1, 129, 50, 48, 28}, {2, 100, 50, 32, 28}, {2, 139, 50, 32, 28}, {2, 180, 50, 56, 28}}},
      // A plain border (2) is not the 3-D one: no shift.
      {"DatePlainBorderIsNotShifted", 10, 0, 0x2100,
       {{1, 153, 50, 48, 28}, {2, 100, 50, 56, 28}, {2, 163, 50, 32, 28}, {2, 204, 50, 32, 28}}},
      {"TimeHourMinuteChinese", 11, 0, 0x0100,
       {{1, 130, 53, 78, 25}, {2, 100, 51, 30, 28}, {2, 150, 51, 30, 28}}},
      // cw 12, format 1: text X Round(100 + 27.96) = 128; registers 37.332 -> 37, 74.664 -> 75.
      {"TimeLong", 11, 1, 0x0100,
       {{1, 128, 50, 54, 28}, {2, 100, 51, 30, 28}, {2, 137, 51, 30, 28}, {2, 175, 51, 30, 28}}},
      {"TimeShort", 11, 2, 0x0100,
       {{1, 128, 50, 18, 28}, {2, 100, 51, 30, 28}, {2, 137, 51, 30, 28}}},
      // cw 17: 6.5 * 17 = 110.5 and 1.5 * 17 = 25.5 round to even; 100 + 42.5 = 142.5 -> 142.
      {"TimeChineseFont2TiesToEven", 11, 0, 0x0200,
       {{1, 142, 53, 110, 25}, {2, 100, 51, 42, 28}, {2, 171, 51, 42, 28}}},
      {"TimeShortFont2TiesToEven", 11, 2, 0x0200,
       {{1, 140, 50, 26, 28}, {2, 100, 51, 42, 28}, {2, 153, 51, 42, 28}}},
      {"TimeWithBorder", 11, 0, 0x1100,
       {{1, 132, 55, 78, 23}, {2, 102, 53, 30, 26}, {2, 152, 53, 30, 26}}},
      {"DateFormatBeyondTheList", 10, 3, 0x0100, {}},
      {"TimeFormatBeyondTheList", 11, 7, 0x0100, {}},
  };
}
// clang-format on

INSTANTIATE_TEST_SUITE_P(Formats, ClockExpansionTest, testing::ValuesIn(ClockCases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(ClockExpansionRecordsTest, DateBytes) {
  auto page = std::make_unique<PageRecord>();
  Clock(*page, 9, 10, 0, 0x1125);  // 3-D border, font 1, alignment 2, level 5
  page->ElemByteC[9] = 1;          // input allowed
  const Expansion e = Expand(*page, 9);
  ASSERT_EQ(e.records.size(), 5u);
  const unsigned white = 0xFFFF, red = 0xF800;
  const unsigned word = 0x0125;  // border dropped
  EXPECT_EQ(e.records[0].bytes, ImageBytes()
                                    .u8(20)
                                    .raw({100, 0, 50, 0, 180, 0, 30, 0})
                                    .u16(white)
                                    .u32(8 + (10u << 20) + (1u << 28) + (1u << 29))
                                    .u32(0)
                                    .bytes());
  EXPECT_EQ(e.records[1].bytes, ImageBytes()
                                    .u8(1)
                                    .u16(153)
                                    .u16(52)
                                    .u16(48)
                                    .u16(26)
                                    .u16(word)
                                    .u16(white)
                                    .u16(red)
                                    .text("-  -")
                                    .text("-  -")
                                    .bytes());
  EXPECT_EQ(e.records[2].bytes, ImageBytes()
                                    .u8(2)
                                    .u16(100)
                                    .u16(52)
                                    .u16(56)
                                    .u16(26)
                                    .u16(word)
                                    .u16(white)
                                    .u16(red)
                                    .u16(5016)
                                    .u32(0x8042)
                                    .u32(2099)
                                    .u32(0)
                                    .u8(196)
                                    .bytes());
  EXPECT_EQ(e.records[3].bytes, ImageBytes()
                                    .u8(2)
                                    .u16(163)
                                    .u16(52)
                                    .u16(32)
                                    .u16(26)
                                    .u16(word)
                                    .u16(white)
                                    .u16(red)
                                    .u16(5015)
                                    .u32(0x8022)
                                    .u32(12)
                                    .u32(0)
                                    .u8(197)
                                    .bytes());
  EXPECT_EQ(e.records[4].bytes, ImageBytes()
                                    .u8(2)
                                    .u16(204)
                                    .u16(52)
                                    .u16(32)
                                    .u16(26)
                                    .u16(word)
                                    .u16(white)
                                    .u16(red)
                                    .u16(5013)
                                    .u32(0x8022)
                                    .u32(31)
                                    .u32(0)
                                    .u8(199)
                                    .bytes());
  EXPECT_EQ(e.counts[19], 1);
  EXPECT_EQ(e.counts[0], 1);
  EXPECT_EQ(e.counts[1], 3);
  EXPECT_EQ(e.counts[9], 0) << "the date kind itself is never counted";
}

TEST(ClockExpansionRecordsTest, TimeBytes) {
  auto page = std::make_unique<PageRecord>();
  Clock(*page, 0, 11, 1, 0x0125);
  const Expansion e = Expand(*page, 0);
  ASSERT_EQ(e.records.size(), 5u);
  const unsigned word = 0x0105;  // only the level and the font
  EXPECT_EQ(e.records[0].bytes[11], 8);
  EXPECT_EQ(e.records[0].bytes[14], 0x10) << "flat frame without border";
  EXPECT_EQ(e.records[1].bytes, ImageBytes()
                                    .u8(1)
                                    .u16(128)
                                    .u16(50)
                                    .u16(54)
                                    .u16(28)
                                    .u16(word)
                                    .u16(0xFFFF)
                                    .u16(0xF800)
                                    .text(":  :")
                                    .text(":  :")
                                    .bytes());
  const unsigned registers[] = {5012, 5011, 5010}, limits[] = {23, 59, 59}, ids[] = {193, 194, 195};
  for (int k = 0; k < 3; ++k) {
    const std::vector<std::uint8_t>& r = e.records[2 + k].bytes;
    EXPECT_EQ(U16At(r, 15), static_cast<int>(registers[k]));
    EXPECT_EQ(U16At(r, 17), 0x8020) << "no input";
    EXPECT_EQ(U16At(r, 21), static_cast<int>(limits[k]));
    EXPECT_EQ(r[29], ids[k]);
  }
  EXPECT_EQ(e.counts[1], 3);
}

TEST(ClockExpansionRecordsTest, TimeSeparatorsAreTheGbkBytes) {
  auto page = std::make_unique<PageRecord>();
  Clock(*page, 0, 11, 0, 0x0100);
  const Expansion e = Expand(*page, 0);
  const std::vector<std::uint8_t> text(e.records[1].bytes.begin() + 15, e.records[1].bytes.end());
  EXPECT_EQ(text, ImageBytes().text("\xCA\xB1  \xB7\xD6").text("\xCA\xB1  \xB7\xD6").bytes());
  EXPECT_EQ(e.counts[1], 2);
}

TEST(ClockExpansionRecordsTest, PositionsLeftOfTheCanvasWrapTo16Bits) {
  auto page = std::make_unique<PageRecord>();
  Clock(*page, 0, 10, 0, 0x0100);
  page->ElemLeft[0] = 2;
  const Expansion e = Expand(*page, 0);
  EXPECT_EQ(e.records[0].bytes[1], 0xFD);
  EXPECT_EQ(e.records[0].bytes[2], 0x00) << "the frame uses the element's geometry block";
  EXPECT_EQ(e.records[2].x, 0xFFFD) << "computed positions are 16-bit values";
}

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(110.5), 110);
  EXPECT_EQ(RoundHalfEven(25.5), 26);
  EXPECT_EQ(RoundHalfEven(143.5), 144);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(29.6), 30);
  EXPECT_EQ(RoundHalfEven(49.776), 50);
}

}  // namespace
}  // namespace dravik::compiler
