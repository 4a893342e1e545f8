// dravik-cli download into the emulated panel on a pseudo-terminal, and package: what is
// sent, what is refused before the port opens, how progress and failures read, and Ctrl+C.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// What a log of a download shows: each line once, the transfer only going up, no dots.
void ExpectTidyLog(const std::string& err) {
  std::set<std::string> seen;
  int lastPercent = -1;
  for (const std::string& line : Lines(err)) {
    EXPECT_TRUE(seen.insert(line).second) << "printed twice: " << line << "\n" << err;
    EXPECT_EQ(line.find(".."), std::string::npos) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << "a log is not a terminal: " << line;
    const std::size_t percent = line.find('%');
    if (percent == std::string::npos || percent > 4) continue;
    const int value = std::stoi(line.substr(0, percent));
    EXPECT_GT(value, lastPercent) << line;
    lastPercent = value;
  }
}

// A project compiled into a device image, as `dravik-cli compile` writes it.
struct CompiledProject {
  CompiledProject() {
    EXPECT_EQ(RunCli({"new", project.string()}).status, 0);
    EXPECT_EQ(RunCli({"compile", project.string(), "-o", image.string()}).status, 0);
  }
  TempDir dir;
  fs::path project = dir / "p.QX3";
  fs::path image = dir / "QX.bin";
};

TEST(CliDownload, AProjectReachesTheEmulatedPanel) {
  CompiledProject compiled;
  const TempDir& dir = compiled.dir;
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--out", (dir / "received").string()});
  const std::string device = panel.FirstLine();
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;

  test::CliRun run =
      RunCli({"--lang", "en", "download", compiled.project.string(), "--port", device}, 120);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("downloaded"), std::string::npos) << run.out;
  EXPECT_EQ(Count(run.err, "Searching for the panel"), 1) << run.err;
  EXPECT_EQ(Count(run.err, "100%"), 1) << run.err;
  ExpectTidyLog(run.err);
  panel.Stop();

  const auto sent = test::ReadAll(compiled.image);
  auto received = test::ReadAll(dir / "received");
  ASSERT_GE(received.size(), sent.size());
  received.resize(sent.size());
  EXPECT_EQ(received, sent);
}

TEST(CliDownload, ACompiledImageIsSentAsIs) {
  CompiledProject compiled;
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU});
  const std::string device = panel.FirstLine();
  test::CliRun run = RunCli({"download", compiled.image.string(), "--port", device}, 120);
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST(CliDownload, AFileThatIsNoDeviceImageIsRefusedUnlessForced) {
  TempDir dir;
  // A bitmap: "BM", its size, and pixels.
  std::vector<std::uint8_t> bitmap(1078, 0x40);
  bitmap[0] = 'B';
  bitmap[1] = 'M';
  bitmap[2] = 1078 & 0xFF;
  bitmap[3] = 1078 >> 8;
  test::WriteAll(dir / "logo.bmp", bitmap);

  // Refused before any port is opened: the port named does not even exist.
  test::CliRun refused =
      RunCli({"--lang", "en", "download", (dir / "logo.bmp").string(), "--port", "/dev/ttyNOPE9"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("is not a device image (QX.bin)"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find("ttyNOPE9"), std::string::npos) << refused.err;

  test::CliRun chinese =
      RunCli({"--lang", "zh", "download", (dir / "logo.bmp").string(), "--port", "/dev/ttyNOPE9"});
  EXPECT_EQ(chinese.status, 1);
  EXPECT_NE(chinese.err.find("这不是编译器生成的画面数据文件"), std::string::npos) << chinese.err;

  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--out", (dir / "received").string()});
  const std::string device = panel.FirstLine();
  test::CliRun forced =
      RunCli({"download", "--force", (dir / "logo.bmp").string(), "--port", device}, 120);
  EXPECT_EQ(forced.status, 0) << forced.err;
  panel.Stop();
  auto received = test::ReadAll(dir / "received");
  ASSERT_GE(received.size(), bitmap.size());
  received.resize(bitmap.size());
  EXPECT_EQ(received, bitmap);
}

TEST(CliDownload, APanelThatNeverConfirmsIsAFailureNamingTheBlocks) {
  CompiledProject compiled;
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--no-ack"});
  const std::string device = panel.FirstLine();
  test::CliRun run =
      RunCli({"--lang", "en", "download", compiled.project.string(), "--port", device}, 120);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out.find("downloaded"), std::string::npos) << run.out;
  EXPECT_EQ(Count(run.err, "did not confirm data block(s) 1 of 1"), 1) << run.err;
  ExpectTidyLog(run.err);

  test::CliRun chinese =
      RunCli({"--lang", "zh", "download", compiled.project.string(), "--port", device}, 120);
  EXPECT_EQ(chinese.status, 1);
  EXPECT_NE(chinese.err.find("面板没有确认收到数据块 1（共 1 块）"), std::string::npos)
      << chinese.err;
}

TEST(CliDownload, ASilentPanelEndsWithTheSearchFailureOnce) {
  TempDir dir;
  test::WriteAll(dir / "image.bin", std::vector<std::uint8_t>(100, 0x5A));
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU, "--silent"});
  const std::string device = panel.FirstLine();
  test::CliRun run = RunCli(
      {"--lang", "en", "download", "--force", (dir / "image.bin").string(), "--port", device}, 120);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Count(run.err, "Searching for the panel"), 1) << run.err;
  EXPECT_EQ(Count(run.err, "Search failed"), 1) << run.err;
  EXPECT_EQ(Lines(run.err).size(), 2u) << run.err;
  ExpectTidyLog(run.err);
}

TEST(CliDownload, AMissingPortIsNamedWithItsReasonOnce) {
  CompiledProject compiled;
  test::CliRun run =
      RunCli({"--lang", "en", "download", compiled.image.string(), "--port", "/dev/ttyNOPE9"}, 60);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Count(run.err, "/dev/ttyNOPE9"), 1) << run.err;
  EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("COM1"), std::string::npos) << run.err;
}

// dravik-cli running beside the test, its stderr going to `errFd` (a file or a terminal).
class BackgroundCli {
 public:
  BackgroundCli(const std::vector<std::string>& args, int errFd) {
    pid_ = ::fork();
    if (pid_ == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(errFd, 2);
      std::vector<std::string> copies = args;
      std::vector<char*> argv{const_cast<char*>(DRAVIK_CLI)};
      for (auto& arg : copies) argv.push_back(arg.data());
      argv.push_back(nullptr);
      ::execv(DRAVIK_CLI, argv.data());
      _exit(127);
    }
  }
  ~BackgroundCli() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  void Interrupt() { ::kill(pid_, SIGINT); }
  // The exit status, or -1 when it did not exit by itself in time.
  int Wait(std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() >= deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  pid_t pid_ = -1;
};

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(CliDownload, CtrlCStopsBetweenBlocksAndSaysThePanelIsIncomplete) {
  TempDir dir;
  test::WriteAll(dir / "image.bin", std::vector<std::uint8_t>(20000, 0x33));  // 10 blocks
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU});
  const std::string device = panel.FirstLine();
  const fs::path errFile = dir / "err";
  const int errFd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  BackgroundCli cli(
      {"--lang", "en", "download", "--force", (dir / "image.bin").string(), "--port", device},
      errFd);
  ::close(errFd);

  // Interrupted once the first block is in.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (Slurp(errFile).find("10%") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_NE(Slurp(errFile).find("10%"), std::string::npos) << Slurp(errFile);
  cli.Interrupt();
  EXPECT_EQ(cli.Wait(std::chrono::seconds(30)), 1);
  const std::string err = Slurp(errFile);
  EXPECT_NE(err.find("The download was cancelled after block "), std::string::npos) << err;
  EXPECT_NE(err.find(" of 10. The screens on the panel are incomplete"), std::string::npos) << err;
  EXPECT_EQ(err.find("100%"), std::string::npos) << err;
}

TEST(CliDownload, OnATerminalProgressIsOneLineRewrittenInPlace) {
  CompiledProject compiled;
  test::BackgroundProcess panel({DRAVIK_PANEL_EMU});
  const std::string device = panel.FirstLine();

  // Standard error on a pseudo-terminal of its own, read here from the master side.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  BackgroundCli cli({"--lang", "en", "download", compiled.project.string(), "--port", device},
                    terminal);
  ::close(terminal);

  // Read until the program has ended and the terminal holds nothing more (reads then fail
  // or come back empty).
  std::string shown;
  int status = -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{master, POLLIN, 0};
    ssize_t n = 0;
    if (::poll(&ready, 1, 20) > 0) {
      char buffer[512];
      n = ::read(master, buffer, sizeof buffer);
      if (n > 0) shown.append(buffer, static_cast<std::size_t>(n));
    }
    if (status < 0) status = cli.Wait(std::chrono::seconds(0));
    if (status >= 0 && n <= 0) break;
  }
  ::close(master);
  EXPECT_EQ(status, 0) << shown;
  // The terminal turns "\n" into "\r\n"; apart from that the whole progress is one line.
  EXPECT_EQ(Count(shown, "\n"), 1) << shown;
  EXPECT_GT(Count(shown, "\r"), 2) << shown;
  EXPECT_NE(shown.find("Searching for the panel (serial setting 1 of 32)"), std::string::npos)
      << shown;
  EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\x1b[K"), std::string::npos) << "the rest of a longer line is cleared";
}

TEST(CliPackage, HoldsTheCompiledImage) {
  CompiledProject compiled;
  test::CliRun run =
      RunCli({"package", compiled.project.string(), "--out", (compiled.dir / "pkg").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadAll(compiled.dir / "pkg" / "Dat.bin"), test::ReadAll(compiled.image));
}

}  // namespace
}  // namespace dravik
