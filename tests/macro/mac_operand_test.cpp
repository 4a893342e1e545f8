#include "macro/mac_operand.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace dravik::macro {
namespace {

using Kinds = std::array<MacOperandKinds, 3>;
constexpr auto kNo = MacOperandKinds::None;
constexpr auto kReg = MacOperandKinds::Register;
constexpr auto kConst = MacOperandKinds::Constant;
constexpr auto kAny = MacOperandKinds::Either;

Kinds ExpectedKinds(int code) {
  if (code == 11) return {kReg, kAny, kNo};
  if (code >= 1 && code <= 10) return {kReg, kAny, kAny};
  if (code == 12) return {kReg, kReg, kAny};
  if (code == 13 || code == 37) return {kReg, kAny, kAny};
  if (code == 14) return {kReg, kNo, kNo};  // A2 is the CHR text, entered as text
  if (code >= 15 && code <= 22) return {kAny, kAny, kConst};
  if (code == 23 || code == 24) return {kReg, kConst, kNo};
  if (code >= 25 && code <= 27) return {kConst, kNo, kNo};
  if (code >= 30 && code <= 33) return {kReg, kNo, kNo};
  if (code == 35 || code == 36) return {kReg, kAny, kNo};
  return {kNo, kNo, kNo};  // 28, 29, 34 and codes without a command
}

TEST(MacOperandTest, KindsAllowedPerCommand) {
  for (int code = 0; code <= 40; ++code) {
    SCOPED_TRACE(code);
    const Kinds expected = ExpectedKinds(code);
    for (int operand = 0; operand < 3; ++operand) {
      EXPECT_EQ(MacOperandKindsAllowed(code, operand), expected[operand]) << "A" << operand + 1;
    }
  }
}

TEST(MacOperandTest, EntriesAreCheckedAgainstTheirRanges) {
  const MacRegisterArea d100{"D", 100};
  const std::string signedRange = "K 常数范围: -32768 ~ 32767 ！";
  const std::string callRange = "K 常数范围: 1 ~ 16 ！";
  const std::string wordRange = "K 常数范围: 0 ~ 65535 ！";
  const std::string notConstant = "不是有效的常数 ！";
  const std::string registerRange = "D 记忆体范围: 0 ~ 100 ！";
  const struct Case {
    int code;
    bool isRegister;
    const char* text;
    int value;  // -1: refused
    std::string message;
  } cases[] = {
      {1, true, "100", 100, ""},
      {1, true, "0", 0, ""},
      {1, true, "200", -1, registerRange},
      {1, true, "-1", -1, registerRange},
      {1, true, "abc", -1, ""},  // a register keeps the focus without a message
      {1, true, "", -1, ""},
      {1, false, "-32768", 0x8000, ""},
      {1, false, "32767", 32767, ""},
      {1, false, "-1", 0xFFFF, ""},
      {1, false, "32768", -1, signedRange},
      {1, false, "-32769", -1, signedRange},
      {5, false, "40000", -1, signedRange},
      {20, false, "-5", 0xFFFB, ""},  // a label constant of a signed comparison
      {21, false, "-5", -1, wordRange},
      {6, false, "65535", 65535, ""},
      {6, false, "65536", -1, wordRange},
      {6, false, "-1", -1, wordRange},
      {11, false, "0", 0, ""},
      {25, false, "65535", 65535, ""},
      {27, false, "1", 1, ""},
      {27, false, "16", 16, ""},
      {27, false, "0", -1, callRange},
      {27, false, "17", -1, callRange},
      {1, false, "12a", -1, notConstant},
      {1, false, "-", -1, notConstant},
      {1, false, "", -1, notConstant},
      {1, false, "1-", -1, notConstant},
      {1, false, " 5", -1, notConstant},
      {6, false, "99999999999999999999999", -1, notConstant},
      {6, false, "+5", 5, ""},
      {6, false, "007", 7, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + (c.isRegister ? " register " : " constant ") + c.text);
    const MacOperandEntry entry = CheckMacOperand(c.code, c.isRegister, c.text, d100);
    if (c.value >= 0) {
      ASSERT_TRUE(entry.accepted());
      EXPECT_EQ(*entry.value, c.value);
      EXPECT_FALSE(entry.message.has_value());
    } else {
      EXPECT_FALSE(entry.accepted());
      if (c.message.empty()) {
        EXPECT_FALSE(entry.message.has_value());
      } else {
        ASSERT_TRUE(entry.message.has_value());
        EXPECT_EQ(entry.message->chinese, c.message);
        EXPECT_EQ(entry.message->english, c.message);
      }
    }
  }
}

TEST(MacOperandTest, RegisterLimitNamesTheAreaAndStaysWithinAWord) {
  const MacRegisterArea vw{"VW", 4095};
  EXPECT_EQ(CheckMacOperand(1, true, "4096", vw).message->chinese, "VW 记忆体范围: 0 ~ 4095 ！");
  EXPECT_TRUE(CheckMacOperand(1, true, "4095", vw).accepted());
  // The operand field holds 16 bits; a larger area is capped rather than wrapped.
  const MacRegisterArea huge{"D", 100000};
  EXPECT_EQ(MacRegisterLimit(huge), 65535u);
  EXPECT_FALSE(CheckMacOperand(1, true, "70000", huge).accepted());
  EXPECT_EQ(*CheckMacOperand(1, true, "65535", huge).value, 65535);
  // Before the work parameters named an area every register is refused but 0.
  const MacRegisterArea fresh;
  EXPECT_EQ(fresh.RegisterName, "D");
  EXPECT_TRUE(CheckMacOperand(1, true, "0", fresh).accepted());
  EXPECT_EQ(CheckMacOperand(1, true, "1", fresh).message->chinese, "D 记忆体范围: 0 ~ 0 ！");
}

TEST(MacOperandTest, RangeHints) {
  const MacRegisterArea area{"VW", 4095};
  EXPECT_EQ(MacRangeHint(1, false, area), "( K: -32768~32767 )");
  EXPECT_EQ(MacRangeHint(18, false, area), "( K: -32768~32767 )");
  EXPECT_EQ(MacRangeHint(27, false, area), "( K: 1~16 )");
  EXPECT_EQ(MacRangeHint(6, false, area), "( K: 0~65535 )");
  EXPECT_EQ(MacRangeHint(25, false, area), "( K: 0~65535 )");
  EXPECT_EQ(MacRangeHint(1, true, area), "( VW: 0~4095 )");
}

TEST(MacOperandTest, AreaFromTheWordRegisterLists) {
  const struct Case {
    std::vector<std::string> names;
    std::vector<std::string> maxima;
    std::string name;
    std::uint32_t max;
  } cases[] = {
      {{"D", "M"}, {"9999", "255"}, "D", 9999},
      {{"VW"}, {"abc"}, "VW", 0},
      {{"VW"}, {" 50 "}, "VW", 50},
      {{"VW"}, {"-5"}, "VW", 0},
      {{}, {}, "D", 0},
  };
  for (const Case& c : cases) {
    const MacRegisterArea area = MacRegisterAreaFrom(c.names, c.maxima);
    EXPECT_EQ(area.RegisterName, c.name);
    EXPECT_EQ(area.MaxReg, c.max);
  }
}

TEST(MacOperandTest, EnteredKindKeepsTheBitNumberOnly) {
  EXPECT_EQ(MacEnteredKind(0xAB, true), 0xA1);
  EXPECT_EQ(MacEnteredKind(0xAB, false), 0xA0);
  EXPECT_EQ(MacEnteredKind(0x0F, false), 0x00);
}

}  // namespace
}  // namespace dravik::macro
