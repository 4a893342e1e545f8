// The main window's element commands on a new project's page window, driven by real
// mouse events and the commands themselves: the kind commands, undo and redo (with the
// snapshot a drag and a lock take), lock and unlock, send to bottom, the status panels,
// and cut, copy and paste of one element through the clipboard.

#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QTest>

#include "app_fixture.h"
#include "app/main_frm.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "model/project_session.h"
#include "platform/files.h"

namespace dravik::app {
namespace {

using test::RecordingShell;
using test::WaitFor;

class ElementCommands : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    test::SetClipboard(model::kNewCommand);
    shell = std::make_unique<RecordingShell>();
    (*shell)->show();
    ASSERT_TRUE((*shell)->Session().ProjectOpen);
    window = qobject_cast<editor::TStructureP*>((*shell)->ActivePageWindowWidget());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }

  TMainFrm& main() { return **shell; }
  model::PageRecord& page() { return main().Image().Page(window->PageNumber()); }
  bool Enabled(const char* command) { return main().Command(command)->isEnabled(); }
  void Run(const char* command) {
    main().ClockTick();  // the clock enables Undo and Redo
    ASSERT_TRUE(Enabled(command)) << command;
    main().Command(command)->trigger();
  }

  // Chooses a kind by its command and places it with a Shift-click (no property dialog).
  void Place(const char* command, QPoint at) {
    main().Command(command)->trigger();
    QTest::mouseClick(window, Qt::LeftButton, Qt::ShiftModifier, at);
  }
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(window, to);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, to);
  }
  int Kind(int slot) { return page().ElemKind[static_cast<std::size_t>(slot)]; }
  QPoint Position(int slot) {
    const auto s = static_cast<std::size_t>(slot);
    return {page().ElemLeft[s], page().ElemTop[s]};
  }

  std::unique_ptr<RecordingShell> shell;
  editor::TStructureP* window = nullptr;
};

TEST_F(ElementCommands, KindCommandsPlaceAndThePictureWaitsForASave) {
  Place("Rectangle1", QPoint(20, 30));
  EXPECT_EQ(Kind(0), elements::kKindRectangle);
  EXPECT_EQ(Position(0), QPoint(20, 30));
  EXPECT_TRUE(Enabled("Cut1")) << "the new element is selected";
  EXPECT_TRUE(Enabled("Save1"));

  main().Command("Picture1")->trigger();
  EXPECT_EQ(main().State().PlaceKind, 0);
  EXPECT_EQ(shell->messages, std::vector<std::string>{" 请先保存此新工程 ！"});
  EXPECT_EQ(shell->savePresets.size(), 1u) << "Save runs (its dialog is cancelled here)";
}

TEST_F(ElementCommands, UndoAndRedoWalkThePlacements) {
  EXPECT_FALSE(Enabled("Undo1"));
  Place("Ellipse1", QPoint(20, 20));
  Place("Lamp1", QPoint(120, 120));
  Run("Undo1");
  EXPECT_EQ(Kind(0), elements::kKindEllipse);
  EXPECT_EQ(Kind(1), 0);
  EXPECT_EQ(window->Element(1), nullptr) << "the window shows the restored page";
  Run("Undo1");
  EXPECT_EQ(Kind(0), 0) << "back to the page as it was entered";
  main().ClockTick();
  EXPECT_FALSE(Enabled("Undo1"));
  Run("Redo1");
  Run("Redo1");
  EXPECT_EQ(Kind(1), elements::kKindLamp);
  main().ClockTick();
  EXPECT_FALSE(Enabled("Redo1"));
}

TEST_F(ElementCommands, ActivatingTheSameWindowAgainKeepsItsHistory) {
  Place("Rectangle1", QPoint(20, 20));
  main().PageCountRefresh();  // the page list activates the open window again
  Run("Undo1");
  EXPECT_EQ(Kind(0), 0);
}

TEST_F(ElementCommands, AMoveAndALockCanBeUndone) {
  Place("Rectangle1", QPoint(20, 20));
  Drag(QPoint(30, 30), QPoint(130, 80));
  EXPECT_EQ(Position(0), QPoint(120, 70));
  Run("Lock1");
  EXPECT_EQ(page().ElemByteA[0], 1);
  EXPECT_FALSE(Enabled("Lock1"));
  EXPECT_TRUE(Enabled("Unlock1"));

  Run("Undo1");
  EXPECT_EQ(page().ElemByteA[0], 0) << "the lock is undone";
  EXPECT_EQ(Position(0), QPoint(120, 70));
  Run("Undo1");
  EXPECT_EQ(Position(0), QPoint(20, 20)) << "the move is undone";
  EXPECT_EQ(Kind(0), elements::kKindRectangle);
  Run("Redo1");
  EXPECT_EQ(Position(0), QPoint(120, 70)) << "and redone";
}

TEST_F(ElementCommands, SendToBottomIsSavedAndUndone) {
  Place("Rectangle1", QPoint(20, 20));
  Place("Ellipse1", QPoint(120, 120));
  main().Session().Modified = false;
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(130, 130));
  Run("SendToBack1");
  EXPECT_EQ(Kind(0), elements::kKindEllipse);
  EXPECT_EQ(Kind(1), elements::kKindRectangle);
  EXPECT_TRUE(main().Session().Modified) << "the new drawing order is to be saved";
  Run("Undo1");
  EXPECT_EQ(Kind(0), elements::kKindRectangle);
}

TEST_F(ElementCommands, StatusPanelsDescribeTheElementAndThePointer) {
  main().SetLanguage(false);
  Place("Ellipse1", QPoint(5, 5));
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  EXPECT_EQ(main().StatusText(0), QStringLiteral(" Ellipse at[0,0] W:50  H:50"));
  QTest::mouseMove(window, QPoint(105, 37));
  EXPECT_EQ(main().StatusText(3), QStringLiteral(" X: 100  Y: 32"));
}

TEST_F(ElementCommands, CopyCutAndPasteOneElementThroughTheClipboard) {
  Place("Rectangle1", QPoint(20, 20));
  EXPECT_FALSE(Enabled("Paste1"));
  Run("Copy1");
  EXPECT_EQ(test::ClipboardText(), "zr_QX:00");
  ASSERT_TRUE(WaitFor([&] { return Enabled("Paste1"); }));
  EXPECT_FALSE(Enabled("PastePage1"));

  Run("Paste1");
  EXPECT_EQ(Kind(1), elements::kKindRectangle);
  EXPECT_EQ(Position(1), QPoint(30, 26));
  EXPECT_EQ(window->SelectedSlot(), 1);
  Run("Paste1");
  EXPECT_EQ(Position(2), QPoint(40, 32)) << "each paste lands further on";

  Run("Cut1");
  EXPECT_EQ(Kind(2), 0);
  EXPECT_EQ(test::ClipboardText(), "zr_QX:02");
  Run("Undo1");
  EXPECT_EQ(Kind(2), elements::kKindRectangle) << "a cut is undone";
}

}  // namespace
}  // namespace dravik::app
