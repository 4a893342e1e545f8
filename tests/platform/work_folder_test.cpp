// The work folder holds what every new project and every download takes from it, so only
// a folder no one else can have written to is used.

#include <gtest/gtest.h>

#include <ostream>
#include <stdlib.h>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "platform/paths.h"
#include "support/temp_dir.h"

namespace dravik::platform {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr uid_t kNobody = 65534;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

// WorkDir() with DRAVIK_WORKDIR naming `folder`; the test program's own folder afterwards.
Result<fs::path> WorkDirAt(const fs::path& folder) {
  const std::string previous = std::getenv("DRAVIK_WORKDIR");
  setenv("DRAVIK_WORKDIR", folder.c_str(), 1);
  Result<fs::path> work = WorkDir();
  setenv("DRAVIK_WORKDIR", previous.c_str(), 1);
  return work;
}

struct Planted {
  const char* name;
  std::function<bool(const fs::path& folder)> make;  // false: cannot be made here
  const char* reason;                                // in the English message
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const Planted& c, std::ostream* os) { *os << c.name; }

class UntrustedWorkFolder : public testing::TestWithParam<Planted> {};

TEST_P(UntrustedWorkFolder, IsRefusedWithTheFolderTheReasonAndTheWayOut) {
  TempDir dir;
  const fs::path folder = dir / "dravik-1000";
  if (!GetParam().make(folder)) GTEST_SKIP() << "needs root to give a folder to another user";

  const Result<fs::path> trusted = TrustedWorkFolder(folder);
  ASSERT_FALSE(trusted);
  const std::string english = trusted.message(false), chinese = trusted.message(true);
  EXPECT_NE(english.find(folder.string()), std::string::npos) << english;
  EXPECT_NE(english.find(GetParam().reason), std::string::npos) << english;
  EXPECT_NE(english.find("DRAVIK_WORKDIR"), std::string::npos) << english;
  EXPECT_NE(chinese.find("工作文件夹"), std::string::npos) << chinese;

  // The same check guards an explicitly chosen folder.
  EXPECT_FALSE(WorkDirAt(folder));
}

INSTANTIATE_TEST_SUITE_P(
    Planted, UntrustedWorkFolder,
    testing::Values(
        Planted{"OwnedByAnotherUser",
                [](const fs::path& folder) {
                  return ::geteuid() == 0 && ::mkdir(folder.c_str(), 0700) == 0 &&
                         ::chown(folder.c_str(), kNobody, kNobody) == 0;
                },
                "belongs to another user"},
        Planted{"WorldWritable",
                [](const fs::path& folder) {
                  return ::mkdir(folder.c_str(), 0700) == 0 && ::chmod(folder.c_str(), 0777) == 0;
                },
                "other users can write to it"},
        Planted{"SymbolicLink",
                [](const fs::path& folder) {
                  fs::create_directory(folder.parent_path() / "elsewhere");
                  return ::symlink("elsewhere", folder.c_str()) == 0;
                },
                "symbolic link"},
        Planted{"FileInItsPlace",
                [](const fs::path& folder) {
                  test::WriteText(folder, "not a folder");
                  return true;
                },
                "not a folder"}),
    [](const testing::TestParamInfo<Planted>& info) { return std::string(info.param.name); });

TEST(WorkFolder, OursReadableByOthersIsMadePrivate) {
  TempDir dir;
  const fs::path readable = dir / "readable";
  ASSERT_EQ(::mkdir(readable.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(readable.c_str(), 0755), 0);
  const Result<fs::path> work = WorkDirAt(readable);
  ASSERT_TRUE(work) << work.message();
  EXPECT_EQ(ModeOf(readable), 0700u);
}

}  // namespace
}  // namespace dravik::platform
