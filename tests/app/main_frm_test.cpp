// The main window under the offscreen platform: start-up decisions, configuration at
// start and exit, the exit questions, the hand-over to a second instance, the language
// switch, and the page commands through the page list.

#include "app/main_frm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTest>

#include "app/configuration.h"
#include "app/help_frm.h"
#include "app/new_page_frm.h"
#include "app/page_clipboard.h"
#include "app/paste_page_frm.h"
#include "app/save_backup_frm.h"
#include "compiler/ui/compile_check_frm.h"
#include "elements/placement.h"
#include "macro/ui/macro_edit_frm.h"
#include "app_fixture.h"
#include "model/project_session.h"
#include "platform/files.h"
#include "platform/gbk.h"
#include "platform/paths.h"

namespace dravik::app {
namespace {

using test::RecordingShell;
using test::TempDir;
using test::WaitFor;

// A saved project with pages 1 and 3 ("泵站"), for the tests that open one.
std::filesystem::path MakeProject(const TempDir& dir, const std::string& name = "p.QX3") {
  auto image = std::make_unique<model::ProjectImage>();
  model::InitializeNewProject(*image);
  model::PageRecord& three = image->Page(3);
  three.PageStrings[model::kPageName] = platform::Utf8ToGbk("泵站");
  three.PageStrings[model::kPageNumberText] = "3";
  three.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
  const std::filesystem::path file = dir / name;
  EXPECT_TRUE(model::WriteProjectFile(*image, file));
  return file;
}

void RemoveConfiguration() { (void)platform::RemoveFileIfPresent(platform::ConfigFilePath()); }

QStringList TreeTexts(QTreeWidget* tree) {
  QStringList texts;
  for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) texts << (*it)->text(0);
  return texts;
}

class MainFrm : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    RemoveConfiguration();
    test::SetClipboard("");
  }
};

// ---- start-up

TEST_F(MainFrm, FirstStartWithoutConfigurationShowsTheWelcomeForm) {
  RecordingShell shell;
  shell->show();
  EXPECT_TRUE(shell->IsChinese());
  EXPECT_EQ(shell->State().GriX, 32);
  EXPECT_EQ(shell->State().GriY, 16);
  EXPECT_TRUE(shell->Session().backup.AutoSavBakFun);
  EXPECT_EQ(shell->Session().backup.AutoSavBakInterval, 5);
  EXPECT_FALSE(shell->Session().backup.AutoTempBakFun);
  EXPECT_TRUE(shell->AutoSaveTimer().isActive());
  EXPECT_EQ(shell->AutoSaveTimer().interval(), 5 * 60000);
  EXPECT_EQ(shell->Command("LastFileOpenItem")->text().toStdString(), "最近文件");
  EXPECT_FALSE(shell->Command("LastFileOpenItem")->isEnabled()) << "the built-in caption names no file";
  EXPECT_EQ(shell->StatusText(0), " 就绪");
  EXPECT_EQ(shell->StatusText(3), " X: 0  Y: 0");
  // Only the File and Help menus until a project is open.
  EXPECT_TRUE(shell->findChild<QMenu*>("File1")->menuAction()->isVisible());
  EXPECT_TRUE(shell->findChild<QMenu*>("Help1")->menuAction()->isVisible());
  EXPECT_FALSE(shell->findChild<QMenu*>("Edit1")->menuAction()->isVisible());
  EXPECT_FALSE(shell->PageListPanel()->isVisible());
  EXPECT_EQ(shell.welcomeShown, 0) << "the welcome form waits 300 ms";
  EXPECT_TRUE(WaitFor([&] { return shell.welcomeShown == 1; }));
}

TEST_F(MainFrm, CommandLinePathIsJoinedAndOpened) {
  TempDir dir;
  const auto project = MakeProject(dir, "my project.QX3");
  const std::string full = project.string();
  const auto blank = full.find(' ');
  RecordingShell shell({"", full.substr(0, blank), full.substr(blank + 1)});
  test::SetClipboard(model::kNewCommand);  // ignored: the command line comes first
  shell->show();
  EXPECT_EQ(shell->CommandLinePathPending(), full);
  ASSERT_TRUE(WaitFor([&] { return shell->Session().ProjectOpen; }));
  EXPECT_EQ(shell->Session().ProjectFileName, full);
  EXPECT_TRUE(shell->CommandLinePathPending().empty());
  EXPECT_EQ(shell->State().CurrentPage, 1);
  EXPECT_EQ(test::ClipboardText(), model::kNewCommand) << "no answer for a command not taken";
  EXPECT_EQ(shell.welcomeShown, 0);
  EXPECT_TRUE(shell->findChild<QMenu*>("Edit1")->menuAction()->isVisible());
  EXPECT_TRUE(shell->PageListPanel()->isVisible());
  EXPECT_EQ(shell->PageTabs()->tabText(0), " 画面数: 2");
  EXPECT_TRUE(TreeTexts(shell->PageTree()).contains("3:泵站"));
  ASSERT_NE(shell->ActivePageWindowWidget(), nullptr);
  EXPECT_EQ(shell->ActivePageWindowWidget()->windowTitle(), "1:Window1");
  EXPECT_EQ(shell->PageTree()->currentItem()->text(0), "1:Window1");
}

TEST_F(MainFrm, ClipboardOpenCommandIsAnsweredAndOpened) {
  TempDir dir;
  const auto project = MakeProject(dir);
  test::SetClipboard(std::string(model::kOpenCommandPrefix) + project.string());
  RecordingShell shell;
  shell->show();
  EXPECT_TRUE(shell->Session().ProjectOpen);
  EXPECT_EQ(shell->Session().ProjectFileName, project.string());
  EXPECT_EQ(test::ClipboardText(), "OK");
  QTest::qWait(400);
  EXPECT_EQ(shell.welcomeShown, 0);
}

TEST_F(MainFrm, ClipboardNewCommandCreatesAProject) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  EXPECT_TRUE(shell->Session().ProjectOpen);
  EXPECT_EQ(shell->Session().ProjectFileName, "QXP1.QX3");
  EXPECT_EQ(test::ClipboardText(), "OK");
  EXPECT_TRUE(TreeTexts(shell->PageTree()).contains("1:Window1"));
  EXPECT_EQ(shell->StatusText(1), " VM20(320*240)");
  EXPECT_EQ(shell->StatusText(2).left(9), " Modbus R");
}

TEST_F(MainFrm, ConfigurationIsReadAtStartAndWrittenAtExit) {
  TempDir dir;
  Configuration c;
  c.Language = false;
  c.GriX = 10;
  c.N23 = true;
  c.backup = {true, 7, true};
  c.LastFileOpenItem = "&1 " + (dir / "old.QX3").string();
  ASSERT_TRUE(WriteConfiguration(platform::ConfigFilePath(), c));
  {
    RecordingShell shell;
    shell->show();
    EXPECT_FALSE(shell->IsChinese());
    EXPECT_TRUE(shell->Command("English1")->isChecked());
    EXPECT_FALSE(shell->Command("Chinese1")->isChecked());
    EXPECT_EQ(shell->findChild<QMenu*>("File1")->title(), "&File") << "the English file was applied";
    EXPECT_EQ(shell->State().GriX, 10);
    EXPECT_TRUE(shell->Command("N23")->isChecked());
    EXPECT_EQ(shell->AutoSaveTimer().interval(), 7 * 60000);
    EXPECT_TRUE(shell->Command("LastFileOpenItem")->isEnabled());
    shell->State().GriY = 40;
    shell.answers = {QMessageBox::Yes};
    shell->close();
    EXPECT_EQ(shell.questions, std::vector<std::string>{"Whether to exit the program?"});
  }
  auto read = ReadConfiguration(platform::ConfigFilePath());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->configuration.GriY, 40);
  EXPECT_FALSE(read->configuration.Language);
  EXPECT_EQ(read->configuration.backup.AutoSavBakInterval, 7);
  EXPECT_EQ(read->configuration.LastFileOpenItem, c.LastFileOpenItem) << "no project: the old caption";
}

// ---- exit

TEST_F(MainFrm, ExitWithoutEditsAsksWhetherToExit) {
  RecordingShell shell;
  shell->show();
  shell.answers = {QMessageBox::No};
  EXPECT_FALSE(shell->close());
  EXPECT_EQ(shell.questions, std::vector<std::string>{"是否退出程序 ？"});
  EXPECT_TRUE(shell->isVisible());
}

TEST_F(MainFrm, ExitWithANeverSavedEditedProjectAsksToSaveIt) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  ASSERT_TRUE(shell->Session().Modified);

  shell.answers = {QMessageBox::Cancel};
  EXPECT_FALSE(shell->close());
  ASSERT_EQ(shell.questions.size(), 1u);
  EXPECT_EQ(shell.questions[0], "是否保存 QXP1.QX3 文件 ？");

  // Yes shows the save dialog; cancelling it keeps the program (and the edits) alive.
  shell.answers = {QMessageBox::Yes};
  EXPECT_FALSE(shell->close());
  EXPECT_EQ(shell.savePresets, std::vector<std::string>{"QXP1.QX3"});

  // Yes with a name saves, then the program ends; the recent item keeps its caption.
  TempDir dir;
  shell.answers = {QMessageBox::Yes};
  shell.savePaths = {(dir / "tea.QX3").string()};
  EXPECT_TRUE(shell->close());
  EXPECT_TRUE(std::filesystem::exists(dir / "tea" / "tea.QX3"));
  auto read = ReadConfiguration(platform::ConfigFilePath());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->configuration.LastFileOpenItem, "&1 " + (dir / "tea" / "tea.QX3").string());
}

TEST_F(MainFrm, ExitAnsweringNoLeavesTheProjectUnsaved) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  shell.answers = {QMessageBox::No};
  EXPECT_TRUE(shell->close());
  EXPECT_TRUE(shell.savePresets.empty());
  auto read = ReadConfiguration(platform::ConfigFilePath());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->configuration.LastFileOpenItem, "最近文件") << "a never-saved project is no recent file";
}

// ---- a second instance

TEST_F(MainFrm, NewAndOpenWithAProjectOpenHandOverToASecondInstance) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  ASSERT_TRUE(shell->Session().ProjectOpen);

  shell->NewProject();
  EXPECT_EQ(shell.instancesStarted, 1);
  EXPECT_EQ(test::ClipboardText(), model::kNewCommand);

  TempDir dir;
  const auto other = MakeProject(dir);
  shell.openPaths = {other.string()};
  shell->OpenProject();
  EXPECT_EQ(shell.instancesStarted, 2);
  EXPECT_EQ(test::ClipboardText(), std::string(model::kOpenCommandPrefix) + other.string());
  EXPECT_EQ(shell->Session().ProjectFileName, "QXP1.QX3") << "this instance keeps its project";
  EXPECT_EQ(shell.openTitles, std::vector<std::string>{"打开QX3文件"});
}

// ---- language

TEST_F(MainFrm, SwitchingToEnglishRebuildsThePageList) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  shell->SetLanguage(false);
  EXPECT_FALSE(shell->IsChinese());
  const QStringList texts = TreeTexts(shell->PageTree());
  for (const char* text : {"Project", "System Setup", "Alarm Setup", "ClockMacro", "Window", "1:Window1"}) {
    EXPECT_TRUE(texts.contains(text)) << text;
  }
  EXPECT_EQ(shell->PageTabs()->tabText(0), " Window sum: 1");
  EXPECT_EQ(shell->JumpTargets()[0], "Current page");
  EXPECT_EQ(shell->Command("New1")->text(), "&New...");
  EXPECT_TRUE(shell.messages.empty()) << shell.messages.front();

  shell->SetLanguage(true);
  EXPECT_EQ(shell->Command("New1")->text(), "新建(&N)...");
  EXPECT_TRUE(TreeTexts(shell->PageTree()).contains("画面"));
  EXPECT_EQ(shell->JumpTargets()[0], "当前页");
}

// ---- page commands

TEST_F(MainFrm, NewPageRefusesANumberInUseAndOpensTheNewPage) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  std::vector<int> offered;
  shell.dialogAnswer = [&](QDialog* dialog) {
    auto* form = qobject_cast<TNewPageFrm*>(dialog);
    offered.push_back(form->Number());
    form->NumberEdit()->setValue(1);
    EXPECT_FALSE(form->Confirm()) << "page 1 is in use";
    form->NumberEdit()->setValue(4);
    EXPECT_EQ(form->NameEdit()->text(), "Window4") << "the name follows the number";
    EXPECT_TRUE(form->Confirm());
    return static_cast<int>(QDialog::Accepted);
  };
  shell->NewPage();
  EXPECT_EQ(offered, std::vector<int>{2});
  EXPECT_EQ(shell.messages, std::vector<std::string>{"1 号画面已存在 ！"});
  EXPECT_TRUE(shell->Image().IsPageUsed(4));
  EXPECT_EQ(shell->State().CurrentPage, 4);
  EXPECT_EQ(shell->ActivePageWindowWidget()->windowTitle(), "4:Window4");
  EXPECT_EQ(shell->PageTabs()->tabText(0), " 画面数: 2");
}

TEST_F(MainFrm, DeletePageAsksAndActsOnlyOnAPageNode) {
  TempDir dir;
  test::SetClipboard(std::string(model::kOpenCommandPrefix) + MakeProject(dir).string());
  RecordingShell shell;
  shell->show();
  QTreeWidget* tree = shell->PageTree();
  // The page group node: nothing happens.
  tree->setCurrentItem(tree->findItems("画面", Qt::MatchExactly | Qt::MatchRecursive).front());
  shell->DeletePage();
  EXPECT_TRUE(shell.questions.empty());

  tree->setCurrentItem(tree->findItems("3:泵站", Qt::MatchExactly | Qt::MatchRecursive).front());
  shell.answers = {QMessageBox::No};
  shell->DeletePage();
  EXPECT_TRUE(shell->Image().IsPageUsed(3));
  tree->setCurrentItem(tree->findItems("3:泵站", Qt::MatchExactly | Qt::MatchRecursive).front());
  shell.answers = {QMessageBox::Yes};
  shell->DeletePage();
  EXPECT_EQ(shell.questions.back(), "您确定删除该画面 ？");
  EXPECT_FALSE(shell->Image().IsPageUsed(3));
  // The refresh activates the window still open, which makes its page current again.
  EXPECT_EQ(shell->State().CurrentPage, 1);
  EXPECT_FALSE(TreeTexts(tree).contains("3:泵站"));
  EXPECT_EQ(shell->PageTabs()->tabText(0), " 画面数: 1");
}

TEST_F(MainFrm, CopyPageThenPasteItAsANewPage) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  EXPECT_FALSE(shell->Command("PastePage1")->isEnabled());
  shell->CopyPage();
  EXPECT_EQ(test::ClipboardText(), "zr_QX:FF");
  ASSERT_TRUE(WaitFor([&] { return shell->ClipboardHoldsPage(); }));
  EXPECT_TRUE(shell->Command("PastePage1")->isEnabled());

  shell.dialogAnswer = [&](QDialog* dialog) {
    auto* form = qobject_cast<TPastePageFrm*>(dialog);
    EXPECT_EQ(form->Number(), 2);
    form->NumberEdit()->setValue(6);
    EXPECT_TRUE(form->Confirm());
    return static_cast<int>(QDialog::Accepted);
  };
  shell->PastePageAs();
  ASSERT_TRUE(shell->Image().IsPageUsed(6));
  EXPECT_EQ(shell->Image().Page(6).PageStrings[model::kPageName].View(), platform::Utf8ToGbk("新Window1"));
  EXPECT_EQ(shell->ActivePageWindowWidget()->windowTitle(), QString::fromUtf8("6:新Window1"));
}

TEST_F(MainFrm, AMarkerFromAnotherProgramChangesNothing) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  test::SetClipboard("zr_QX:FF");  // no work file behind it
  (void)platform::RemoveFileIfPresent(ClipboardFilePath(*platform::WorkDir()));
  shell->ReceiveClipboardData();
  EXPECT_FALSE(shell->ClipboardHoldsPage());
  test::SetClipboard("some text");
  shell->ReceiveClipboardData();
  EXPECT_FALSE(shell->ClipboardHoldsPage());
}

TEST_F(MainFrm, SaveAndBackupDialogSetsTheAutoSaveTimer) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  shell.dialogAnswer = [&](QDialog* dialog) {
    auto* form = qobject_cast<TSaveBackupFrm*>(dialog);
    form->MinutesEdit()->setText("");
    EXPECT_FALSE(form->Confirm()) << "an empty interval is refused";
    form->AutoSaveCheck()->setChecked(false);
    form->MinutesEdit()->setText("12");
    form->BackupCheck()->setChecked(true);
    EXPECT_TRUE(form->Confirm());
    return static_cast<int>(QDialog::Accepted);
  };
  shell->ShowSaveBackup();
  EXPECT_EQ(shell.messages.size(), 1u);
  EXPECT_FALSE(shell->Session().backup.AutoSavBakFun);
  EXPECT_EQ(shell->Session().backup.AutoSavBakInterval, 12);
  EXPECT_TRUE(shell->Session().backup.AutoTempBakFun);
  EXPECT_FALSE(shell->AutoSaveTimer().isActive());
  EXPECT_EQ(shell->AutoSaveTimer().interval(), 12 * 60000);
}

TEST_F(MainFrm, OpenFailuresAreShownAndLeaveNoProject) {
  TempDir dir;
  test::WriteText(dir / "bad.QX3", "not a project");
  RecordingShell shell;
  shell->show();
  shell.openPaths = {(dir / "bad.QX3").string()};
  shell->OpenProject();
  EXPECT_FALSE(shell->Session().ProjectOpen);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.icons[0], QMessageBox::Warning);
  EXPECT_NE(shell.messages[0].find("Open:"), std::string::npos) << shell.messages[0];
  EXPECT_FALSE(shell->findChild<QMenu*>("Edit1")->menuAction()->isVisible());
}

TEST_F(MainFrm, OpenExampleOpensTheUsersOwnCopyAndNeverReplacesIt) {
  const std::filesystem::path copy = platform::UserExamplesDir() / "茶叶整形机.QX3";
  RecordingShell shell;
  shell->show();
  shell->OpenExample();
  ASSERT_EQ(shell.openPresets.size(), 1u);
  EXPECT_EQ(shell.openPresets[0], copy.string());
  EXPECT_TRUE(std::filesystem::exists(copy));
  EXPECT_TRUE(std::filesystem::exists(platform::UserExamplesDir() / "茶叶整形机.PIC"));
  EXPECT_FALSE(shell->Session().ProjectOpen) << "the dialog was cancelled";

  // What the user saved over the copy stays: the next "open example" keeps it.
  test::WriteText(copy, "the user's own work");
  shell->OpenExample();
  EXPECT_EQ(test::ReadText(copy), "the user's own work");
}

TEST_F(MainFrm, HelpIsShownInDravikOwnHelpWindow) {
  RecordingShell shell;
  shell->show();
  shell->Command("HelpTopics1")->trigger();
  THelpFrm* help = shell->HelpForm();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(shell.documents.empty()) << "no outside program is asked";
  const QUrl contents = help->Browser()->source();
  EXPECT_TRUE(contents.toLocalFile().endsWith("help/index.html")) << contents.toString().toStdString();
  EXPECT_EQ(help->windowTitle(), "Dravik 帮助 / Help");

  // A link of the contents, then back and forward.
  help->Browser()->setSource(QUrl(QStringLiteral("macros.html")));
  EXPECT_TRUE(help->Browser()->source().toString().endsWith("macros.html"));
  ASSERT_TRUE(help->BackAction()->isEnabled());
  help->BackAction()->trigger();
  EXPECT_EQ(help->Browser()->source(), contents);
  ASSERT_TRUE(help->ForwardAction()->isEnabled());
  help->ForwardAction()->trigger();
  EXPECT_TRUE(help->Browser()->source().toString().endsWith("macros.html"));
  help->ContentsAction()->trigger();
  EXPECT_EQ(help->Browser()->source(), contents);

  // Search in the page finds a text, goes round at the end, and says when it is missing.
  EXPECT_TRUE(help->FindInPage(QStringLiteral("Dravik")));
  EXPECT_EQ(help->Browser()->textCursor().selectedText(), "Dravik");
  EXPECT_TRUE(help->FindInPage(QStringLiteral("Dravik")));
  EXPECT_FALSE(help->FindInPage(QStringLiteral("no such words here")));
}

TEST_F(MainFrm, DeviceHelpOpensThePageOfTheLinksProtocol) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  shell->SpecifyingPLCDevicesHelp(0);
  ASSERT_NE(shell->HelpForm(), nullptr);
  EXPECT_EQ(shell->HelpForm()->Browser()->source().toLocalFile().toStdString(),
            (platform::ProgramDir() / "help" / "Device0.htm").string());
  shell->SpecifyingPLCDevicesHelp(1);
  EXPECT_EQ(shell->HelpForm()->Browser()->source().toLocalFile().toStdString(),
            (platform::ProgramDir() / "help" / "Device1.htm").string());
  EXPECT_FALSE(shell->HelpForm()->Browser()->toPlainText().isEmpty());
}

TEST_F(MainFrm, OpeningAProjectIsNoEditButAPageCommandIs) {
  TempDir dir;
  const auto project = MakeProject(dir);
  RecordingShell shell;
  shell->show();
  shell.openPaths = {project.string()};
  shell->OpenProject();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  EXPECT_FALSE(shell->Session().Modified);
  EXPECT_FALSE(shell->Command("Save1")->isEnabled());
  shell->SetLanguage(false);  // rebuilding the page list is no edit either
  shell->SetLanguage(true);
  EXPECT_FALSE(shell->Command("Save1")->isEnabled());

  // Leaving asks only whether to exit.
  shell.answers = {QMessageBox::No};
  EXPECT_FALSE(shell->close());
  EXPECT_EQ(shell.questions, std::vector<std::string>{"是否退出程序 ？"});

  // Deleting a page is an edit.
  for (QTreeWidgetItemIterator it(shell->PageTree()); *it != nullptr; ++it) {
    if ((*it)->text(0) == "3:泵站") shell->PageTree()->setCurrentItem(*it);
  }
  shell.answers = {QMessageBox::Yes};
  shell->DeletePage();
  EXPECT_TRUE(shell->Session().Modified);
  EXPECT_TRUE(shell->Command("Save1")->isEnabled());
}

TEST_F(MainFrm, QtOwnTextsAndTheOpenStatusFollowTheInterfaceLanguage) {
  TempDir dir;
  const auto project = MakeProject(dir);
  RecordingShell shell;
  shell->show();
  auto cancelText = [] {
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')).toStdString();
  };
  shell->SetLanguage(true);
  EXPECT_EQ(cancelText(), "取消");
  shell.openPaths = {project.string()};
  shell->OpenProject();
  EXPECT_EQ(shell->StatusText(0).trimmed().toStdString(), "打开文件成功");
  shell->SetLanguage(false);
  EXPECT_EQ(cancelText(), "Cancel");
  EXPECT_EQ(shell->Command("LastFileOpenItem")->text().toStdString(), "Recent file")
      << "no Chinese left in English; chinese=" << shell->IsChinese() << " stored=" << shell->LastFileCaption();
  shell->SetLanguage(true);
  EXPECT_EQ(shell->Command("LastFileOpenItem")->text().toStdString(), "最近文件");
}

TEST_F(MainFrm, SwitchingTheLanguageRelabelsTheOpenCheckWindowAndKeepsItsCount) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  // A register element whose register the protocol does not have.
  elements::Placement placement;
  placement.kind = 2;
  placement.x = 20;
  placement.y = 20;
  placement.width = 40;
  placement.height = 20;
  const int slot = elements::PlaceElement(shell->Image().Page(1), shell->Image().Settings(), placement).value_or(-1);
  ASSERT_GE(slot, 0);
  shell->Image().Page(1).ElemWordA[slot] = 65001;
  compiler::TCompileCheckFrm* check = shell->Dialog<compiler::TCompileCheckFrm>();
  ui::DesktopHooks quiet;
  quiet.message = [](const QString&, const QString&, QMessageBox::Icon) {};
  check->SetDesktopHooks(quiet);
  check->StartCheck(shell->Image(), shell->DeviceLists(), true);
  ASSERT_TRUE(check->ErrorsShown());
  EXPECT_EQ(check->SummaryLabel()->text().toStdString(), "编译错误信息: 1 条");

  shell->SetLanguage(false);
  EXPECT_EQ(check->SummaryLabel()->text().toStdString(), "The compiler error messages: 1 Item");
  EXPECT_EQ(check->List()->headerItem()->text(compiler::kColumnMessage).toStdString(), "Error hint");
  shell->SetLanguage(true);
  EXPECT_EQ(check->SummaryLabel()->text().toStdString(), "编译错误信息: 1 条");
  EXPECT_EQ(check->List()->headerItem()->text(compiler::kColumnMessage).toStdString(), "错 误 提 示");
}

TEST_F(MainFrm, StatusPanelsShowTheirWholeText) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->resize(1400, 800);
  shell->show();
  shell->SetLanguage(false);
  QTest::qWait(20);
  for (int panel = 0; panel < kStatusPanelCount; ++panel) {
    auto* label = shell->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(panel));
    ASSERT_NE(label, nullptr) << panel;
    if (label->text().isEmpty()) continue;
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
        << panel << ": " << label->text().toStdString();
    EXPECT_EQ(label->toolTip(), label->text().trimmed());
  }
  EXPECT_TRUE(shell->StatusText(2).endsWith(")")) << shell->StatusText(2).toStdString();
}

TEST_F(MainFrm, ClockMacroOpensTheEditorWhoseUnsavedRowsExitAsksAbout) {
  TempDir dir;
  const auto project = MakeProject(dir);
  RecordingShell shell;
  shell->show();
  shell.openPaths = {project.string()};
  shell->OpenProject();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  shell->Command("ClockMacro1")->trigger();
  auto* editor = shell->Dialog<macro::TMacroEditFrm>();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->MacroDatabase(), dir / "p.M");

  editor->MenuCommand("MacPaste")->trigger();  // an edit, not yet saved
  // The editor asks first; No to the exit question leaves both windows open.
  shell.answers = {QMessageBox::No, QMessageBox::No};
  EXPECT_FALSE(shell->close());
  EXPECT_EQ(shell.questions,
            (std::vector<std::string>{"保存更改到 Clock 宏 (100ms) ？", "是否退出程序 ？"}));
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(MainFrm, CommandsOfPartsNotBuiltYetAreDisabled) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  for (const char* name : {"Undo1", "AlignButton1", "MultiCopy1"}) {
    EXPECT_FALSE(shell->Command(name)->isEnabled()) << name;
  }
  for (const char* name : {"Save1", "SaveAs1", "NewPage1", "PageAttribute1", "DeletePage1", "SaveBackup1", "N2",
                           "WorkParameters1", "AlarmSettings1", "KeyboardParameters1", "PortSettings1", "Download1",
                           "Firmware1", "OfflineSim1", "OnlineSim1", "UpdatePackage1", "Text1", "ClockMacro1",
                           "RegisterSearch1", "Statistics1", "DataPreview1", "BatchModify1"}) {
    EXPECT_TRUE(shell->Command(name)->isEnabled()) << name;
  }
}

}  // namespace
}  // namespace dravik::app
