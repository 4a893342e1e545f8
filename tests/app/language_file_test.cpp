// The language-file rules over Qt objects, and the two shipped files against the real
// forms.

#include "app/language_file.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "app_fixture.h"
#include "platform/paths.h"

namespace dravik::app {
namespace {

// A form with one component of each kind the files address.
struct ApplicationFirst {
  ApplicationFirst() { test::EnsureApplication(); }
};

struct TestForm : ApplicationFirst {
  TestForm() {
    window.setObjectName("TestFrm");
    window.setWindowTitle("old");
    label = new QLabel("label", &window);
    label->setObjectName("Label1");
    button = new QPushButton("button", &window);
    button->setObjectName("Button1");
    combo = new QComboBox(&window);
    combo->setObjectName("Combo1");
    combo->addItems({"a", "b", "c"});
    tabs = new QTabWidget(&window);
    tabs->setObjectName("Tabs1");
    tabs->addTab(new QWidget, "one");
    tabs->addTab(new QWidget, "two");
    memo = new QPlainTextEdit("l1\nl2\nl3", &window);
    memo->setObjectName("Memo1");
    group = new QGroupBox("group", &window);
    group->setObjectName("Group1");
    first = new QLabel("first", group);   // unnamed: QLabel(0) of the group
    second = new QLabel("second", group);  // QLabel(1)
    toolBar = window.addToolBar("bar");
    toolBar->setObjectName("ToolBar1");
    menu = window.menuBar()->addMenu("menu");
    menu->setObjectName("Menu1");
    action = menu->addAction("action");
    action->setObjectName("Action1");
  }

  LanguageImport Apply(const QString& text) { return ApplyLanguageText(text, {&window}); }

  QMainWindow window;
  QLabel* label;
  QPushButton* button;
  QComboBox* combo;
  QTabWidget* tabs;
  QPlainTextEdit* memo;
  QGroupBox* group;
  QLabel* first;
  QLabel* second;
  QToolBar* toolBar;
  QMenu* menu;
  QAction* action;
};

TEST(LanguageFile, StringPropertiesByComponentName) {
  TestForm f;
  const LanguageImport r = f.Apply(
      "TestFrm.Caption=Form\n"
      "TestFrm.Label1.Caption=Label\n"
      "TestFrm.Button1.Caption=&Go\n"
      "TestFrm.Button1.Hint=Press it\n"
      "TestFrm.Group1.Caption=Frame\n"
      "TestFrm.Menu1.Caption=&Menu\n"
      "TestFrm.Action1.Caption=Do &it\n"
      "TestFrm.Action1.Hint=Does it\n"
      "TestFrm.ToolBar1.Caption=Tools\n"
      "TestFrm.Label1.Hint=two\\nlines\n");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.applied, 10);
  EXPECT_EQ(f.window.windowTitle(), "Form");
  EXPECT_EQ(f.label->text(), "Label");
  EXPECT_EQ(f.button->text(), "&Go");
  EXPECT_EQ(f.button->toolTip(), "Press it");
  EXPECT_EQ(f.group->title(), "Frame");
  EXPECT_EQ(f.menu->title(), "&Menu");
  EXPECT_EQ(f.action->text(), "Do &it");
  EXPECT_EQ(f.action->toolTip(), "Does it");
  EXPECT_EQ(f.toolBar->windowTitle(), "Tools");
  EXPECT_EQ(f.label->toolTip(), "two\nlines");
}

TEST(LanguageFile, StringListsReplaceLinesUpToTheLastSeparator) {
  TestForm f;
  const LanguageImport r = f.Apply(
      "TestFrm.Combo1.Items.Text=x\\ny\\n\n"
      "TestFrm.Tabs1.Pages.Text=Eins\\nZwei\\n\n"
      "TestFrm.Memo1.Lines.Text=L1\\nL2\\nignored\n");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(f.combo->itemText(0), "x");
  EXPECT_EQ(f.combo->itemText(1), "y");
  EXPECT_EQ(f.combo->itemText(2), "c") << "lines beyond the value stay";
  EXPECT_EQ(f.tabs->tabText(0), "Eins");
  EXPECT_EQ(f.tabs->tabText(1), "Zwei");
  EXPECT_EQ(f.memo->toPlainText(), "L1\nL2\nl3") << "the piece after the last separator is left out";
}

TEST(LanguageFile, CollectionItemsByIndex) {
  TestForm f;
  const LanguageImport r = f.Apply(
      "TestFrm.Combo1.Items[2].Caption=third\n"
      "TestFrm.Tabs1.Pages[1].Caption=second tab\n"
      "TestFrm.ActionBars[0].Caption=first bar\n");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(f.combo->itemText(2), "third");
  EXPECT_EQ(f.tabs->tabText(1), "second tab");
  EXPECT_EQ(f.toolBar->windowTitle(), "first bar");
  EXPECT_FALSE(f.Apply("TestFrm.Combo1.Items[3].Caption=none\n").ok()) << "no item 3";
}

TEST(LanguageFile, UnnamedComponentsByClassAndIndex) {
  TestForm f;
  const LanguageImport r = f.Apply("TestFrm.Group1.QLabel(1).Caption=Second\n");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(f.second->text(), "Second");
  EXPECT_EQ(f.first->text(), "first");
  EXPECT_FALSE(f.Apply("TestFrm.Group1.QPushButton(0).Caption=x\n").ok()) << "child 0 is a label";
  EXPECT_FALSE(f.Apply("TestFrm.Group1.QLabel(9).Caption=x\n").ok());
}

TEST(LanguageFile, ALineNamingAMissingPropertyEndsTheImportThere) {
  TestForm f;
  const LanguageImport r = f.Apply(
      "TestFrm.Label1.Caption=applied\n"
      "\n"
      "TestFrm.Button1.Colour=red\n"
      "TestFrm.Button1.Caption=never\n");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.failedLine, 3);
  EXPECT_EQ(r.applied, 1);
  EXPECT_EQ(f.label->text(), "applied");
  EXPECT_EQ(f.button->text(), "button");
  EXPECT_TRUE(r.error.contains("Colour")) << r.error.toStdString();
}

TEST(LanguageFile, MissingFormsAndComponentsEndTheImport) {
  struct Case {
    const char* line;
  } cases[] = {{"NoSuchFrm.Label1.Caption=x"},
               {"TestFrm.NoSuchLabel.Caption=x"},
               {"TestFrm.Label1=x"},
               {"TestFrm.Combo1.Lines.Text=x"},
               {"TestFrm.Label1.Items.Text=x"}};
  for (const Case& c : cases) {
    TestForm f;
    const LanguageImport r = f.Apply(c.line);
    EXPECT_FALSE(r.ok()) << c.line;
    EXPECT_EQ(r.failedLine, 1) << c.line;
  }
}

TEST(LanguageFile, BlankValuesAndCommentsAreSkipped) {
  TestForm f;
  const LanguageImport r = f.Apply(
      "; comment = not a line\n"
      "TestFrm.Label1.Caption=   \n"
      "TestFrm.NoSuch.Caption=\n"
      "no equals sign\n"
      "TestFrm.Button1.Caption=ok\r\n");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.applied, 1);
  EXPECT_EQ(f.label->text(), "label");
  EXPECT_EQ(f.button->text(), "ok");
}

TEST(LanguageFile, AMissingFileIsReported) {
  TestForm f;
  const LanguageImport r = ApplyLanguageFile("/nonexistent/apeng.ini", {&f.window});
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.failedLine, -1);
}

TEST(LanguageFile, DumpListsNamedTextsOnly) {
  TestForm f;
  f.label->setProperty(kRuntimeTextProperty, true);
  const QStringList lines = DumpLanguageLines(&f.window);
  EXPECT_TRUE(lines.contains("TestFrm.Caption=old"));
  EXPECT_TRUE(lines.contains("TestFrm.Button1.Caption=button"));
  EXPECT_TRUE(lines.contains("TestFrm.Combo1.Items.Text=a\\nb\\nc\\n"));
  EXPECT_TRUE(lines.contains("TestFrm.Action1.Caption=action"));
  EXPECT_FALSE(lines.contains("TestFrm.Label1.Caption=label"));
  for (const QString& line : lines) EXPECT_FALSE(line.contains("QLabel")) << line.toStdString();
}

// ---- the shipped files against the real forms

QString ProgramFile(const char* name) {
  return QString::fromStdString((platform::ProgramDir() / "lang" / name).string());
}

QStringList Keys(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QStringList keys;
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
    if (line.startsWith(';') || !line.contains('=')) continue;
    keys << line.left(line.indexOf('='));
  }
  return keys;
}

QStringList DumpAll(app::TMainFrm& window) {
  QStringList lines;
  for (QObject* form : window.Forms()) lines << DumpLanguageLines(form);
  return lines;
}

TEST(ShippedLanguageFiles, NameTheSameTextsAndApplyCompletely) {
  test::RecordingShell shell;
  const QStringList chinese = Keys(ProgramFile("apchs.ini"));
  const QStringList english = Keys(ProgramFile("apeng.ini"));
  ASSERT_FALSE(chinese.isEmpty());
  EXPECT_EQ(QSet<QString>(chinese.begin(), chinese.end()), QSet<QString>(english.begin(), english.end()));

  const QStringList builtIn = DumpAll(*shell);
  const LanguageImport toEnglish = ApplyLanguageFile(ProgramFile("apeng.ini"), shell->Forms());
  ASSERT_TRUE(toEnglish.ok()) << toEnglish.error.toStdString();
  EXPECT_EQ(toEnglish.applied, english.size());
  EXPECT_NE(DumpAll(*shell), builtIn);
  EXPECT_EQ(shell->findChild<QMenu*>("File1")->title(), "&File");

  const LanguageImport toChinese = ApplyLanguageFile(ProgramFile("apchs.ini"), shell->Forms());
  ASSERT_TRUE(toChinese.ok()) << toChinese.error.toStdString();
  // Every text of every form came back: the Chinese file is complete.
  EXPECT_EQ(DumpAll(*shell), builtIn);
  // And the English file covered every one of them.
  QStringList builtInKeys;
  for (const QString& line : builtIn) builtInKeys << line.left(line.indexOf('='));
  EXPECT_EQ(QSet<QString>(builtInKeys.begin(), builtInKeys.end()), QSet<QString>(english.begin(), english.end()));
}

TEST(ShippedLanguageFiles, EnglishMenusMarkTheirKeyInTheWord) {
  // "Elements(&O)" is the Chinese way of giving a key; in English the key is a letter of the
  // caption, and no two items of one menu share one.
  test::RecordingShell shell;
  ASSERT_TRUE(ApplyLanguageFile(ProgramFile("apeng.ini"), shell->Forms()).ok());
  QList<QMenu*> menus = shell->findChildren<QMenu*>();
  menus.push_back(nullptr);  // the menu bar
  for (QMenu* menu : menus) {
    const QList<QAction*> actions = menu != nullptr ? menu->actions() : shell->menuBar()->actions();
    QSet<QChar> keys;
    for (QAction* action : actions) {
      const QString text = action->text();
      if (action->isSeparator() || text.isEmpty() || text.at(0).unicode() > 0x7F) continue;
      EXPECT_FALSE(text.contains(QStringLiteral("(&"))) << text.toStdString();
      const qsizetype amp = text.indexOf('&');
      if (amp < 0 || amp + 1 >= text.size()) continue;
      const QChar key = text.at(amp + 1).toLower();
      if (!key.isLetter()) continue;
      EXPECT_FALSE(keys.contains(key)) << text.toStdString() << " shares its key in "
                                       << (menu != nullptr ? menu->title() : QStringLiteral("the menu bar")).toStdString();
      keys.insert(key);
    }
  }
}

}  // namespace
}  // namespace dravik::app
