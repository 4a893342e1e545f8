#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

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

template <class T>
Status StatusOf(const Result<T>& result) {
  return result ? Status() : Status(result.error());
}

TEST(FileErrors, NameTheFileInBothLanguagesWithTheSystemsReason) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  struct Case {
    const char* name;
    Status status;
    const char* chinese;
    const char* english;
  };
  const Case cases[] = {
      {"read", StatusOf(ReadFileBytes(dir / "none.QX3")), "无法读取 ", "cannot read "},
      {"write", WriteFileAtomic(dir / "none" / "p.QX3", Bytes{1}), "无法写入 ", "cannot write "},
      {"delete", RemoveFileIfPresent(dir / "folder"), "无法删除 ", "cannot delete "},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.status.ok()) << c.name;
    const Error& error = c.status.error();
    EXPECT_EQ(error.In(true).rfind(c.chinese, 0), 0u) << c.name << ": " << error.In(true);
    EXPECT_EQ(error.In(false).rfind(c.english, 0), 0u) << c.name << ": " << error.In(false);
    EXPECT_NE(error.In(true).find(dir.path().string()), std::string::npos) << c.name;
    // The reason is the system's own text, the same in both.
    EXPECT_EQ(error.In(true).substr(error.In(true).find(": ")),
              error.In(false).substr(error.In(false).find(": ")))
        << c.name;
  }
}

// Three files, the first two there before, the last one new.
class WriteTogether : public testing::Test {
 protected:
  void SetUp() override {
    test::WriteAll(dir / "p.PIC", old);
    test::WriteAll(dir / "p.M", old);
  }
  static FileToWrite File(const fs::path& target, const Bytes& bytes) {
    return {target, [bytes](const ByteSink& sink) -> Status {
              if (!sink(bytes)) return Error{"write failed"};
              return {};
            }};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  TempDir dir;
  const Bytes old{1, 1, 1}, fresh{2, 2};
};

TEST_F(WriteTogether, PutsEveryFileInPlace) {
  const FileToWrite files[] = {File(dir / "p.PIC", fresh), File(dir / "p.M", fresh),
                               File(dir / "p.QX3", fresh)};
  ASSERT_TRUE(WriteFilesTogether(files).ok());
  for (const char* name : {"p.PIC", "p.M", "p.QX3"}) EXPECT_EQ(ReadAll(dir / name), fresh) << name;
  EXPECT_EQ(Names(), (std::vector<std::string>{"p.M", "p.PIC", "p.QX3"}));
}

TEST_F(WriteTogether, AFileThatCannotBeMadeChangesNothing) {
  const FileToWrite files[] = {File(dir / "p.PIC", fresh),
                               {dir / "p.M",
                                [](const ByteSink& sink) -> Status {
                                  sink(Bytes{9});
                                  return Error{"the template cannot be read"};
                                }},
                               File(dir / "p.QX3", fresh)};
  const Status written = WriteFilesTogether(files);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(written.message(), "the template cannot be read");
  EXPECT_EQ(ReadAll(dir / "p.PIC"), old);
  EXPECT_EQ(ReadAll(dir / "p.M"), old);
  EXPECT_EQ(Names(), (std::vector<std::string>{"p.M", "p.PIC"})) << "no debris, no p.QX3";
}

TEST_F(WriteTogether, AFailedRenamePutsBackWhatWasReplaced) {
  // A folder in the way of the last file: its rename fails after the others were done.
  fs::create_directories(dir / "p.QX3" / "inside");
  const FileToWrite files[] = {File(dir / "p.PIC", fresh), File(dir / "p.new", fresh),
                               File(dir / "p.QX3", fresh)};
  const Status written = WriteFilesTogether(files);
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.error().In(true).find("无法写入 " + (dir / "p.QX3").string()),
            std::string::npos)
      << written.error().In(true);
  EXPECT_EQ(ReadAll(dir / "p.PIC"), old);
  EXPECT_EQ(Names(), (std::vector<std::string>{"p.M", "p.PIC", "p.QX3"}))
      << "p.new was not there before; no temporary or kept file stays";
}

// A capped read takes a file up to its limit and refuses anything larger, or anything that
// is no plain file, before reading it.
TEST(CappedRead, ReadsUpToTheLimitAndRefusesMoreWithoutReading) {
  TempDir dir;
  test::WriteAll(dir / "fits.bin", Bytes(100, 7));
  test::WriteAll(dir / "over.bin", Bytes(101, 7));
  ::mkfifo((dir / "pipe").c_str(), 0600);

  const Result<Bytes> fits = ReadFileBytes(dir / "fits.bin", 100);
  ASSERT_TRUE(fits) << fits.message();
  EXPECT_EQ(fits->size(), 100u);

  const Result<Bytes> over = ReadFileBytes(dir / "over.bin", 100);
  ASSERT_FALSE(over);
  for (bool chinese : {true, false}) {
    const std::string& text = over.message(chinese);
    EXPECT_NE(text.find((dir / "over.bin").string()), std::string::npos) << text;
    EXPECT_NE(text.find("101"), std::string::npos) << text;
    EXPECT_NE(text.find("100"), std::string::npos) << text;
  }
  EXPECT_NE(over.message(true), over.message(false));

  // A reader with its own words for the refusal gets them, with the file's size.
  const Result<Bytes> worded = ReadFileBytes(dir / "over.bin", 100, [](std::uintmax_t size) {
    return Error{"too long: " + std::to_string(size)};
  });
  ASSERT_FALSE(worded);
  EXPECT_EQ(worded.message(), "too long: 101");

  // A pipe would wait for a writer, a device could run on for ever: both are refused at
  // once, and a folder too.
  for (const fs::path& notPlain : {dir / "pipe", fs::path("/dev/zero"), dir.path()}) {
    const Result<Bytes> refused = ReadFileBytes(notPlain, 100);
    ASSERT_FALSE(refused) << notPlain;
    EXPECT_NE(refused.message().find(notPlain.string()), std::string::npos) << refused.message();
  }
}

}  // namespace
}  // namespace dravik::platform
