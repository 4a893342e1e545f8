#include "platform/files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "support/temp_dir.h"

namespace dravik::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

std::size_t FileCount(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(AtomicWrite, ReplacesTheTargetWhole) {
  TempDir dir;
  const Bytes old{1, 2, 3}, fresh{9, 8, 7, 6};
  ASSERT_TRUE(WriteFileAtomic(dir / "p.QX3", old).ok());
  ASSERT_TRUE(WriteFileAtomic(dir / "p.QX3", fresh).ok());
  EXPECT_EQ(ReadAll(dir / "p.QX3"), fresh);
  EXPECT_EQ(FileCount(dir.path()), 1u) << "no temporary file may stay behind";
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoDebris) {
  TempDir dir;
  const Bytes old{1, 2, 3};
  ASSERT_TRUE(WriteFileAtomic(dir / "p.QX3", old).ok());
  Status failed = WriteFileAtomicStreamed(dir / "p.QX3", [](const ByteSink& sink) -> Status {
    sink(Bytes{0xFF, 0xFF});
    return Error{"compression failed half-way"};
  });
  EXPECT_FALSE(failed.ok());
  EXPECT_EQ(failed.message(), "compression failed half-way");
  EXPECT_EQ(ReadAll(dir / "p.QX3"), old);
  EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(AtomicWrite, AnUnwritableFolderIsAClearError) {
  Status failed = WriteFileAtomic("/nonexistent-folder/p.QX3", Bytes{1});
  ASSERT_FALSE(failed.ok());
  EXPECT_NE(failed.message().find("/nonexistent-folder/p.QX3"), std::string::npos);
}

TEST(AtomicWrite, KeepsTheTargetsPermissions) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir / "f", Bytes{1}).ok());
  ::chmod((dir / "f").c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomic(dir / "f", Bytes{2}).ok());
  struct stat info {};
  ::stat((dir / "f").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(CopyNoOverwrite, CopiesOnlyIntoAFreeName) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir / "a.PIC", Bytes{1, 1}).ok());
  ASSERT_TRUE(WriteFileAtomic(dir / "b.PIC", Bytes{2, 2}).ok());

  Result<bool> intoExisting = CopyFileNoOverwrite(dir / "a.PIC", dir / "b.PIC");
  ASSERT_TRUE(intoExisting.ok());
  EXPECT_FALSE(*intoExisting);
  EXPECT_EQ(ReadAll(dir / "b.PIC"), (Bytes{2, 2}));

  Result<bool> fresh = CopyFileNoOverwrite(dir / "a.PIC", dir / "c.PIC");
  ASSERT_TRUE(fresh.ok());
  EXPECT_TRUE(*fresh);
  EXPECT_EQ(ReadAll(dir / "c.PIC"), (Bytes{1, 1}));

  Result<bool> missing = CopyFileNoOverwrite(dir / "none.PIC", dir / "d.PIC");
  ASSERT_TRUE(missing.ok());
  EXPECT_FALSE(*missing);
  EXPECT_FALSE(fs::exists(dir / "d.PIC"));
}

TEST(Paths, WorkDirFollowsTheEnvironmentAndIsPrivate) {
  TempDir dir;
  const std::string previous = std::getenv("DRAVIK_WORKDIR");
  setenv("DRAVIK_WORKDIR", (dir / "work").c_str(), 1);
  Result<fs::path> work = WorkDir();
  setenv("DRAVIK_WORKDIR", previous.c_str(), 1);
  ASSERT_TRUE(work.ok());
  EXPECT_EQ(*work, dir / "work");
  struct stat info {};
  ASSERT_EQ(::stat(work->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(Paths, ConfigFileIsPerUser) {
  EXPECT_EQ(ConfigFilePath().filename(), "Dravik.ini");
  EXPECT_EQ(ConfigFilePath().parent_path().filename(), "dravik");
}

TEST(Paths, WorkDirLockExcludesASecondHolder) {
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
