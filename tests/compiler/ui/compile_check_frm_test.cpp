#include "compiler/ui/compile_check_frm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTreeWidget>

#include "comm/ui/device_dialog_fixture.h"

namespace dravik::compiler {
namespace {

using test::ProjectFixture;
using test::RecordingSink;

constexpr int kRegister = 2;
constexpr int kLamp = 3;

class CompileCheckFrmTest : public testing::Test {
 protected:
  CompileCheckFrmTest() {
    test::EnsureApplication();
    ui::DesktopHooks hooks = sink.Sink();
    hooks.showStatus = [this](int panel, const QString& text) {
      statusPanel = panel;
      status = text.toStdString();
    };
    frm.SetDesktopHooks(hooks);
    frm.SetKeyboardDialog([this] { ++keyboardDialogs; });
  }
  void SetUp() override {
    ASSERT_TRUE(project.loadError.empty()) << project.loadError;
  }

  // Two registers above the first word kind's maximum on page 1, a good one beside them,
  // and a lamp above the maximum of its bit kind on page 2.
  void PlaceFailingElements() {
    const int max = project.WordMax();
    ASSERT_GT(max, 0);
    ASSERT_LT(max, 65535);
    const int first = project.Place(1, kRegister);
    project.image->Page(1).ElemWordA[first] = static_cast<std::uint16_t>(max + 1);
    const int good = project.Place(1, kRegister, 80);
    project.image->Page(1).ElemWordA[good] = static_cast<std::uint16_t>(max);
    const int second = project.Place(1, kRegister, 140);
    project.image->Page(1).ElemWordA[second] = 65535;
    const int lamp = project.Place(2, kLamp);
    const int bitMax = params::ListNumber(params::ListEntry(project.lists.B_DeviceMax, 1));
    ASSERT_GT(bitMax, 0);
    project.image->Page(2).ElemByteB[lamp] = 0x10;  // the second bit kind
    project.image->Page(2).ElemWordA[lamp] = static_cast<std::uint16_t>(bitMax + 1);
    failing = {first, second, lamp};
  }

  test::WithApplication application;
  ProjectFixture project;
  RecordingSink sink;
  TCompileCheckFrm frm;
  std::vector<int> failing;
  int statusPanel = -1;
  std::string status;
  int keyboardDialogs = 0;
};

TEST_F(CompileCheckFrmTest, FailingElementsAreListedAndTheWindowShows) {
  PlaceFailingElements();
  const CheckReport report = frm.StartCheck(*project.image, project.lists, true);

  ASSERT_EQ(report.rows.size(), 3u);
  EXPECT_TRUE(frm.ErrorsShown());
  EXPECT_EQ(frm.windowTitle().toStdString(), "编译失败");
  EXPECT_EQ(frm.SummaryLabel()->text().toStdString(), "编译错误信息: 3 条");
  QTreeWidget* list = frm.List();
  ASSERT_EQ(list->topLevelItemCount(), 3);
  struct Row {
    const char* caption;
    int slot;
    const char* message;
  };
  const Row expected[] = {{"1:Window1", failing[0], "寄存器号设置错误 ！"},
                          {"1:Window1", failing[1], "寄存器号设置错误 ！"},
                          {"2:Window2", failing[2], "寄存器号设置错误 ！"}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const QTreeWidgetItem* item = list->topLevelItem(i);
    EXPECT_EQ(item->text(kColumnPage).toStdString(), expected[i].caption);
    EXPECT_EQ(item->text(kColumnKind).toStdString(), report.rows[i].kindName);
    EXPECT_FALSE(item->text(kColumnKind).isEmpty());
    EXPECT_EQ(item->text(kColumnSlot).toInt(), expected[i].slot);
    EXPECT_EQ(item->text(kColumnMessage).toStdString(), expected[i].message);
  }
  EXPECT_TRUE(list->isColumnHidden(kColumnSlot));
  EXPECT_EQ(list->headerItem()->text(kColumnMessage).toStdString(), "错 误 提 示");

  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].caption, "Dravik ");
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(sink.boxes[0].text, "总共找到 3 错误; 请参考编译错误信息栏修正错误。");
  EXPECT_EQ(keyboardDialogs, 0);
}

TEST_F(CompileCheckFrmTest, EnglishInterfaceGivesEnglishTexts) {
  PlaceFailingElements();
  sink.chinese = false;
  frm.StartCheck(*project.image, project.lists, false);
  EXPECT_EQ(frm.SummaryLabel()->text().toStdString(), "The compiler error messages: 3 Item");
  EXPECT_EQ(frm.List()->topLevelItem(0)->text(kColumnMessage).toStdString(),
            "Register setting error!");
  EXPECT_EQ(frm.List()->headerItem()->text(kColumnMessage).toStdString(), "Error hint");
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text,
            "Find a total of 3 Mistake; please refer to compile error information column "
            "correction of errors.");
}

TEST_F(CompileCheckFrmTest, MendedProjectClosesTheWindowAndEmptiesTheList) {
  PlaceFailingElements();
  frm.StartCheck(*project.image, project.lists, true);
  ASSERT_TRUE(frm.ErrorsShown());
  project.image->ClearPages(1, 2);
  model::InitializeNewProject(*project.image);
  sink.boxes.clear();

  const CheckReport report = frm.StartCheck(*project.image, project.lists, true);
  EXPECT_FALSE(report.Failed());
  EXPECT_FALSE(frm.ErrorsShown());
  EXPECT_EQ(frm.List()->topLevelItemCount(), 0);
  EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(CompileCheckFrmTest, LoweredKeyboardSettingsAreReportedWithoutStopping) {
  using namespace model::settings;
  At(project.image->Settings(), kLedRegister) = 65500;
  const CheckReport report = frm.StartCheck(*project.image, project.lists, true);
  EXPECT_TRUE(report.keyboardClamped);
  EXPECT_EQ(At(project.image->Settings(), kLedRegister), project.WordMax());
  EXPECT_FALSE(frm.ErrorsShown());
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "设定下键盘按键 & 指示灯 ID 错误 !");
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(keyboardDialogs, 1);
}

TEST_F(CompileCheckFrmTest, ClickShowsTheHintAndDoubleClickAsksForThePage) {
  PlaceFailingElements();
  frm.StartCheck(*project.image, project.lists, true);
  QSignalSpy pages(&frm, &TCompileCheckFrm::pageRequested);
  QSignalSpy elements(&frm, &TCompileCheckFrm::elementRequested);

  frm.ListView1Click(2);
  EXPECT_EQ(statusPanel, 0);
  EXPECT_EQ(status, " Hint: 寄存器号设置错误 ！ Please re-set...");
  EXPECT_EQ(frm.List()->toolTip().toStdString(), "Hint: 寄存器号设置错误 ！ Please re-set...");

  // Through the list itself, as the user does it.
  QTreeWidget* list = frm.List();
  emit list->itemDoubleClicked(list->topLevelItem(2), 0);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_EQ(pages[0][0].toInt(), 2);
  ASSERT_EQ(elements.size(), 1);
  EXPECT_EQ(elements[0][0].toInt(), 2);
  EXPECT_EQ(elements[0][1].toInt(), failing[2]);

  frm.ListView1DblClick(7);  // no such row
  EXPECT_EQ(pages.size(), 1);
}

}  // namespace
}  // namespace dravik::compiler
