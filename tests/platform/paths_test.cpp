// Where Dravik keeps things: the work folder ($DRAVIK_WORKDIR, else $XDG_RUNTIME_DIR/dravik,
// else /tmp/dravik-<uid>), used only when no one else can have written to it, its lock, and
// the configuration file.

#include "platform/paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

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

// Sets (or, with nullopt, unsets) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (previous_) {
      setenv(name_, previous_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

// WorkDir() with DRAVIK_WORKDIR naming `folder`; the test program's own folder afterwards.
Result<fs::path> WorkDirAt(const fs::path& folder) {
  const ScopedEnv workDir("DRAVIK_WORKDIR", folder.string());
  return WorkDir();
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
        Planted{"GroupWritable",
                [](const fs::path& folder) {
                  return ::mkdir(folder.c_str(), 0700) == 0 && ::chmod(folder.c_str(), 0770) == 0;
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

TEST(WorkFolder, SessionRuntimeFolderWhenDravikWorkdirIsUnset) {
  TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0700), 0);
  const ScopedEnv workDir("DRAVIK_WORKDIR", std::nullopt);
  const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().string());
  const Result<fs::path> work = WorkDir();
  ASSERT_TRUE(work) << work.message();
  EXPECT_EQ(*work, dir / "dravik");
  EXPECT_EQ(ModeOf(*work), 0700u);
}

TEST(WorkFolder, TmpFolderOfTheUserWithoutARuntimeFolder) {
  const ScopedEnv workDir("DRAVIK_WORKDIR", std::nullopt);
  const ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
  const fs::path expected = "/tmp/dravik-" + std::to_string(::getuid());
  const Result<fs::path> work = WorkDir();
  ASSERT_TRUE(work) << work.message();
  EXPECT_EQ(*work, expected);
  EXPECT_EQ(ModeOf(expected), 0700u);
}

TEST(WorkFolder, DravikWorkdirIsMadePrivateWhenMissing) {
  TempDir dir;
  const Result<fs::path> work = WorkDirAt(dir / "work");
  ASSERT_TRUE(work.ok()) << work.message();
  EXPECT_EQ(*work, dir / "work");
  EXPECT_EQ(ModeOf(*work), 0700u);
}

TEST(Paths, ConfigFileIsPerUser) {
  EXPECT_EQ(ConfigFilePath().filename(), "Dravik.ini");
  EXPECT_EQ(ConfigFilePath().parent_path().filename(), "dravik");
}

TEST(WorkFolder, LockExcludesASecondHolder) {
  TempDir dir;
  Result<WorkDirLock> lock = WorkDirLock::Acquire(dir.path());
  ASSERT_TRUE(lock.ok());
  // flock locks belong to open file descriptions: a second open must not get it.
  const int fd = ::open((dir / "dravik.lock").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
  { WorkDirLock released = std::move(*lock); }
  EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  ::close(fd);
}

}  // namespace
}  // namespace dravik::platform
