#include "macro/macro_database.h"

#include <string>

#include "macro/mac_label_check.h"
#include "platform/bilingual.h"
#include "platform/desktop_db.h"
#include "platform/files.h"

namespace dravik::macro {

namespace fs = std::filesystem;
using platform::DesktopDb;
using platform::OpenMode;

namespace {

constexpr std::string_view kCreateTable =
    "create table Mac (OPt integer, BIT integer, A1t integer, A1v integer, A2t integer, "
    "A2v integer, A3t integer, A3v integer, Comment text)";

Error Fail(bool isChinese, const std::string& chinese, const std::string& english,
           const std::string& reason) {
  const Bilingual text{chinese + "\r" + reason, english + "\r" + reason};
  return Error{text.In(isChinese)};
}

Error ReadFailure(bool isChinese, const fs::path& db, const std::string& reason) {
  return Fail(isChinese, "无法读取宏数据库 " + db.string() + " ！",
              "Cannot read the macro database " + db.string() + "!", reason);
}

Error SaveFailure(bool isChinese, const fs::path& db, const std::string& reason) {
  return Fail(isChinese, "无法保存宏数据库 " + db.string() + " ！",
              "Cannot save the macro database " + db.string() + "!", reason);
}

}  // namespace

fs::path MacroDatabasePath(const fs::path& projectFile) {
  fs::path db = projectFile;
  db.replace_extension(".M");
  return db;
}

Result<platform::Bytes> NewMacroDatabase(const fs::path& folder) {
  return platform::NewDatabaseBytes(folder, kMacroPassword, kCreateTable);
}

Status EnsureMacroDatabase(const fs::path& macroDatabase, bool isChinese) {
  if (platform::Exists(macroDatabase)) return Status::Ok();
  // Another instance may make it at the same moment: then theirs is kept.
  fs::path project = macroDatabase;
  project.replace_extension(".QX3");
  Result<bool> made =
      platform::CreateDatabaseNoOverwrite(macroDatabase, kMacroPassword, kCreateTable, project);
  if (!made) {
    return Fail(isChinese, "无法建立宏数据库 " + macroDatabase.string() + " ！",
                "Cannot create the macro database " + macroDatabase.string() + "!",
                made.error().In(isChinese));
  }
  return Status::Ok();
}

Status ADOLoadFile(const fs::path& macroDatabase, MacroRows& rows, bool isChinese) {
  if (Status ensured = EnsureMacroDatabase(macroDatabase, isChinese); !ensured) return ensured;
  auto db = DesktopDb::Open(macroDatabase, kMacroPassword, OpenMode::ReadOnly);
  if (!db) return ReadFailure(isChinese, macroDatabase, db.message());
  auto records = db->Query("select * from Mac");
  db->Close();
  if (!records) return ReadFailure(isChinese, macroDatabase, records.message());
  if (Status columns = records->RequireColumns(
          {"OPt", "BIT", "A1t", "A1v", "A2t", "A2v", "A3t", "A3v", "Comment"});
      !columns) {
    return ReadFailure(isChinese, macroDatabase, columns.message());
  }

  MacroRows loaded = rows;
  ClearCodes(loaded);
  // Columns keep their low bits as the row's byte and word fields do.
  const auto byte = [&](std::string_view column) {
    return static_cast<std::uint8_t>(records->Int(column) & 0xFF);
  };
  const auto word = [&](std::string_view column) {
    return static_cast<std::uint16_t>(records->Int(column) & 0xFFFF);
  };
  for (std::size_t i = 0; i < loaded.size() && !records->Eof(); ++i, records->Next()) {
    MacroRow row;
    row.OPt = byte("OPt");
    row.BIT = byte("BIT");
    row.A1t = byte("A1t");
    row.A1v = word("A1v");
    row.A2t = byte("A2t");
    row.A2v = word("A2v");
    row.A3t = byte("A3t");
    row.A3v = word("A3v");
    row.Comment.Assign(records->Text("Comment"));
    loaded[i] = row;
  }
  rows = loaded;
  return Status::Ok();
}

namespace {

// Replaces the table's content with the rows up to the last used row; the caller holds
// the transaction. Gives the engine's reason on failure.
Status StoreRows(DesktopDb& db, std::span<const MacroRow> rows) {
  if (Status cleared = db.Execute("delete * from Mac"); !cleared) return cleared;
  auto records = db.Query("select * from Mac");
  if (!records) return records.error();
  const int last = LastUsedRow(rows);
  for (int i = 0; i < last; ++i) {
    const MacroRow& row = rows[static_cast<std::size_t>(i)];
    if (Status appended = records->Append(); !appended) return appended;
    records->SetInt("OPt", row.OPt);
    records->SetInt("BIT", row.BIT);
    records->SetInt("A1t", row.A1t);
    records->SetInt("A1v", static_cast<std::uint16_t>(row.A1v));
    records->SetInt("A2t", row.A2t);
    records->SetInt("A2v", static_cast<std::uint16_t>(row.A2v));
    records->SetInt("A3t", row.A3t);
    records->SetInt("A3v", static_cast<std::uint16_t>(row.A3v));
    records->SetText("Comment", row.Comment.View());
    if (Status posted = records->Post(); !posted) return posted;
  }
  return Status::Ok();
}

}  // namespace

Status ADOSaveFile(const fs::path& macroDatabase, std::span<const MacroRow> rows, bool isChinese) {
  if (auto labelError = CheckMacLabels(rows)) return Error{labelError->In(isChinese)};
  if (Status ensured = EnsureMacroDatabase(macroDatabase, isChinese); !ensured) return ensured;

  auto db = DesktopDb::Open(macroDatabase, kMacroPassword, OpenMode::ReadWrite);
  if (!db) return SaveFailure(isChinese, macroDatabase, db.message());
  auto transaction = platform::DbTransaction::Begin(*db);
  if (!transaction) return SaveFailure(isChinese, macroDatabase, transaction.message());
  if (Status stored = StoreRows(*db, rows); !stored) {
    return SaveFailure(isChinese, macroDatabase, stored.message());
  }
  if (Status committed = transaction->Commit(); !committed) {
    return SaveFailure(isChinese, macroDatabase, committed.message());
  }
  db->Close();
  return Status::Ok();
}

Result<std::vector<std::uint8_t>> MacroDatabaseBytes(const fs::path& folder,
                                                     std::span<const MacroRow> rows, bool isChinese) {
  if (auto labelError = CheckMacLabels(rows)) return Error{labelError->In(isChinese)};
  return platform::BuildDatabaseBytes(folder, kMacroPassword, [rows](DesktopDb& db) {
    if (Status made = db.Execute(kCreateTable); !made) return made;
    return StoreRows(db, rows);
  });
}

Status CompressRepairMDat(const fs::path& macroDatabase) {
  Status compacted = platform::CompactInPlace(macroDatabase, kMacroPassword);
  if (!compacted) return Error{"数据压缩修复失败 ！\r\r" + compacted.message()};
  return Status::Ok();
}

}  // namespace dravik::macro
