#include "tools/ui/mulriple_copy_frm.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>
#include <vector>

#include "elements/element_kind.h"
#include "support/qt_app.h"
#include "tools/tools_project.h"
#include "ui/desktop_hooks.h"

namespace dravik::tools {
namespace {

class MulripleCopyFrmTest : public test::QtTest {
 protected:
  MulripleCopyFrmTest() {
    project.UsePage(1, "画面");
    source = project.PlaceOperand(1, elements::kKindRegister, 100, 0x00);
    Page().ElemLeft[static_cast<std::size_t>(source)] = 20;
    Page().ElemTop[static_cast<std::size_t>(source)] = 30;
    Page().ElemWidth[static_cast<std::size_t>(source)] = 60;
    Page().ElemHeight[static_cast<std::size_t>(source)] = 26;
    hooks.message = [this](const QString&, const QString& text, QMessageBox::Icon) {
      messages.push_back(text);
    };
    target.copySelected = [this] {
      clipboard[0] = Page();
      return &clipboard[0];
    };
    target.sourceSlot = source;
    target.page = &Page();
    target.pageSize = {320, 240};
    target.rules = {&lists, {0, 0}};
    target.elementCreated = [this](int slot) { created.push_back(slot); };
    target.snapshot = [this] { ++snapshots; };
  }

  model::PageRecord& Page() { return project.image->Page(1); }

  template <class W>
  W* Find(const char* name) {
    W* widget = frm.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  // Shows the dialog and lets `act` work it as a user would.
  std::optional<MultipleCopyOutcome> Show(const std::function<void()>& act) {
    hooks.execDialog = [act](QDialog* dialog) {
      act();
      return dialog->result();
    };
    frm.SetDesktopHooks(hooks);
    return frm.ShowFor(target);
  }

  ToolsProject project;
  params::DeviceLists lists = TestLists();
  model::RecordStore clipboard{1};
  int source = 0;
  std::vector<int> created;
  int snapshots = 0;
  std::vector<QString> messages;
  ui::DesktopHooks hooks;
  TMulripleCopyFrm::Target target;
  TMulripleCopyFrm frm;
};

TEST_F(MulripleCopyFrmTest, StartsWithTheDefaultsAndRanges) {
  struct Spin {
    const char* name;
    int value, min, max;
  };
  for (const Spin& s : {Spin{"SpinEdit1", 2, 1, 10}, Spin{"SpinEdit2", 2, 1, 10},
                        Spin{"SpinEdit3", 5, 1, 50}, Spin{"SpinEdit4", 5, 1, 50}}) {
    SCOPED_TRACE(s.name);
    auto* spin = Find<QSpinBox>(s.name);
    EXPECT_EQ(spin->value(), s.value);
    EXPECT_EQ(spin->minimum(), s.min);
    EXPECT_EQ(spin->maximum(), s.max);
  }
  EXPECT_TRUE(Find<QCheckBox>("CheckBox3")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("RadioButton1")->isChecked());
  EXPECT_EQ(frm.windowTitle(), QStringLiteral("多重复制"));
  EXPECT_EQ(Find<QPushButton>("BitBtn1")->text(), QStringLiteral("确认(&Y)"));
  EXPECT_EQ(Find<QPushButton>("BitBtn3")->text(), QStringLiteral("取消(&N)"));
}

TEST_F(MulripleCopyFrmTest, ConfirmCopiesTheArrayTakesTheSnapshotAndKeepsTheValues) {
  const auto outcome = Show([this] {
    Find<QSpinBox>("SpinEdit1")->setValue(3);
    Find<QPushButton>("BitBtn1")->click();
  });
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->created.size(), 5u);
  EXPECT_EQ(created, outcome->created);
  EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(created.back())], 105);
  EXPECT_EQ(snapshots, 1);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->value(), 3);  // the last row of three

  // The next opening shows the same values; closing runs nothing.
  int perRow = 0;
  const auto closed = Show([&] {
    perRow = Find<QSpinBox>("SpinEdit1")->value();
    Find<QPushButton>("BitBtn3")->click();
  });
  EXPECT_EQ(perRow, 3);
  EXPECT_FALSE(closed);
  EXPECT_EQ(snapshots, 1);
}

TEST_F(MulripleCopyFrmTest, UseControlsTheOrderButtonsButNotTheOrder) {
  const auto outcome = Show([this] {
    Find<QRadioButton>("RadioButton2")->setChecked(true);
    Find<QCheckBox>("CheckBox3")->click();  // off
    EXPECT_FALSE(Find<QRadioButton>("RadioButton1")->isEnabled());
    EXPECT_FALSE(Find<QRadioButton>("RadioButton2")->isEnabled());
    Find<QPushButton>("BitBtn1")->click();
  });
  ASSERT_TRUE(outcome);
  // Column order, every copy with the source's address.
  EXPECT_EQ(Page().ElemLeft[static_cast<std::size_t>(outcome->created.front())], 20);
  EXPECT_EQ(Page().ElemTop[static_cast<std::size_t>(outcome->created.front())], 61);
  for (int slot : outcome->created)
    EXPECT_EQ(Page().ElemWordA[static_cast<std::size_t>(slot)], 100);
}

TEST_F(MulripleCopyFrmTest, AFullPageWarnsOnceAndStillTakesTheSnapshot) {
  while (elements::FindFreeSlot(Page(), elements::kKindRegister))
    project.Place(1, elements::kKindRegister);
  const auto outcome = Show([this] {
    Find<QSpinBox>("SpinEdit1")->setValue(4);
    Find<QPushButton>("BitBtn1")->click();
  });
  ASSERT_TRUE(outcome);
  EXPECT_TRUE(outcome->PasteFailed);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front(), QStringLiteral("不再有这种类型的部件 ！"));
  EXPECT_EQ(snapshots, 1);
}

}  // namespace
}  // namespace dravik::tools
