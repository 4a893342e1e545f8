// The main window's element commands on a new project's page window, driven by real
// mouse events and the commands themselves: the kind commands, the property dialogs with
// what the main window hands them (the function key's jump targets), undo and redo (with the
// snapshot a drag and a lock take), lock and unlock, send to bottom, the status panels,
// cut, copy and paste of one element and of a group through the clipboard, the
// alignment tools, F12 and the page window's menus after a language switch.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "app_fixture.h"
#include "app/main_frm.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "elements/ui/group_box_fun_key.h"
#include "elements/ui/group_box_lamp.h"
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
  // A rubber band over the canvas from `from` to `to`.
  void Band(QPoint from, QPoint to) {
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(window, (from + to) / 2);
    QTest::mouseMove(window, to);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, to);
  }
  // A rectangle written straight into the page, drawn by the window.
  void PutRectangle(int slot, QRect bounds) {
    const auto s = static_cast<std::size_t>(slot);
    page().ElemKind[s] = elements::kKindRectangle;
    page().ElemLeft[s] = static_cast<std::uint16_t>(bounds.left());
    page().ElemTop[s] = static_cast<std::uint16_t>(bounds.top());
    page().ElemWidth[s] = static_cast<std::uint16_t>(bounds.width());
    page().ElemHeight[s] = static_cast<std::uint16_t>(bounds.height());
  }
  int Kind(int slot) { return page().ElemKind[static_cast<std::size_t>(slot)]; }
  QRect Bounds(int slot) {
    const auto s = static_cast<std::size_t>(slot);
    return {page().ElemLeft[s], page().ElemTop[s], page().ElemWidth[s], page().ElemHeight[s]};
  }
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

TEST_F(ElementCommands, DoubleClickOpensTheKindsPropertyDialog) {
  Place("Lamp1", QPoint(40, 40));
  QDialog* shown = nullptr;
  shell->dialogAnswer = [&](QDialog* dialog) {
    shown = dialog;
    auto* lamp = qobject_cast<elements::TGroupBoxLamp*>(dialog);
    if (lamp == nullptr) return static_cast<int>(QDialog::Rejected);
    lamp->LampTypeCombo()->setCurrentIndex(1);
    lamp->OkButton()->click();
    return lamp->result();
  };
  main().Session().Modified = false;
  QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(45, 45));
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->objectName(), "GroupBoxLamp");
  EXPECT_EQ(page().ElemByteF[0], 1);
  EXPECT_TRUE(main().Session().Modified);
  Run("Undo1");
  EXPECT_EQ(page().ElemByteF[0], 0) << "the dialog's change is one step";

  // Cancel writes nothing and asks for no Save.
  shell->dialogAnswer = [](QDialog*) { return static_cast<int>(QDialog::Rejected); };
  main().Session().Modified = false;
  QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(45, 45));
  EXPECT_FALSE(main().Session().Modified);
}

TEST_F(ElementCommands, TheFunctionKeyJumpsToThePagesOfTheMoment) {
  Place("FunctionKey1", QPoint(40, 40));
  // The switch takes the selection away; the double click still means the key under it.
  main().SetLanguage(false);
  QStringList targets;
  shell->dialogAnswer = [&](QDialog* dialog) {
    auto* key = qobject_cast<elements::TGroupBoxFunKey*>(dialog);
    if (key == nullptr) return static_cast<int>(QDialog::Rejected);
    for (int i = 0; i < key->JumpTargetCombo()->count(); ++i) targets << key->JumpTargetCombo()->itemText(i);
    key->JumpTargetCombo()->setCurrentIndex(1);
    key->OkButton()->click();
    return key->result();
  };
  QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(45, 45));
  ASSERT_EQ(targets.size(), 256);
  EXPECT_EQ(targets[0], "Current page");
  EXPECT_EQ(targets[1], "1: Window1");
  EXPECT_EQ(targets[2], "2: ÷÷÷÷÷÷");
  EXPECT_EQ(page().ElemLongD[0], 1);
  EXPECT_EQ(page().ElemWordD[0], 4);
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

TEST_F(ElementCommands, UndoAndRedoAreAtHandRightAfterEachStepNotOnlyAfterTheClock) {
  Place("Ellipse1", QPoint(20, 20));
  ASSERT_TRUE(Enabled("Undo1")) << "Ctrl+Z at once after an edit takes it back";
  main().Command("Undo1")->trigger();
  EXPECT_EQ(Kind(0), 0);
  EXPECT_FALSE(Enabled("Undo1"));
  ASSERT_TRUE(Enabled("Redo1"));
  main().Command("Redo1")->trigger();
  EXPECT_EQ(Kind(0), elements::kKindEllipse);
  EXPECT_FALSE(Enabled("Redo1"));
  EXPECT_TRUE(Enabled("Undo1"));
}

TEST_F(ElementCommands, ALockedElementStaysSelectedWhenTheProgramIsActivatedAgain) {
  QWidget otherProgram;
  otherProgram.show();
  main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
  Place("Rectangle1", QPoint(20, 20));
  Run("Lock1");
  ASSERT_TRUE(Enabled("Unlock1"));

  // The user turns to another program and back; the offscreen platform does not report
  // the program going inactive by itself.
  otherProgram.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&otherProgram));
  QEvent programLeft(QEvent::ApplicationDeactivate);
  QCoreApplication::sendEvent(qApp, &programLeft);
  main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));

  EXPECT_EQ(window->SelectedSlot(), 0) << "the selection is kept";
  EXPECT_TRUE(Enabled("Unlock1"));
  EXPECT_TRUE(Enabled("Undo1")) << "and the history";
  QTest::keyClick(window, Qt::Key_Right);
  EXPECT_EQ(Position(0), QPoint(22, 20)) << "the arrow keys still move it";
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

TEST_F(ElementCommands, TheElementCommandsHoldWhileTheProgramIsInactive) {
  QWidget otherProgram;
  otherProgram.show();
  main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
  Place("Rectangle1", QPoint(20, 20));
  Run("Copy1");
  ASSERT_TRUE(WaitFor([&] { return Enabled("Paste1"); }));

  // The program goes inactive (another program has the focus, or a menu took it for a
  // moment; the offscreen platform does not report that by itself): the page window
  // being edited stays the one the commands act on, so the clock and the clipboard
  // notifications meanwhile leave them as they are.
  otherProgram.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&otherProgram));
  QEvent programLeft(QEvent::ApplicationDeactivate);
  QCoreApplication::sendEvent(qApp, &programLeft);
  ASSERT_EQ(main().MdiArea()->activeSubWindow(), nullptr);
  main().ClockTick();
  main().ReceiveClipboardData();
  EXPECT_TRUE(Enabled("Paste1"));
  EXPECT_TRUE(Enabled("Copy1"));
  EXPECT_TRUE(Enabled("Undo1"));
  EXPECT_EQ(main().ActivePageWindowWidget(), window);
  main().Command("Paste1")->trigger();
  EXPECT_EQ(Position(1), QPoint(30, 26));
}

TEST_F(ElementCommands, AGroupIsCopiedAndPastedAsAGroup) {
  Place("Rectangle1", QPoint(20, 20));
  Place("Rectangle1", QPoint(20, 100));
  Band(QPoint(10, 10), QPoint(200, 200));
  ASSERT_TRUE(window->HasAreaSelection());
  Run("Copy1");
  // EE, two slots, frame 20, 20, 100 x 130, slots 0 and 1.
  EXPECT_EQ(test::ClipboardText(), "zr_QX:EE0200140014006400820001");
  ASSERT_TRUE(WaitFor([&] { return Enabled("Paste1"); }));

  Run("Paste1");
  EXPECT_EQ(Bounds(2), QRect(30, 26, 100, 50));
  EXPECT_EQ(Bounds(3), QRect(30, 106, 100, 50));
  EXPECT_EQ(window->Group().SelList, (std::vector<int>{2, 3})) << "the pasted elements are the group";
  EXPECT_EQ(window->AreaFrameRect(), QRect(30, 26, 100, 130));
  EXPECT_TRUE(window->Element(3)->markers[0].visible);
  Run("Paste1");
  EXPECT_EQ(Bounds(4).topLeft(), QPoint(40, 32)) << "each paste lands further on";
  EXPECT_EQ(Bounds(5).topLeft(), QPoint(40, 112));
  EXPECT_TRUE(shell->messages.empty());

  Run("Undo1");
  EXPECT_EQ(Kind(4), 0) << "one Undo takes the whole paste back";
  EXPECT_EQ(Kind(5), 0);
  EXPECT_EQ(Kind(3), elements::kKindRectangle);
}

TEST_F(ElementCommands, AnAreaPasteWithTooFewSlotsWarnsOncePerElementLeftOut) {
  main().SetLanguage(true);
  Place("Rectangle1", QPoint(20, 20));
  Place("Rectangle1", QPoint(20, 100));
  Place("Rectangle1", QPoint(130, 20));
  Band(QPoint(10, 10), QPoint(235, 200));
  ASSERT_EQ(window->Group().SelList, (std::vector<int>{0, 1, 2}));
  Run("Cut1");
  EXPECT_EQ(Kind(0), 0) << "a cut group is deleted";
  EXPECT_FALSE(window->HasAreaSelection());
  ASSERT_TRUE(WaitFor([&] { return Enabled("Paste1"); }));
  for (int slot = 1; slot < 199; ++slot) PutRectangle(slot, QRect(200, 300, 10, 10));

  Run("Paste1");
  EXPECT_EQ(Kind(0), elements::kKindRectangle);
  EXPECT_EQ(Kind(199), elements::kKindRectangle);
  EXPECT_EQ(shell->messages, std::vector<std::string>{"不再有这种类型的部件 ！"});
  EXPECT_EQ(window->Group().SelList, (std::vector<int>{0, 199}));
}

struct AlignCase {
  const char* tool;
  QRect member;  // slot 1 afterwards; the anchor (slot 0) is (20, 50) 41 x 30
};

class AlignTools : public ElementCommands, public testing::WithParamInterface<AlignCase> {};

TEST_P(AlignTools, AlignTheGroupAgainstItsAnchorAsOneEdit) {
  const AlignCase& c = GetParam();
  PutRectangle(0, QRect(20, 50, 41, 30));
  PutRectangle(1, QRect(100, 120, 10, 60));
  window->PageRefresh();
  emit window->Edited();  // the page as written is what Undo comes back to
  QAction* tool = main().Command(c.tool);
  auto* bar = main().findChild<QToolBar*>(QStringLiteral("EditToolBar"));
  QWidget* button = bar->widgetForAction(tool);
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(tool->isEnabled()) << "no group, no alignment";
  Band(QPoint(10, 10), QPoint(200, 200));
  ASSERT_TRUE(tool->isEnabled());
  const QRect frame = window->AreaFrameRect();

  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(Bounds(1), c.member);
  EXPECT_EQ(window->Element(1)->bounds, c.member) << "the member is shown where it now is";
  EXPECT_EQ(Bounds(0), QRect(20, 50, 41, 30)) << "the anchor stays";
  EXPECT_EQ(window->AreaFrameRect(), frame) << "the frame keeps its bounds";
  Run("Undo1");
  EXPECT_EQ(Bounds(1), QRect(100, 120, 10, 60));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, AlignTools,
    testing::Values(AlignCase{"AlignButton1", {20, 120, 10, 60}}, AlignCase{"AlignButton2", {35, 120, 10, 60}},
                    AlignCase{"AlignButton3", {51, 120, 10, 60}}, AlignCase{"AlignButton4", {100, 50, 10, 60}},
                    AlignCase{"AlignButton5", {100, 35, 10, 60}}, AlignCase{"AlignButton6", {100, 20, 10, 60}},
                    AlignCase{"AlignButton7", {100, 120, 41, 60}}, AlignCase{"AlignButton8", {100, 120, 10, 30}},
                    AlignCase{"AlignButton9", {100, 120, 41, 30}}),
    [](const testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.tool); });

TEST_F(ElementCommands, F12ShowsTheElementsHintWhenOneIsSelectedElseBuildsTheUpdatePackage) {
  QSignalSpy package(main().Command("UpdatePackage1"), &QAction::triggered);
  main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(shell->window.get()));
  Place("Rectangle1", QPoint(20, 20));
  ASSERT_TRUE(window->HasSelection());
  window->setFocus();
  QTest::keyClick(window, Qt::Key_F12);
  EXPECT_EQ(package.count(), 0) << "the page window takes F12";

  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  ASSERT_FALSE(window->HasSelection());
  window->setFocus();
  QTest::keyClick(window, Qt::Key_F12);
  EXPECT_EQ(package.count(), 1) << "with nothing selected F12 is the update package";
}

TEST_F(ElementCommands, ThePageWindowsMenusFollowALanguageSwitchAtOnce) {
  QAction* attribute = window->ElementMenu()->findChild<QAction*>(QStringLiteral("N1"));
  QAction* paste = window->CanvasMenu()->findChild<QAction*>(QStringLiteral("MenuItem7"));
  main().SetLanguage(false);
  EXPECT_EQ(attribute->text(), QStringLiteral("Attribute(&A)"));
  EXPECT_EQ(paste->text(), QStringLiteral("Paste(&P)"));
  main().SetLanguage(true);
  EXPECT_EQ(attribute->text(), QStringLiteral("属性(&A)"));
}

}  // namespace
}  // namespace dravik::app
