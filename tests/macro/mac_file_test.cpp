#include "macro/mac_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "macro/macro_database.h"
#include "macro_rows.h"
#include "support/temp_dir.h"

namespace dravik::macro {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using dravik::test::ReadAll;
using dravik::test::WriteAll;
using fixture::Comment;
using fixture::K;
using fixture::R;
using fixture::Row;

constexpr bool kChinese = true;

std::string Gbk50() {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "\xB1\xE0";  // "编"
  return text;
}

// Every row layout: each code with its operands, options, signed constants, bit
// operands, a CHR text and comments of 50 GBK bytes, empty rows in between.
MacroRows EveryLayout() {
  MacroRows rows{};
  int i = 0;
  for (int code = 1; code <= 37; ++code) {
    if (code == 25 || code == 26) continue;
    MacroRow row =
        Row(static_cast<std::uint8_t>(code), {0xA9, static_cast<std::uint16_t>(code)},
            K(static_cast<std::uint16_t>(-code)), K(1), static_cast<std::uint8_t>(code % 4));
    if (code == 23 || code == 24) row.A2v = 1;  // their jump target
    if (code == 14) row.Comment.Assign("CHR text");
    if (code == 34) row.Comment.Assign(Gbk50());
    rows[i++] = row;
  }
  rows[i++] = Row(26, K(1));
  rows[i++] = Row(25, K(1));
  rows[i++] = Row(0);
  rows[i++] = Comment(Gbk50());
  rows[i++] = Row(1, R(1), R(2), K(0x8000), kMacSigned);
  return rows;
}

Bytes Record(const MacroRow& row) {
  const MacroRowBytes bytes = ToBytes(row);
  return Bytes(bytes.begin(), bytes.end());
}

Bytes FileOf(std::initializer_list<MacroRow> records) {
  Bytes bytes;
  for (const MacroRow& row : records) {
    const Bytes record = Record(row);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

TEST(MacFileTest, HeaderRecord) {
  Bytes expected(66, 0);
  expected[4] = 0x89;
  expected[5] = 0x21;
  expected[14] = 10;
  const std::string signature = "Kestrowany";
  std::copy(signature.begin(), signature.end(), expected.begin() + 15);
  EXPECT_EQ(Record(MacFileHeader()), expected);
}

TEST(MacFileTest, FileHoldsTheRowsUpToTheLastUsedOne) {
  MacroRows rows{};
  EXPECT_EQ(MacFileBytes(rows).size(), 66u);
  rows[11] = Row(29);
  rows[3] = Comment("c");
  const Bytes bytes = MacFileBytes(rows);
  ASSERT_EQ(bytes.size(), 13u * 66u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 66), Record(MacFileHeader()));
  EXPECT_EQ(Bytes(bytes.begin() + 4 * 66, bytes.begin() + 5 * 66), Record(rows[3]));
  EXPECT_EQ(Bytes(bytes.end() - 66, bytes.end()), Record(rows[11]));
}

TEST(MacFileTest, ParsingGivesBackEveryByte) {
  MacroRows rows = EveryLayout();
  // Bytes the editor never sets still come back as they were read.
  rows[3].pad3 = 0x7E;
  rows[3].pad65 = 0x01;
  MacroRowBytes odd = ToBytes(rows[4]);
  odd[14] = 0xFF;  // a length byte beyond the capacity
  rows[4] = MacroRowFromBytes(odd);

  const Bytes first = MacFileBytes(rows);
  auto parsed = ParseMacFile(first, kChinese);
  ASSERT_TRUE(parsed.ok()) << parsed.message();
  ASSERT_EQ(parsed->size(), static_cast<std::size_t>(LastUsedRow(rows)));
  EXPECT_EQ(MacFileBytes(*parsed), first);
}

class MacFileStoreTest : public ::testing::Test {
 protected:
  fs::path Project(const char* name = "Project.QX3") const { return dir_ / name; }
  fs::path Mac(const char* name = "Macro.Mac") const { return dir_ / name; }
  MacroRows Stored(const fs::path& project) const {
    MacroRows rows{};
    EXPECT_TRUE(ADOLoadFile(MacroDatabasePath(project), rows, kChinese).ok());
    return rows;
  }
  void ExpectStored(const fs::path& project, const MacroRows& expected) const {
    const MacroRows stored = Stored(project);
    for (int i = 0; i < kMacroRowCount; ++i) {
      EXPECT_EQ(ToBytes(stored[i]), ToBytes(expected[i])) << "row " << i + 1;
    }
  }
  dravik::test::TempDir dir_;
};

TEST_F(MacFileStoreTest, ExportImportExportIsByteIdentical) {
  const Status saved = ADOSaveFile(MacroDatabasePath(Project()), EveryLayout(), kChinese);
  ASSERT_TRUE(saved.ok()) << saved.message();
  ASSERT_TRUE(ExportMacFile(Project(), Mac("first.Mac"), kChinese).ok());
  const Bytes first = ReadAll(Mac("first.Mac"));
  EXPECT_EQ(first, MacFileBytes(EveryLayout()));

  const Status imported = ImportMacFile(Project("Other.QX3"), Mac("first.Mac"), kChinese);
  ASSERT_TRUE(imported.ok()) << imported.message();
  ExpectStored(Project("Other.QX3"), EveryLayout());
  ASSERT_TRUE(ExportMacFile(Project("Other.QX3"), Mac("second.Mac"), kChinese).ok());
  EXPECT_EQ(ReadAll(Mac("second.Mac")), first);
}

TEST_F(MacFileStoreTest, ExportOfAProjectWithoutMacroIsTheHeaderOnly) {
  ASSERT_TRUE(ExportMacFile(Project(), Mac(), kChinese).ok());
  EXPECT_EQ(ReadAll(Mac()), Record(MacFileHeader()));
}

TEST_F(MacFileStoreTest, ExportWithALabelErrorWritesNothing) {
  MacroRows rows{};
  rows[1] = Row(26, K(3));
  rows[6] = Row(26, K(3));
  const Status written = WriteMacFile(Mac(), rows, kChinese);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(written.message(), "L# 7, LABEL 3 重复！");
  EXPECT_FALSE(fs::exists(Mac()));

  WriteAll(Mac(), {1, 2, 3});
  EXPECT_FALSE(WriteMacFile(Mac(), rows, kChinese).ok());
  EXPECT_EQ(ReadAll(Mac()), (Bytes{1, 2, 3}));
}

struct RefusedCase {
  const char* name;
  Bytes file;
  std::string chinese;  // the start of the message
  std::string english;
};

std::vector<RefusedCase> RefusedFiles() {
  MacroRow badVersion = MacFileHeader();
  badVersion.A1v = 8586;
  MacroRow badSignature = MacFileHeader();
  badSignature.Comment.Assign("Kestrowanx");
  MacroRow shortSignature = MacFileHeader();
  shortSignature.Comment.Assign("Kestrowan");
  const MacroRow row = Row(29);

  Bytes truncated = FileOf({MacFileHeader(), row, row});
  truncated.resize(truncated.size() + 30, 0);
  Bytes huge = FileOf({MacFileHeader()});
  for (int i = 0; i < 10000; ++i) {
    const Bytes record = Record(row);
    huge.insert(huge.end(), record.begin(), record.end());
  }
  Bytes oneTooMany = FileOf({MacFileHeader()});
  for (int i = 0; i < 101; ++i) {
    const Bytes record = Record(row);
    oneTooMany.insert(oneTooMany.end(), record.begin(), record.end());
  }
  const std::string version = "文件版本错误 ！";
  return {
      {"wrong version", FileOf({badVersion, row}), version, version},
      {"wrong signature", FileOf({badSignature, row}), version, version},
      {"signature cut short", FileOf({shortSignature, row}), version, version},
      {"empty file", {}, version, version},
      {"shorter than a header", Bytes(40, 0), version, version},
      {"last row cut short", truncated, "宏文件已损坏：第 3 行不完整 ！",
       "The macro file is damaged: row 3 is incomplete!"},
      {"10,000 rows", huge, "宏文件超过 100 行 ！", "The macro file holds more than 100 rows!"},
      {"101 rows", oneTooMany, "宏文件超过 100 行 ！", "The macro file holds more than 100 rows!"},
  };
}

TEST_F(MacFileStoreTest, RefusedFilesLeaveTheStoredMacroAndTheEditorRows) {
  const MacroRows original = EveryLayout();
  const Status saved = ADOSaveFile(MacroDatabasePath(Project()), original, kChinese);
  ASSERT_TRUE(saved.ok()) << saved.message();
  for (const RefusedCase& c : RefusedFiles()) {
    SCOPED_TRACE(c.name);
    WriteAll(Mac(), c.file);
    const Status chinese = ImportMacFile(Project(), Mac(), true);
    ASSERT_FALSE(chinese.ok());
    EXPECT_EQ(chinese.message().rfind(c.chinese, 0), 0u) << chinese.message();
    const Status english = ImportMacFile(Project(), Mac(), false);
    ASSERT_FALSE(english.ok());
    EXPECT_EQ(english.message().rfind(c.english, 0), 0u) << english.message();
    ExpectStored(Project(), original);

    MacroRows editor = original;
    EXPECT_FALSE(ImportMacRows(Mac(), editor, kChinese).ok());
    EXPECT_EQ(MacFileBytes(editor), MacFileBytes(original));
  }
}

TEST_F(MacFileStoreTest, ImportWithALabelErrorIsRefused) {
  const MacroRows original = EveryLayout();
  const Status saved = ADOSaveFile(MacroDatabasePath(Project()), original, kChinese);
  ASSERT_TRUE(saved.ok()) << saved.message();
  WriteAll(Mac(), FileOf({MacFileHeader(), Row(29), Row(25, K(4))}));
  const Status imported = ImportMacFile(Project(), Mac(), kChinese);
  ASSERT_FALSE(imported.ok());
  EXPECT_EQ(imported.message(), "L# 2, LABEL 4 未定义！");
  ExpectStored(Project(), original);
}

TEST_F(MacFileStoreTest, FilesThatCannotBeReadAreRefusedClearly) {
  const struct Case {
    const char* name;
    fs::path file;
  } cases[] = {
      {"missing", Mac("missing.Mac")},
      {"a folder", dir_.path()},
      {"a device", "/dev/zero"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Status imported = ImportMacFile(Project(), c.file, false);
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.message().rfind("Cannot open the file " + c.file.string() + "!", 0), 0u)
        << imported.message();
  }
  EXPECT_FALSE(fs::exists(MacroDatabasePath(Project())));
}

TEST_F(MacFileStoreTest, EditorImportTakesTheFileRowsAndClearsTheRest) {
  WriteAll(Mac(), FileOf({MacFileHeader(), Comment("one"), Row(11, R(1), K(2), {}, 1)}));
  MacroRows rows = EveryLayout();
  ASSERT_TRUE(ImportMacRows(Mac(), rows, kChinese).ok());
  EXPECT_EQ(LastUsedRow(rows), 2);
  EXPECT_EQ(rows[0].Comment.Str(), "one");
  EXPECT_EQ(rows[1].BIT, 1);
  EXPECT_EQ(rows[2].BIT, 0);
  // A full file of 100 rows is accepted.
  Bytes full = FileOf({MacFileHeader()});
  for (int i = 0; i < 100; ++i) {
    const Bytes record = Record(Row(29));
    full.insert(full.end(), record.begin(), record.end());
  }
  WriteAll(Mac(), full);
  ASSERT_TRUE(ImportMacRows(Mac(), rows, kChinese).ok());
  EXPECT_EQ(LastUsedRow(rows), 100);
}

TEST(MacFileNameTest, ExportForcesTheExtension) {
  EXPECT_EQ(WithMacExtension("/m/clock"), fs::path("/m/clock.Mac"));
  EXPECT_EQ(WithMacExtension("/m/clock.txt"), fs::path("/m/clock.Mac"));
  EXPECT_EQ(WithMacExtension("/m/clock.Mac"), fs::path("/m/clock.Mac"));
}

}  // namespace
}  // namespace dravik::macro
