// velnor, the customer updater, as a script runs it: headless with --port, finding the
// Dat.bin that the update package keeps beside it.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

#ifdef DRAVIK_VELNOR

// An update package made by `dravik-cli package`, with the updater of this build in it.
struct UpdatePackage {
  UpdatePackage() {
    EXPECT_EQ(RunCli({"new", (dir / "line1.QX3").string()}).status, 0);
    EXPECT_EQ(RunCli({"compile", (dir / "line1.QX3").string(), "-o", image.string()}).status, 0);
    fs::create_directory(folder);
    fs::copy_file(DRAVIK_VELNOR, folder / "velnor");
    fs::copy_file(image, folder / "Dat.bin");
  }
  TempDir dir;
  fs::path image = dir / "QX.bin";
  fs::path folder = dir / "line1";
};

TEST(VelnorProgram, LoadsTheDatBinBesideItIntoThePanel) {
  UpdatePackage package;
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--out", (package.dir / "received").string()});
  const std::string device = panel.FirstLine();
  test::CliRun run = test::RunProgram((package.folder / "velnor").string(), {"--port", device},
                                      {{{"LC_ALL", "C.UTF-8"}}, {}}, 60);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Update complete"), std::string::npos) << run.out;
  panel.Stop();
  const auto sent = test::ReadAll(package.image);
  const auto received = test::ReadAll(package.dir / "received");
  ASSERT_GE(received.size(), sent.size());
  EXPECT_TRUE(std::equal(sent.begin(), sent.end(), received.begin()));
}

TEST(VelnorProgram, WithoutDatBinItSaysSoAndFails) {
  UpdatePackage package;
  fs::remove(package.folder / "Dat.bin");
  test::CliRun run = test::RunProgram((package.folder / "velnor").string(), {"--port", "/dev/null"},
                                      {{{"LC_ALL", "C.UTF-8"}}, {}});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find((package.folder / "Dat.bin").string() + " was not found"),
            std::string::npos)
      << run.err;
}

TEST(VelnorProgram, UsageErrorsAndHelp) {
  EXPECT_EQ(test::RunProgram(DRAVIK_VELNOR, {"--port"}).status, 2);
  EXPECT_EQ(test::RunProgram(DRAVIK_VELNOR, {"--bogus"}).status, 2);
  test::CliRun help = test::RunProgram(DRAVIK_VELNOR, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--port DEVICE"), std::string::npos);
}

TEST(VelnorProgram, ThePackageCommandCopiesTheUpdaterBesideIt) {
  TempDir dir;
  ASSERT_EQ(RunCli({"new", (dir / "p.QX3").string()}).status, 0);
  test::CliRun run = RunCli({"package", (dir / "p.QX3").string(), "--out", (dir / "pkg").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  // dravik-cli and velnor are built into the same folder.
  EXPECT_TRUE(run.err.empty()) << run.err;
  EXPECT_EQ(test::ReadAll(dir / "pkg" / "velnor"), test::ReadAll(DRAVIK_VELNOR));
}

#endif

}  // namespace
}  // namespace dravik
