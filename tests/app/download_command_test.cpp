#include "app/device_commands.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QProgressBar>
#include <QTimer>

#include "comm/ui/device_dialog_fixture.h"
#include "comm/ui/download_form.h"
#include "comm/ui/emulated_panel.h"
#include "platform/paths.h"

namespace dravik::app {
namespace {

using test::EmulatedPanel;
using test::PanelEmulator;
using test::PanelOptions;
using test::RecordingSink;
using test::Shown;
using test::WaitFor;
using namespace comm;

TEST(DownloadCommand, CompilesAndSendsTheProjectThroughTheDialog) {
  test::EnsureApplication();
  test::ProjectFixture project;
  ASSERT_TRUE(project.loadError.empty()) << project.loadError;
  EmulatedPanel emulated;
  if (!emulated.line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const int slot = project.Place(1, 2);
  project.image->Page(1).ElemWordA[slot] = 100;

  RecordingSink sink;
  compiler::TCompileCheckFrm check;
  TDownloadForm form;
  Shown shown;
  shown.Watch(form);
  std::map<int, std::string> status;
  bool closedByItself = false;

  DeviceCommandContext context;
  context.session = &project.session;
  context.lists = &project.lists;
  context.checkFrm = &check;
  context.ports = emulated.ports;
  context.hooks.desktop = sink.Sink();
  context.hooks.desktop.showStatus = [&](int panel, const QString& text) {
    status[panel] = text.toStdString();
  };
  context.hooks.desktop.execDialog = [&](QDialog* dialog) {
    // Whatever happens to QX.bin in the work folder once it is written, the panel gets
    // what was compiled.
    test::WriteText(*platform::WorkDir() / "QX.bin", "swapped by someone else");
    // A dialog that fails to close by itself is closed after a while, and the test says so.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, dialog, &QDialog::reject);
    guard.start(20000);
    const int result = dialog->exec();
    closedByItself = guard.isActive();
    return result;
  };

  const PreambleResult result = RunDownloadCommand(context, form);
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(closedByItself);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(status[0], "编译成功!");
  EXPECT_TRUE(sink.boxes.empty()) << sink.boxes.front().text;
  ASSERT_TRUE(form.LastOutcome().has_value());
  EXPECT_TRUE(form.LastOutcome()->ok()) << form.LastOutcome()->label.english;

  // The labels of a download, in order, and the progress up to 100 and back to 0.
  ASSERT_GE(shown.labels.size(), 3u);
  EXPECT_EQ(shown.labels[0], "搜索设备");
  EXPECT_TRUE(shown.SawLabel("同步成功！"));
  const std::vector<std::uint8_t>& image = result.image;
  EXPECT_EQ(result.imageFile, *platform::WorkDir() / "QX.bin");
  EXPECT_EQ(shown.labels.back(), TransferLabel(image.size(), image.size()));
  EXPECT_NE(std::find(shown.progress.begin(), shown.progress.end(), 100), shown.progress.end());
  EXPECT_EQ(shown.progress.back(), 0);
  EXPECT_EQ(form.ProgressBar()->value(), 0);

  // What the panel received is what was compiled.
  emulated.Observe([&](const PanelEmulator& p) {
    ASSERT_GE(p.Image().size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), p.Image().begin()));
    EXPECT_EQ(p.Blocks().back().lastBlock, kLastBlockFlag);
  });
}

TEST(DownloadCommand, ACancelledDownloadSaysSoInTheStatusBar) {
  test::EnsureApplication();
  test::ProjectFixture project;
  ASSERT_TRUE(project.loadError.empty()) << project.loadError;
  EmulatedPanel emulated;
  if (!emulated.line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  // Enough texts for an image of several blocks.
  for (int page = 1; page <= 4; ++page)
    for (int i = 0; i < 60; ++i) project.Place(page, 1, 10 + (i % 10) * 20, 10 + (i / 10) * 20);

  RecordingSink sink;
  sink.chinese = false;
  compiler::TCompileCheckFrm check;
  TDownloadForm form;
  std::map<int, std::string> status;
  bool cancelled = false;
  QObject::connect(&form, &TDownloadForm::progressShown, &form, [&](const DownloadProgress& p) {
    if (p.blockNumber == 51 && !cancelled) form.BitBtn1Click();
    cancelled = cancelled || p.blockNumber == 51;
  });
  QObject::connect(&form, &TDownloadForm::downloadEnded, &form, [&](const DownloadOutcome&) {
    QTimer::singleShot(0, &form, [&] { form.BitBtn1Click(); });
  });

  DeviceCommandContext context;
  context.session = &project.session;
  context.lists = &project.lists;
  context.checkFrm = &check;
  context.ports = emulated.ports;
  context.hooks.desktop = sink.Sink();
  context.hooks.desktop.showStatus = [&](int panel, const QString& text) {
    status[panel] = text.toStdString();
  };
  context.hooks.desktop.execDialog = [&](QDialog* dialog) { return dialog->exec(); };

  const PreambleResult result = RunDownloadCommand(context, form);
  ASSERT_TRUE(result.ok());
  const std::vector<std::uint8_t>& image = result.image;
  ASSERT_GT(image.size(), 2 * kBlockSize) << "the project must make an image of three blocks";
  ASSERT_TRUE(form.LastOutcome().has_value());
  EXPECT_EQ(form.LastOutcome()->end, DownloadEnd::Cancelled);
  const Bilingual notice = DownloadCancelledText(1, BlockCount(image.size()));
  EXPECT_EQ(status[0], sink.Sink().Text(notice).toStdString()) << "not \"Compiler Succeed!\"";
  EXPECT_NE(status[0].find("cancelled after block 1 of"), std::string::npos) << status[0];
}

}  // namespace
}  // namespace dravik::app
