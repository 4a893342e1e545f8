// The start-up decisions: the command-line path, the clipboard start commands and the
// welcome form.

#include "app/start_decision.h"

#include <gtest/gtest.h>

namespace dravik::app {
namespace {

TEST(CommandLinePath, NonEmptyParametersAreJoinedBySingleBlanks) {
  struct Case {
    std::vector<std::string> parameters;
    std::string path;
  } cases[] = {
      {{}, ""},
      {{""}, ""},
      {{"/home/u/a.QX3"}, "/home/u/a.QX3"},
      {{"/home/u/My", "Projects/泵", "站.QX3"}, "/home/u/My Projects/泵 站.QX3"},
      {{"", "/a", "", "b.QX3"}, "/a b.QX3"},
      {{"  /a.QX3"}, "/a.QX3"},
      {{" ", "x"}, "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandLinePath(c.parameters), c.path);
}

TEST(StartDecision, CommandLineThenClipboardThenWelcome) {
  struct Case {
    const char* name;
    std::string commandLine;
    std::optional<std::string> clipboard;
    StartDecision::Kind kind;
    std::string path;
    bool answer;
  } cases[] = {
      {"command line wins", "/a.QX3", "Dravik  .New.FileName:=QXP1.QX3", StartDecision::OpenCommandLine,
       "/a.QX3", false},
      {"open command", "", "Dravik  .OpenFileName:=/p/泵 站.QX3", StartDecision::OpenFromClipboard,
       "/p/泵 站.QX3", true},
      {"new command", "", "Dravik  .New.FileName:=QXP1.QX3", StartDecision::NewFromClipboard, "", true},
      {"other text", "", "hello", StartDecision::Welcome, "", false},
      {"a page marker", "", "zr_QX:FF", StartDecision::Welcome, "", false},
      {"one blank less", "", "Dravik .OpenFileName:=/a.QX3", StartDecision::Welcome, "", false},
      {"no text", "", std::nullopt, StartDecision::Welcome, "", false},
      {"the answer itself", "", "OK", StartDecision::Welcome, "", false},
  };
  for (const Case& c : cases) {
    const StartDecision d = DecideStart(c.commandLine, c.clipboard);
    EXPECT_EQ(d.kind, c.kind) << c.name;
    EXPECT_EQ(d.path, c.path) << c.name;
    EXPECT_EQ(d.answerClipboard, c.answer) << c.name;
  }
}

}  // namespace
}  // namespace dravik::app
