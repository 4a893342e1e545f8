// The project settings and device commands reached from the main window: the work
// parameters (F7, tool button, tree node, and New), the download with its compile check
// docked below, the download port kept for the configuration, and the language switch
// reaching the new forms.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QTreeWidget>
#include <QTest>
#include <map>

#include "app/main_frm.h"
#include "app/page_commands.h"
#include "app_fixture.h"
#include "comm/ui/download_form.h"
#include "comm/ui/firmware_frm.h"
#include "comm/ui/set_com_pro.h"
#include "compiler/ui/compile_check_frm.h"
#include "editor/ui/structure_page.h"
#include "elements/placement.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "params/ui/alarm_set_frm.h"
#include "params/ui/key_led_frm.h"
#include "params/ui/system_set_for.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::app {
namespace {

using test::RecordingShell;
using test::TempDir;

class MainFrmDevice : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    (void)platform::RemoveFileIfPresent(platform::ConfigFilePath());
    test::SetClipboard("");
  }
};

QTreeWidgetItem* TreeNode(QTreeWidget* tree, int picture) {
  for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
    if ((*it)->data(0, Qt::UserRole).toInt() == picture) return *it;
  }
  return nullptr;
}

TEST_F(MainFrmDevice, NewConfirmsThroughTheWorkParametersAndStopsWhenCancelled) {
  RecordingShell shell;
  shell->show();
  // Cancelled: no project.
  shell.workParametersAnswer = [](params::TSystemSetFor*) { return static_cast<int>(QDialog::Rejected); };
  shell->NewProject();
  EXPECT_EQ(shell.workParametersShown, 1);
  EXPECT_FALSE(shell->Session().ProjectOpen);

  // Confirmed with 115200 baud: the project opens with it and the status bar says so.
  shell.workParametersAnswer = [](params::TSystemSetFor* form) {
    params::WorkParameters values = form->Values();
    values.links[params::kLink1].baud = 4;
    form->SetValues(values);
    return static_cast<int>(form->ConfirmClick() ? QDialog::Accepted : QDialog::Rejected);
  };
  shell->NewProject();
  EXPECT_EQ(shell.workParametersShown, 2);
  ASSERT_TRUE(shell->Session().ProjectOpen);
  EXPECT_EQ(model::At(shell->Image().Settings(), model::settings::kLink1Baud), 4);
  EXPECT_EQ(shell->StatusText(1), " VM20(320*240)");
  EXPECT_TRUE(shell->StatusText(2).contains(" ( 115200 ")) << shell->StatusText(2).toStdString();
  EXPECT_FALSE(shell->DeviceLists().W_DeviceName.empty());
  EXPECT_TRUE(shell.messages.empty()) << shell.messages.front();
}

TEST_F(MainFrmDevice, WorkParametersAndAlarmsOpenFromKeyToolButtonMenuAndTree) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  std::vector<QDialog*> shown;
  shell.workParametersAnswer = [&](params::TSystemSetFor* form) {
    shown.push_back(form);
    return static_cast<int>(QDialog::Rejected);
  };
  shell.dialogAnswer = [&](QDialog* dialog) {
    shown.push_back(dialog);
    return static_cast<int>(QDialog::Rejected);
  };

  QAction* work = shell->Command("WorkParameters1");
  EXPECT_EQ(work->shortcut(), QKeySequence(Qt::Key_F7));
  EXPECT_TRUE(shell->StandardToolBar()->actions().contains(work));
  shell->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(shell.window.get()));
  QTest::keyClick(shell.window.get(), Qt::Key_F7);
  ASSERT_EQ(shown.size(), 1u) << "F7 opens the work parameters";
  EXPECT_EQ(shown[0], shell->Dialog<params::TSystemSetFor>());

  shell->TreeNodePressed(TreeNode(shell->PageTree(), kPictureSettings), false);
  shell->TreeNodePressed(TreeNode(shell->PageTree(), kPictureAlarms), false);
  shell->Command("AlarmSettings1")->trigger();
  shell->Command("KeyboardParameters1")->trigger();
  const std::vector<QDialog*> expected = {shell->Dialog<params::TSystemSetFor>(), shell->Dialog<params::TSystemSetFor>(),
                                          shell->Dialog<params::TAlarmSetFrm>(), shell->Dialog<params::TAlarmSetFrm>(),
                                          shell->Dialog<params::TKeyLedFrm>()};
  EXPECT_EQ(shown, expected);
  // One form each for the whole run, so the language files reach them.
  EXPECT_EQ(shell->findChildren<params::TSystemSetFor*>().size(), 1);
}

TEST_F(MainFrmDevice, DownloadOfAFailingProjectShowsTheDockedCheckWindow) {
  TempDir dir;
  const std::filesystem::path file = dir / "bad.QX3";
  {
    auto image = std::make_unique<model::ProjectImage>();
    model::InitializeNewProject(*image);
    elements::Placement placement;
    placement.kind = 2;  // a register
    placement.x = 20;
    placement.y = 20;
    placement.width = 40;
    placement.height = 20;
    const std::optional<int> slot = elements::PlaceElement(image->Page(1), image->Settings(), placement);
    ASSERT_TRUE(slot);
    image->Page(1).ElemWordA[*slot] = 65535;  // beyond every register kind
    ASSERT_TRUE(model::WriteProjectFile(*image, file));
  }
  RecordingShell shell;
  shell->show();
  shell.openPaths = {file.string()};
  shell->OpenProject();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  editor::CloseAllPageWindows(*shell->MdiArea());
  std::vector<QDialog*> shown;
  shell.dialogAnswer = [&](QDialog* dialog) {
    shown.push_back(dialog);
    return static_cast<int>(QDialog::Rejected);
  };

  compiler::TCompileCheckFrm* check = shell->Dialog<compiler::TCompileCheckFrm>();
  EXPECT_TRUE(check->isHidden()) << "hidden until a check fails";
  EXPECT_EQ(shell->dockWidgetArea(check), Qt::BottomDockWidgetArea);
  std::filesystem::remove(*platform::WorkDir() / "QX.bin");
  QAction* download = shell->Command("Download1");
  EXPECT_EQ(download->shortcut(), QKeySequence(Qt::Key_F6));
  download->trigger();

  EXPECT_TRUE(check->ErrorsShown());
  EXPECT_FALSE(check->isHidden());
  ASSERT_EQ(check->Rows().size(), 1u);
  ASSERT_FALSE(shell.messages.empty());
  EXPECT_EQ(shell.messages.back(), "总共找到 1 错误; 请参考编译错误信息栏修正错误。");
  EXPECT_TRUE(shown.empty()) << "no download dialog after a failed check";
  EXPECT_FALSE(std::filesystem::exists(*platform::WorkDir() / "QX.bin"));

  // A double-click on the row opens its page through the page list.
  check->ListView1DblClick(0);
  QMdiSubWindow* active = shell->MdiArea()->activeSubWindow();
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(qobject_cast<editor::TStructureP*>(active->widget())->Caption(), "1:Window1");
}

TEST_F(MainFrmDevice, ThePortChosenIsShownAndWrittenToTheConfiguration) {
  test::SetClipboard(model::kNewCommand);
  {
    RecordingShell shell;
    shell->show();
    shell.dialogAnswer = [&](QDialog* dialog) {
      auto* port = qobject_cast<comm::TsetCOMpro*>(dialog);
      if (port == nullptr) return static_cast<int>(QDialog::Rejected);
      port->PortList()->setCurrentIndex(2);
      return static_cast<int>(QDialog::Accepted);
    };
    QAction* ports = shell->Command("PortSettings1");
    EXPECT_EQ(ports->shortcut(), QKeySequence(Qt::Key_F5));
    const QString protocol = shell->StatusText(2);
    ports->trigger();
    EXPECT_EQ(shell->PortIndex(), 2);
    EXPECT_EQ(shell->StatusText(kStatusPortPanel), " COM3");
    EXPECT_EQ(shell->StatusText(2), protocol) << "the protocol stays in its panel";
  }
  Result<ConfigurationRead> written = ReadConfiguration(platform::ConfigFilePath());
  ASSERT_TRUE(written) << written.message();
  EXPECT_EQ(written->configuration.ComPort, 2);
}

// The value of `path` in a shipped language file.
QString LanguageLine(const char* file, const QString& path) {
  QFile in(QString::fromStdString((platform::ProgramDir() / "lang" / file).string()));
  if (!in.open(QIODevice::ReadOnly)) return {};
  for (const QString& line : QString::fromUtf8(in.readAll()).split('\n')) {
    if (line.startsWith(path + '=')) return line.mid(path.size() + 1);
  }
  return {};
}

TEST_F(MainFrmDevice, TheLanguageSwitchReachesTheSettingsAndDeviceForms) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  const std::map<QString, QWidget*> forms = {
      {"SystemSetFor", shell->Dialog<params::TSystemSetFor>()}, {"AlarmSetFrm", shell->Dialog<params::TAlarmSetFrm>()},
      {"KeyLedFrm", shell->Dialog<params::TKeyLedFrm>()},            {"CompileCheckFrm", shell->Dialog<compiler::TCompileCheckFrm>()},
      {"setCOMpro", shell->Dialog<comm::TsetCOMpro>()},              {"DownloadForm", shell->Dialog<comm::TDownloadForm>()},
      {"FirmwareFrm", shell->Dialog<comm::TFirmwareFrm>()}};
  for (const bool chinese : {false, true}) {
    shell->SetLanguage(chinese);
    for (const auto& [name, form] : forms) {
      const QString expected = LanguageLine(chinese ? "apchs.ini" : "apeng.ini", name + ".Caption");
      ASSERT_FALSE(expected.isEmpty()) << name.toStdString();
      EXPECT_EQ(form->windowTitle(), expected) << name.toStdString();
    }
  }
  EXPECT_TRUE(shell.messages.empty()) << shell.messages.front();
}

}  // namespace
}  // namespace dravik::app
