#include "macro/macro_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "macro/change_mac_cmd.h"
#include "macro_rows.h"
#include "platform/desktop_db.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace dravik::macro {
namespace {

namespace fs = std::filesystem;
using fixture::Comment;
using fixture::K;
using fixture::R;
using fixture::Row;
using platform::DesktopDb;
using platform::OpenMode;

constexpr bool kChinese = true;

std::string Gbk50() {
  std::string text;
  for (int i = 0; i < 24; ++i) text += "\xD6\xD0";  // "中"
  return text + "a\xD6";                            // a lead byte cut off at the capacity
}

// A macro that touches every field: options, register and constant kinds with bit
// numbers, signed constants, a CHR text, comments, an empty row inside.
MacroRows SampleRows() {
  MacroRows rows{};
  rows[0] = Row(1, R(10), R(11), K(0xFFFF), kMacDoubleWord | kMacSigned);
  rows[1] = Comment(Gbk50());
  rows[2] = Row(15, {0xA9, 100}, K(0x8000), K(7), kMacSigned);
  rows[3] = Row(14, R(3), {}, {}, 0, "text");
  rows[5] = Row(26, K(7));
  rows[6] = Row(29);
  return rows;
}

struct StoredRow {
  std::int64_t OPt, BIT, A1t, A1v, A2t, A2v, A3t, A3v;
  std::string Comment;
};

std::vector<StoredRow> StoredRows(const fs::path& db) {
  auto opened = DesktopDb::Open(db, kMacroPassword, OpenMode::ReadOnly);
  EXPECT_TRUE(opened.ok()) << opened.message();
  if (!opened) return {};
  auto records = opened->Query("select * from Mac");
  EXPECT_TRUE(records.ok());
  std::vector<StoredRow> rows;
  for (; !records->Eof(); records->Next()) {
    rows.push_back({records->Int("OPt"), records->Int("BIT"), records->Int("A1t"),
                    records->Int("A1v"), records->Int("A2t"), records->Int("A2v"),
                    records->Int("A3t"), records->Int("A3v"), records->Text("Comment")});
  }
  return rows;
}

void ExpectSameRows(const MacroRows& actual, const MacroRows& expected) {
  for (int i = 0; i < kMacroRowCount; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(ToBytes(actual[i]), ToBytes(expected[i]));
  }
}

class MacroDatabaseTest : public ::testing::Test {
 protected:
  fs::path Db() const { return MacroDatabasePath(dir_ / "Project.QX3"); }
  dravik::test::TempDir dir_;
};

TEST(MacroDatabasePathTest, ReplacesTheExtension) {
  EXPECT_EQ(MacroDatabasePath("/p/Line 1.QX3"), fs::path("/p/Line 1.M"));
  EXPECT_EQ(MacroDatabasePath("/p/Line.M"), fs::path("/p/Line.M"));
  EXPECT_EQ(MacroDatabasePath("/p/noext"), fs::path("/p/noext.M"));
}

TEST_F(MacroDatabaseTest, AMissingDatabaseIsMadeBesideTheProjectWithTheTable) {
  ASSERT_TRUE(EnsureMacroDatabase(Db(), kChinese).ok());
  auto db = DesktopDb::Open(Db(), kMacroPassword, OpenMode::ReadOnly);
  ASSERT_TRUE(db.ok()) << db.message();
  auto records = db->Query("select * from Mac");
  ASSERT_TRUE(records.ok()) << records.message();
  EXPECT_EQ(records->RecordCount(), 0u);
  EXPECT_EQ(records->ColumnNames(), (std::vector<std::string>{"OPt", "BIT", "A1t", "A1v", "A2t",
                                                              "A2v", "A3t", "A3v", "Comment"}));
  db->Close();
  // Nothing but the database is left in the folder, and nothing is taken from or left in
  // the work folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1);
  EXPECT_FALSE(fs::exists(*platform::WorkDir() / "MacroDat.M"));
}

TEST_F(MacroDatabaseTest, ANewDatabaseHasTheProjectsPermissions) {
  dravik::test::WriteText(dir_ / "Project.QX3", "project");
  fs::permissions(dir_ / "Project.QX3", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(EnsureMacroDatabase(Db(), kChinese).ok());
  EXPECT_EQ(fs::status(Db()).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(MacroDatabaseTest, DatabaseNeedsItsPassword) {
  ASSERT_TRUE(ADOSaveFile(Db(), SampleRows(), kChinese).ok());
  EXPECT_FALSE(DesktopDb::Open(Db(), "", OpenMode::ReadOnly).ok());
  EXPECT_FALSE(DesktopDb::Open(Db(), "zr_pekwandorz", OpenMode::ReadOnly).ok());
  EXPECT_TRUE(DesktopDb::Open(Db(), "zr_pekwandors", OpenMode::ReadOnly).ok());
  // A new empty database is protected the same way.
  const fs::path fresh = dir_ / "Fresh.M";
  ASSERT_TRUE(EnsureMacroDatabase(fresh, kChinese).ok());
  EXPECT_FALSE(DesktopDb::Open(fresh, "", OpenMode::ReadOnly).ok());
}

TEST_F(MacroDatabaseTest, LoadCreatesAMissingDatabase) {
  ASSERT_FALSE(fs::exists(Db()));
  MacroRows rows{};
  rows[3] = Row(11, R(1), R(2));
  ASSERT_TRUE(ADOLoadFile(Db(), rows, kChinese).ok());
  EXPECT_TRUE(fs::exists(Db()));
  EXPECT_EQ(LastUsedRow(rows), 0);
  EXPECT_EQ(static_cast<std::uint16_t>(rows[3].A2v), 2);  // only codes and options cleared
}

TEST_F(MacroDatabaseTest, SaveAndLoadKeepEveryField) {
  const MacroRows saved = SampleRows();
  ASSERT_TRUE(ADOSaveFile(Db(), saved, kChinese).ok());
  MacroRows loaded{};
  ASSERT_TRUE(ADOLoadFile(Db(), loaded, kChinese).ok());
  ExpectSameRows(loaded, saved);

  const auto stored = StoredRows(Db());
  ASSERT_EQ(stored.size(), 7u);
  EXPECT_EQ(stored[0].A3v, 65535);  // values stored unsigned
  EXPECT_EQ(stored[1].Comment, Gbk50());
  EXPECT_EQ(stored[2].A1t, 0xA9);
  EXPECT_EQ(stored[3].Comment, "text");
  EXPECT_EQ(stored[4].OPt, 0);
}

TEST_F(MacroDatabaseTest, EmptyRowsBeforeTheLastAreStoredAndAfterItNot) {
  MacroRows rows{};
  rows[4] = Row(29);
  ASSERT_TRUE(ADOSaveFile(Db(), rows, kChinese).ok());
  const auto stored = StoredRows(Db());
  ASSERT_EQ(stored.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(stored[i].OPt, 0);
  EXPECT_EQ(stored[4].OPt, 29);

  ASSERT_TRUE(ADOSaveFile(Db(), MacroRows{}, kChinese).ok());
  EXPECT_TRUE(StoredRows(Db()).empty());
}

TEST_F(MacroDatabaseTest, LabelErrorStoresNothing) {
  ASSERT_TRUE(ADOSaveFile(Db(), SampleRows(), kChinese).ok());
  MacroRows bad{};
  bad[3] = Row(25, K(9));
  const Status saved = ADOSaveFile(Db(), bad, kChinese);
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.message(), "L# 4, LABEL 9 未定义！");
  MacroRows loaded{};
  ASSERT_TRUE(ADOLoadFile(Db(), loaded, kChinese).ok());
  ExpectSameRows(loaded, SampleRows());
}

TEST_F(MacroDatabaseTest, SaveThatFailsHalfWayStoresNothing) {
  // A table that refuses the third row makes the save stop after two appended records.
  {
    auto db = DesktopDb::Open(Db(), kMacroPassword, OpenMode::CreateIfMissing);
    ASSERT_TRUE(db.ok());
    ASSERT_TRUE(db->Execute("create table Mac (OPt integer, BIT integer, A1t integer, "
                            "A1v integer check (A1v < 1000), A2t integer, A2v integer, "
                            "A3t integer, A3v integer, Comment text)")
                    .ok());
  }
  MacroRows before{};
  before[0] = Row(11, R(1), R(2));
  before[1] = Comment("kept");
  ASSERT_TRUE(ADOSaveFile(Db(), before, kChinese).ok());

  MacroRows after{};
  after[0] = Row(11, R(5), R(6));
  after[1] = Row(11, R(7), R(8));
  after[2] = Row(11, R(5000), R(9));
  const Status saved = ADOSaveFile(Db(), after, kChinese);
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.message().rfind("无法保存宏数据库 " + Db().string() + " ！\r", 0), 0u)
      << saved.message();
  MacroRows loaded{};
  ASSERT_TRUE(ADOLoadFile(Db(), loaded, kChinese).ok());
  ExpectSameRows(loaded, before);
}

TEST_F(MacroDatabaseTest, LoadCutsLongCommentsAndReadsAtMostOneHundredRecords) {
  ASSERT_TRUE(ADOSaveFile(Db(), MacroRows{}, kChinese).ok());
  {
    auto db = DesktopDb::Open(Db(), kMacroPassword, OpenMode::ReadWrite);
    ASSERT_TRUE(db.ok());
    auto records = db->Query("select * from Mac");
    ASSERT_TRUE(records.ok());
    for (int i = 0; i < 150; ++i) {
      ASSERT_TRUE(records->Append().ok());
      records->SetInt("OPt", i == 0 ? 34 : 29);
      // Out-of-range numbers keep their low bits, as the row's fields do.
      records->SetInt("A1v", 65536 + i);
      records->SetInt("A1t", 0x101);
      records->SetText("Comment", std::string(60, 'x'));
      ASSERT_TRUE(records->Post().ok());
    }
  }
  MacroRows rows{};
  ASSERT_TRUE(ADOLoadFile(Db(), rows, kChinese).ok());
  EXPECT_EQ(rows[0].Comment.Str(), std::string(50, 'x'));
  EXPECT_EQ(static_cast<std::uint16_t>(rows[7].A1v), 7);
  EXPECT_EQ(rows[7].A1t, 1);
  EXPECT_EQ(LastUsedRow(rows), 100);
}

TEST_F(MacroDatabaseTest, UnreadableDatabaseLeavesTheRowsAlone) {
  const struct Case {
    const char* name;
    std::vector<std::uint8_t> content;
  } cases[] = {
      {"garbage", std::vector<std::uint8_t>(4096, 0x5A)},
      {"empty file", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dravik::test::WriteAll(Db(), c.content);
    MacroRows rows = SampleRows();
    const Status loaded = ADOLoadFile(Db(), rows, kChinese);
    EXPECT_FALSE(loaded.ok());
    EXPECT_NE(loaded.message().find("无法读取宏数据库"), std::string::npos) << loaded.message();
    ExpectSameRows(rows, SampleRows());
    EXPECT_FALSE(ADOLoadFile(Db(), rows, false).message().find("Cannot read the macro database") ==
                 std::string::npos);
  }
}

TEST_F(MacroDatabaseTest, ExistingDatabaseIsNeverReplacedByTheTemplate) {
  ASSERT_TRUE(ADOSaveFile(Db(), SampleRows(), kChinese).ok());
  ASSERT_TRUE(EnsureMacroDatabase(Db(), kChinese).ok());
  EXPECT_EQ(StoredRows(Db()).size(), 7u);
}

TEST_F(MacroDatabaseTest, CompactionKeepsTheContent) {
  ASSERT_TRUE(ADOSaveFile(Db(), SampleRows(), kChinese).ok());
  const Status compacted = CompressRepairMDat(Db());
  ASSERT_TRUE(compacted.ok()) << compacted.message();
  EXPECT_FALSE(fs::exists(platform::CompactionPath(Db())));
  MacroRows loaded{};
  ASSERT_TRUE(ADOLoadFile(Db(), loaded, kChinese).ok());
  ExpectSameRows(loaded, SampleRows());
  EXPECT_FALSE(DesktopDb::Open(Db(), "", OpenMode::ReadOnly).ok());
}

TEST_F(MacroDatabaseTest, FailedCompactionLeavesTheFileAsItWas) {
  const std::vector<std::uint8_t> garbage(3000, 0x33);
  dravik::test::WriteAll(Db(), garbage);
  const Status compacted = CompressRepairMDat(Db());
  ASSERT_FALSE(compacted.ok());
  EXPECT_EQ(compacted.message().rfind("数据压缩修复失败 ！\r\r", 0), 0u) << compacted.message();
  EXPECT_GT(compacted.message().size(), std::string("数据压缩修复失败 ！\r\r").size());
  EXPECT_EQ(dravik::test::ReadAll(Db()), garbage);
}

TEST_F(MacroDatabaseTest, ChangeMacCmdReloadsTheSavedRows) {
  MacroRows rows{};
  rows[0] = Row(1, R(10), R(11), K(5), kMacDoubleWord | kMacSigned);
  rows[1] = Comment("skipped");
  ASSERT_TRUE(ADOSaveFile(Db(), rows, kChinese).ok());
  std::vector<std::uint8_t> image(1000, 0);
  EXPECT_FALSE(ChangeMacCmd(Db(), image).has_value());
  const std::vector<std::uint8_t> expected = {0x16, 0xE9, 1,    1,    0xE9, 0x16, 0x01,
                                              0x0F, 0x0A, 0x00, 0x0B, 0x00, 0x05, 0x00};
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 150, image.begin() + 164), expected);
}

TEST_F(MacroDatabaseTest, ChangeMacCmdWithAnUnreadableDatabaseWritesNothing) {
  dravik::test::WriteAll(Db(), std::vector<std::uint8_t>(2048, 0x77));
  std::vector<std::uint8_t> image(1000, 0xEE);
  EXPECT_FALSE(ChangeMacCmd(Db(), image).has_value());
  EXPECT_EQ(image, std::vector<std::uint8_t>(1000, 0xEE));
}

TEST_F(MacroDatabaseTest, ChangeMacCmdOfAProjectWithoutDatabaseWritesAnEmptyMacroAndNoFile) {
  std::vector<std::uint8_t> image(1000, 0);
  image[150] = 0x16;  // left over from an earlier image in the same buffer
  EXPECT_FALSE(ChangeMacCmd(Db(), image).has_value());
  EXPECT_FALSE(fs::exists(Db()));
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace dravik::macro
