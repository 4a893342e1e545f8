#include "comm/ui/download_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "comm/ui/device_commands.h"
#include "devui/devui_fixture.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"
#include "platform/paths.h"

namespace dravik::comm {
namespace {

using test::PanelEmulator;
using test::PanelOptions;
using test::RecordingSink;
using test::WaitFor;

// A panel emulator on a pseudo-terminal; COM1 names its line.
struct EmulatedPanel {
  explicit EmulatedPanel(PanelOptions options = {})
      : panel(std::move(options)), line(panel), ports(ComPortMap::Single(line.SlavePath())) {}

  template <class F>
  auto Observe(F f) {
    std::lock_guard lock(line.Mutex());
    return f(panel);
  }

  PanelEmulator panel;
  test::EmulatedLine line;
  ComPortMap ports;
};

// Every label and progress value the dialog showed, in order (repeats left out).
struct Shown {
  std::vector<std::string> labels;
  std::vector<int> progress;

  void Watch(TDownloadForm& form) {
    QObject::connect(&form, &TDownloadForm::progressShown, &form,
                     [this](const DownloadProgress& p) {
                       if (labels.empty() || labels.back() != p.label.chinese)
                         labels.push_back(p.label.chinese);
                       if (progress.empty() || progress.back() != p.progressBar)
                         progress.push_back(p.progressBar);
                     });
  }
  bool SawLabel(const std::string& label) const {
    return std::find(labels.begin(), labels.end(), label) != labels.end();
  }
};

bool StartsWith(const QString& text, const char* prefix) {
  return text.startsWith(QString::fromUtf8(prefix));
}

std::vector<std::uint8_t> Sample(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

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
  context.hooks.messages = sink.Sink();
  context.hooks.showStatus = [&](int panel, const QString& text) {
    status[panel] = text.toStdString();
  };
  context.hooks.execDialog = [&](QDialog* dialog) {
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
  context.hooks.messages = sink.Sink();
  context.hooks.showStatus = [&](int panel, const QString& text) {
    status[panel] = text.toStdString();
  };
  context.hooks.execDialog = [&](QDialog* dialog) { return dialog->exec(); };

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

class DownloadFormTest : public testing::Test {
 protected:
  DownloadFormTest() {
    test::EnsureApplication();
    form.SetMessageSink(sink.Sink());
    shown.Watch(form);
  }
  // Opens the dialog on `bytes` as the compiled image without blocking the test.
  void Open(const ComPortMap& ports, const std::vector<std::uint8_t>& bytes) {
    form.Prepare(bytes, ports, 0);
    form.open();
  }

  test::WithApplication application;
  test::TempDir dir;
  RecordingSink sink;
  TDownloadForm form;
  Shown shown;
};

TEST_F(DownloadFormTest, CancelDuringTheSearchEndsWithItsLabelAndASecondPressCloses) {
  PanelOptions silent;
  silent.silent = true;
  EmulatedPanel emulated(silent);
  if (!emulated.line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  Open(emulated.ports, Sample(100));
  EXPECT_EQ(form.Label()->text().toStdString(), "就绪");

  ASSERT_TRUE(WaitFor([&] { return StartsWith(form.Label()->text(), "搜索设备"); }));
  form.CancelButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !form.Running(); }));

  EXPECT_EQ(form.Label()->text().toStdString(), "搜索失败！");
  ASSERT_TRUE(form.LastOutcome().has_value());
  EXPECT_EQ(form.LastOutcome()->end, DownloadEnd::Cancelled);
  EXPECT_LT(emulated.line.Consumed(), 32u * 15u) << "the search went on after Cancel";
  EXPECT_TRUE(form.isVisible()) << "a failed search leaves the dialog open";
  EXPECT_TRUE(sink.boxes.empty());

  form.CancelButton()->click();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(DownloadFormTest, PortThatDoesNotOpenSaysWhyAndOnePressCloses) {
  Open(ComPortMap::Single((dir / "no-such-tty").string()), Sample(100));
  ASSERT_TRUE(WaitFor([&] { return form.LastOutcome().has_value(); }));

  EXPECT_EQ(form.Label()->text().toStdString(), "打开串口失败!");
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].caption, "Dravik");
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Information);
  EXPECT_TRUE(sink.boxes[0].text.starts_with(
      "当前串口号已经被占用，或其它错误 ！\n请选择其它串口，或检查串口设置是否正确。"))
      << sink.boxes[0].text;
  EXPECT_NE(sink.boxes[0].text.find("no-such-tty"), std::string::npos) << "the reason";

  form.CancelButton()->click();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(DownloadFormTest, UnconfirmedBlocksLeaveTheDialogOpenWithAFailure) {
  PanelOptions options;
  options.acknowledge = false;
  EmulatedPanel emulated(options);
  if (!emulated.line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  sink.chinese = false;
  Open(emulated.ports, Sample(1000));

  ASSERT_TRUE(WaitFor([&] { return form.LastOutcome().has_value(); }, 15000));
  EXPECT_EQ(form.LastOutcome()->end, DownloadEnd::Unconfirmed);
  EXPECT_EQ(form.LastOutcome()->unacknowledgedBlocks, std::vector<int>{51});
  const Bilingual warning = UnacknowledgedBlocksWarning({51}, 1);
  EXPECT_TRUE(form.isVisible()) << "not a finished download: the dialog stays";
  EXPECT_EQ(form.Label()->text().toStdString(), sink.Sink().Text(warning).toStdString());
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Warning);
  EXPECT_EQ(sink.boxes[0].text, compiler::BoxText(warning.english).toStdString());

  form.CancelButton()->click();
  form.CancelButton()->click();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(DownloadFormTest, CancelBetweenBlocksSaysThePanelIsIncompleteAndStays) {
  EmulatedPanel emulated;
  if (!emulated.line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  bool cancelled = false;
  QObject::connect(&form, &TDownloadForm::progressShown, &form, [&](const DownloadProgress& p) {
    if (p.blockNumber == 51 && !cancelled) form.CancelButton()->click();
    cancelled = cancelled || p.blockNumber == 51;
  });
  Open(emulated.ports, Sample(5000));

  ASSERT_TRUE(WaitFor([&] { return form.LastOutcome().has_value(); }, 15000));
  EXPECT_EQ(form.LastOutcome()->end, DownloadEnd::Cancelled);
  EXPECT_TRUE(form.isVisible()) << "a cancelled download does not look finished";
  EXPECT_EQ(form.Label()->text().toStdString(), DownloadCancelledText(1, 3).chinese);
  EXPECT_EQ(form.ProgressBar()->value(), 0);
  EXPECT_TRUE(sink.boxes.empty());
  emulated.Observe([](const PanelEmulator& p) { EXPECT_EQ(p.Blocks().size(), 1u); });

  form.CancelButton()->click();  // the flag is set: this press closes
  EXPECT_FALSE(form.isVisible());
}

TEST_F(DownloadFormTest, EscapeWhileSearchingStopsTheSearchThenCloses) {
  PanelOptions silent;
  silent.silent = true;
  EmulatedPanel emulated(silent);
  if (!emulated.line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  Open(emulated.ports, Sample(100));
  ASSERT_TRUE(WaitFor([&] { return form.Running(); }));

  form.reject();
  EXPECT_TRUE(form.isVisible()) << "the dialog waits for the worker to let go of the port";
  ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }));
  EXPECT_FALSE(form.Running());
  EXPECT_EQ(form.LastOutcome()->end, DownloadEnd::Cancelled);
}

}  // namespace
}  // namespace dravik::comm
