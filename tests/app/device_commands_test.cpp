#include "app/device_commands.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QComboBox>
#include <QFile>
#include <QToolButton>
#include <filesystem>
#include <map>

#include "comm/ui/set_com_pro.h"
#include "comm/update_package.h"
#include "compiler/compile_project.h"
#include "comm/ui/device_dialog_fixture.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"
#include "platform/paths.h"

namespace dravik::app {
namespace {

using namespace comm;

namespace fs = std::filesystem;
using test::RecordingSink;
using test::WaitFor;

class DeviceCommandsTest : public testing::Test {
 protected:
  DeviceCommandsTest() {
    test::EnsureApplication();
    context.session = &project.session;
    context.lists = &project.lists;
    context.checkFrm = &check;
    context.hooks.desktop = sink.Sink();
    context.hooks.desktop.showStatus = [this](int panel, const QString& text) {
      status[panel] = text.toStdString();
    };
    context.hooks.desktop.statusText = [this](int panel) { return QString::fromStdString(status[panel]); };
    context.hooks.saveProject = [this] { ++saves; };
    context.hooks.openWorkParameters = [this] { ++workParameters; };
    context.hooks.desktop.execDialog = [](QDialog* dialog) { return dialog->exec(); };
  }
  void SetUp() override {
    ASSERT_TRUE(project.loadError.empty()) << project.loadError;
    fs::remove(QxBin());
  }
  static fs::path QxBin() { return *platform::WorkDir() / "QX.bin"; }

  test::WithApplication application;
  test::ProjectFixture project;
  RecordingSink sink;
  compiler::TCompileCheckFrm check;
  DeviceCommandContext context;
  std::map<int, std::string> status;
  int saves = 0;
  int workParameters = 0;
};

// --- the preamble

struct PreambleCase {
  const char* name;
  std::function<void(test::ProjectFixture&)> arrange;
  PreambleEnd end;
  const char* box;  // the last box shown, "" for none, nullptr when not compared
  int saves;
  int workParameters;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const PreambleCase& c, std::ostream* os) { *os << c.name; }

class PreambleTest : public DeviceCommandsTest, public testing::WithParamInterface<PreambleCase> {};

TEST_P(PreambleTest, StopsWithItsMessageOrWritesQxBin) {
  const PreambleCase& c = GetParam();
  c.arrange(project);
  const PreambleResult result = RunCompilePreamble(context);

  EXPECT_EQ(result.end, c.end);
  if (c.box == nullptr) {
    EXPECT_FALSE(sink.boxes.empty());
  } else if (*c.box == '\0') {
    EXPECT_TRUE(sink.boxes.empty()) << sink.boxes.front().text;
  } else {
    ASSERT_FALSE(sink.boxes.empty());
    EXPECT_EQ(sink.boxes.back().text, c.box);
    EXPECT_EQ(sink.boxes.back().caption, "Dravik ");
  }
  EXPECT_EQ(saves, c.saves);
  EXPECT_EQ(workParameters, c.workParameters);
  EXPECT_EQ(check.ErrorsShown(), c.end == PreambleEnd::kCheckFailed);
  EXPECT_EQ(fs::exists(QxBin()), c.end == PreambleEnd::kCompiled);
  if (c.end == PreambleEnd::kCompiled) {
    EXPECT_EQ(result.imageFile, QxBin());
    compiler::CompileProjectOptions options;
    const auto expected = compiler::CompileProject(*project.image, project.session.ProjectFileName,
                                                   project.lists, options);
    EXPECT_EQ(test::ReadAll(QxBin()), expected.image);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PreambleTest,
    testing::Values(
        PreambleCase{"GoodProject", [](test::ProjectFixture&) {}, PreambleEnd::kCompiled, "", 0, 0},
        PreambleCase{"CheckErrorsShowTheWindow",
                     [](test::ProjectFixture& p) {
                       const int slot = p.Place(1, 2);
                       p.image->Page(1).ElemWordA[slot] = 65535;
                     },
                     PreambleEnd::kCheckFailed, "总共找到 1 错误; 请参考编译错误信息栏修正错误。",
                     0, 0},
        PreambleCase{"InitialPageNotInUse",
                     [](test::ProjectFixture& p) {
                       model::At(p.image->Settings(), model::settings::kInitialPage) = 7;
                     },
                     PreambleEnd::kNoInitialPage,
                     "您设置的初始(主控)画面号: [7] 不存在！\n请检查或重新设置...", 0, 1},
        PreambleCase{
            "NeverSavedProjectIsSavedFirst",
            [](test::ProjectFixture& p) { p.session.ProjectFileName = model::kUnsavedProjectName; },
            PreambleEnd::kNotSaved, " 请先保存此新工程 ！", 1, 0},
        PreambleCase{"FailedCompileSaysWhy",
                     [](test::ProjectFixture& p) {
                       p.image->Page(1).PageStrings[model::kPageNumberText] = "one";
                       model::At(p.image->Settings(), model::settings::kInitialPage) = 1;
                     },
                     PreambleEnd::kCompileFailed, nullptr, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceCommandsTest, FailedCompileShowsTheCompilersReasonWithItsMessage) {
  project.image->Page(1).PageStrings[model::kPageNumberText] = "one";
  EXPECT_EQ(RunCompilePreamble(context).end, PreambleEnd::kCompileFailed);
  ASSERT_FALSE(sink.boxes.empty());
  EXPECT_TRUE(sink.boxes.back().text.starts_with("编译程序失败 ！\n")) << sink.boxes.back().text;
  EXPECT_GT(sink.boxes.back().text.size(), std::string("编译程序失败 ！\n").size());
}

// --- the port dialog

TEST_F(DeviceCommandsTest, PortDialogChoosesThePortAndShowsItInTheStatusBar) {
  context.ports = ComPortMap::Single("/dev/ttyUSB7");
  TsetCOMpro form;
  context.hooks.desktop.execDialog = [](QDialog* dialog) {
    auto* list = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    EXPECT_EQ(list->currentIndex(), 0) << "preselected with the current port";
    EXPECT_EQ(list->itemText(0).toStdString(), "COM1 (/dev/ttyUSB7)");
    EXPECT_EQ(list->itemText(2).toStdString(), "COM3");
    list->setCurrentIndex(2);
    return static_cast<int>(QDialog::Accepted);
  };
  EXPECT_EQ(ShowPortDialog(context, form), 2);
  EXPECT_EQ(context.portIndex, 2);
  EXPECT_EQ(status[5], " COM3");
  EXPECT_EQ(status.count(2), 0u) << "the protocol's panel keeps the protocol";

  context.hooks.desktop.execDialog = [](QDialog* dialog) {
    dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(5);
    return static_cast<int>(QDialog::Rejected);
  };
  status.clear();
  EXPECT_EQ(ShowPortDialog(context, form), std::nullopt);
  EXPECT_EQ(context.portIndex, 2);
  EXPECT_TRUE(status.empty());
}

TEST_F(DeviceCommandsTest, QuestionButtonListsTheSerialDevicesLinuxSees) {
  test::PanelEmulator panel;
  test::EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  TsetCOMpro form;
  form.SetDesktopHooks(sink.Sink());
  form.SetDeviceLister(
      [&] { return std::vector<std::string>{(project.dir / "ttyGone").string()}; });
  form.Load(ComPortMap::Single(line.SlavePath()), 0);
  EXPECT_EQ(form.findChild<QToolButton*>(QStringLiteral("SpeedButton1"))->toolTip().toStdString(),
            "设备管理器");

  sink.chinese = false;
  form.SpeedButton1Click();
  ASSERT_EQ(sink.boxes.size(), 1u);
  const std::string& report = sink.boxes[0].text;
  EXPECT_NE(report.find("COM1  " + line.SlavePath()), std::string::npos) << report;
  EXPECT_NE(report.find("pseudo-terminal"), std::string::npos) << report;
  EXPECT_NE(report.find("this user may open it"), std::string::npos) << report;
  EXPECT_NE(report.find("ttyGone\n      does not exist"), std::string::npos) << report;

  form.Load(ComPortMap(), 0);
  form.SetDeviceLister([] { return std::vector<std::string>{}; });
  form.SpeedButton1Click();
  EXPECT_TRUE(sink.boxes.back().text.starts_with("Linux sees no serial device"));
}

// --- simulation

TEST_F(DeviceCommandsTest, SimulationSaysSoWhenTheSimulatorIsMissing) {
  status[0] = " 就绪";
  context.simulator = project.dir / "tolvesk";
  EXPECT_EQ(RunSimulation(context), SimulationEnd::kSimulatorMissing);
  EXPECT_EQ(status[0], " 就绪　√");
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Warning);
  EXPECT_EQ(
      sink.boxes[0].text,
      ui::LineText(SimulatorMissingMessage(context.simulator, QxBin()).chinese).toStdString());
  EXPECT_TRUE(fs::exists(QxBin())) << "the image is compiled all the same";
}

TEST_F(DeviceCommandsTest, SimulationStartsTheSimulatorInTheWorkFolderOnTheImage) {
  // A stand-in simulator that writes its arguments where it was started.
  context.simulator = project.dir / "tolvesk";
  test::WriteText(context.simulator, "#!/bin/sh\necho \"$@\" > simulator-ran.tmp\n"
                                     "mv simulator-ran.tmp simulator-ran\n");
  fs::permissions(context.simulator, fs::perms::owner_all);
  const fs::path mark = *platform::WorkDir() / "simulator-ran";
  for (const auto& [mode, arguments] :
       {std::pair{SimulationMode::kOffline, "--image " + QxBin().string() + "\n"},
        std::pair{SimulationMode::kOnline, "--image " + QxBin().string() + " --online\n"}}) {
    fs::remove(mark);
    EXPECT_EQ(RunSimulation(context, mode), SimulationEnd::kStarted);
    EXPECT_TRUE(sink.boxes.empty()) << sink.boxes.front().text;
    ASSERT_TRUE(WaitFor([&] { return fs::exists(mark); }));
    EXPECT_EQ(test::ReadText(mark), arguments);
  }
  fs::remove(mark);
}

TEST_F(DeviceCommandsTest, SimulationOfANeverSavedProjectOnlyAsksToSave) {
  project.session.ProjectFileName = model::kUnsavedProjectName;
  sink.chinese = false;
  EXPECT_EQ(RunSimulation(context), SimulationEnd::kPreambleStopped);
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, " Please save this new project ！");
  EXPECT_EQ(saves, 1);
}

// --- update package

TEST_F(DeviceCommandsTest, UpdatePackageFolderHoldsTheUpdaterAndTheImage) {
  context.updater = project.dir / "velnor-source";
  test::WriteText(context.updater, "updater");
  std::vector<std::string> presets;
  std::vector<std::string> opened;
  const fs::path folder = project.dir / "out" / "line1";
  context.hooks.desktop.saveFile = [&](const QString& title, const QString& filter, const QString& preset) {
    EXPECT_EQ(title.toStdString(), "保存项目文件");
    EXPECT_EQ(filter.toStdString(), "Dat文件 (*.Dat);;All Files (*.*)");
    presets.push_back(preset.toStdString());
    return QString::fromStdString(folder.string());
  };
  context.hooks.desktop.openDocument = [&](const QString& path) {
    opened.push_back(path.toStdString());
    return true;
  };

  EXPECT_EQ(BuildUpdatePackageCommand(context), PackageEnd::kBuilt);
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(fs::path(presets[0]).filename(), "line1");
  EXPECT_EQ(test::ReadAll(folder / kUpdaterProgram), test::ReadAll(context.updater));
  const auto first = test::ReadAll(folder / kPackageImage);
  EXPECT_EQ(first, test::ReadAll(QxBin()));
  EXPECT_EQ(opened, std::vector<std::string>{folder.string()});
  EXPECT_TRUE(sink.boxes.empty()) << sink.boxes.front().text;

  // A second package into the same folder keeps the first image, and says so.
  const int slot = project.Place(1, 2);
  project.image->Page(1).ElemWordA[slot] = 10;
  EXPECT_EQ(BuildUpdatePackageCommand(context), PackageEnd::kBuilt);
  EXPECT_EQ(test::ReadAll(folder / kPackageImage), first);
  EXPECT_NE(test::ReadAll(QxBin()), first);
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Information);
  EXPECT_NE(sink.boxes[0].text.find("Dat.bin"), std::string::npos);
  EXPECT_EQ(opened.size(), 2u);

  context.hooks.desktop.saveFile = [](const QString&, const QString&, const QString&) { return QString(); };
  EXPECT_EQ(BuildUpdatePackageCommand(context), PackageEnd::kCancelled);
  EXPECT_EQ(opened.size(), 2u);
}

}  // namespace
}  // namespace dravik::app
