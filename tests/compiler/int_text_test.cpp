#include "compiler/int_text.h"

#include <gtest/gtest.h>

namespace dravik::compiler {
namespace {

TEST(IntTextTest, OrdinaryIntegerConversion) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"240", 240},
      {"-17", -17},
      {"+5", 5},
      {"  42", 42},
      {"$FF", 255},
      {"0x1f", 31},
      {"0X10", 16},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", {}},
      {"$100000000", {}},
      {"", {}},
      {" ", {}},
      {"-", {}},
      {"$", {}},
      {"0x", {}},
      {"12 ", {}},
      {"1e3", {}},
      {"abc", {}},
      {"１２", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseIntText(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(ParseIntTextOr("x", 0xFFFFFF), 0xFFFFFF);
}

}  // namespace
}  // namespace dravik::compiler
