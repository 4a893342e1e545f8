// The element statistics window: its two columns for a page, its closing by click and
// menu, and its picture saved through the save dialog (or nothing, when cancelled).

#include "tools/ui/count_stat_frm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <filesystem>
#include <map>

#include "elements/element_kind.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "tools/tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

class CountStatFrmTest : public test::QtTest {
 protected:
  CountStatFrmTest() {
    hooks.isChinese = [this] { return chinese; };
    hooks.execDialog = [this](QDialog*) { return ++execs, QDialog::Accepted; };
    hooks.saveFile = [this](const QString& title, const QString& filter, const QString& preset) {
      asked.push_back((title + "|" + filter + "|" + preset).toStdString());
      return answer;
    };
    hooks.message = [this](const QString&, const QString& text, QMessageBox::Icon) {
      messages.push_back(text.toStdString());
    };
    frm.SetHooks(hooks);
    p.UsePage(7, "统计");
    for (int i = 0; i < 3; ++i) p.Place(7, kKindText);
    p.Place(7, kKindLine);
  }

  // Kind name -> count, as the two columns show them side by side.
  std::map<std::string, std::string> Columns() {
    const QStringList names = frm.NamesLabel()->text().split('\n');
    const QStringList counts = frm.CountsLabel()->text().split('\n');
    EXPECT_EQ(names.size(), counts.size());
    std::map<std::string, std::string> shown;
    for (qsizetype i = 0; i < std::min(names.size(), counts.size()); ++i) {
      shown[names[i].toStdString()] = counts[i].toStdString();
    }
    return shown;
  }

  ToolsProject p;
  bool chinese = true;
  int execs = 0;
  QString answer;
  std::vector<std::string> asked;
  std::vector<std::string> messages;
  ui::DesktopHooks hooks;
  TCountStatFrm frm;
  test::TempDir dir;
};

TEST_F(CountStatFrmTest, ThreeTextsAndOneLine) {
  frm.ShowStatistics(*p.image, 7);
  EXPECT_EQ(execs, 1) << "shown modally";
  EXPECT_EQ(frm.TitleLabel()->text(), QStringLiteral("7:统计"));
  const std::map<std::string, std::string> shown = Columns();
  EXPECT_EQ(shown.at("文本"), "3");
  EXPECT_EQ(shown.at("线"), "1");
  EXPECT_EQ(shown.at("寄存器"), "0");
  EXPECT_EQ(shown.at("Sum:"), "4");
  EXPECT_EQ(shown.size(), ListedKinds().size() + 2) << "every named kind, a blank line and the sum";
  EXPECT_TRUE(frm.NamesLabel()->text().endsWith(QStringLiteral("\n\nSum:")));
  EXPECT_TRUE(frm.CountsLabel()->text().endsWith(QStringLiteral("\n\n4")));

  chinese = false;
  frm.Fill(*p.image, 7);
  EXPECT_EQ(Columns().at("Text"), "3");
}

TEST_F(CountStatFrmTest, AClickOrItsMenuCloses) {
  EXPECT_EQ(frm.ExitAction()->shortcut(), QKeySequence(Qt::Key_F4));
  EXPECT_EQ(frm.SaveAction()->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(frm.ExitAction()->text(), QStringLiteral("退出预览(&E)"));
  EXPECT_TRUE(frm.windowFlags() & Qt::FramelessWindowHint);

  frm.Fill(*p.image, 7);
  frm.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
  QTest::mouseClick(frm.NamesLabel(), Qt::LeftButton);
  EXPECT_FALSE(frm.isVisible());

  frm.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
  frm.ExitAction()->trigger();
  EXPECT_FALSE(frm.isVisible());
}

TEST_F(CountStatFrmTest, SavesItsPictureUnderTheNameTheUserGives) {
  frm.Fill(*p.image, 7);
  const std::filesystem::path file = dir / "stats";
  answer = QString::fromStdString(file.string());
  frm.SaveAction()->trigger();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "输出图形为BMP格式|Bitmap file(*.bmp);;All files(*.*)|7号画面统计信息");
  EXPECT_TRUE(messages.empty());
  const QImage saved(QString::fromStdString(file.string() + ".bmp"));
  ASSERT_FALSE(saved.isNull()) << "the default extension is added";
  EXPECT_EQ(saved.size(), frm.size());

  chinese = false;
  answer.clear();
  frm.SaveBmpClick();
  EXPECT_EQ(asked.back(),
            "Graphics output format for the BMP|Bitmap file(*.bmp);;All files(*.*)|7#Window Info");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "a cancelled dialog writes nothing";
}

TEST_F(CountStatFrmTest, AFileThatCannotBeWrittenIsReported) {
  frm.Fill(*p.image, 7);
  answer = QString::fromStdString((dir / "no such folder" / "stats.bmp").string());
  frm.SaveBmpClick();
  EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace dravik::tools
