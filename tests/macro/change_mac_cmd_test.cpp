#include "macro/change_mac_cmd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "macro/mac_command.h"
#include "macro/macro_row.h"
#include "macro_rows.h"

namespace dravik::macro {
namespace {

using fixture::Comment;
using fixture::K;
using fixture::R;
using fixture::Row;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kImageSize = 2048;

Bytes Area(const Bytes& image) {
  return Bytes(image.begin() + 150, image.begin() + 796);
}

bool AllZero(const Bytes& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

TEST(ChangeMacCmdTest, EncodesAddWithOptionsAndOperandKinds) {
  MacroRows rows{};
  rows[0] = Row(1, R(10), R(11), K(5), kMacDoubleWord | kMacSigned);
  Bytes image(kImageSize, 0);
  EXPECT_FALSE(ChangeMacCmd(rows, image).has_value());
  const Bytes expected = {0x16, 0xE9, 1,    1,    0xE9, 0x16,  // marker
                          0x01, 0x0F, 0x0A, 0x00, 0x0B, 0x00, 0x05, 0x00};
  EXPECT_EQ(Bytes(image.begin() + 150, image.begin() + 164), expected);
  EXPECT_TRUE(AllZero(Bytes(image.begin() + 164, image.begin() + 796)));
  EXPECT_TRUE(AllZero(Bytes(image.begin(), image.begin() + 150)));
}

TEST(ChangeMacCmdTest, OperandBitsAndValuesTakeOnlyWhatTheEncodingNames) {
  MacroRows rows{};
  // Kind bytes with more than bit 0 set, BIT with bits above 1, unused operands kept.
  MacroRow row = Row(11, {0xF9, 0x1234}, {0x08, 0xFFFF}, {0x01, 0xABCD}, 0xFF);
  rows[0] = row;
  Bytes image(kImageSize, 0);
  ASSERT_FALSE(ChangeMacCmd(rows, image).has_value());
  const Bytes expected = {11, 3 + 4 + 0 + 16, 0x34, 0x12, 0xFF, 0xFF, 0xCD, 0xAB};
  EXPECT_EQ(Bytes(image.begin() + 156, image.begin() + 164), expected);
}

TEST(ChangeMacCmdTest, OnlyInstructionCodesAreEncodedInRowOrder) {
  MacroRows rows{};
  int next = 0;
  for (int code = 1; code <= kMacLastCode; ++code) {
    rows[next++] = Row(static_cast<std::uint8_t>(code), R(static_cast<std::uint16_t>(code)));
  }
  rows[next++] = Row(0);    // empty row inside the macro
  rows[next++] = Row(200);  // a code without a command
  rows[next++] = Comment("tail");

  Bytes image(kImageSize, 0);
  ASSERT_FALSE(ChangeMacCmd(rows, image).has_value());
  const std::vector<int> instructions = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                         11, 15, 16, 17, 18, 19, 20, 25, 26, 29};
  const auto n = static_cast<std::uint8_t>(instructions.size());
  EXPECT_EQ(Bytes(image.begin() + 150, image.begin() + 156), (Bytes{0x16, 0xE9, n, n, 0xE9, 0x16}));
  for (std::size_t k = 0; k < instructions.size(); ++k) {
    SCOPED_TRACE(instructions[k]);
    EXPECT_EQ(image[156 + 8 * k], instructions[k]);
    EXPECT_EQ(image[156 + 8 * k + 2], instructions[k]);  // A1v carries the code here
  }
  EXPECT_TRUE(AllZero(Bytes(image.begin() + 156 + 8 * n, image.begin() + 796)));
}

// 80 instructions and 20 comments fill all 100 rows: the block takes exactly 80 lines.
TEST(ChangeMacCmdTest, EightyInstructionsFillTheArea) {
  MacroRows rows{};
  for (int i = 0; i < 100; ++i) {
    rows[i] = i % 5 == 4 ? Comment("note") : Row(11, R(static_cast<std::uint16_t>(i)), K(1));
  }
  Bytes image(kImageSize, 0xAA);
  ASSERT_FALSE(ChangeMacCmd(rows, image).has_value());
  EXPECT_EQ(Bytes(image.begin() + 150, image.begin() + 156),
            (Bytes{0x16, 0xE9, 80, 80, 0xE9, 0x16}));
  EXPECT_EQ(image[156 + 8 * 79], 11);
  EXPECT_EQ(image[156 + 8 * 79 + 2], 98);  // the last instruction is row 99
  EXPECT_EQ(image[149], 0xAA);             // nothing outside the area
  EXPECT_EQ(image[796], 0xAA);
}

TEST(ChangeMacCmdTest, MoreThanEightyInstructionsGiveTheWarningAndNoBlock) {
  MacroRows rows{};
  for (int i = 0; i < 81; ++i) rows[i] = Row(29);
  for (int i = 81; i < 100; ++i) rows[i] = Comment("x");
  Bytes image(kImageSize, 0);
  // An earlier macro in the buffer must not survive either.
  std::fill(image.begin() + 150, image.begin() + 796, std::uint8_t{0x55});
  const auto warning = ChangeMacCmd(rows, image);
  ASSERT_TRUE(warning.has_value());
  EXPECT_EQ(warning->chinese, "宏程序代码行数超过 80 ！\r已放弃生成宏指令 ！");
  EXPECT_EQ(warning->english, warning->chinese);
  EXPECT_TRUE(AllZero(Area(image)));
}

TEST(ChangeMacCmdTest, NoInstructionLeavesTheAreaZero) {
  const struct Case {
    const char* name;
    std::vector<MacroRow> rows;
  } cases[] = {
      {"empty", {}},
      {"comments only", {Comment("a"), Comment("b")}},
      {"skipped codes only",
       {Row(12), Row(14), Row(21), Row(24), Row(27), Row(28), Row(30), Row(33), Row(35), Row(37)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MacroRows rows{};
    std::copy(c.rows.begin(), c.rows.end(), rows.begin());
    Bytes image(kImageSize, 0);
    EXPECT_FALSE(ChangeMacCmd(rows, image).has_value());
    EXPECT_TRUE(AllZero(image));
  }
}

TEST(ChangeMacCmdTest, ImageTooShortIsReportedAndUntouched) {
  MacroRows rows{};
  rows[0] = Row(29);
  Bytes image(795, 0x11);
  EXPECT_TRUE(ChangeMacCmd(rows, image).has_value());
  EXPECT_EQ(image, Bytes(795, 0x11));
}

}  // namespace
}  // namespace dravik::macro
