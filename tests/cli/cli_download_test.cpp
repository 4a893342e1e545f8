// dravik-cli download into the emulated panel on a pseudo-terminal, and package.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

TEST(CliDownload, AProjectReachesTheEmulatedPanel) {
  TempDir dir;
  const std::string project = (dir / "p.QX3").string();
  ASSERT_EQ(RunCli({"new", project}).status, 0);
  ASSERT_EQ(RunCli({"compile", project, "-o", (dir / "QX.bin").string()}).status, 0);

  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--out", (dir / "received").string()});
  const std::string device = panel.FirstLine();
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;

  test::CliRun run = RunCli({"download", project, "--port", device}, 120);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("[100%]"), std::string::npos) << run.err;
  panel.Stop();

  const auto sent = test::ReadAll(dir / "QX.bin");
  auto received = test::ReadAll(dir / "received");
  ASSERT_GE(received.size(), sent.size());
  received.resize(sent.size());
  EXPECT_EQ(received, sent);
}

TEST(CliDownload, ASilentPanelEndsWithTheSearchFailure) {
  TempDir dir;
  test::WriteAll(dir / "image.bin", std::vector<std::uint8_t>(100, 0x5A));
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--silent"});
  const std::string device = panel.FirstLine();
  test::CliRun run = RunCli({"download", (dir / "image.bin").string(), "--port", device}, 120);
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(run.err.empty());
}

TEST(CliDownload, AMissingPortSaysWhy) {
  TempDir dir;
  test::WriteAll(dir / "image.bin", std::vector<std::uint8_t>(100, 0x5A));
  test::CliRun run =
      RunCli({"download", (dir / "image.bin").string(), "--port", "/dev/ttyNOPE9"}, 60);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("/dev/ttyNOPE9"), std::string::npos) << run.err;
}

TEST(CliFirmware, WithoutAnImageItAsksForOne) {
  test::CliRun run = RunCli({"firmware", "--port", "/dev/null"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--image"), std::string::npos) << run.err;
}

TEST(CliPackage, HoldsTheCompiledImage) {
  TempDir dir;
  const std::string project = (dir / "p.QX3").string();
  ASSERT_EQ(RunCli({"new", project}).status, 0);
  ASSERT_EQ(RunCli({"compile", project, "-o", (dir / "QX.bin").string()}).status, 0);
  test::CliRun run = RunCli({"package", project, "--out", (dir / "pkg").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadAll(dir / "pkg" / "Dat.bin"), test::ReadAll(dir / "QX.bin"));
}

}  // namespace
}  // namespace dravik
