// dravik-cli firmware against the emulated boot loader on a pseudo-terminal: what it
// flashes, what it refuses before the port opens, and how a port that does not open reads.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

// A firmware file for the panel's STM32: stack at the top of 20 KB of SRAM, reset handler
// at 0x08000101 (Thumb), then code.
std::vector<std::uint8_t> Application(std::size_t size) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 29 + 7);
  const std::uint8_t vectors[] = {0x00, 0x50, 0x00, 0x20, 0x01, 0x01, 0x00, 0x08};
  std::copy(std::begin(vectors), std::end(vectors), image.begin());
  return image;
}

TEST(CliFirmware, WithoutAnImageItAsksForOne) {
  test::CliRun run = RunCli({"firmware", "--port", "/dev/null"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--image"), std::string::npos) << run.err;
}

TEST(CliFirmware, AnApplicationIsFlashedWithATidyLog) {
  TempDir dir;
  const auto image = Application(6000);
  test::WriteAll(dir / "fw.bin", image);
  test::BackgroundProcess bootLoader(
      {DRAVIK_PANEL_EMU, "--boot-loader", "--out", (dir / "flash").string()});
  const std::string device = bootLoader.FirstLine();
  test::CliRun run = RunCli(
      {"--lang", "en", "firmware", "--port", device, "--image", (dir / "fw.bin").string()}, 60);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("firmware written (6000 bytes)"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("Erasing..."), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("100%"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("Writing: "), std::string::npos) << "the transfer has its own lines";
  bootLoader.Stop();
  auto flash = test::ReadAll(dir / "flash");
  ASSERT_GE(flash.size(), image.size());
  flash.resize(image.size());
  EXPECT_EQ(flash, image);
}

TEST(CliFirmware, ADeviceImageIsRefusedAsFirmwareUnlessForced) {
  TempDir dir;
  ASSERT_EQ(RunCli({"new", (dir / "p.QX3").string()}).status, 0);
  ASSERT_EQ(RunCli({"compile", (dir / "p.QX3").string(), "-o", (dir / "QX.bin").string()}).status,
            0);
  // Refused before any port is opened: the port named does not even exist.
  test::CliRun refused = RunCli({"--lang", "en", "firmware", "--port", "/dev/ttyNOPE9", "--image",
                                 (dir / "QX.bin").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("does not look like an application for the panel's STM32"),
            std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find("ttyNOPE9"), std::string::npos) << refused.err;

  test::BackgroundProcess bootLoader({DRAVIK_PANEL_EMU, "--boot-loader"});
  const std::string device = bootLoader.FirstLine();
  test::CliRun forced =
      RunCli({"firmware", "--force", "--port", device, "--image", (dir / "QX.bin").string()}, 60);
  EXPECT_EQ(forced.status, 0) << forced.err;
}

TEST(CliFirmware, APortThatDoesNotOpenIsNamedWithItsReason) {
  TempDir dir;
  test::WriteAll(dir / "fw.bin", Application(2000));
  for (const char* language : {"en", "zh"}) {
    test::CliRun run = RunCli({"--lang", language, "firmware", "--port", "/dev/ttyNOPE", "--image",
                               (dir / "fw.bin").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("/dev/ttyNOPE"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("COM1"), std::string::npos) << "not the port the user named";
    EXPECT_EQ(run.err.find("已经被占用"), std::string::npos) << run.err;
    const char* reason = std::string(language) == "en" ? "does not exist" : "不存在";
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace dravik
