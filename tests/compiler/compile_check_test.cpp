#include "compiler/compile_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::compiler {
namespace {

using model::PageRecord;
using model::ProjectImage;
using namespace model::settings;

// Word kinds D (0..9999) and R (0..500); bit kinds X (0..377, 8 bits), Y (0..100, no bit
// check) and M (maximum not a number: 0).
params::DeviceLists Lists() {
  params::DeviceLists lists;
  lists.W_DeviceName = {"D", "R"};
  lists.W_DeviceMax = {"9999", "500"};
  lists.B_DeviceName = {"X", "Y", "M"};
  lists.B_DeviceBit = {"8", "0", "16"};
  lists.B_DeviceMax = {"377", "100", "abc"};
  return lists;
}

struct Case {
  const char* name;
  int kind;
  std::function<void(PageRecord&, int)> set;
  std::optional<CheckFailure> expected;
};

std::vector<Case> Cases() {
  using F = CheckFailure;
  return {
      {"RegisterAtTheMaximum", 2, [](PageRecord& p, int s) { p.ElemWordA[s] = 9999; }, {}},
      {"RegisterAboveTheMaximum", 2, [](PageRecord& p, int s) { p.ElemWordA[s] = 10000; },
       F::kRegisterNumber},
      {"RegisterOfTheSecondKind", 2,
       [](PageRecord& p, int s) {
         p.ElemByteB[s] = 0x10;
         p.ElemWordA[s] = 501;
       },
       F::kRegisterNumber},
      {"RegisterKindBeyondTheList", 2,
       [](PageRecord& p, int s) {
         p.ElemByteB[s] = 0x20;
         p.ElemWordA[s] = 60000;
         p.ElemWordE[s] = 60000;
       },
       F::kKindIndex},
      {"IndirectUpperLimit", 2,
       [](PageRecord& p, int s) {
         p.ElemByteE[s] = 1;
         p.ElemLongC[s] = 10000;
       },
       F::kIndirectUpperLimit},
      {"DirectUpperLimitIsAConstant", 2, [](PageRecord& p, int s) { p.ElemLongC[s] = 100000; }, {}},
      {"IndirectLowerLimit", 2,
       [](PageRecord& p, int s) {
         p.ElemByteE[s] = 1;
         p.ElemLongC[s] = 10;
         p.ElemLongD[s] = 10000;
       },
       F::kIndirectLowerLimit},
      {"LastFailingTestIsReported", 2,
       [](PageRecord& p, int s) {
         p.ElemWordA[s] = 10000;
         p.ElemByteE[s] = 1;
         p.ElemLongC[s] = 10000;
         p.ElemWordE[s] = 10000;
       },
       F::kKeyRegister},
      {"FloatRegisterIsNoLinkTwoElement",
       2,
       [](PageRecord& p, int s) { p.ElemByteB[s] = 0x81; },
       {}},
      {"NegativeLimitRegisterPasses",
       2,
       [](PageRecord& p, int s) {
         p.ElemByteE[s] = 1;
         p.ElemLongC[s] = -1;
       },
       {}},
      {"LampBitAboveTheBitCount", 3, [](PageRecord& p, int s) { p.ElemByteB[s] = 0x0C; },
       F::kBitNumber},
      {"LampBitEqualToTheBitCount", 3, [](PageRecord& p, int s) { p.ElemByteB[s] = 0x08; }, {}},
      {"LampBitWithoutBitCount", 3, [](PageRecord& p, int s) { p.ElemByteB[s] = 0x1F; }, {}},
      {"LampOnAKindWithoutMaximum", 3,
       [](PageRecord& p, int s) {
         p.ElemByteB[s] = 0x20;
         p.ElemWordA[s] = 1;
       },
       F::kRegisterNumber},
      {"LampKindBeyondTheList", 3, [](PageRecord& p, int s) { p.ElemByteB[s] = 0x30; },
       F::kKindIndex},
      {"LampRegisterAndBitBothWrong", 3,
       [](PageRecord& p, int s) {
         p.ElemWordA[s] = 378;
         p.ElemByteB[s] = 0x0F;
       },
       F::kBitNumber},
      {"BitSwitchRegister", 34, [](PageRecord& p, int s) { p.ElemWordA[s] = 378; },
       F::kRegisterNumber},
      {"Kind17IsCheckedLikeALamp", 17, [](PageRecord& p, int s) { p.ElemWordA[s] = 378; },
       F::kRegisterNumber},
      {"BarDirectFullScaleIsNotARegister",
       5,
       [](PageRecord& p, int s) { p.ElemWordB[s] = 10000; },
       {}},
      {"BarIndirectFullScale", 5,
       [](PageRecord& p, int s) {
         p.ElemByteC[s] = 1;
         p.ElemWordB[s] = 10000;
       },
       F::kFullScaleRegister},
      {"BarIndirectZero", 5,
       [](PageRecord& p, int s) {
         p.ElemByteE[s] = 1;
         p.ElemWordD[s] = 10000;
       },
       F::kZeroRegister},
      {"DynamicTextOnTheSecondKind", 7,
       [](PageRecord& p, int s) {
         p.ElemWordD[s] = 0x0100;
         p.ElemWordA[s] = 501;
       },
       F::kRegisterNumber},
      {"DynamicTextKeyRegister", 7, [](PageRecord& p, int s) { p.ElemWordE[s] = 10000; },
       F::kKeyRegister},
      {"AsciiChineseKindBeyondTheList", 9, [](PageRecord& p, int s) { p.ElemWordD[s] = 0x0200; },
       F::kKindIndex},
      {"RectangleHorizontal", 20,
       [](PageRecord& p, int s) {
         p.ElemByteC[s] = 1;
         p.ElemLongC[s] = 10000;
       },
       F::kHorizontalRegister},
      {"RectangleUnusedRegistersAreNotChecked",
       20,
       [](PageRecord& p, int s) {
         p.ElemLongC[s] = 0xFFFF;
         p.ElemLongD[s] = 70000;
         p.ElemWordA[s] = 60000;
       },
       {}},
      {"EllipseVertical", 26,
       [](PageRecord& p, int s) {
         p.ElemByteD[s] = 1;
         p.ElemLongD[s] = 10000;
       },
       F::kVerticalRegister},
      {"RectangleVariantVisibility", 23,
       [](PageRecord& p, int s) {
         p.ElemByteE[s] = 1;
         p.ElemWordA[s] = 10000;
       },
       F::kVisibilityRegister},
      {"TextIsNotChecked", 1, [](PageRecord& p, int s) { p.ElemWordA[s] = 65535; }, {}},
      {"TrendChartIsNotChecked",
       4,
       [](PageRecord& p, int s) {
         p.ElemWordA[s] = 65535;
         p.ElemByteB[s] = 0x70;
       },
       {}},
      {"PictureIsNotChecked", 6, [](PageRecord& p, int s) { p.ElemByteB[s] = 0x70; }, {}},
      {"LineIsNotChecked", 27, [](PageRecord& p, int s) { p.ElemWordD[s] = 0x0700; }, {}},
  };
}

class CompileCheckTest : public testing::Test {
 protected:
  CompileCheckTest() : project_(std::make_unique<ProjectImage>()) {
    model::ApplySettingsDefaults(project_->Settings());
  }
  void Use(int n, std::string_view name) {
    PageRecord& p = project_->Page(n);
    p.PageStrings[model::kPageInUse].Assign("Use");
    p.PageStrings[model::kPageNumberText].Assign(std::to_string(n));
    p.PageStrings[model::kPageName].Assign(platform::Utf8ToGbk(name));
  }

  std::unique_ptr<ProjectImage> project_;
};

TEST_F(CompileCheckTest, FindsExactlyTheFailingElementsInBothLanguages) {
  // Every case gets its own slot on page 3; the page 7 copy of a failing case shows that
  // rows follow pages, and the unused page 5 shows that only pages in use are checked.
  Use(3, "主画面");
  Use(7, "Alarms");
  const std::vector<Case> cases = Cases();
  std::vector<std::pair<int, CheckFailure>> expected;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const int slot = cases[i].kind == 7 ? 135 + static_cast<int>(i) : static_cast<int>(i);
    PageRecord& page = project_->Page(3);
    page.ElemKind[slot] = static_cast<std::uint8_t>(cases[i].kind);
    cases[i].set(page, slot);
    if (cases[i].expected) expected.emplace_back(slot, *cases[i].expected);
  }
  std::sort(expected.begin(), expected.end());
  project_->Page(7).ElemKind[0] = 2;
  project_->Page(7).ElemWordA[0] = 10000;
  project_->Page(5).ElemKind[0] = 2;
  project_->Page(5).ElemWordA[0] = 10000;

  for (bool isChinese : {true, false}) {
    SCOPED_TRACE(isChinese ? "Chinese" : "English");
    const CheckReport report = StartCheck(*project_, Lists(), isChinese);
    ASSERT_EQ(report.rows.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const CheckRow& row = report.rows[i];
      EXPECT_EQ(row.page, 3);
      EXPECT_EQ(row.slot, expected[i].first);
      EXPECT_EQ(row.failure, expected[i].second) << "slot " << row.slot;
      EXPECT_EQ(row.caption, "3:主画面");
      EXPECT_EQ(row.message, CheckMessage(row.failure).In(isChinese));
    }
    const CheckRow& last = report.rows.back();
    EXPECT_EQ(last.page, 7);
    EXPECT_EQ(last.caption, "7:Alarms");
    EXPECT_EQ(last.kindName, isChinese ? "寄存器" : "Register");
    EXPECT_EQ(last.message, isChinese ? "寄存器号设置错误 ！" : "Register setting error!");
    EXPECT_FALSE(report.keyboardClamped);
  }
}

TEST_F(CompileCheckTest, ReportsNothingForAGoodProject) {
  Use(1, "");
  project_->Page(1).ElemKind[0] = 2;
  project_->Page(1).ElemKind[1] = 3;
  const CheckReport report = StartCheck(*project_, Lists(), true);
  EXPECT_FALSE(report.Failed());
  EXPECT_TRUE(report.Messages().empty());
}

TEST_F(CompileCheckTest, RowNamesAndTexts) {
  Use(12, "画面名称二十字节以内");
  project_->Page(12).ElemKind[4] = 17;  // a kind without a name
  project_->Page(12).ElemWordA[4] = 400;
  project_->Page(12).ElemKind[5] = 34;
  project_->Page(12).ElemWordA[5] = 400;
  const CheckReport report = StartCheck(*project_, Lists(), true);
  ASSERT_EQ(report.rows.size(), 2u);
  EXPECT_EQ(report.rows[0].kindName, "");
  EXPECT_EQ(report.rows[1].kindName, "位操作开关");
  EXPECT_EQ(report.rows[1].caption, "12:画面名称二十字节以内");
  EXPECT_EQ(CheckRowHint(report.rows[1]), "Hint: 寄存器号设置错误 ！ Please re-set...");

  EXPECT_EQ(CheckSummaryLabel(2),
            (Bilingual{"编译错误信息: 2 条", "The compiler error messages: 2 Item"}));
  EXPECT_EQ(CheckSummaryMessage(2).chinese, "总共找到 2 错误; 请参考编译错误信息栏修正错误。");
  EXPECT_EQ(CheckSummaryMessage(2).english,
            "Find a total of 2 Mistake; please refer to compile error information column "
            "correction of errors.");
  const std::vector<CompilerMessage> messages = report.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "Dravik ");
  EXPECT_EQ(messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(messages[0].text, CheckSummaryMessage(2));
}

TEST_F(CompileCheckTest, KeyboardAndLedRegistersAreLoweredToTheRegisterArea) {
  params::DeviceLists lists = Lists();
  lists.W_DeviceMax[0] = "1000";
  PageRecord& s = project_->Settings();
  At(s, kKeyRegister) = 999;
  At(s, kLedRegister) = 2100;
  At(s, kFastWriteStart) = 1001;
  At(s, WordA{11}) = 65535;
  At(s, WordA{18}) = 5000;  // not one of the clamped entries

  const CheckReport report = StartCheck(*project_, lists, false);
  EXPECT_TRUE(report.keyboardClamped);
  EXPECT_FALSE(report.Failed()) << "this alone does not stop the compile";
  EXPECT_EQ(At(s, kKeyRegister), 999);
  EXPECT_EQ(At(s, kLedRegister), 1000);
  EXPECT_EQ(At(s, kFastWriteStart), 1000);
  EXPECT_EQ(At(s, WordA{11}), 1000);
  EXPECT_EQ(At(s, WordA{18}), 5000);
  ASSERT_EQ(report.Messages().size(), 1u);
  EXPECT_EQ(report.Messages()[0].text.english, "Setting the keyboard keys & indicator ID error!");
  EXPECT_EQ(report.Messages()[0].text.chinese, "设定下键盘按键 & 指示灯 ID 错误 !");

  EXPECT_FALSE(StartCheck(*project_, lists, false).keyboardClamped) << "nothing left to lower";
}

TEST_F(CompileCheckTest, ListsWithoutWordKindsRefuseEveryWordOperand) {
  Use(1, "");
  project_->Page(1).ElemKind[0] = 2;
  project_->Page(1).ElemKind[1] = 9;
  project_->Page(1).ElemKind[2] = 3;
  params::DeviceLists lists = Lists();
  lists.W_DeviceName.clear();
  lists.W_DeviceMax.clear();
  const CheckReport report = StartCheck(*project_, lists, false);
  ASSERT_EQ(report.rows.size(), 2u);
  EXPECT_EQ(report.rows[0].failure, CheckFailure::kKindIndex);
  EXPECT_EQ(report.rows[1].failure, CheckFailure::kKindIndex);
}

// Lists that stand for a protocol or device table the device resources do not have say
// nothing about the PLC: the check gives one row per such link instead of a row per
// element, and lowers nothing.
TEST_F(CompileCheckTest, UnknownTablesGiveOneRowPerLinkAndLowerNothing) {
  Use(1, "");
  project_->Page(1).ElemKind[0] = 2;
  project_->Page(1).ElemWordA[0] = 60000;  // would fail against any of these lists
  project_->Page(1).ElemKind[1] = 3;
  project_->Page(1).ElemWordA[1] = 60000;
  At(project_->Settings(), kLedRegister) = 60000;
  struct Row {
    CheckFailure failure;
    const char* chinese;
    const char* english;
  };
  struct TableCase {
    const char* name;
    std::optional<int> link1;
    std::optional<int> link2;
    std::vector<Row> rows;
  };
  const TableCase cases[] = {
      {"Link 1",
       12,
       std::nullopt,
       {{CheckFailure::kUnknownLink1Protocol, "未知的PLC协议 12 (连接1)",
         "unknown PLC protocol 12 (Link 1)"}}},
      {"Link 2",
       std::nullopt,
       40,
       {{CheckFailure::kUnknownLink2Table, "未知的设备表 40 (连接2)",
         "unknown device table 40 (Link 2)"}}},
      {"both",
       7000,
       3,
       {{CheckFailure::kUnknownLink1Protocol, "未知的PLC协议 7000 (连接1)",
         "unknown PLC protocol 7000 (Link 1)"},
        {CheckFailure::kUnknownLink2Table, "未知的设备表 3 (连接2)",
         "unknown device table 3 (Link 2)"}}},
  };
  for (const TableCase& c : cases) {
    for (bool isChinese : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (isChinese ? " zh" : " en"));
      params::DeviceLists lists = Lists();
      lists.unknownLink1Protocol = c.link1;
      lists.unknownLink2Table = c.link2;
      const CheckReport report = StartCheck(*project_, lists, isChinese);
      ASSERT_EQ(report.rows.size(), c.rows.size());
      for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const CheckRow& row = report.rows[i];
        EXPECT_EQ(row.failure, c.rows[i].failure);
        EXPECT_EQ(row.message, isChinese ? c.rows[i].chinese : c.rows[i].english);
        EXPECT_EQ(row.page, 0);
        EXPECT_EQ(row.slot, -1);
        EXPECT_EQ(row.caption, isChinese ? "系统设置" : "System Setup");
      }
      EXPECT_FALSE(report.keyboardClamped);
      EXPECT_EQ(At(project_->Settings(), kLedRegister), 60000);
      ASSERT_EQ(report.Messages().size(), 1u);
      EXPECT_EQ(report.Messages()[0].text, CheckSummaryMessage(c.rows.size()));
    }
  }
}

TEST(LinkLimitsTest, FromLists) {
  params::DeviceLists lists = Lists();
  lists.W_DeviceMax.push_back("99999");  // a third kind named nowhere
  lists.B_DeviceBit[1] = "-1";
  const LinkLimits limits = LinkLimits::FromLists(lists);
  EXPECT_EQ(limits.highestWordKind, 1);
  EXPECT_EQ(limits.highestBitKind, 2);
  EXPECT_EQ(limits.wordMax[0], 9999);
  EXPECT_EQ(limits.wordMax[2], 65535) << "held at the 16-bit end, not wrapped";
  EXPECT_EQ(limits.wordMax[5], 0) << "a missing entry counts as 0";
  EXPECT_EQ(limits.bitMax[2], 0);
  EXPECT_EQ(limits.bitCount[0], 8);
  EXPECT_EQ(limits.bitCount[1], 0);
}

}  // namespace
}  // namespace dravik::compiler
