// A register value in its element's format as the panel shows it, and an entry read back
// against the register's range and the element's limits.

#include "sim/value_format.h"

#include <gtest/gtest.h>

#include <bit>

namespace dravik::sim {
namespace {

NumberFormat Format(int digits, int decimals, bool isSigned = false, bool is32 = false,
                    bool leadingZeros = false, bool isFloat = false) {
  return {is32, isSigned, isFloat, digits, decimals, leadingZeros};
}

std::uint32_t FloatBits(float value) {
  return std::bit_cast<std::uint32_t>(value);
}

TEST(ValueFormatTest, ValuesShowInTheirFormat) {
  struct Case {
    std::uint32_t raw;
    NumberFormat format;
    const char* shown;
  } cases[] = {
      {1234, Format(4, 0), "1234"},
      {1234, Format(5, 2), "12.34"},
      {5, Format(4, 2), "0.05"},
      {5, Format(4, 0, false, false, true), "0005"},
      {5, Format(4, 2, false, false, true), "00.05"},
      {0xFFFF, Format(5, 0), "65535"},
      {0xFFFF, Format(5, 0, true), "-1"},
      {0xFF85, Format(4, 1, true), "-12.3"},
      {0x12345678, Format(9, 0, false, true), "305419896"},
      {0xFFFFFFFE, Format(10, 0, true, true), "-2"},
      {0x00010000, Format(6, 0), "0"},  // a 16-bit field sees its own word only
      {12345, Format(4, 0), "####"},    // too many digits for the field
      {12345, Format(4, 2), "##.##"},
      {0x8000, Format(3, 0, true), "-###"},
      {123, Format(3, 3), "0.123"},
      {FloatBits(3.14159f), Format(5, 2, true, true, false, true), "3.14"},
      {FloatBits(-2.5f), Format(4, 1, true, true, false, true), "-2.5"},
      {FloatBits(1e9f), Format(4, 0, true, true, false, true), "####"},
      {0x7FC00000, Format(3, 1, true, true, false, true), "##.#"},  // not a number
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatValue(c.raw, c.format), c.shown) << c.raw;
  }
}

TEST(ValueFormatTest, EntriesAreReadInRegisterUnitsWithinRangeAndLimits) {
  const EntryLimits wide{-1e12, 1e12};
  EXPECT_EQ(*ParseEntry("12.34", Format(5, 2), wide), 1234u);
  EXPECT_EQ(*ParseEntry("12.3", Format(5, 2), wide), 1230u);
  EXPECT_EQ(*ParseEntry("7", Format(4, 0), wide), 7u);
  EXPECT_EQ(*ParseEntry("-1", Format(4, 0, true), wide), 0xFFFFu);
  EXPECT_EQ(*ParseEntry("-1", Format(8, 0, true, true), wide), 0xFFFFFFFFu);
  EXPECT_EQ(*ParseEntry("2.5", Format(4, 1, true, true, false, true), wide), FloatBits(2.5f));

  struct Refused {
    const char* typed;
    NumberFormat format;
    EntryLimits limits;
    const char* english;
  } refused[] = {
      {"", Format(4, 0), wide, "The entry is not a number"},
      {"1a", Format(4, 0), wide, "The entry is not a number"},
      {"-", Format(4, 0, true), wide, "The entry is not a number"},
      {"1.234", Format(5, 2), wide, "More than 2 decimals"},
      {"-3", Format(4, 0), wide, "This register takes no negative values"},
      {"65536", Format(5, 0), wide, "Out of the register's range 0 ~ 65535"},
      {"-32769", Format(5, 0, true), wide, "Out of the register's range -32768 ~ 32767"},
      {"101", Format(4, 0), {0, 100}, "Outside the limits 0 ~ 100"},
      {"1.5", Format(4, 1), {20, 100}, "Outside the limits 20 ~ 100"},  // 15 units
  };
  for (const Refused& r : refused) {
    const auto result = ParseEntry(r.typed, r.format, r.limits);
    ASSERT_FALSE(result) << r.typed;
    EXPECT_EQ(result.message(), r.english) << r.typed;
    EXPECT_FALSE(result.message(true).empty());
  }
  EXPECT_TRUE(ParseEntry("100", Format(4, 0), {0, 100}));
  EXPECT_TRUE(ParseEntry("2.0", Format(4, 1), {20, 100}));
}

}  // namespace
}  // namespace dravik::sim
