// The hand-over between two running instances through the X clipboard: the first
// instance, with a project open, asks for a new project; a real second "dravik" process
// takes the start command and answers "OK". Under the offscreen platform the clipboard is
// private to each process, so the test runs itself again on a virtual X server.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QProcess>
#include <QStandardPaths>

#include "app_fixture.h"
#include "model/project_session.h"

namespace dravik::app {
namespace {

constexpr char kChildVariable[] = "DRAVIK_X11_CHILD";

TEST(X11HandOver, ASecondProcessTakesTheStartCommandAndAnswers) {
  if (getenv(kChildVariable) != nullptr) GTEST_SKIP() << "this is the child run";
  test::EnsureApplication();
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
  if (xvfb.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed: no X server to share a clipboard on";

  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(kChildVariable, QStringLiteral("1"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1024x768x24"),
                     QCoreApplication::applicationFilePath(),
                     QStringLiteral("--gtest_filter=X11HandOverChild.*")});
  ASSERT_TRUE(child.waitForStarted(10000));
  ASSERT_TRUE(child.waitForFinished(90000)) << "the child run did not end";
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

// The child run's test: registered only when the test program runs as that child, so it
// never shows up in a listing of the tests as one of its own.
class FirstInstanceHandsANewProjectToASecondProcess : public testing::Test {
 public:
  void TestBody() override;
};

[[maybe_unused]] const bool kChildTestRegistered =
    getenv(kChildVariable) != nullptr &&
    testing::RegisterTest("X11HandOverChild", "FirstInstanceHandsANewProjectToASecondProcess", nullptr, nullptr,
                          __FILE__, __LINE__,
                          []() -> testing::Test* { return new FirstInstanceHandsANewProjectToASecondProcess; });

void FirstInstanceHandsANewProjectToASecondProcess::TestBody() {
  test::EnsureApplication();
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));

  QProcess second;
  test::SetClipboard(model::kNewCommand);
  test::RecordingShell shell;
  shell->Hooks().startInstance = [&second](QString*) {
    second.start(QStringLiteral(DRAVIK_TEST_PROGRAM_DIR "/dravik"), {});
    return second.waitForStarted(10000);
  };
  shell->show();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  ASSERT_TRUE(test::WaitFor([] { return test::ClipboardText() == "OK"; }, 5000));

  shell->NewProject();
  ASSERT_EQ(second.state(), QProcess::Running);
  // The second process reads the command from this one and answers on the clipboard.
  const bool answered = test::WaitFor([] { return test::ClipboardText() == "OK"; }, 30000);
  second.kill();
  second.waitForFinished(5000);
  EXPECT_TRUE(answered) << "clipboard: " << test::ClipboardText();
  EXPECT_EQ(shell->Session().ProjectFileName, "QXP1.QX3") << "this instance keeps its own project";
}

}  // namespace
}  // namespace dravik::app
