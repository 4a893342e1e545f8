// The main window's tool commands on a new project: a register search from the Tools menu
// finds an element placed on the page, and a double-click on the result marks it in its
// page window without selecting it; the preview ratio beside the preview command.

#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app_fixture.h"
#include "app/main_frm.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "model/project_session.h"
#include "tools/ui/lookup_frm.h"

namespace dravik::app {
namespace {

using test::RecordingShell;
using test::WaitFor;

TEST(ToolCommands, ASearchResultIsMarkedInItsPageWindow) {
  test::EnsureApplication();
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  auto* window = qobject_cast<editor::TStructureP*>(shell->ActivePageWindowWidget());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

  shell->Command("Register1")->trigger();
  QTest::mouseClick(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 60));
  const int slot = window->SelectedSlot();
  ASSERT_GE(slot, 0);
  model::PageRecord& page = shell->Image().Page(window->PageNumber());
  ASSERT_EQ(page.ElemKind[static_cast<std::size_t>(slot)], elements::kKindRegister);
  page.ElemWordA[static_cast<std::size_t>(slot)] = 100;

  shell->Command("RegisterSearch1")->trigger();
  auto* lookup = shell->Dialog<tools::TLookupFrm>();
  ASSERT_NE(lookup, nullptr);
  ASSERT_TRUE(lookup->isVisible());
  lookup->AddressEdit()->setText(QStringLiteral("100"));
  lookup->Button1Click();
  ASSERT_EQ(lookup->List()->topLevelItemCount(), 1);

  window->Deselect();
  lookup->ListView1DblClick(0);
  ASSERT_TRUE(WaitFor([&] { return window->MarkedSlot() == slot; }));
  EXPECT_FALSE(window->HasSelection()) << "the found element is only marked";
  lookup->close();
}

TEST(ToolCommands, MultipleCopyFillsTheArrayWithRisingAddressesAndIsOneUndoStep) {
  test::EnsureApplication();
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  auto* window = qobject_cast<editor::TStructureP*>(shell->ActivePageWindowWidget());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  shell->Command("Register1")->trigger();
  QTest::mouseClick(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 30));
  const int source = window->SelectedSlot();
  ASSERT_GE(source, 0);
  model::PageRecord& page = shell->Image().Page(window->PageNumber());
  page.ElemWordA[static_cast<std::size_t>(source)] = 10;
  shell->ClockTick();
  ASSERT_TRUE(shell->Command("MultiCopy1")->isEnabled());

  // The dialog opens with its defaults, 2 x 2, and is confirmed.
  shell.dialogAnswer = [](QDialog* dialog) {
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    if (ok == nullptr) return static_cast<int>(QDialog::Rejected);
    ok->click();
    return dialog->result();
  };
  shell->Command("MultiCopy1")->trigger();

  std::vector<int> addresses;
  for (std::size_t slot = 0; slot < 200; ++slot) {
    if (page.ElemKind[slot] == elements::kKindRegister) addresses.push_back(page.ElemWordA[slot]);
  }
  std::sort(addresses.begin(), addresses.end());
  EXPECT_EQ(addresses, (std::vector<int>{10, 11, 12, 13}));
  EXPECT_TRUE(shell->Session().Modified);

  shell->ClockTick();
  ASSERT_TRUE(shell->Command("Undo1")->isEnabled());
  shell->Command("Undo1")->trigger();
  int registers = 0;
  for (std::size_t slot = 0; slot < 200; ++slot) registers += page.ElemKind[slot] == elements::kKindRegister;
  EXPECT_EQ(registers, 1) << "one Undo takes the whole array away";
}

TEST(ToolCommands, ThePreviewRatioStandsBesideThePreviewCommandAt100Percent) {
  test::EnsureApplication();
  RecordingShell shell;
  auto* ratio = shell->findChild<QComboBox*>(QStringLiteral("ZoomVal"));
  ASSERT_NE(ratio, nullptr);
  EXPECT_EQ(ratio->currentText(), QStringLiteral("100%"));
  EXPECT_EQ(ratio->count(), 5);
  EXPECT_EQ(shell->PreviewRatio(), QStringLiteral("100%"));
}

}  // namespace
}  // namespace dravik::app
