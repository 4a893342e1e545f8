#include "elements/operand_choice.h"

#include <gtest/gtest.h>

namespace dravik::elements {
namespace {

// Link 1: word kinds D (65000), R (not a number), 4X (beyond the register field); bit
// kinds D.b (bits 0..15), M (plain), X (hexadecimal). Link 2: two word kinds, no bit kind.
params::DeviceLists Lists() {
  params::DeviceLists lists;
  lists.W_DeviceName = {"D", "R", "4X"};
  lists.W_DeviceMax = {"65000", "abc", "99999"};
  lists.B_DeviceName = {"D.b", "M", "X"};
  lists.B_DeviceBit = {"15", "0", "-1"};
  lists.B_DeviceMax = {"65000", "8191", "2047"};
  lists.W_DeviceName2 = {"4X", "3X"};
  lists.W_DeviceMax2 = {"9999", "500"};
  lists.LinkUseCount = {"Link 1", "Link 2"};
  return lists;
}

struct ViewCase {
  const char* name;
  int link;
  AddressCategory category;
  int storedKind;
  int kindItem, kind;
  bool known;
  std::string kindName;
  int maximum, bitCount;
};

TEST(OperandChoice, ViewOfTheStoredKind) {
  const ViewCase cases[] = {
      {"word kind", 0, AddressCategory::kWord, 0, 0, 0, true, "D", 65000, 0},
      {"maximum that is not a number", 0, AddressCategory::kWord, 1, 1, 1, true, "R", 0, 0},
      {"maximum beyond the field", 0, AddressCategory::kWord, 2, 2, 2, true, "4X", 65535, 0},
      {"kind past the list: the last", 0, AddressCategory::kWord, 6, 2, 2, true, "4X", 65535, 0},
      {"bits in a word", 0, AddressCategory::kBit, 0, 0, 0, true, "D.b", 65000, 15},
      {"plain bits", 0, AddressCategory::kBit, 1, 1, 1, true, "M", 8191, 0},
      {"hexadecimal bits", 0, AddressCategory::kBit, 2, 2, 2, true, "X", 2047, -1},
      {"Link 2 has its own list", 1, AddressCategory::kWord, 5, 1, 1, true, "3X", 500, 0},
      {"no bit kind on Link 2", 1, AddressCategory::kBit, 3, 0, 3, false, "未知 (3)", 65535, 15},
  };
  const params::DeviceLists lists = Lists();
  for (const ViewCase& c : cases) {
    const OperandView view = ViewOperand(lists, c.link, c.category, c.storedKind, true);
    EXPECT_EQ(view.kindItem, c.kindItem) << c.name;
    EXPECT_EQ(view.kind, c.kind) << c.name;
    EXPECT_EQ(view.known, c.known) << c.name;
    EXPECT_EQ(view.kindName, c.kindName) << c.name;
    EXPECT_EQ(view.maximum, c.maximum) << c.name;
    EXPECT_EQ(view.bitCount, c.bitCount) << c.name;
  }
}

TEST(OperandChoice, AProtocolTheResourcesLackKeepsTheStoredKind) {
  params::DeviceLists lists = Lists();
  lists.unknownLink1Protocol = 40;
  const OperandView view = ViewOperand(lists, 0, AddressCategory::kWord, 5, false);
  EXPECT_FALSE(view.known);
  EXPECT_EQ(view.kind, 5);
  EXPECT_EQ(view.kindItems, std::vector<std::string>{"unknown (5)"});
  EXPECT_EQ(view.maximum, kRegisterFieldMax);
  // Link 2 is still described.
  EXPECT_TRUE(ViewOperand(lists, 1, AddressCategory::kWord, 0, false).known);

  lists.unknownLink2Table = 7;
  EXPECT_FALSE(OperandKindsKnown(lists, 1, AddressCategory::kWord));
  EXPECT_FALSE(OperandKindsKnown(params::DeviceLists{}, 0, AddressCategory::kWord));
}

TEST(OperandChoice, CaptionsNameTheKind) {
  EXPECT_EQ(CaptionWithKind(kRegisterCaption, "D", true), "寄存器号D:");
  EXPECT_EQ(CaptionWithKind(kRegisterCaption, "D", false), "Register D:");
  EXPECT_EQ(CaptionWithKind(kBitSwitchRegisterCaption, "M", true), "寄存器号 M:");
  EXPECT_EQ(CaptionWithKind(kLinkWordRegisterCaption, "D", false), "RegisterD:");
  EXPECT_EQ(CaptionWithKind(kKeyRegisterCaption, "D", false), "KeyRegisterD:");
  EXPECT_EQ(CaptionWithKind(kIndirectLimitCaption, "D", true, false), "间接上限D");
}

TEST(OperandChoice, RegisterNumbersInTheKindsWriting) {
  EXPECT_EQ(RegisterNumberText(2047, true), "7FF");
  EXPECT_EQ(RegisterNumberText(10, true), "00A");
  EXPECT_EQ(RegisterNumberText(2047, false), "2047");
  EXPECT_EQ(RegisterRangeHint(2047, true), "0 ~ 7FF");
  EXPECT_EQ(RegisterRangeHint(8191, false), "0 ~ 8191");

  struct Case {
    const char* text;
    bool hexadecimal;
    bool allowed;
  };
  const Case typing[] = {{"", false, true},     {"12345", false, true}, {"123456", false, false},
                         {"7ff", false, false}, {"7ff", true, true},    {"7FG", true, false},
                         {"-1", false, false},  {" 1", false, false}};
  for (const Case& c : typing) {
    EXPECT_EQ(RegisterTextAllowed(c.text, c.hexadecimal), c.allowed)
        << c.text << " " << c.hexadecimal;
  }
}

TEST(OperandChoice, LeavingTheRegisterEdit) {
  struct Case {
    const char* text;
    bool hexadecimal;
    int maximum, previous, expected;
  };
  const Case cases[] = {
      {"7ff", true, 2047, 3, 2047},  // typed in lower case
      {"800", true, 2047, 3, 2047},  // above the maximum
      {"", true, 2047, 3, 0},        // empty is 0
      {"12", false, 100, 3, 12},
      {"x1", false, 100, 3, 3},  // a paste that is no number is not taken
      {"99999", false, 65000, 3, 65000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TakeRegisterText(c.text, c.hexadecimal, c.maximum, c.previous), c.expected) << c.text;
  }
  EXPECT_EQ(LowerTo(70000, 65000), 65000);
  EXPECT_EQ(LowerTo(12, 65000), 12);
}

}  // namespace
}  // namespace dravik::elements
