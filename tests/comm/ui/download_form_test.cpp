#include "comm/ui/download_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "comm/ui/device_dialog_fixture.h"
#include "comm/ui/emulated_panel.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"
#include "platform/paths.h"

namespace dravik::comm {
namespace {

using test::EmulatedPanel;
using test::PanelEmulator;
using test::PanelOptions;
using test::RecordingSink;
using test::Shown;
using test::WaitFor;

bool StartsWith(const QString& text, const char* prefix) {
  return text.startsWith(QString::fromUtf8(prefix));
}

std::vector<std::uint8_t> Sample(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

class DownloadFormTest : public testing::Test {
 protected:
  DownloadFormTest() {
    test::EnsureApplication();
    form.SetDesktopHooks(sink.Sink());
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
  EXPECT_EQ(sink.boxes[0].text, ui::LineText(warning.english).toStdString());

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
