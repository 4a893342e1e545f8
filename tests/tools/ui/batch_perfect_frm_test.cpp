#include "tools/ui/batch_perfect_frm.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>
#include <vector>

#include "editor/render/system_colour_table.h"
#include "elements/element_kind.h"
#include "support/qt_app.h"
#include "tools/tools_project.h"
#include "ui/desktop_hooks.h"

namespace dravik::tools {
namespace {

class BatchPerfectFrmTest : public test::QtTest {
 protected:
  BatchPerfectFrmTest() {
    project.UsePage(1, "一");
    project.UsePage(7, "七");
    reg = project.Place(1, elements::kKindRegister);
    Page(1).ElemWordC[static_cast<std::size_t>(reg)] = 0x0123;
    hooks.message = [this](const QString& caption, const QString& text, QMessageBox::Icon) {
      events.push_back("message " + caption + ": " + text);
    };
    hooks.question = [this](const QString& caption, const QString& text,
                            QMessageBox::StandardButtons) {
      events.push_back("question " + caption);
      questions.push_back(text);
      return answer;
    };
    target.image = project.image.get();
    target.currentPage = 7;
    target.closeAllPageWindows = [this] { events.push_back(QStringLiteral("close windows")); };
    target.pageCountRefresh = [this] { events.push_back(QStringLiteral("refresh")); };
  }

  model::PageRecord& Page(int n) { return project.image->Page(n); }

  template <class W>
  W* Find(const QString& name) {
    W* widget = frm.findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QCheckBox* Use(int n) { return Find<QCheckBox>(QStringLiteral("Use%1").arg(n)); }
  QWidget* Attribute(int n) { return Find<QWidget>(QStringLiteral("Attribute%1").arg(n)); }
  QRadioButton* Mode(int n) { return Find<QRadioButton>(QStringLiteral("RadioButton%1").arg(n)); }
  void Click(const char* name) { Find<QPushButton>(QString::fromLatin1(name))->click(); }

  bool Show(const std::function<void()>& act) {
    hooks.execDialog = [act](QDialog* dialog) {
      act();
      return dialog->result();
    };
    frm.SetDesktopHooks(hooks);
    return frm.ShowFor(target);
  }

  static bool Green(const QWidget* widget) {
    return widget->palette().color(QPalette::Window) == editor::ResolveQColor(kChosenColour);
  }

  ToolsProject project;
  int reg = 0;
  ui::DesktopHooks hooks;
  QMessageBox::StandardButton answer = QMessageBox::Yes;
  std::vector<QString> events;
  std::vector<QString> questions;
  TBatchPerfectFrm::Project target;
  TBatchPerfectFrm frm;
};

TEST_F(BatchPerfectFrmTest, EachModeShowsItsPanelsAndPaintsTheChoicesGreen) {
  Show([this] {
    EXPECT_TRUE(Mode(1)->isChecked());
    EXPECT_TRUE(Green(Mode(1)));
    EXPECT_FALSE(Green(Mode(2)));
    EXPECT_FALSE(Attribute(1)->isHidden());
    for (int n = 2; n <= 10; ++n) EXPECT_TRUE(Attribute(n)->isHidden()) << n;

    Mode(2)->click();
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(Attribute(n)->isHidden(), n == 5 || n >= 9) << n;
    Use(3)->click();
    EXPECT_TRUE(Green(Use(3)));
    EXPECT_FALSE(Green(Use(4)));

    Mode(5)->click();
    EXPECT_FALSE(Use(3)->isChecked());  // a mode change clears the boxes
    EXPECT_FALSE(Green(Use(3)));
    EXPECT_EQ(Use(1)->text(), QStringLiteral("边线:"));
    EXPECT_EQ(Use(2)->text(), QStringLiteral("填充:"));
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(Attribute(n)->isHidden(), n > 4) << n;
    Mode(3)->click();
    EXPECT_EQ(Use(1)->text(), QStringLiteral("背景:"));
    for (int n = 1; n <= 10; ++n) EXPECT_FALSE(Attribute(n)->isHidden()) << n;
    Click("BitBtn2");
  });
  hooks.isChinese = [] { return false; };
  Show([this] {
    Mode(5)->click();
    EXPECT_EQ(Use(1)->text(), QStringLiteral("Edge:"));
    EXPECT_EQ(Use(2)->text(), QStringLiteral("Fill:"));
    Click("BitBtn2");
  });
}

TEST_F(BatchPerfectFrmTest, TheChecksComeAfterTheConfirmation) {
  Show([this] {
    Find<QSpinBox>(QStringLiteral("SpinEditS"))->setValue(10);
    Find<QSpinBox>(QStringLiteral("SpinEditE"))->setValue(5);
    answer = QMessageBox::No;
    Click("BitBtn1");
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("question Bulk Changes")}));

    answer = QMessageBox::Yes;
    Click("BitBtn1");
    EXPECT_EQ(events.back(), QStringLiteral("message 批量修改: 没有选择修改属性 ！"));

    Use(1)->click();
    Click("BitBtn1");
    EXPECT_EQ(events.back(), QStringLiteral("message 批量修改: 结束画面号必须大于开始画面号 ！"));
    Click("BitBtn2");
  });
  EXPECT_EQ(std::count(events.begin(), events.end(), QStringLiteral("close windows")), 0);
}

TEST_F(BatchPerfectFrmTest, RunClosesThePageWindowsWritesAndRefreshes) {
  const bool changed = Show([this] {
    Mode(3)->click();
    Use(5)->click();
    Find<QComboBox>(QStringLiteral("ComboBox2"))->setCurrentIndex(2);  // "三维"
    Click("BitBtn1");
  });
  EXPECT_TRUE(changed);
  EXPECT_EQ(Page(1).ElemWordC[static_cast<std::size_t>(reg)], 0x2123);
  EXPECT_EQ(events,
            (std::vector<QString>{QStringLiteral("question Bulk Changes"),
                                  QStringLiteral("close windows"), QStringLiteral("refresh")}));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].contains(QStringLiteral("修改项目 = 【寄存器】")));
  EXPECT_TRUE(questions[0].contains(QStringLiteral("修改属性 = 【边框:】")));
  EXPECT_TRUE(questions[0].contains(QStringLiteral("1 个画面, 1 个元素")));
}

TEST_F(BatchPerfectFrmTest, ColourPanelsUseTheSharedChooserAndValuesPersist) {
  std::vector<std::uint32_t> offered;
  hooks.chooseColour = [&](std::uint32_t current, QWidget*) -> std::optional<std::uint32_t> {
    offered.push_back(current);
    return current == 0 ? 0x0000FFu : 0xFF0000u;
  };
  project.Place(1, elements::kKindRectangle);
  Show([this] {
    Mode(5)->click();
    Use(1)->click();
    Use(2)->click();
    Find<QPushButton>(QStringLiteral("OrganBackCol"))->click();
    Click("CurrentPageButton");
    Click("BitBtn1");  // page 7 holds no rectangle
  });
  EXPECT_EQ(offered, std::vector<std::uint32_t>{0});
  Show([this] {
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("SpinEditS"))->value(), 7);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("SpinEditE"))->value(), 7);
    EXPECT_TRUE(Mode(1)->isChecked());
    EXPECT_FALSE(Use(1)->isChecked());
    Find<QPushButton>(QStringLiteral("OrganBackCol"))->click();  // starts from the kept red
    Click("BitBtn2");
  });
  EXPECT_EQ(offered, (std::vector<std::uint32_t>{0, 0x0000FF}));
}

TEST_F(BatchPerfectFrmTest, TheLastBatchCanBeUndoneOnce) {
  const std::int32_t before = 0x123456;
  Page(1).ElemLongA[static_cast<std::size_t>(reg)] = before;
  Show([this] {
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("UndoBatch"))->isEnabled());
    Mode(3)->click();
    Use(1)->click();
    Click("BitBtn1");
  });
  EXPECT_EQ(Page(1).ElemLongA[static_cast<std::size_t>(reg)], 0);  // black
  events.clear();
  const bool changed = Show([this] {
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("UndoBatch"))->isEnabled());
    Click("UndoBatch");
  });
  EXPECT_TRUE(changed);
  EXPECT_EQ(Page(1).ElemLongA[static_cast<std::size_t>(reg)], before);
  EXPECT_EQ(events,
            (std::vector<QString>{QStringLiteral("question Dravik "),
                                  QStringLiteral("close windows"), QStringLiteral("refresh")}));
  EXPECT_FALSE(frm.CanUndo());
}

}  // namespace
}  // namespace dravik::tools
