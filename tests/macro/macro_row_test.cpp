#include "macro/macro_row.h"

#include <gtest/gtest.h>

#include <vector>

#include "macro_rows.h"

namespace dravik::macro {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes AsVector(const MacroRowBytes& bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

TEST(MacroRowTest, FieldsSitAtTheirOffsetsLittleEndian) {
  MacroRow row = fixture::Row(15, {0x19, 0x1234}, {0x00, 0xFFFF}, {0x01, 0x8001},
                              kMacDoubleWord | kMacSigned, "AB");
  Bytes expected(66, 0);
  expected[0] = 15;
  expected[1] = 3;
  expected[2] = 0x19;
  expected[4] = 0x34;
  expected[5] = 0x12;
  expected[6] = 0x00;
  expected[8] = 0xFF;
  expected[9] = 0xFF;
  expected[10] = 0x01;
  expected[12] = 0x01;
  expected[13] = 0x80;
  expected[14] = 2;
  expected[15] = 'A';
  expected[16] = 'B';
  EXPECT_EQ(AsVector(ToBytes(row)), expected);
}

TEST(MacroRowTest, EveryByteSurvivesARoundTrip) {
  // Pads, a length byte beyond the capacity and bytes after the text included: a file
  // read and written again must come out the same.
  MacroRowBytes bytes;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(0xC3 ^ (i * 7));
  const MacroRow row = MacroRowFromBytes(bytes);
  EXPECT_EQ(ToBytes(row), bytes);
  EXPECT_EQ(row.OPt, bytes[0]);
  EXPECT_EQ(static_cast<std::uint16_t>(row.A3v), bytes[12] | (bytes[13] << 8));
  EXPECT_LE(row.Comment.Length(), kMacCommentCapacity);
}

TEST(MacroRowTest, CommentOfFiftyGbkBytesFillsTheRecord) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "\xD6\xD0";     // "中" in GBK
  MacroRow row = fixture::Comment(text + "\xCE\xC4");  // 52 bytes are cut to 50
  const MacroRowBytes bytes = ToBytes(row);
  EXPECT_EQ(bytes[14], 50);
  EXPECT_EQ(Bytes(bytes.begin() + 15, bytes.begin() + 65), Bytes(text.begin(), text.end()));
  EXPECT_EQ(bytes[65], 0);
}

TEST(MacroRowTest, LastUsedRowAndClearCodes) {
  MacroRows rows{};
  EXPECT_EQ(LastUsedRow(rows), 0);
  rows[4] = fixture::Row(29);
  rows[9] = fixture::Row(0, fixture::R(3));
  EXPECT_EQ(LastUsedRow(rows), 5);
  rows[99] = fixture::Row(26, fixture::K(1), {}, {}, 3);
  EXPECT_EQ(LastUsedRow(rows), 100);

  ClearCodes(rows);
  EXPECT_EQ(LastUsedRow(rows), 0);
  EXPECT_EQ(rows[99].BIT, 0);
  EXPECT_EQ(static_cast<std::uint16_t>(rows[99].A1v), 1);  // other fields stay
}

}  // namespace
}  // namespace dravik::macro
