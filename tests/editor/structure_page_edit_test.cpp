// The page window as an editor, driven by real mouse and key events: placing (slot
// ranges, refusal, Shift), selecting with the status read-outs, dragging inside the page,
// resizing by the handles, locking, deleting, sending to the bottom and the menus.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "editor/ui/structure_page.h"
#include "editor_test_support.h"
#include "elements/element_kind.h"
#include "page_edit_fixture.h"

namespace dravik::editor {
namespace {

using elements::kKindRectangle;
using test::PageEditTest;

struct PlacementCase {
  const char* name;
  int kind;
  int firstFilled, lastFilled;  // slots holding elements before the click
  int expectedSlot;             // -1: refused
};

class PlacementSlots : public PageEditTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementSlots, TakeTheKindsRangeOrAreRefused) {
  const PlacementCase& c = GetParam();
  for (int slot = c.firstFilled; slot <= c.lastFilled; ++slot) PutRectangle(slot, 200, 200, 10, 10);
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  state.PlaceKind = c.kind;
  QTest::mouseMove(window.get(), QPoint(10, 10));
  QTest::mouseMove(window.get(), QPoint(40, 60));
  EXPECT_EQ(window->GhostFrame().topLeft(), QPoint(40, 60));
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(40, 60));
  EXPECT_EQ(state.PlaceKind, 0) << "placing ends with the click either way";
  EXPECT_TRUE(window->GhostFrame().isNull());
  if (c.expectedSlot < 0) {
    EXPECT_EQ(messages, std::vector<std::string>{"Dravik |不再有这种类型的部件 ！"});
    EXPECT_EQ(icons, std::vector<QMessageBox::Icon>{QMessageBox::Warning});
    EXPECT_FALSE(window->HasSelection());
    EXPECT_EQ(edited.count(), 0);
    return;
  }
  EXPECT_TRUE(messages.empty());
  const auto s = static_cast<std::size_t>(c.expectedSlot);
  EXPECT_EQ(page().ElemKind[s], c.kind);
  EXPECT_EQ(page().ElemLeft[s], 40);
  EXPECT_EQ(page().ElemTop[s], 60);
  EXPECT_EQ(window->SelectedSlot(), c.expectedSlot);
  EXPECT_NE(window->Element(c.expectedSlot), nullptr);
  EXPECT_EQ(edited.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PlacementSlots,
    ::testing::Values(PlacementCase{"RectangleOnAnEmptyPage", kKindRectangle, 1, 0, 0},
                      PlacementCase{"TextAboveTheFullLowSlots", elements::kKindText, 0, 134, 135},
                      PlacementCase{"DynamicTextOnlyInTheTextTable", elements::kKindDynamicText, 135, 199, -1},
                      PlacementCase{"LampOnAFullPage", elements::kKindLamp, 0, 199, -1}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

TEST_F(PageEditTest, PlacingOpensThePropertyDialogUnlessShiftIsHeld) {
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  state.PlaceKind = elements::kKindEllipse;
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  EXPECT_EQ(dialogs, std::vector<int>{0});
  EXPECT_EQ(edited.count(), 1) << "one snapshot, so one Undo takes the element away";

  state.PlaceKind = elements::kKindEllipse;
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(120, 120));
  EXPECT_EQ(dialogs, std::vector<int>{0}) << "Shift places without the dialog";
  EXPECT_EQ(page().ElemKind[1], elements::kKindEllipse);
  EXPECT_EQ(edited.count(), 2);
}

TEST_F(PageEditTest, ACancelledPropertyDialogTakesNoSnapshotButAPlacementDoes) {
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  dialogAnswer = false;
  state.PlaceKind = elements::kKindEllipse;
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  EXPECT_EQ(edited.count(), 1) << "the placement is an edit, whatever the dialog answered";

  window->Panel1DblClick();
  EXPECT_EQ(dialogs, (std::vector<int>{0, 0}));
  EXPECT_EQ(edited.count(), 1) << "a cancelled dialog wrote nothing";
  dialogAnswer = true;
  window->Panel1DblClick();
  EXPECT_EQ(edited.count(), 2);
}

TEST_F(PageEditTest, PlacementBeyondThePageIsKeptInside) {
  auto window = Open();
  state.PlaceKind = kKindRectangle;
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(247, 100));
  EXPECT_EQ(Left(0), 6);
}

TEST_F(PageEditTest, SelectingDescribesTheElementInTheInterfaceLanguage) {
  test::PutElement(page(), 2, elements::kKindEllipse, 50, 50);  // at the page origin
  auto window = Open();
  QSignalSpy described(window.get(), &TStructureP::ElementDescribed);
  QSignalSpy pointer(window.get(), &TStructureP::PointerMoved);
  state.IsChinese = false;
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  state.IsChinese = true;
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  ASSERT_EQ(described.count(), 2);
  EXPECT_EQ(described.at(0).at(0).toString(), QString::fromUtf8(" Ellipse at[0,0] W:50  H:50"));
  EXPECT_EQ(described.at(1).at(0).toString(), QString::fromUtf8(" 椭圆形 at[0,0] W:50  H:50"));
  EXPECT_EQ(window->SelectedSlot(), 2);
  EXPECT_EQ(window->SelectionFrame(), QRect(5, 5, 50, 50));

  QTest::mouseMove(window.get(), QPoint(105, 37));
  ASSERT_GE(pointer.count(), 1);
  EXPECT_EQ(pointer.last().at(0).toString(), QStringLiteral(" X: 100  Y: 32"));

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  EXPECT_FALSE(window->HasSelection()) << "a click on the bare canvas deselects";
}

TEST_F(PageEditTest, DraggingStaysInsideThePageAndIsOneEdit) {
  PutRectangle(0, 20, 20);
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  Drag(*window, QPoint(30, 30), QPoint(-100, 40));
  EXPECT_EQ(Left(0), 6) << "page pixel 1, not 0";
  EXPECT_EQ(page().ElemTop[0], 30);
  EXPECT_EQ(window->SelectionFrame(), QRect(6, 30, 50, 50));
  EXPECT_EQ(window->Element(0)->bounds, QRect(6, 30, 50, 50));
  EXPECT_EQ(edited.count(), 1) << "a move that changed the element asks for one snapshot";

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 50));
  EXPECT_EQ(edited.count(), 1) << "a click that moves nothing is no edit";
}

TEST_F(PageEditTest, ResizingByTheHandles) {
  PutRectangle(0, 15, 15);
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  const QRect right = window->HandleRect(Handle::MiddleRight);
  ASSERT_EQ(right, QRect(62, 38, 5, 5));
  // The handle's centre from 64 to 46: a width of 31, stored as 30.
  Drag(*window, right.center(), right.center() - QPoint(18, 0));
  EXPECT_EQ(Width(0), 30);
  EXPECT_EQ(window->SelectionFrame().width(), 30);
  EXPECT_EQ(window->HandleRect(Handle::MiddleRight), QRect(42, 38, 5, 5)) << "handles follow the frame";
  EXPECT_EQ(edited.count(), 1);

  const QRect left = window->HandleRect(Handle::MiddleLeft);
  Drag(*window, left.center(), left.center() + QPoint(46, 0));
  EXPECT_EQ(Width(0), 30) << "8 pixels or narrower is refused";
  EXPECT_EQ(edited.count(), 1);
}

TEST_F(PageEditTest, ALockedElementStaysWhereItIs) {
  PutRectangle(0, 20, 20);
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  EXPECT_EQ(MenuItem(*window, "N3")->text(), QStringLiteral("锁定(&L)"));
  MenuItem(*window, "N3")->trigger();
  EXPECT_EQ(page().ElemByteA[0], 1);
  EXPECT_TRUE(window->SelectedLocked());
  EXPECT_EQ(MenuItem(*window, "N3")->text(), QStringLiteral("解锁(&U)"));
  EXPECT_EQ(edited.count(), 1) << "a lock change can be undone";

  Drag(*window, QPoint(30, 30), QPoint(100, 100));
  const QRect corner = window->HandleRect(Handle::BottomRight);
  Drag(*window, corner.center(), corner.center() + QPoint(30, 30));
  EXPECT_EQ(Left(0), 20);
  EXPECT_EQ(Width(0), 50);
  EXPECT_EQ(edited.count(), 1);

  state.IsChinese = false;
  MenuItem(*window, "N3")->trigger();
  EXPECT_EQ(page().ElemByteA[0], 0);
  EXPECT_EQ(MenuItem(*window, "N3")->text(), QStringLiteral("Lock(&L)"));
}

TEST_F(PageEditTest, DeleteClearsOnlyTheKind) {
  PutRectangle(4, 20, 20);
  page().ElemTextA[4] = "keep";
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  QTest::keyClick(window.get(), Qt::Key_Delete);
  EXPECT_EQ(page().ElemKind[4], 0);
  EXPECT_EQ(page().ElemLongB[4], 0x0000FF);
  EXPECT_TRUE(page().ElemTextA[4] == "keep");
  EXPECT_EQ(page().ElemWidth[4], 50);
  EXPECT_EQ(window->Element(4), nullptr);
  EXPECT_FALSE(window->HasSelection());
  EXPECT_EQ(edited.count(), 1);
  QTest::keyClick(window.get(), Qt::Key_Delete);
  EXPECT_EQ(edited.count(), 1) << "nothing selected, nothing deleted";
}

TEST_F(PageEditTest, EscLeavesPlacing) {
  auto window = Open();
  state.PlaceKind = kKindRectangle;
  QTest::mouseMove(window.get(), QPoint(50, 50));
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_EQ(state.PlaceKind, 0);
  EXPECT_TRUE(window->GhostFrame().isNull());
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_EQ(page().ElemKind[0], 0);
}

TEST_F(PageEditTest, SendToBottomReordersAndIsAnEdit) {
  PutRectangle(0, 20, 20);
  PutRectangle(3, 100, 100);
  page().ElemLongB[3] = 0x00FF00;
  PutRectangle(140, 150, 150);
  auto window = Open();
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(110, 110));
  ASSERT_TRUE(window->CanSendToBack());
  MenuItem(*window, "MovSubstrateN")->trigger();
  EXPECT_EQ(page().ElemLongB[0], 0x00FF00);
  EXPECT_EQ(page().ElemLongB[1], 0x0000FF);
  EXPECT_EQ(page().ElemKind[3], 0);
  EXPECT_FALSE(window->HasSelection());
  EXPECT_EQ(edited.count(), 1);

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 160));
  EXPECT_FALSE(window->CanSendToBack()) << "text-table slots stay where they are";
}

TEST_F(PageEditTest, MenusInBothLanguages) {
  PutRectangle(0, 20, 20);
  state.IsChinese = false;
  auto window = Open();
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  struct Item {
    const char* name;
    const char* english;
    bool enabled;
  } items[] = {{"N1", "Attribute(&A)", true},       {"N3", "Lock(&L)", true},
               {"MovSubstrateN", "Move to the bottom(&M)", true}, {"N7", "Shear(&S)", true},
               {"N8", "Copy(&C)", true},             {"N9", "Delete(&D)", true},
               {"CC2", "Multiple copy(&I)...", true}, {"MenuItem1", "Attribute(&A)", true},
               {"MenuItem7", "Paste(&P)", false},    {"L1", "Register Search(&L)", true},
               {"P1", "Bulk changes(&B)", true}};
  QMenu* canvasMenu = window->CanvasMenu();
  QContextMenuEvent onCanvas(QContextMenuEvent::Mouse, QPoint(200, 200), window->mapToGlobal(QPoint(200, 200)));
  QApplication::sendEvent(window.get(), &onCanvas);
  canvasMenu->hide();
  for (const Item& item : items) {
    QAction* action = MenuItem(*window, item.name);
    ASSERT_NE(action, nullptr) << item.name;
    EXPECT_EQ(action->text(), QString::fromUtf8(item.english)) << item.name;
    EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
  }
  window->SetPasteEnabled(true);
  EXPECT_TRUE(MenuItem(*window, "MenuItem7")->isEnabled());

  QSignalSpy attributes(window.get(), &TStructureP::PageAttributesRequested);
  QTest::mouseDClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  EXPECT_EQ(attributes.count(), 1) << "a double-click on the canvas asks for the page dialog";
  QTest::mouseDClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  EXPECT_EQ(dialogs, std::vector<int>{0});
}

TEST_F(PageEditTest, AMarkShowsRedHandlesWithoutSelecting) {
  PutRectangle(3, 40, 60);
  auto window = Open();
  window->SelectOrgan(3);
  QSignalSpy edited(window.get(), &TStructureP::Edited);
  QSignalSpy changed(window.get(), &TStructureP::SelectionChanged);
  window->MarkElement(3);
  EXPECT_EQ(window->MarkedSlot(), 3);
  EXPECT_FALSE(window->HasSelection()) << "cut, copy and delete stay off";
  EXPECT_GE(changed.count(), 1) << "the main window hears that nothing is selected";

  const QImage shown = window->grab().toImage();
  for (Handle handle : kHandles) {
    const EditPoint at = HandlePosition(handle, {40, 60, 50, 50});
    EXPECT_EQ(shown.pixel(at.x + 2, at.y + 2), qRgb(255, 0, 0)) << static_cast<int>(handle);
  }

  QTest::keyClick(window.get(), Qt::Key_Delete);
  QTest::keyClick(window.get(), Qt::Key_Right);
  EXPECT_EQ(page().ElemKind[3], kKindRectangle);
  EXPECT_EQ(Left(3), 40);
  EXPECT_EQ(edited.count(), 0);

  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 80));
  EXPECT_EQ(window->SelectedSlot(), 3) << "a click selects the marked element";
  EXPECT_EQ(window->MarkedSlot(), -1);
  const QRect corner = window->HandleRect(Handle::TopLeft);
  EXPECT_EQ(window->grab().toImage().pixel(corner.center()), qRgb(0, 0, 128)) << "navy again";

  window->MarkElement(7);
  EXPECT_EQ(window->MarkedSlot(), -1) << "an empty slot marks nothing";
  EXPECT_FALSE(window->HasSelection());
}

}  // namespace
}  // namespace dravik::editor
