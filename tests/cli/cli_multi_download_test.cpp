// dravik-cli download into several emulated panels at once: one progress line per port,
// the closing table, and the exit status that only every confirmed block earns.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

// The table row of `port`, or "" when the output has none.
std::string RowOf(const std::string& out, const std::string& port) {
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(port + " ", 0) == 0) return line;
  }
  return {};
}

struct CompiledImage {
  CompiledImage() {
    EXPECT_EQ(RunCli({"new", (dir / "p.QX3").string()}).status, 0);
    EXPECT_EQ(RunCli({"compile", (dir / "p.QX3").string(), "-o", image.string()}).status, 0);
  }
  TempDir dir;
  fs::path image = dir / "QX.bin";
};

// A panel emulator with the image it received written to `received` when it stops.
struct EmulatedPanel {
  EmulatedPanel(const fs::path& received, std::vector<std::string> options = {}) : out(received) {
    std::vector<std::string> argv{DRAVIK_PANEL_EMU, "--wire-time", "--out", received.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    process = std::make_unique<test::BackgroundProcess>(argv);
    device = process->FirstLine();
  }
  // What the panel took (whole blocks), once it has stopped.
  std::vector<std::uint8_t> Received() {
    process->Stop();
    return test::ReadAll(out);
  }
  fs::path out;
  std::unique_ptr<test::BackgroundProcess> process;
  std::string device;
};

TEST(CliMultiDownload, APanelThatNeverConfirmsFailsTheRunAndTheOthersAreReportedDone) {
  CompiledImage compiled;
  EmulatedPanel first(compiled.dir / "first"), second(compiled.dir / "second"),
      mute(compiled.dir / "mute", {"--no-ack"});
  ASSERT_EQ(first.device.rfind("/dev/pts/", 0), 0u) << first.device;

  test::CliRun run = RunCli({"--lang", "en", "download", compiled.image.string(), "--port",
                             first.device, "--port", second.device, "--port", mute.device},
                            120);
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_NE(run.out.find("port"), std::string::npos) << run.out;
  EXPECT_NE(RowOf(run.out, first.device).find(" done "), std::string::npos) << run.out;
  EXPECT_NE(RowOf(run.out, second.device).find(" done "), std::string::npos) << run.out;
  EXPECT_NE(RowOf(run.out, mute.device).find(" not confirmed "), std::string::npos) << run.out;
  // Every progress line names its port; the failure is told with its port.
  EXPECT_NE(run.err.find(first.device + ": Synchronised!"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(mute.device + ": The panel did not confirm"), std::string::npos)
      << run.err;

  const std::vector<std::uint8_t> image = test::ReadAll(compiled.image);
  for (EmulatedPanel* panel : {&first, &second, &mute}) {
    const std::vector<std::uint8_t> received = panel->Received();
    ASSERT_GE(received.size(), image.size()) << panel->device;
    EXPECT_TRUE(std::equal(image.begin(), image.end(), received.begin())) << panel->device;
  }
}

TEST(CliMultiDownload, APatternTakesEveryMatchingDeviceInOrder) {
  CompiledImage compiled;
  EmulatedPanel one(compiled.dir / "one"), two(compiled.dir / "two");
  // Stable names, as /dev/serial/by-id/ gives them, in the opposite order of the nodes.
  fs::create_directory(compiled.dir / "by-id");
  fs::create_symlink(one.device, compiled.dir / "by-id" / "panel-b");
  fs::create_symlink(two.device, compiled.dir / "by-id" / "panel-a");

  test::CliRun run = RunCli({"--lang", "en", "download", compiled.image.string(), "--ports",
                             (compiled.dir / "by-id" / "panel-*").string()},
                            120);
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::string a = (compiled.dir / "by-id" / "panel-a").string();
  const std::string b = (compiled.dir / "by-id" / "panel-b").string();
  EXPECT_NE(RowOf(run.out, a).find(" done "), std::string::npos) << run.out;
  EXPECT_LT(run.out.find(a), run.out.find(b)) << run.out;
}

TEST(CliMultiDownload, PortsThatCannotAllBeLoadedAreRefusedBeforeAnyOpens) {
  CompiledImage compiled;
  struct Case {
    std::vector<std::string> ports;
    std::string says;
    int status;
  };
  const std::string pattern = (compiled.dir / "nothing-*").string();
  const std::vector<Case> cases{
      {{"--port", "/dev/ttyUSB7", "--port", "/dev/ttyUSB7"}, "named more than once", 2},
      {{"--port", ""}, "usage: dravik-cli download", 2},
      // No adapter plugged in: no panel to load.
      {{"--ports", pattern}, "No device matches " + pattern, 1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--lang", "en", "download", compiled.image.string()};
    args.insert(args.end(), c.ports.begin(), c.ports.end());
    test::CliRun run = RunCli(args);
    EXPECT_EQ(run.status, c.status) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace dravik
