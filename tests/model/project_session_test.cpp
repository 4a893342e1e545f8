// New, Open, Save and Save As: names, folders, companion files and backups.

#include "model/project_session.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "model/settings_page.h"
#include "support/temp_dir.h"

namespace dravik::model {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(SaveNames, FollowTheFolderPerProjectRule) {
  struct Case {
    const char* chosen;
    const char* folder;
    const char* file;
  };
  const Case cases[] = {
      {"/a/p.QX3", "/a/p", "/a/p/p.QX3"},
      {"/a/p", "/a/p", "/a/p/p.QX3"},
      {"/a/p.qx3", "/a/p.qx3", "/a/p.qx3/p.qx3.QX3"},
      {"/a/p/p.QX3", "/a/p/p", "/a/p/p/p.QX3"},  // Save As inside the old folder: one level more
      {"/a/茶叶整形机.QX3", "/a/茶叶整形机", "/a/茶叶整形机/茶叶整形机.QX3"},
      {"/a/工程", "/a/工程", "/a/工程/工程.QX3"},
      // Only the file name decides whether ".QX3" is there.
      {"/old.QX3/p", "/old.QX3/p", "/old.QX3/p/p.QX3"},
  };
  for (const Case& c : cases) {
    const SaveLocation location = SaveLocationForChosenName(c.chosen);
    EXPECT_EQ(location.folder, c.folder) << c.chosen;
    EXPECT_EQ(location.projectFile, c.file) << c.chosen;
  }
}

TEST(SaveNames, CompanionAndBackupNames) {
  EXPECT_EQ(WithExtension("/a/p/p.QX3", ".PIC"), "/a/p/p.PIC");
  EXPECT_EQ(WithExtension("/a.b/p", ".M"), "/a.b/p.M");
  EXPECT_EQ(DropLastCharacters("/a/工程.QX3", 4), "/a/工程");
  EXPECT_EQ(DropLastCharacters("工程", 1), "工");
  EXPECT_EQ(DropLastCharacters("ab", 4), "");
}

TEST(StartCommands, AreRecognisedByTheirPrefix) {
  StartCommand open = ParseStartCommand("Dravik  .OpenFileName:=/home/u/p/p.QX3");
  EXPECT_EQ(open.kind, StartCommand::OpenFile);
  EXPECT_EQ(open.path, "/home/u/p/p.QX3");
  EXPECT_EQ(ParseStartCommand("Dravik  .New.FileName:=QXP1.QX3").kind, StartCommand::NewProject);
  EXPECT_EQ(ParseStartCommand("Dravik .OpenFileName:=x").kind, StartCommand::None);
  EXPECT_EQ(ParseStartCommand("OK").kind, StartCommand::None);
}

// A session whose save dialog answers from a queue and which records hand-overs.
class SessionTest : public testing::Test {
 protected:
  SessionTest() : session(image, Hooks()) {}

  ProjectSessionHooks Hooks() {
    ProjectSessionHooks hooks;
    hooks.confirmWorkParameters = [this] { return confirm; };
    hooks.chooseSavePath = [this](const std::string& preset) -> std::optional<std::string> {
      presets.push_back(preset);
      if (answers.empty()) return std::nullopt;
      std::string answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
    hooks.handOverToNewInstance = [this](const std::string& command) { handedOver = command; };
    hooks.attachPictureLibrary = [this] { ++attached; };
    return hooks;
  }

  std::string In(const char* name) const { return (dir / name).string(); }

  TempDir dir;
  ProjectImage image;
  bool confirm = true;
  std::vector<std::string> answers;
  std::vector<std::string> presets;
  std::string handedOver;
  int attached = 0;
  ProjectSession session;
};

TEST_F(SessionTest, NewNeedsTheWorkParametersConfirmed) {
  confirm = false;
  EXPECT_EQ(session.New().outcome, CommandOutcome::Cancelled);
  EXPECT_FALSE(session.ProjectOpen);
  confirm = true;
  CommandResult result = session.New();
  ASSERT_TRUE(result.done());
  EXPECT_EQ(result.currentPage, 1);
  EXPECT_TRUE(session.ProjectOpen);
  EXPECT_TRUE(session.Modified);
  EXPECT_EQ(session.ProjectFileName, "QXP1.QX3");
  EXPECT_EQ(image.Page(1).PageStrings[kPageName].View(), "Window1");
}

TEST_F(SessionTest, NewAndOpenWithAProjectOpenHandOverToASecondInstance) {
  ASSERT_TRUE(session.New().done());
  EXPECT_EQ(session.New().outcome, CommandOutcome::HandedOver);
  EXPECT_EQ(handedOver, "Dravik  .New.FileName:=QXP1.QX3");
  EXPECT_EQ(session.Open("/x/y.QX3").outcome, CommandOutcome::HandedOver);
  EXPECT_EQ(handedOver, "Dravik  .OpenFileName:=/x/y.QX3");
  EXPECT_EQ(session.ProjectFileName, "QXP1.QX3");
}

TEST_F(SessionTest, FirstSaveAsksForANameAndMakesTheProjectFolder) {
  ASSERT_TRUE(session.New().done());
  answers = {In("motor")};
  ASSERT_TRUE(session.Save().done());
  EXPECT_EQ(presets, std::vector<std::string>{"QXP1.QX3"});
  EXPECT_EQ(session.ProjectFileName, In("motor") + "/motor.QX3");
  EXPECT_TRUE(fs::exists(session.ProjectFileName));
  EXPECT_FALSE(session.Modified);
  EXPECT_EQ(attached, 1);

  // A second save asks nothing.
  ASSERT_TRUE(session.Save().done());
  EXPECT_EQ(presets.size(), 1u);
}

TEST_F(SessionTest, SaveAsCancelledRestoresTheNameAndWritesNothing) {
  ASSERT_TRUE(session.New().done());
  answers = {In("a")};
  ASSERT_TRUE(session.Save().done());
  const std::string saved = session.ProjectFileName;
  const auto before = fs::last_write_time(saved);

  EXPECT_EQ(session.SaveAs().outcome, CommandOutcome::Cancelled);
  EXPECT_EQ(session.ProjectFileName, saved);
  EXPECT_FALSE(session.SaveAsPending);
  EXPECT_EQ(fs::last_write_time(saved), before);
}

TEST_F(SessionTest, SaveAsCarriesCompanionsButNeverOverwritesThem) {
  ASSERT_TRUE(session.New().done());
  answers = {In("a")};
  ASSERT_TRUE(session.Save().done());
  test::WriteText(In("a") + "/a.PIC", "old pictures");
  test::WriteText(In("a") + "/a.M", "old macros");
  fs::create_directories(In("b"));
  test::WriteText(In("b") + "/b.PIC", "pictures already there");

  answers = {In("b")};
  ASSERT_TRUE(session.SaveAs().done());
  EXPECT_EQ(session.ProjectFileName, In("b") + "/b.QX3");
  EXPECT_TRUE(fs::exists(session.ProjectFileName));
  const auto text = [](const std::string& file) {
    auto bytes = test::ReadAll(file);
    return std::string(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(text(In("b") + "/b.PIC"), "pictures already there");
  EXPECT_EQ(text(In("b") + "/b.M"), "old macros");
}

TEST_F(SessionTest, BackupHoldsTheFileAsItWasBeforeTheSave) {
  session.backup.AutoTempBakFun = true;
  ASSERT_TRUE(session.New().done());
  answers = {In("p")};
  ASSERT_TRUE(session.Save().done());
  const std::string file = session.ProjectFileName;
  const std::string bak = In("p") + "/p.BAK";
  EXPECT_FALSE(fs::exists(bak)) << "on the first save there is nothing to back up";

  const auto firstVersion = test::ReadAll(file);
  image.Page(1).PageStrings[kPageName] = "Changed";
  ASSERT_TRUE(session.Save().done());
  EXPECT_EQ(test::ReadAll(bak), firstVersion);
  EXPECT_NE(test::ReadAll(file), firstVersion);
}

TEST_F(SessionTest, AnOpenedBackupIsSavedToItsOwnPathWithoutLosingIt) {
  session.backup.AutoTempBakFun = true;
  ASSERT_TRUE(session.New().done());
  answers = {In("p")};
  ASSERT_TRUE(session.Save().done());
  image.Page(1).PageStrings[kPageName] = "Second";
  ASSERT_TRUE(session.Save().done());  // now p.BAK exists
  const std::string bak = In("p") + "/p.BAK";

  ProjectImage other;
  ProjectSession reopened(other);
  ASSERT_TRUE(reopened.Open(bak).done());
  EXPECT_EQ(reopened.ProjectFileName, bak);
  EXPECT_EQ(other.Page(1).PageStrings[kPageName].View(), "Window1");
  reopened.backup.AutoTempBakFun = true;
  other.Page(1).PageStrings[kPageName] = "From backup";
  ASSERT_TRUE(reopened.Save().done());

  ProjectImage check;
  ASSERT_FALSE(ReadProjectFile(check, bak).has_value());
  EXPECT_EQ(check.Page(1).PageStrings[kPageName].View(), "From backup");
}

TEST_F(SessionTest, OpenMakesTheLowestUsedPageCurrent) {
  ProjectImage source;
  source.Page(4).PageStrings[kPageInUse] = "Use";
  source.Page(9).PageStrings[kPageInUse] = "Use";
  ASSERT_TRUE(WriteProjectFile(source, In("p.QX3")).ok());
  CommandResult result = session.Open(In("p.QX3"));
  ASSERT_TRUE(result.done());
  EXPECT_EQ(result.currentPage, 4);
  EXPECT_TRUE(session.ProjectOpen);
  EXPECT_EQ(attached, 1);
}

TEST_F(SessionTest, AFailedOpenLeavesTheProjectUnopened) {
  test::WriteText(In("bad.QX3"), "not a project");
  CommandResult result = session.Open(In("bad.QX3"));
  EXPECT_EQ(result.outcome, CommandOutcome::Failed);
  ASSERT_TRUE(result.warning.has_value());
  EXPECT_EQ(result.warning->english.rfind("Open:" + In("bad.QX3") + " Failed ！\r\rCause:", 0), 0u);
  EXPECT_FALSE(session.ProjectOpen);
  EXPECT_EQ(attached, 0);
}

TEST_F(SessionTest, ASaveThatCannotWriteKeepsTheOldFile) {
  ASSERT_TRUE(session.New().done());
  answers = {In("p")};
  ASSERT_TRUE(session.Save().done());
  const auto before = test::ReadAll(session.ProjectFileName);

  // A full disk, as far as this process can tell: writes beyond 64 bytes fail.
  struct rlimit original {};
  ::getrlimit(RLIMIT_FSIZE, &original);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = original;
  tiny.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &tiny);
  image.Page(1).PageStrings[kPageName] = "Lost?";
  CommandResult result = session.Save();
  ::setrlimit(RLIMIT_FSIZE, &original);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(result.outcome, CommandOutcome::Failed);
  ASSERT_TRUE(result.warning.has_value());
  EXPECT_EQ(result.warning->chinese.rfind(kMemoryMessage.chinese, 0), 0u);
  EXPECT_NE(result.warning->chinese.find("无法写入 "), std::string::npos) << "the cause, in Chinese";
  EXPECT_EQ(test::ReadAll(session.ProjectFileName), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(In("p")), {}), 1) << "no debris";
}

}  // namespace
}  // namespace dravik::model
