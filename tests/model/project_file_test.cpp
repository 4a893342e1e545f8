// The project file: which records a save writes and what an open accepts.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/zstd_codec.h"
#include "support/temp_dir.h"

namespace dravik::model {
namespace {

namespace fs = std::filesystem;
using platform::Bytes;
using test::TempDir;

Bytes Decompress(const fs::path& file) {
  const Bytes frame = test::ReadAll(file);
  Bytes out(300 * kPageRecordSize);
  platform::ZstdReader reader(frame);
  out.resize(reader.Read(out));
  EXPECT_TRUE(reader.Finished());
  return out;
}

// A record file of `records` records whose page i carries the name "P<i>" and "Use".
Bytes RecordFile(int records, std::size_t trailing = 0) {
  Bytes bytes(records * kPageRecordSize + trailing, 0);
  auto* pages = reinterpret_cast<PageRecord*>(bytes.data());
  SetFileMarkers(pages[0]);
  for (int i = 1; i < records; ++i) {
    pages[i].PageStrings[kPageName] = "P" + std::to_string(i);
    pages[i].PageStrings[kPageInUse] = "Use";
  }
  for (std::size_t t = 0; t < trailing; ++t) bytes[records * kPageRecordSize + t] = 'U';
  return bytes;
}

void WriteCompressed(const fs::path& file, const Bytes& content) {
  test::WriteAll(file, *platform::ZstdCompress(content));
}

TEST(SaveRecords, WritesUpToOnePageAfterTheHighestUsed) {
  struct Case {
    const char* name;
    std::vector<int> used;
    int records;
  };
  const Case cases[] = {
      {"no page used", {}, 2},
      {"highest used page 7", {1, 7}, 9},
      {"highest used page 240", {3, 240}, 241},
      {"highest used page 239", {239}, 241},
  };
  for (const Case& c : cases) {
    TempDir dir;
    ProjectImage image;
    for (int n : c.used) image.Page(n).PageStrings[kPageInUse] = "Use";
    ASSERT_TRUE(WriteProjectFile(image, dir / "p.QX3").ok()) << c.name;
    const Bytes content = Decompress(dir / "p.QX3");
    EXPECT_EQ(content.size(), c.records * kPageRecordSize) << c.name;
    const auto& settings = *reinterpret_cast<const PageRecord*>(content.data());
    EXPECT_TRUE(HasFileMarkers(settings)) << c.name;
  }
}

TEST(SaveRecords, APageDeletedInsideTheRangeTravelsWithItsOldContents) {
  TempDir dir;
  ProjectImage image;
  image.Page(2).PageStrings[kPageName] = "Old";
  image.Page(2).ElemKind[4] = 3;
  image.Page(2).PageStrings[kPageInUse] = "";
  image.Page(3).PageStrings[kPageInUse] = "Use";
  ASSERT_TRUE(WriteProjectFile(image, dir / "p.QX3").ok());
  const Bytes content = Decompress(dir / "p.QX3");
  const auto* pages = reinterpret_cast<const PageRecord*>(content.data());
  EXPECT_EQ(pages[2].ElemKind[4], 3);
  EXPECT_EQ(pages[2].PageStrings[kPageName].RawChars()[0], 'O');
}

TEST(ReadRecords, AcceptsWhatTheFileSizeRulesAllow) {
  struct Case {
    const char* name;
    int records;
    std::size_t trailing;
    int highestUsed;
  };
  const Case cases[] = {
      {"settings only", 1, 0, 0},
      {"2 records", 2, 0, 1},
      {"9 records", 9, 0, 8},
      {"241 records", 241, 0, 240},
      {"242 records: page 241 ignored", 242, 0, 240},
      {"300 records", 300, 0, 240},
      {"trailing bytes ignored", 3, 1000, 2},
      {"trailing bytes after 240 pages", 241, 5, 240},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteCompressed(dir / "p.QX3", RecordFile(c.records, c.trailing));
    ProjectImage image;
    image.Page(200).PageStrings[kPageInUse] = "Use";  // left over from before: must go
    EXPECT_FALSE(ReadProjectFile(image, dir / "p.QX3").has_value()) << c.name;
    EXPECT_EQ(image.HighestUsedPage(), c.highestUsed) << c.name;
    if (c.highestUsed > 0) {
      EXPECT_EQ(image.Page(c.highestUsed).PageStrings[kPageName].Str(),
                "P" + std::to_string(c.highestUsed));
    }
    EXPECT_TRUE(HasFileMarkers(image.Settings())) << c.name;
  }
}

TEST(ReadRecords, RefusesDamagedFilesWithAClearMessage) {
  TempDir dir;
  Bytes wrongMarkers = RecordFile(3);
  reinterpret_cast<PageRecord*>(wrongMarkers.data())->ElemWordA[198] = 1234;
  const Bytes goodFrame = *platform::ZstdCompress(RecordFile(3));

  struct Case {
    const char* name;
    Bytes file;
    const char* expectedText;
  };
  const Case cases[] = {
      {"not zstd", Bytes{'h', 'e', 'l', 'l', 'o'}, "not a project file"},
      {"empty file", Bytes{}, "not a project file"},
      {"truncated", Bytes(goodFrame.begin(), goodFrame.begin() + goodFrame.size() / 2),
       "damaged"},
      {"shorter than one record", *platform::ZstdCompress(Bytes(1000, 0)), "shorter than one"},
      {"wrong markers", *platform::ZstdCompress(wrongMarkers), "File is the wrong version ！"},
  };
  for (const Case& c : cases) {
    test::WriteAll(dir / "bad.QX3", c.file);
    ProjectImage image;
    image.Settings().ElemLongC[50] = 4242;
    std::optional<ReadFailure> failure = ReadProjectFile(image, dir / "bad.QX3");
    ASSERT_TRUE(failure.has_value()) << c.name;
    EXPECT_NE(failure->message.english.find(c.expectedText), std::string::npos)
        << c.name << ": " << failure->message.english;
    EXPECT_EQ(image.HighestUsedPage(), 0) << c.name << ": nothing may be half-loaded";
    EXPECT_EQ(image.Settings().ElemLongC[50], 4242) << c.name;
  }
}

TEST(ReadRecords, AMissingFileGivesTheSystemsReason) {
  ProjectImage image;
  auto failure = ReadProjectFile(image, "/nonexistent/p.QX3");
  ASSERT_TRUE(failure.has_value());
  EXPECT_NE(failure->message.english.find("cannot read /nonexistent/p.QX3: No such file"),
            std::string::npos);
  EXPECT_NE(failure->message.chinese.find("无法读取 /nonexistent/p.QX3: "), std::string::npos)
      << failure->message.chinese;
}

// A file picked by mistake may be huge or endless: it is refused before it is read.
TEST(ReadRecords, RefusesAHugeFileOrAPipeWithoutReadingIt) {
  TempDir dir;
  const fs::path huge = dir / "huge.QX3";
  test::WriteAll(huge, Bytes{'x'});
  fs::resize_file(huge, std::uintmax_t{65} << 20);  // sparse: no disk is spent
  const fs::path pipe = dir / "pipe.QX3";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

  struct Case {
    fs::path file;
    const char* english;
    const char* chinese;
  };
  const Case cases[] = {
      {huge, "Failed ！\r\rCause:the file is too large to be a project file (68157440 bytes)", "文件过大（68157440 字节）"},
      {pipe, "not a plain file", "不是普通文件"},
  };
  for (const Case& c : cases) {
    ProjectImage image;
    std::optional<ReadFailure> failure = ReadProjectFile(image, c.file);
    ASSERT_TRUE(failure.has_value()) << c.file;
    EXPECT_NE(failure->message.english.find(c.english), std::string::npos) << failure->message.english;
    EXPECT_NE(failure->message.chinese.find(c.chinese), std::string::npos) << failure->message.chinese;
    EXPECT_EQ(image.HighestUsedPage(), 0);
  }
}

TEST(NewProject, HoldsTheDefaultsAndPageOne) {
  TempDir dir;
  ProjectImage image;
  InitializeNewProject(image);
  ASSERT_TRUE(WriteProjectFile(image, dir / "n.QX3").ok());
  const Bytes content = Decompress(dir / "n.QX3");
  ASSERT_EQ(content.size(), 3 * kPageRecordSize);

  auto u32 = [&](std::size_t offset) {
    return static_cast<std::uint32_t>(content[offset] | content[offset + 1] << 8 |
                                      content[offset + 2] << 16 | content[offset + 3] << 24);
  };
  auto u16 = [&](std::size_t offset) { return content[offset] | content[offset + 1] << 8; };
  constexpr std::size_t kLongC = 193768, kWordA = 192560, kLeft = 189142, kTop = 189544,
                        kWidth = 190148, kHeight = 190550;
  struct Entry {
    const char* name;
    std::uint32_t actual;
    std::uint32_t expected;
  };
  const Entry entries[] = {
      {"marker ElemKind 198", content[159996 + 198], 168},
      {"marker ElemWordA 198", static_cast<std::uint32_t>(u16(kWordA + 2 * 198)), 9595},
      {"panel model", static_cast<std::uint32_t>(u16(kWordA)), 1},
      {"link 1 protocol", static_cast<std::uint32_t>(u16(kHeight)), 0},
      {"link 2 table", static_cast<std::uint32_t>(u16(kHeight + 2)), 1},
      {"controller id", u32(kLongC + 0), 1},
      {"baud 57600", u32(kLongC + 4), 3},
      {"time-out", u32(kLongC + 8), 200},
      {"initial page", u32(kLongC + 12), 1},
      {"screen saver", u32(kLongC + 16), 6},
      {"reserved 5", u32(kLongC + 20), 1},
      {"focus colour", u32(kLongC + 24), 255},
      {"page select register", u32(kLongC + 40), 2180},
      {"page report register", u32(kLongC + 44), 1180},
      {"link 2 id", u32(kLongC + 80), 2},
      {"link 2 time-out", u32(kLongC + 88), 100},
      {"link 2 port", u32(kLongC + 124), 1},
      {"page colour", u32(kLongC + 200), 0xFFFF00},
      {"text font", u32(kLongC + 204), 1},
      {"fast read kind", u32(kLongC + 240), 8},
      {"reserved 63", u32(kLongC + 252), 8},
      {"even parity", static_cast<std::uint32_t>(u16(kLeft)), 2},
      {"8 data bits", static_cast<std::uint32_t>(u16(kTop)), 2},
      {"1 stop bit", static_cast<std::uint32_t>(u16(kWidth)), 0},
      {"LED register", static_cast<std::uint32_t>(u16(kWordA + 24)), 2100},
      {"CAN baud", u32(194572 + 4), 3},
      {"CAN slave own id", u32(194572 + 44), 201},
      {"reserved ElemByteC 2", content[193163 + 2], 1},
  };
  for (const Entry& e : entries) EXPECT_EQ(e.actual, e.expected) << e.name;
  EXPECT_EQ(std::memcmp(&content[160197], "\x04" "4826", 5), 0) << "super password";

  const std::uint8_t* page1 = &content[kPageRecordSize];
  EXPECT_EQ(std::memcmp(page1 + 0, "\x07Window1", 8), 0);
  EXPECT_EQ(std::memcmp(page1 + 21, "\x01" "1", 2), 0);
  EXPECT_EQ(std::memcmp(page1 + 42, "\x03Use", 4), 0);
  EXPECT_EQ(std::memcmp(page1 + 105, "\x08" "16776960", 9), 0);
}

TEST(OpenRepairs, FastReadKindAndReservedEntryZeroBecomeEight) {
  TempDir dir;
  Bytes content = RecordFile(2);
  auto& settings = *reinterpret_cast<PageRecord*>(content.data());
  settings.ElemLongC[60] = 0;
  settings.ElemLongC[63] = 0;
  WriteCompressed(dir / "p.QX3", content);
  ProjectImage image;
  ProjectSession session(image);
  ASSERT_TRUE(session.Open((dir / "p.QX3").string()).done());
  EXPECT_EQ(image.Settings().ElemLongC[60], 8);
  EXPECT_EQ(image.Settings().ElemLongC[63], 8);
  // The file keeps 0 until it is saved again.
  const Bytes onDisk = Decompress(dir / "p.QX3");
  EXPECT_EQ(reinterpret_cast<const PageRecord*>(onDisk.data())->ElemLongC[60], 0);
}

}  // namespace
}  // namespace dravik::model
