// The page-attribute dialog and the welcome form as a user drives them.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/page_attribute_frm.h"
#include "app/page_commands.h"
#include "app/welcome_frm.h"
#include "app_fixture.h"
#include "model/project_session.h"
#include "model/settings_page.h"

namespace dravik::app {
namespace {

class PageAttributeDialog : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    model::InitializeNewProject(image);
    ASSERT_TRUE(CreatePage(image, 3, "three"));
    form = std::make_unique<TPageAttributeFrm>();
    form->warn = [this](const Bilingual& message) { warnings.push_back(message.chinese); };
    form->modified = [this] { ++modifications; };
    form->SetJumpTargets(JumpTargetTexts(image, true));
  }

  model::ProjectImage image;
  std::unique_ptr<TPageAttributeFrm> form;
  std::vector<std::string> warnings;
  int modifications = 0;
};

TEST_F(PageAttributeDialog, KeyRowsFollowTheModelAndTheProtocol) {
  At(image.Settings(), model::settings::kLink1Protocol) = 1;
  At(image.Settings(), model::settings::kPanelModel) = 2;
  form->Load(image, 3, true);
  EXPECT_EQ(form->KeyGrid()->rowCount(), 20);
  EXPECT_FALSE(form->OffsetRow()->isHidden());
  EXPECT_EQ(form->KeyGrid()->item(5, 0)->text(), "[F6]键");
  EXPECT_EQ(form->KeyGrid()->item(10, 0)->text(), "[监视]键");

  At(image.Settings(), model::settings::kLink1Protocol) = 0;
  At(image.Settings(), model::settings::kPanelModel) = 1;
  form->Load(image, 3, false);
  EXPECT_EQ(form->KeyGrid()->rowCount(), 22);
  EXPECT_TRUE(form->OffsetRow()->isHidden());
  EXPECT_EQ(form->KeyGrid()->item(5, 0)->text(), "[CLR]Key");
}

TEST_F(PageAttributeDialog, KeyJumpsAreWrittenAtOnceAndThePasswordRowFollowsPage250) {
  model::PageKeyJump(image.Page(3), 1) = "2";
  form->Load(image, 3, true);
  EXPECT_EQ(form->JumpEdit()->value(), 0);
  EXPECT_EQ(form->JumpList()->currentRow(), 0);
  EXPECT_EQ(modifications, 0) << "showing a row writes nothing";

  form->SelectKeyRow(1);
  EXPECT_EQ(form->JumpEdit()->value(), 2);
  EXPECT_EQ(form->JumpList()->currentRow(), 2);

  form->ChooseJumpTarget(250);
  EXPECT_EQ(model::PageKeyJump(image.Page(3), 1).View(), "250");
  EXPECT_EQ(form->JumpEdit()->value(), 250);
  EXPECT_FALSE(form->PasswordRow()->isHidden());
  EXPECT_GT(modifications, 0);

  form->JumpEdit()->setValue(7);
  EXPECT_EQ(model::PageKeyJump(image.Page(3), 1).View(), "7");
  EXPECT_EQ(form->JumpList()->currentRow(), 7);
  EXPECT_TRUE(form->PasswordRow()->isHidden());

  form->reject();  // Cancel keeps the key jumps
  EXPECT_EQ(model::PageKeyJump(image.Page(3), 1).View(), "7");
}

// The list holds 256 targets; whichever the spin or a key row selects is scrolled into
// sight, before and after the dialog is shown.
TEST_F(PageAttributeDialog, TheSelectedJumpTargetIsScrolledIntoView) {
  model::PageKeyJump(image.Page(3), 0) = "230";
  model::PageKeyJump(image.Page(3), 2) = "240";
  form->Load(image, 3, true);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  QListWidget* list = form->JumpList();
  auto inSight = [list](int row) {
    QCoreApplication::sendPostedEvents();
    return list->viewport()->rect().contains(list->visualItemRect(list->item(row)));
  };
  ASSERT_EQ(list->currentRow(), 230);
  EXPECT_TRUE(inSight(230));

  QSpinBox* spin = form->JumpEdit();
  spin->setFocus();
  spin->selectAll();
  QTest::keyClicks(spin, "250");
  ASSERT_EQ(list->currentRow(), 250);
  EXPECT_FALSE(form->PasswordRow()->isHidden());
  EXPECT_TRUE(inSight(250));

  form->SelectKeyRow(2);
  ASSERT_EQ(list->currentRow(), 240);
  EXPECT_TRUE(inSight(240));
  form->SelectKeyRow(0);  // typed above: 250 again
  ASSERT_EQ(list->currentRow(), 250);
  EXPECT_TRUE(inSight(250));
}

TEST_F(PageAttributeDialog, ANumberInUsePutsTheOldNumberBack) {
  form->Load(image, 3, true);
  form->NameEdit()->setText("renamed");
  form->NumberEdit()->setValue(1);
  EXPECT_FALSE(form->Confirm());
  EXPECT_EQ(warnings, std::vector<std::string>{"1 号画面已存在 ！"});
  EXPECT_EQ(form->NumberEdit()->value(), 3);
  EXPECT_EQ(image.Page(3).PageStrings[model::kPageName].View(), "renamed");

  form->NumberEdit()->setValue(9);
  EXPECT_TRUE(form->Confirm());
  EXPECT_EQ(form->NewCurrentPage(), 9);
  EXPECT_TRUE(image.IsPageUsed(9));
  EXPECT_FALSE(image.IsPageUsed(3));
}

TEST(WelcomeForm, DescribesEachButtonInTheInterfaceLanguage) {
  test::EnsureApplication();
  TWelcomeFrm form;
  form.Prepare(true, "&1 /p/泵站.QX3");
  EXPECT_EQ(form.Message(), "按一个图形,开始...");
  form.Describe(form.LastButton());
  EXPECT_EQ(form.Message(), "打开: /p/泵站.QX3\n在您退出的地方继续工作。");
  form.Describe(form.NewButton());
  EXPECT_EQ(form.Message(), "创建一个新的工程...");
  form.Prepare(false, "最近文件");
  EXPECT_FALSE(form.LastButton()->isEnabled()) << "no recent file";
  form.Describe(form.OpenButton());
  EXPECT_EQ(form.Message(), "Open an existing project...");
  form.Describe(form.ExamplesButton());
  EXPECT_EQ(form.Message(), "Open the system provides examples，\nSince the design of various professional choice.");
  form.Describe(nullptr);
  EXPECT_EQ(form.Message(), "Click A graphic,Start...");
}

TEST(WelcomeForm, ExamplesButtonOpensTheExampleDialog) {
  test::EnsureApplication();
  test::SetClipboard("");
  test::RecordingShell shell;
  shell->show();
  shell->Dialog<app::TWelcomeFrm>()->ExamplesButton()->click();
  ASSERT_TRUE(test::WaitFor([&] { return !shell.openPresets.empty(); }));
  EXPECT_NE(shell.openPresets[0].find("茶叶整形机.QX3"), std::string::npos);
  EXPECT_EQ(shell->Session().ProjectFileName, "");
}

TEST(PageTree, NodeClicksOpenPagesOrTheMacroEditor) {
  test::EnsureApplication();
  test::SetClipboard(model::kNewCommand);
  test::RecordingShell shell;
  shell->show();
  QTreeWidget* tree = shell->PageTree();
  // A new project has no macro until it is saved: the user is told, and Save asks where.
  shell->TreeNodePressed(tree->findItems("Clock宏", Qt::MatchExactly | Qt::MatchRecursive).front(), false);
  ASSERT_FALSE(shell.messages.empty());
  EXPECT_EQ(shell.messages.back(), " 请先保存此新工程 ！");
  EXPECT_EQ(shell.savePresets.size(), 1u);

  model::ProjectImage& image = shell->Image();
  ASSERT_TRUE(CreatePage(image, 5, "five"));
  shell->PageCountRefresh();
  shell->TreeNodePressed(tree->findItems("5:five", Qt::MatchExactly | Qt::MatchRecursive).front(), false);
  ASSERT_NE(shell->ActivePageWindowWidget(), nullptr);
  EXPECT_EQ(shell->ActivePageWindowWidget()->windowTitle(), "5:five");
  EXPECT_EQ(shell->State().CurrentPage, 5);
}

TEST(VisualStyle, EachStyleCanBeChosen) {
  test::EnsureApplication();
  test::RecordingShell shell;
  for (int style : {2, 3, 1}) {
    shell->SetVisualStyle(style);
    EXPECT_EQ(shell->VisualStyle(), style);
    EXPECT_TRUE(shell->Command(("Style" + std::to_string(style)).c_str())->isChecked());
  }
}

}  // namespace
}  // namespace dravik::app
