#pragma once
// The desktop database engine: password-protected single-file databases (SQLCipher) as
// the device resources, the macro database and the picture library use them.
//
// What the callers rely on:
//  - `Open` verifies the password at once: a wrong password or a file that is not a
//    database is an error here, not on some later read.
//  - `Query` yields the rows in stored order, walked first to last (`Eof`, `Next`). The
//    rows are read completely when the query runs, so a recordset never holds the file
//    busy and stays valid after the database is closed (it can then no longer post).
//  - Columns are read by name, case-insensitively. Texts are bytes: GBK in, GBK out.
//  - Jet spellings the callers use are accepted ("delete * from T").
//  - `CompactInPlace` replaces the file only by a complete compacted copy.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace dravik::platform {

namespace detail {
struct DbConnection;
}

enum class OpenMode {
  ReadOnly,         // the file must exist; nothing can be written
  ReadWrite,        // the file must exist
  CreateIfMissing,  // read-write; a missing file becomes a new, empty database
};

// One stored value as read from a row or given to a column.
struct DbValue {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  std::int64_t integer = 0;
  double real = 0;
  std::string bytes;  // Text and Blob: the stored bytes, unchanged
};

// The rows of one select statement. When the statement reads a single table
// ("select <columns> from T [where …]"), the recordset remembers each row's identity and
// can change the current row (`Edit`) or add rows (`Append`), stored by `Post`.
class Recordset {
 public:
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;
  ~Recordset();

  bool Eof() const { return current_ >= rows_.size(); }
  void Next() {
    if (!Eof()) ++current_;
  }
  void First() { current_ = 0; }
  std::size_t RecordCount() const { return rows_.size(); }

  const std::vector<std::string>& ColumnNames() const { return columns_; }
  bool HasColumn(std::string_view column) const;
  // A clear error naming the first column of `columns` that the rows do not have; callers
  // check their columns once after the query instead of reading defaults silently.
  Status RequireColumns(std::initializer_list<std::string_view> columns) const;

  // Reading the current row. A column that does not exist, a NULL and reading past the
  // last row give the default (0, empty). `Int` of a text reads its decimal number (0
  // when the text is not one); `Text` of a number is its decimal text.
  std::int64_t Int(std::string_view column) const;
  std::string Text(std::string_view column) const;
  std::vector<std::uint8_t> Bytes(std::string_view column) const;
  bool IsNull(std::string_view column) const;

  // Changing rows: `Edit` (the current row) or `Append` (a new row), then the Set calls,
  // then `Post` stores them; `Cancel` forgets them. After posting, the recordset shows
  // the stored row, and an appended row becomes the current one (at the end).
  bool CanChange() const { return !table_.empty(); }
  Status Edit();
  Status Append();
  void SetInt(std::string_view column, std::int64_t value);
  void SetText(std::string_view column, std::string_view bytes);
  void SetBytes(std::string_view column, std::span<const std::uint8_t> bytes);
  void SetNull(std::string_view column);
  Status Post();
  void Cancel();

 private:
  friend class DesktopDb;
  Recordset() = default;

  enum class Pending { None, Edit, Append };
  using Row = std::vector<DbValue>;

  const DbValue* Find(std::string_view column) const;
  void Set(std::string_view column, DbValue value);
  Status Reread(std::int64_t rowid, Row& row) const;

  std::shared_ptr<detail::DbConnection> connection_;
  std::string sql_;
  std::string table_;       // empty when the rows cannot be changed
  std::string selectList_;  // the columns part of the statement, to read a row again
  std::vector<std::string> columns_;
  std::vector<Row> rows_;
  std::vector<std::int64_t> rowids_;
  std::size_t current_ = 0;
  Pending pending_ = Pending::None;
  std::vector<std::pair<std::string, DbValue>> changes_;
};

class DesktopDb {
 public:
  // An empty password opens the file without encryption (used only to prove that a
  // protected file cannot be read that way).
  static Result<DesktopDb> Open(const std::filesystem::path& path, std::string_view password,
                                OpenMode mode);

  DesktopDb(DesktopDb&&) noexcept;
  DesktopDb& operator=(DesktopDb&&) noexcept;
  DesktopDb(const DesktopDb&) = delete;
  DesktopDb& operator=(const DesktopDb&) = delete;
  ~DesktopDb();

  bool IsOpen() const;
  const std::filesystem::path& path() const { return path_; }

  Result<Recordset> Query(std::string_view sql);
  // Runs one or more statements separated by ";".
  Status Execute(std::string_view sql);

  Status BeginTransaction();
  Status Commit();
  Status Rollback();

  // Releases the file. Recordsets taken from this database keep their rows.
  void Close();

 private:
  friend class DbTransaction;
  DesktopDb(std::shared_ptr<detail::DbConnection> connection, std::filesystem::path path);

  std::shared_ptr<detail::DbConnection> connection_;
  std::filesystem::path path_;
};

// Rolls back unless committed, so a multi-row save that stops half-way stores nothing.
class DbTransaction {
 public:
  static Result<DbTransaction> Begin(DesktopDb& db);
  DbTransaction(DbTransaction&& other) noexcept = default;
  DbTransaction& operator=(DbTransaction&&) = delete;
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;
  ~DbTransaction();

  Status Commit();

 private:
  explicit DbTransaction(std::shared_ptr<detail::DbConnection> connection);
  std::shared_ptr<detail::DbConnection> connection_;  // null once committed or rolled back
};

// Copies the database `source` into the new file `destination` (which must not exist),
// compacted and protected by the same password. On failure nothing is left at
// `destination`.
Status Compact(const std::filesystem::path& source, const std::filesystem::path& destination,
               std::string_view password);

// Compacts the closed database at `path` into `path` with the extension ".$$$" (an old
// file of that name is removed first) and renames that over `path`. On failure the
// database file is as it was.
Status CompactInPlace(const std::filesystem::path& path, std::string_view password);

// The bytes of a new database that holds only what `schema` makes, protected by
// `password`. It is built in a private temporary file in `scratchFolder` (the folder the
// database is meant for), which is gone again afterwards: new databases never come from a
// template in a shared place.
Result<std::vector<std::uint8_t>> NewDatabaseBytes(const std::filesystem::path& scratchFolder,
                                                   std::string_view password, std::string_view schema);
// The same for a database that `fill` builds (its tables and rows) on the open scratch
// database; a failure of `fill` gives no bytes.
Result<std::vector<std::uint8_t>> BuildDatabaseBytes(const std::filesystem::path& scratchFolder,
                                                     std::string_view password,
                                                     const std::function<Status(DesktopDb&)>& fill);

// Makes such a new database at `target`, complete or not at all, unless something is there
// already (kept: false). It is built beside the target and linked into place without
// replacing anything, so another instance making it at the same moment keeps theirs. The
// file gets the permissions of `permissionsOf` (a project's companion those of the
// project) when that exists.
Result<bool> CreateDatabaseNoOverwrite(const std::filesystem::path& target,
                                       std::string_view password, std::string_view schema,
                                       const std::filesystem::path& permissionsOf = {});

// `path` with its extension replaced by ".$$$".
std::filesystem::path CompactionPath(const std::filesystem::path& path);

}  // namespace dravik::platform
