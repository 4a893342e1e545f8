#include "platform/desktop_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace dravik::platform {
namespace {

using test::ReadAll;
using test::TempDir;
using ::testing::HasSubstr;

constexpr const char* kPassword = "zr_pekwandors";
// "中文" in GBK followed by bytes that are not UTF-8 at all, and an embedded zero.
const std::string kGbkText("\xD6\xD0\xCE\xC4\x80\xFF\x00\x41", 8);

DesktopDb OpenOrDie(const std::filesystem::path& path, OpenMode mode,
                    std::string_view password = kPassword) {
  auto db = DesktopDb::Open(path, password, mode);
  EXPECT_TRUE(db.ok()) << (db.ok() ? "" : db.message());
  return std::move(db).value();
}

Recordset QueryOrDie(DesktopDb& db, std::string_view sql) {
  auto rows = db.Query(sql);
  EXPECT_TRUE(rows.ok()) << (rows.ok() ? "" : rows.message());
  return std::move(rows).value();
}

void Check(const Status& status) {
  ASSERT_TRUE(status.ok()) << status.message();
}

// A macro-like table: a number, a GBK text and a blob per row.
void MakeTable(DesktopDb& db, int rows) {
  Check(db.Execute("create table Mac (ID integer, Name text, Data blob)"));
  auto tx = DbTransaction::Begin(db);
  ASSERT_TRUE(tx.ok()) << tx.message();
  Recordset set = QueryOrDie(db, "select * from Mac");
  for (int i = 0; i < rows; ++i) {
    Check(set.Append());
    set.SetInt("ID", i);
    set.SetText("Name", kGbkText + std::to_string(i));
    std::vector<std::uint8_t> blob(64, static_cast<std::uint8_t>(i));
    blob[0] = 0;
    set.SetBytes("Data", blob);
    Check(set.Post());
  }
  Check(tx->Commit());
}

std::vector<std::int64_t> Ids(DesktopDb& db, std::string_view sql) {
  std::vector<std::int64_t> ids;
  for (Recordset set = QueryOrDie(db, sql); !set.Eof(); set.Next()) ids.push_back(set.Int("ID"));
  return ids;
}

TEST(DesktopDbTest, RowsComeBackAfterReopenInStoredOrderWithExactBytes) {
  TempDir dir;
  auto file = dir / "Proj.M";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing);
    MakeTable(db, 5);
  }
  DesktopDb db = OpenOrDie(file, OpenMode::ReadOnly);
  Recordset set = QueryOrDie(db, "select * from Mac");
  EXPECT_EQ(set.RecordCount(), 5u);
  for (int i = 0; i < 5; ++i) {
    ASSERT_FALSE(set.Eof());
    EXPECT_EQ(set.Int("id"), i);  // names are case-insensitive
    EXPECT_EQ(set.Text("NAME"), kGbkText + std::to_string(i));
    std::vector<std::uint8_t> blob = set.Bytes("Data");
    ASSERT_EQ(blob.size(), 64u);
    EXPECT_EQ(blob[0], 0);
    EXPECT_EQ(blob[63], i);
    EXPECT_EQ(set.Text("ID"), std::to_string(i));
    set.Next();
  }
  EXPECT_TRUE(set.Eof());
  set.Next();  // stays at the end
  EXPECT_TRUE(set.Eof());
  EXPECT_EQ(set.Int("ID"), 0);
  EXPECT_EQ(set.Text("Name"), "");
}

TEST(DesktopDbTest, SelectsFollowRowOrderEvenWhereAnIndexWouldReorder) {
  TempDir dir;
  DesktopDb db = OpenOrDie(dir / "order.M", OpenMode::CreateIfMissing);
  Check(
      db.Execute("create table T (ID integer, Name text, Type integer);"
                 "create index ByName on T(Name); create index ByType on T(Type);"
                 "insert into T(rowid, ID, Name, Type) values (9, 3, 'a', 1);"
                 "insert into T(rowid, ID, Name, Type) values (2, 1, 'c', 0);"
                 "insert into T(rowid, ID, Name, Type) values (5, 2, 'b', 1);"));
  EXPECT_EQ(Ids(db, "select * from T"), (std::vector<std::int64_t>{1, 2, 3}));
  EXPECT_EQ(Ids(db, "select * from T where Name > ''"), (std::vector<std::int64_t>{1, 2, 3}));
  EXPECT_EQ(Ids(db, "select * from T where Type=1"), (std::vector<std::int64_t>{2, 3}));
  EXPECT_EQ(Ids(db, "select ID from T where Type=1 order by Name"),
            (std::vector<std::int64_t>{3, 2}));
  // Statements outside the simple form run as written.
  Recordset count = QueryOrDie(db, "select count(*) as N from T");
  EXPECT_EQ(count.Int("n"), 3);
  EXPECT_FALSE(count.CanChange());
}

TEST(DesktopDbTest, OpenRefusesWhatItCannotRead) {
  TempDir dir;
  auto good = dir / "good.Dat";
  {
    DesktopDb db = OpenOrDie(good, OpenMode::CreateIfMissing);
    MakeTable(db, 1);
  }
  test::WriteText(dir / "notes.txt", "this is plain text, long enough to fill a page header....");
  struct Case {
    const char* name;
    std::filesystem::path path;
    const char* password;
    OpenMode mode;
    const char* expected;
  };
  const Case cases[] = {
      {"wrong password", good, "not-the-password", OpenMode::ReadOnly,
       "wrong password or not a database file"},
      {"no password", good, "", OpenMode::ReadWrite, "wrong password or not a database file"},
      {"not a database", dir / "notes.txt", kPassword, OpenMode::ReadOnly,
       "wrong password or not a database file"},
      {"missing", dir / "absent.Dat", kPassword, OpenMode::ReadOnly, "does not exist"},
      {"missing, read-write", dir / "absent.Dat", kPassword, OpenMode::ReadWrite, "does not exist"},
      {"folder", dir.path(), kPassword, OpenMode::ReadOnly, "cannot open database"},
  };
  for (const Case& c : cases) {
    auto db = DesktopDb::Open(c.path, c.password, c.mode);
    ASSERT_FALSE(db.ok()) << c.name;
    EXPECT_THAT(db.message(), HasSubstr(c.expected)) << c.name;
    EXPECT_THAT(db.message(), HasSubstr(c.path.string())) << c.name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "absent.Dat"));
}

TEST(DesktopDbTest, FileIsEncryptedOnDisk) {
  TempDir dir;
  auto file = dir / "enc.Dat";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing);
    MakeTable(db, 3);
  }
  std::vector<std::uint8_t> bytes = ReadAll(file);
  ASSERT_GE(bytes.size(), 16u);
  std::string header(bytes.begin(), bytes.begin() + 16);
  EXPECT_NE(header, std::string("SQLite format 3\0", 16));
  std::string all(bytes.begin(), bytes.end());
  EXPECT_EQ(all.find("\xD6\xD0\xCE\xC4"), std::string::npos);
}

TEST(DesktopDbTest, MissingColumnsAreReportedNotGuessed) {
  TempDir dir;
  DesktopDb db = OpenOrDie(dir / "c.Dat", OpenMode::CreateIfMissing);
  MakeTable(db, 1);
  Recordset set = QueryOrDie(db, "select * from Mac");
  EXPECT_TRUE(set.RequireColumns({"ID", "name", "DATA"}).ok());
  Status missing = set.RequireColumns({"ID", "MaxNumber"});
  ASSERT_FALSE(missing.ok());
  EXPECT_THAT(missing.message(), HasSubstr("\"MaxNumber\""));
  EXPECT_EQ(set.Int("MaxNumber"), 0);
  EXPECT_EQ(set.Text("MaxNumber"), "");
  EXPECT_TRUE(set.Bytes("MaxNumber").empty());
  EXPECT_TRUE(set.IsNull("MaxNumber"));

  auto bad = db.Query("select * from NoSuchTable");
  ASSERT_FALSE(bad.ok());
  EXPECT_THAT(bad.message(), HasSubstr("no such table: NoSuchTable"));
}

TEST(DesktopDbTest, NumbersAndTextsConvertTheWayCallersReadThem) {
  TempDir dir;
  DesktopDb db = OpenOrDie(dir / "n.Dat", OpenMode::CreateIfMissing);
  Check(
      db.Execute("create table K (Name text, MaxNumber text, DataBit integer, Ratio real);"
                 "insert into K values ('D', '65000', -1, 2.75);"
                 "insert into K values ('X', ' 377 ', 15, null);"
                 "insert into K values ('Y', '12abc', 0, -1.5);"));
  Recordset set = QueryOrDie(db, "select * from K");
  struct Expect {
    std::int64_t max;
    std::string bit;
    std::int64_t ratio;
  };
  const Expect rows[] = {{65000, "-1", 2}, {377, "15", 0}, {0, "0", -1}};
  for (const Expect& e : rows) {
    ASSERT_FALSE(set.Eof());
    EXPECT_EQ(set.Int("MaxNumber"), e.max);
    EXPECT_EQ(set.Text("DataBit"), e.bit);
    EXPECT_EQ(set.Int("Ratio"), e.ratio);
    set.Next();
  }
}

TEST(DesktopDbTest, JetDeleteSpellingRemovesRows) {
  TempDir dir;
  DesktopDb db = OpenOrDie(dir / "d.M", OpenMode::CreateIfMissing);
  MakeTable(db, 4);
  Check(db.Execute("DELETE * FROM Mac WHERE ID=1"));
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{0, 2, 3}));
  Check(db.Execute("delete from Mac where ID=2"));
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{0, 3}));

  // Only the statement is rewritten, never a text inside it.
  Check(
      db.Execute("insert into Mac(ID, Name) values (5, 'delete * from Mac; x');"
                 "DELETE*FROM Mac where ID=3"));
  Recordset set = QueryOrDie(db, "select * from Mac where Name like 'delete * from%'");
  EXPECT_EQ(set.RecordCount(), 1u);
  EXPECT_EQ(set.Text("Name"), "delete * from Mac; x");
  EXPECT_TRUE(set.CanChange());  // keywords inside the literal do not count
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{0, 5}));
  Check(db.Execute("delete * from Mac"));
  EXPECT_TRUE(Ids(db, "select * from Mac").empty());

  Status bad = db.Execute("delete * from Missing");
  ASSERT_FALSE(bad.ok());
  EXPECT_THAT(bad.message(), HasSubstr("no such table"));
}

TEST(DesktopDbTest, EditAndAppendAreStoredWhenPosted) {
  TempDir dir;
  auto file = dir / "e.M";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing);
    MakeTable(db, 3);
    Recordset set = QueryOrDie(db, "select * from Mac where ID >= 1");
    ASSERT_TRUE(set.CanChange());
    Check(set.Edit());
    set.SetText("Name", "\xB1\xE0\xBC\xAD");  // "编辑"
    set.SetInt("id", 10);
    Check(set.Post());
    EXPECT_EQ(set.Int("ID"), 10);  // the recordset shows what was stored
    EXPECT_EQ(set.Text("Name"), "\xB1\xE0\xBC\xAD");

    set.Next();
    Check(set.Edit());
    set.SetText("Name", "dropped");
    set.Cancel();
    EXPECT_FALSE(set.Post().ok());  // nothing pending after Cancel

    Check(set.Append());
    set.SetInt("ID", 7);
    set.SetBytes("Data", std::vector<std::uint8_t>{});
    Check(set.Post());
    EXPECT_EQ(set.RecordCount(), 3u);
    EXPECT_EQ(set.Int("ID"), 7);  // the new row is the current one
    EXPECT_FALSE(set.IsNull("Data"));
    EXPECT_TRUE(set.IsNull("Name"));
    set.Next();
    EXPECT_TRUE(set.Eof());
  }
  DesktopDb db = OpenOrDie(file, OpenMode::ReadOnly);
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{0, 10, 2, 7}));
  Recordset set = QueryOrDie(db, "select * from Mac where ID=2");
  EXPECT_EQ(set.Text("Name"), kGbkText + "2");
}

TEST(DesktopDbTest, ChangesThatCannotBeStoredFailClearly) {
  TempDir dir;
  auto file = dir / "f.M";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing);
    MakeTable(db, 2);

    Recordset set = QueryOrDie(db, "select * from Mac");
    EXPECT_FALSE(set.Post().ok());  // neither Edit nor Append
    Check(set.Edit());
    set.SetInt("NoSuchColumn", 1);
    Status posted = set.Post();
    ASSERT_FALSE(posted.ok());
    EXPECT_THAT(posted.message(), HasSubstr("NoSuchColumn"));

    Recordset counted = QueryOrDie(db, "select count(*) from Mac");
    EXPECT_FALSE(counted.Append().ok());

    Recordset empty = QueryOrDie(db, "select * from Mac where ID=99");
    EXPECT_FALSE(empty.Edit().ok());

    db.Close();
    EXPECT_FALSE(db.IsOpen());
    Check(set.Edit());
    set.SetInt("ID", 5);
    EXPECT_THAT(set.Post().message(), HasSubstr("closed"));
    EXPECT_EQ(set.Int("ID"), 0);  // rows read before closing stay readable
    EXPECT_FALSE(db.Query("select * from Mac").ok());
    EXPECT_FALSE(db.Execute("delete * from Mac").ok());
  }
  DesktopDb readOnly = OpenOrDie(file, OpenMode::ReadOnly);
  EXPECT_FALSE(readOnly.Execute("delete * from Mac").ok());
  Recordset set = QueryOrDie(readOnly, "select * from Mac");
  Check(set.Append());
  set.SetInt("ID", 3);
  EXPECT_FALSE(set.Post().ok());
  EXPECT_EQ(Ids(readOnly, "select * from Mac"), (std::vector<std::int64_t>{0, 1}));
}

TEST(DesktopDbTest, TransactionStoresAllOrNothing) {
  TempDir dir;
  DesktopDb db = OpenOrDie(dir / "t.M", OpenMode::CreateIfMissing);
  MakeTable(db, 2);
  {
    auto tx = DbTransaction::Begin(db);
    ASSERT_TRUE(tx.ok());
    Check(db.Execute("delete * from Mac"));
    Check(db.Execute("insert into Mac(ID) values (42)"));
    // Leaving without Commit: a save that stopped half-way.
  }
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{0, 1}));
  {
    auto tx = DbTransaction::Begin(db);
    ASSERT_TRUE(tx.ok());
    Check(db.Execute("delete * from Mac"));
    Check(db.Execute("insert into Mac(ID) values (42)"));
    Check(tx->Commit());
    EXPECT_FALSE(tx->Commit().ok());
  }
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{42}));

  Check(db.BeginTransaction());
  Check(db.Execute("insert into Mac(ID) values (43)"));
  Check(db.Rollback());
  EXPECT_EQ(Ids(db, "select * from Mac"), (std::vector<std::int64_t>{42}));
}

// A program killed in the middle of a save leaves the journal of its unfinished
// transaction beside the database. The next reader must still get the stored rows, even
// one that only reads (the macro editor loading, the compiler reading the macro).
TEST(DesktopDbTest, AReaderAfterASaveKilledMidwayGetsTheStoredRows) {
  TempDir dir;
  const auto file = dir / "killed.M";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing);
    MakeTable(db, 300);
  }
  const pid_t saver = ::fork();
  ASSERT_GE(saver, 0);
  if (saver == 0) {
    auto db = DesktopDb::Open(file, kPassword, OpenMode::ReadWrite);
    // A cache of one page spills the changes into the file before the commit, as a
    // large save does.
    if (db && db->Execute("PRAGMA cache_size = 1") && db->BeginTransaction() &&
        db->Execute("delete * from Mac") &&
        db->Execute("insert into Mac(ID) values (42)"))
      ::_exit(0);  // killed before the commit: no clean-up of any kind
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(saver, &status, 0), saver);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(std::filesystem::exists(file.string() + "-journal"));

  DesktopDb reader = OpenOrDie(file, OpenMode::ReadOnly);
  EXPECT_EQ(Ids(reader, "select * from Mac").size(), 300u);
}

TEST(DesktopDbTest, CompactionKeepsEveryRowAndThePassword) {
  TempDir dir;
  auto file = dir / "Proj.PIC";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing, "mqzvb.tk");
    MakeTable(db, 200);
    Check(db.Execute("delete from Mac where ID >= 20 and ID < 180"));
  }
  auto sizeBefore = std::filesystem::file_size(file);
  test::WriteText(CompactionPath(file), "left over from an earlier attempt");

  Check(CompactInPlace(file, "mqzvb.tk"));
  EXPECT_FALSE(std::filesystem::exists(CompactionPath(file)));
  EXPECT_LT(std::filesystem::file_size(file), sizeBefore);

  EXPECT_FALSE(DesktopDb::Open(file, "", OpenMode::ReadOnly).ok());
  EXPECT_FALSE(DesktopDb::Open(file, kPassword, OpenMode::ReadOnly).ok());
  DesktopDb db = OpenOrDie(file, OpenMode::ReadOnly, "mqzvb.tk");
  std::vector<std::int64_t> expected;
  for (int i = 0; i < 20; ++i) expected.push_back(i);
  for (int i = 180; i < 200; ++i) expected.push_back(i);
  EXPECT_EQ(Ids(db, "select * from Mac"), expected);
  Recordset set = QueryOrDie(db, "select * from Mac where ID=199");
  EXPECT_EQ(set.Text("Name"), kGbkText + "199");
  EXPECT_EQ(set.Bytes("Data").size(), 64u);
}

TEST(DesktopDbTest, CompactionPathReplacesTheExtension) {
  EXPECT_EQ(CompactionPath("/a/Proj.M"), std::filesystem::path("/a/Proj.$$$"));
  EXPECT_EQ(CompactionPath("/a/QXRes.Dat"), std::filesystem::path("/a/QXRes.$$$"));
  EXPECT_EQ(CompactionPath("/a/plain"), std::filesystem::path("/a/plain.$$$"));
}

TEST(DesktopDbTest, FailedCompactionLeavesTheDatabaseAsItWas) {
  TempDir dir;
  auto file = dir / "Keep.M";
  {
    DesktopDb db = OpenOrDie(file, OpenMode::CreateIfMissing);
    MakeTable(db, 10);
  }
  const std::vector<std::uint8_t> original = ReadAll(file);

  // Wrong password: nothing can be read, nothing is replaced.
  Status wrong = CompactInPlace(file, "guess");
  ASSERT_FALSE(wrong.ok());
  EXPECT_THAT(wrong.message(), HasSubstr("wrong password"));
  EXPECT_EQ(ReadAll(file), original);
  EXPECT_FALSE(std::filesystem::exists(CompactionPath(file)));

  // A ".$$$" that cannot be removed (a folder with content) stops before anything else.
  std::filesystem::create_directory(CompactionPath(file));
  test::WriteText(CompactionPath(file) / "inside", "x");
  Status blocked = CompactInPlace(file, kPassword);
  ASSERT_FALSE(blocked.ok());
  EXPECT_EQ(ReadAll(file), original);
  std::filesystem::remove_all(CompactionPath(file));

  // A destination folder that does not exist.
  Status nowhere = Compact(file, dir / "missing" / "Keep.$$$", kPassword);
  ASSERT_FALSE(nowhere.ok());
  EXPECT_THAT(nowhere.message(), HasSubstr("cannot compact database"));
  EXPECT_EQ(ReadAll(file), original);

  // An existing destination is not overwritten.
  test::WriteText(dir / "taken.$$$", "mine");
  EXPECT_FALSE(Compact(file, dir / "taken.$$$", kPassword).ok());
  EXPECT_EQ(ReadAll(dir / "taken.$$$"), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));

  // A missing source.
  Status missing = CompactInPlace(dir / "absent.M", kPassword);
  ASSERT_FALSE(missing.ok());
  EXPECT_THAT(missing.message(), HasSubstr("does not exist"));
  EXPECT_FALSE(std::filesystem::exists(dir / "absent.M"));
  EXPECT_FALSE(std::filesystem::exists(dir / "absent.$$$"));

  DesktopDb db = OpenOrDie(file, OpenMode::ReadOnly);
  EXPECT_EQ(Ids(db, "select * from Mac").size(), 10u);
}

}  // namespace
}  // namespace dravik::platform
