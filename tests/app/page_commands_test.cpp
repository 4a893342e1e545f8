// The page list's rules: jump-target texts, key names, and what the page dialogs do to
// the project image (conflicts, renumbering, delete, paste).

#include "app/page_commands.h"

#include <gtest/gtest.h>

#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::app {
namespace {

using model::ProjectImage;

std::string Gbk(std::string_view utf8) { return platform::Utf8ToGbk(utf8); }

class PageCommands : public testing::Test {
 protected:
  void SetUp() override { model::InitializeNewProject(image); }
  ProjectImage image;
};

TEST_F(PageCommands, JumpTargetTextsInBothLanguages) {
  ASSERT_TRUE(CreatePage(image, 7, Gbk("泵站")));
  struct Case {
    int position;
    const char* chinese;
    const char* english;
  } cases[] = {
      {0, "当前页", "Current page"},
      {1, "1: Window1", "1: Window1"},
      {2, "2: ÷÷÷÷÷÷", "2: ÷÷÷÷÷÷"},
      {7, "7: 泵站", "7: 泵站"},
      {240, "240: ÷÷÷÷÷÷", "240: ÷÷÷÷÷÷"},
      {241, "241: 系统保留", "241: Sys.Reserve"},
      {249, "249: 系统保留", "249: Sys.Reserve"},
      {250, "250: 密码输入画面", "250: Password input Window"},
      {251, "251: 报警记录画面", "251: Alarm record Window"},
      {252, "252: 系统画面", "252: System Window"},
      {253, "253: 系统语言画面", "253: Language Window"},
      {254, "254: 系统保留", "254: Sys.Reserve"},
      {255, "255: 系统保留", "255: Sys.Reserve"},
  };
  const auto chinese = JumpTargetTexts(image, true);
  const auto english = JumpTargetTexts(image, false);
  ASSERT_EQ(chinese.size(), 256u);
  ASSERT_EQ(english.size(), 256u);
  for (const Case& c : cases) {
    EXPECT_EQ(chinese[c.position], c.chinese) << c.position;
    EXPECT_EQ(english[c.position], c.english) << c.position;
  }
}

TEST_F(PageCommands, TreeTextsFollowTheLanguage) {
  const TreeNodeTexts en = TreeTexts(false);
  EXPECT_EQ(en.root, "Project");
  EXPECT_EQ(en.settings, "System Setup");
  EXPECT_EQ(en.alarms, "Alarm Setup");
  EXPECT_EQ(en.macros, "ClockMacro");
  EXPECT_EQ(en.pageGroup, "Window");
  const TreeNodeTexts zh = TreeTexts(true);
  EXPECT_EQ(zh.root, "工程");
  EXPECT_EQ(zh.macros, "Clock宏");
  EXPECT_EQ(zh.pageGroup, "画面");
  EXPECT_EQ(PageTabCaption(3, true), " 画面数: 3");
  EXPECT_EQ(PageTabCaption(3, false), " Window sum: 3");
  EXPECT_EQ(PageNodeText(image.Page(1)), "1:Window1");
}

TEST(PageNodeTexts, NumberBeforeTheColon) {
  EXPECT_EQ(PageNumberOfNodeText("12:泵站"), 12);
  EXPECT_EQ(PageNumberOfNodeText("240:x:y"), 240);
  EXPECT_EQ(PageNumberOfNodeText("画面"), std::nullopt);
  EXPECT_EQ(PageNumberOfNodeText("abc:x"), std::nullopt);
  EXPECT_EQ(PageNumberOfNodeText("0:x"), std::nullopt);
  EXPECT_EQ(PageNumberOfNodeText("241:x"), std::nullopt);
}

TEST(PanelKeys, NamesByPanelModel) {
  struct Case {
    int model;
    const char* row5;
    const char* row10;
    const char* row11;
  } cases[] = {{0, "CLR", "HOME", "ALM"},   {1, "CLR", "HOME", "ALM"}, {2, "F6", "监视", "诊断"},
               {6, "F6", "监视", "诊断"},    {0x41, "CLR", "HOME", "ALM"}, {0x42, "F6", "监视", "诊断"}};
  for (const Case& c : cases) {
    const auto names = PanelKeyNames(c.model);
    EXPECT_EQ(names[0], "F1");
    EXPECT_EQ(names[5], c.row5) << c.model;
    EXPECT_EQ(names[6], "∧");
    EXPECT_EQ(names[9], "＞");
    EXPECT_EQ(names[10], c.row10) << c.model;
    EXPECT_EQ(names[11], c.row11) << c.model;
    EXPECT_EQ(names[12], "0");
    EXPECT_EQ(names[21], "9");
  }
  EXPECT_EQ(KeyRowCaption("F1", true), "[F1]键");
  EXPECT_EQ(KeyRowCaption("F1", false), "[F1]Key");
}

TEST_F(PageCommands, KeyRowsAndOffsetFollowTheLinkOneProtocol) {
  for (int protocol : {0, 1, 2, 3}) {
    At(image.Settings(), model::settings::kLink1Protocol) = static_cast<std::uint16_t>(protocol);
    const bool offset = protocol == 1 || protocol == 2;
    EXPECT_EQ(PageRegisterOffsetShown(image.Settings()), offset);
    EXPECT_EQ(PageKeyRowCount(image.Settings()), offset ? 20 : 22);
  }
}

TEST(NewPageOffer, NumberAndName) {
  EXPECT_EQ(NewPageNumberOffered(0), 1);
  EXPECT_EQ(NewPageNumberOffered(5), 6);
  EXPECT_EQ(NewPageNumberOffered(240), 240);
  EXPECT_EQ(NewPageNameOffered(6), "Window6");
  EXPECT_TRUE(NewPageNameFollowsNumber("Window12"));
  EXPECT_FALSE(NewPageNameFollowsNumber("泵站"));
  EXPECT_EQ(PageExistsMessage(3), (Bilingual{"3 号画面已存在 ！", "Window3 already exists ！"}));
}

TEST_F(PageCommands, NewPageAtAnOldNumberKeepsWhatTheElementsDoNot) {
  model::PageRecord& old = image.Page(9);
  model::PageKeyJump(old, 2) = "5";
  old.PageStrings[model::kPageOwnSize] = "Y";
  old.ElemKind[3] = 1;
  old.PageStrings[model::kPageRegisterOffsetText] = "44";

  ASSERT_TRUE(CreatePage(image, 9, Gbk("新页")));
  const model::PageRecord& page = image.Page(9);
  EXPECT_TRUE(image.IsPageUsed(9));
  EXPECT_EQ(page.PageStrings[model::kPageName].View(), Gbk("新页"));
  EXPECT_EQ(page.PageStrings[model::kPageNumberText].View(), "9");
  EXPECT_EQ(page.PageStrings[model::kPageBackColorText].View(),
            std::to_string(At(image.Settings(), model::settings::kDefaultPageColor)));
  EXPECT_EQ(page.PageStrings[model::kPageRegisterOffsetText].View(), "0");
  EXPECT_EQ(page.ElemKind[3], 0);
  EXPECT_EQ(model::PageKeyJump(image.Page(9), 2).View(), "5");
  EXPECT_EQ(page.PageStrings[model::kPageOwnSize].View(), "Y");
  // A page in use is refused and left alone.
  EXPECT_FALSE(CreatePage(image, 9, "x"));
  EXPECT_EQ(page.PageStrings[model::kPageName].View(), Gbk("新页"));
}

TEST_F(PageCommands, AttributesLoadWithFallbacks) {
  model::PageRecord& page = image.Page(1);
  page.PageStrings[model::kPageBackColorText] = "cyan";
  page.PageStrings[model::kPageRegisterOffsetText] = "x";
  const PageAttributes a = LoadPageAttributes(image, 1);
  EXPECT_EQ(a.number, 1);
  EXPECT_EQ(a.backColor, 0xFFFFFF);
  EXPECT_EQ(a.registerOffset, 0);
  EXPECT_EQ(a.pageAfterPassword, 1);  // 0 in a new project, shown as the spin's lowest
}

TEST_F(PageCommands, RenumberingMovesTheRecord) {
  ASSERT_TRUE(CreatePage(image, 3, "three"));
  image.Page(3).ElemKind[0] = 2;
  PageAttributes a = LoadPageAttributes(image, 3);
  a.number = 7;
  a.nameGbk = "seven";
  ASSERT_EQ(ConfirmPageAttributes(image, 3, a), 7);
  EXPECT_FALSE(image.IsPageUsed(3));
  EXPECT_TRUE(image.IsPageUsed(7));
  EXPECT_EQ(image.Page(7).PageStrings[model::kPageNumberText].View(), "7");
  EXPECT_EQ(image.Page(7).PageStrings[model::kPageName].View(), "seven");
  EXPECT_EQ(image.Page(7).ElemKind[0], 2);
}

TEST_F(PageCommands, RenumberingOntoADeletedPageReplacesItsOldRecord) {
  ASSERT_TRUE(CreatePage(image, 3, "three"));
  ASSERT_TRUE(CreatePage(image, 7, "old seven"));
  DeletePage(image, 7);
  PageAttributes a = LoadPageAttributes(image, 3);
  a.number = 7;
  ASSERT_EQ(ConfirmPageAttributes(image, 3, a), 7);
  EXPECT_EQ(image.Page(7).PageStrings[model::kPageName].View(), "three");
  EXPECT_FALSE(image.IsPageUsed(3));
}

TEST_F(PageCommands, RenumberingOntoANumberInUseIsRefusedButTheFieldsStayWritten) {
  ASSERT_TRUE(CreatePage(image, 3, "three"));
  PageAttributes a = LoadPageAttributes(image, 3);
  a.number = 1;
  a.nameGbk = "renamed";
  a.registerOffset = 12;
  EXPECT_EQ(ConfirmPageAttributes(image, 3, a), std::nullopt);
  EXPECT_TRUE(image.IsPageUsed(3));
  EXPECT_EQ(image.Page(3).PageStrings[model::kPageNumberText].View(), "3");
  EXPECT_EQ(image.Page(3).PageStrings[model::kPageName].View(), "renamed");
  EXPECT_EQ(image.Page(3).PageStrings[model::kPageRegisterOffsetText].View(), "12");
  EXPECT_EQ(image.Page(1).PageStrings[model::kPageName].View(), "Window1");
}

TEST_F(PageCommands, ANumberThatAnotherRecordReadsCountsOnlyWhileThatPageIsInUse) {
  ASSERT_TRUE(CreatePage(image, 3, "three"));
  // Page 5 in use but (damaged) reading "8": 8 is taken, and so is 5 itself.
  ASSERT_TRUE(CreatePage(image, 5, "five"));
  image.Page(5).PageStrings[model::kPageNumberText] = "8";
  PageAttributes a = LoadPageAttributes(image, 3);
  a.number = 8;
  EXPECT_EQ(ConfirmPageAttributes(image, 3, a), std::nullopt);
  a.number = 5;
  EXPECT_EQ(ConfirmPageAttributes(image, 3, a), std::nullopt);
  // A deleted record reading the number does not block it.
  image.Page(10).PageStrings[model::kPageNumberText] = "11";
  a.number = 11;
  EXPECT_EQ(ConfirmPageAttributes(image, 3, a), 11);
}

TEST_F(PageCommands, KeyJumpTargets) {
  model::PageRecord& page = image.Page(1);
  SetKeyJumpTarget(page, 4, 250);
  EXPECT_EQ(model::PageKeyJump(page, 4).View(), "250");
  EXPECT_EQ(KeyJumpTarget(page, 4), 250);
  model::PageKeyJump(page, 5) = "abc";
  EXPECT_EQ(KeyJumpTarget(page, 5), 0);
  model::PageKeyJump(page, 6) = "300";
  EXPECT_EQ(KeyJumpTarget(page, 6), 0);
}

TEST_F(PageCommands, DeleteKeepsTheRecordsData) {
  image.Page(1).ElemKind[4] = 3;
  DeletePage(image, 1);
  EXPECT_FALSE(image.IsPageUsed(1));
  EXPECT_EQ(image.Page(1).ElemKind[4], 3);
  EXPECT_EQ(image.Page(1).PageStrings[model::kPageName].View(), "Window1");
}

TEST_F(PageCommands, PasteAsANewPage) {
  model::PageRecord copied = image.Page(1);
  copied.ElemKind[2] = 8;
  ASSERT_FALSE(PastePageAs(image, copied, 1, true)) << "page 1 is in use";
  ASSERT_TRUE(PastePageAs(image, copied, 4, true));
  EXPECT_TRUE(image.IsPageUsed(4));
  EXPECT_EQ(image.Page(4).PageStrings[model::kPageName].View(), Gbk("新Window1"));
  EXPECT_EQ(image.Page(4).PageStrings[model::kPageNumberText].View(), "4");
  EXPECT_EQ(image.Page(4).ElemKind[2], 8);
  ASSERT_TRUE(PastePageAs(image, copied, 5, false));
  EXPECT_EQ(image.Page(5).PageStrings[model::kPageName].View(), "NewWindow1");
}

TEST_F(PageCommands, APastedNameIsCutToTwentyBytes) {
  model::PageRecord copied = image.Page(1);
  copied.PageStrings[model::kPageName] = "x" + Gbk("一二三四五六七八九");  // 19 bytes
  ASSERT_TRUE(PastePageAs(image, copied, 2, true));
  const std::string_view name = image.Page(2).PageStrings[model::kPageName].View();
  // 21 bytes cut to 20: the last character loses its second byte.
  EXPECT_EQ(name.size(), 20u);
  EXPECT_EQ(name, Gbk("新x一二三四五六七八九").substr(0, 20));
}

}  // namespace
}  // namespace dravik::app
