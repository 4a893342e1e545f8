#include "comm/ui/firmware_frm.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <algorithm>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "comm/ui/device_dialog_fixture.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/emulated_line.h"
#include "platform/serial_port_posix.h"

namespace dravik::comm {
namespace {

using test::BootLoaderEmulator;
using test::RecordingSink;
using test::WaitFor;

bool StartsWith(const QString& text, const char* prefix) {
  return text.startsWith(QString::fromUtf8(prefix));
}

class FirmwareFrmTest : public testing::Test {
 protected:
  FirmwareFrmTest() : line(bootLoader), ports(ComPortMap::Single(line.SlavePath())) {
    test::EnsureApplication();
    form.SetDesktopHooks(sink.Sink());
  }
  void SetUp() override {
    if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  }

  // A firmware file of `size` bytes, starting like an application for the panel (stack
  // in SRAM, reset vector odd and in flash) unless `application` is false; the dialog
  // opened with it on COM1.
  std::vector<std::uint8_t> Open(std::size_t size, bool application = true) {
    std::vector<std::uint8_t> image(size);
    for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 5);
    if (application) {
      const std::uint8_t vectors[] = {0x00, 0x50, 0x00, 0x20, 0x01, 0x01, 0x00, 0x08};
      std::copy(std::begin(vectors), std::end(vectors), image.begin());
    }
    test::WriteAll(dir / "firmware.bin", image);
    form.Prepare(ports, 0, dir / "firmware.bin");
    form.open();
    return image;
  }

  bool FlashHolds(const std::vector<std::uint8_t>& image) {
    std::lock_guard lock(line.Mutex());
    const auto& flash = bootLoader.Flash();
    return flash.size() >= image.size() && std::equal(image.begin(), image.end(), flash.begin());
  }

  test::WithApplication application;
  test::TempDir dir;
  BootLoaderEmulator bootLoader;
  test::EmulatedLine line;
  ComPortMap ports;
  RecordingSink sink;
  TFirmwareFrm form;
};

TEST_F(FirmwareFrmTest, UpgradeRunsOnWhenTheUserDoesNotStopIt) {
  const auto image = Open(16 * 1024);
  EXPECT_EQ(form.Label()->text().toStdString(), "就绪...");
  form.StartButton()->click();
  EXPECT_FALSE(form.StartButton()->isEnabled());
  ASSERT_TRUE(WaitFor([&] { return StartsWith(form.Label()->text(), "写进度: "); }));

  sink.answers.push_back(QMessageBox::No);
  form.reject();
  ASSERT_EQ(sink.questions.size(), 1u);
  EXPECT_EQ(sink.questions[0], sink.Sink().Text(StopFirmwareQuestion()).toStdString());
  EXPECT_TRUE(form.isVisible());

  ASSERT_TRUE(WaitFor([&] { return !form.Running(); }, 15000));
  EXPECT_EQ(form.Label()->text().toStdString(), "上载完成！");
  EXPECT_EQ(form.LastOutcome()->end, FirmwareEnd::Succeeded);
  EXPECT_EQ(form.ProgressBar()->toolTip().toStdString(), "Boot:2.2");
  EXPECT_TRUE(FlashHolds(image));
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.StartButton()->isEnabled());

  form.reject();  // nothing runs: no question
  EXPECT_EQ(sink.questions.size(), 1u);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(FirmwareFrmTest, ClosingDuringTheUpgradeAsksThenStopsAndClosesThePort) {
  const auto image = Open(100 * 1024);
  form.StartButton()->click();
  ASSERT_TRUE(WaitFor([&] { return StartsWith(form.Label()->text(), "写进度: "); }));

  form.close();  // the window's close box
  ASSERT_EQ(sink.questions.size(), 1u);
  EXPECT_TRUE(form.Stopping());
  EXPECT_EQ(form.Label()->text().toStdString(), "正在停止更新。。。");
  ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }));
  EXPECT_FALSE(form.Running());
  EXPECT_EQ(form.LastOutcome()->end, FirmwareEnd::Cancelled);

  // Nothing goes on behind the closed window: the line stays quiet and the port is free.
  const std::uint64_t consumed = line.Consumed();
  QTest::qWait(100);
  EXPECT_EQ(line.Consumed(), consumed);
  platform::PosixSerialPort port;
  const std::optional<PortOpenError> error = port.Open(line.SlavePath());
  EXPECT_FALSE(error.has_value()) << error->Message().english;
  EXPECT_FALSE(FlashHolds(image)) << "the upgrade was meant to stop half-way";
}

TEST_F(FirmwareFrmTest, PortThatDoesNotOpenIsReported) {
  test::WriteAll(dir / "firmware.bin", std::vector<std::uint8_t>(100, 1));
  form.Prepare(ComPortMap::Single((dir / "no-such-tty").string()), 0, dir / "firmware.bin");
  form.open();
  form.StartButton()->click();
  ASSERT_TRUE(WaitFor([&] { return form.LastOutcome().has_value(); }));

  EXPECT_EQ(form.LastOutcome()->end, FirmwareEnd::PortOpenFailed);
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].caption, "串口错误");
  EXPECT_EQ(sink.boxes[0].icon, QMessageBox::Information);
  EXPECT_TRUE(sink.boxes[0].text.starts_with(
      "当前串口号 COM1 已经被占用，或其它错误 ！\n请选择其它串口，或检查串口设置是否正确。"));
  EXPECT_TRUE(form.StartButton()->isEnabled());
}

TEST_F(FirmwareFrmTest, AFileThatIsNoApplicationGoesOnlyWhenTheUserInsists) {
  Open(4 * 1024, false);
  sink.answers.push_back(QMessageBox::No);
  form.StartButton()->click();
  ASSERT_EQ(sink.questions.size(), 1u);
  EXPECT_NE(sink.questions[0].find("仍然写入"), std::string::npos) << sink.questions[0];
  EXPECT_FALSE(form.Running());
  EXPECT_EQ(line.Consumed(), 0u) << "the port was not even opened";

  sink.answers.push_back(QMessageBox::Yes);
  form.StartButton()->click();
  EXPECT_TRUE(form.Running());
  ASSERT_TRUE(WaitFor([&] { return !form.Running(); }, 15000));
}

TEST_F(FirmwareFrmTest, WithoutAFirmwareImageNothingStarts) {
  int asked = 0;
  form.SetFirmwareChooser([&]() -> std::optional<std::filesystem::path> {
    ++asked;
    return std::nullopt;
  });
  form.Prepare(ports, 3, std::nullopt);
  form.open();
  EXPECT_EQ(form.PortList()->currentIndex(), 3);
  form.StartButton()->click();
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(form.Running());
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, sink.Sink().Text(NoFirmwareImageMessage()).toStdString());
  EXPECT_EQ(line.Consumed(), 0u);
}

}  // namespace
}  // namespace dravik::comm
