#include "platform/desktop_db.h"

#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/files.h"

namespace dravik::platform {

namespace detail {

struct DbConnection {
  sqlite3* handle = nullptr;
  std::string path;  // for messages

  ~DbConnection() { Close(); }
  void Close() {
    if (handle == nullptr) return;
    // Recordsets hold no statements, so closing succeeds; the _v2 form is the fallback
    // that still releases the file once a stray statement is finalized.
    if (sqlite3_close(handle) != SQLITE_OK) sqlite3_close_v2(handle);
    handle = nullptr;
  }
};

}  // namespace detail

namespace {

using detail::DbConnection;

// Waits this long for another instance that holds the file locked before giving up.
constexpr int kBusyTimeoutMs = 2000;
// The name under which the compaction copy is attached.
constexpr const char* kCompactAlias = "dravik_compacted";
// The name under which a recordset reads each row's identity.
constexpr const char* kRowidColumn = "dravik$rowid";

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Lower(a) == Lower(b);
}

std::string QuoteIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

Error Failure(const DbConnection& connection, std::string_view what, std::string_view sql = {}) {
  std::string message = what.empty() ? std::string() : std::string(what) + ": ";
  message +=
      connection.handle != nullptr ? sqlite3_errmsg(connection.handle) : "database is closed";
  message += " (database " + connection.path;
  if (!sql.empty()) message += ", statement \"" + std::string(sql) + "\"";
  message += ")";
  return Error{message};
}

Error Closed(const DbConnection* connection) {
  return Error{"database " + (connection != nullptr ? connection->path : std::string()) +
               " is closed"};
}

bool IsOpen(const std::shared_ptr<DbConnection>& connection) {
  return connection != nullptr && connection->handle != nullptr;
}

// Finalizes the statement however the function using it returns.
class Statement {
 public:
  Statement() = default;
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  int Prepare(sqlite3* db, std::string_view sql, const char** tail = nullptr) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    return sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, tail);
  }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

int Bind(sqlite3_stmt* stmt, int index, const DbValue& value) {
  switch (value.kind) {
    case DbValue::Kind::Null:
      return sqlite3_bind_null(stmt, index);
    case DbValue::Kind::Integer:
      return sqlite3_bind_int64(stmt, index, value.integer);
    case DbValue::Kind::Real:
      return sqlite3_bind_double(stmt, index, value.real);
    case DbValue::Kind::Text:
      return sqlite3_bind_text(stmt, index, value.bytes.data(),
                               static_cast<int>(value.bytes.size()), SQLITE_TRANSIENT);
    case DbValue::Kind::Blob:
      // A zero-length blob still binds as a blob, not as NULL.
      return sqlite3_bind_blob(stmt, index, value.bytes.empty() ? "" : value.bytes.data(),
                               static_cast<int>(value.bytes.size()), SQLITE_TRANSIENT);
  }
  return SQLITE_MISUSE;
}

DbValue ColumnValue(sqlite3_stmt* stmt, int column) {
  DbValue value;
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      value.kind = DbValue::Kind::Integer;
      value.integer = sqlite3_column_int64(stmt, column);
      break;
    case SQLITE_FLOAT:
      value.kind = DbValue::Kind::Real;
      value.real = sqlite3_column_double(stmt, column);
      break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      value.kind = sqlite3_column_type(stmt, column) == SQLITE_TEXT ? DbValue::Kind::Text
                                                                    : DbValue::Kind::Blob;
      // Read as a blob: the bytes exactly as stored, with no text conversion.
      const void* data = sqlite3_column_blob(stmt, column);
      int size = sqlite3_column_bytes(stmt, column);
      if (data != nullptr && size > 0) value.bytes.assign(static_cast<const char*>(data), size);
      break;
    }
    default:
      break;
  }
  return value;
}

// String literals blanked out, so keywords inside them are not taken for SQL.
std::string WithoutLiterals(std::string_view sql) {
  std::string out(sql);
  char quote = 0;
  for (char& c : out) {
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        c = ' ';
      }
    } else if (c == '\'' || c == '"' || c == '[') {
      quote = c == '[' ? ']' : c;
    }
  }
  return out;
}

// A select that reads one table with plain columns ("select * from Mac", "select Name,
// Type from No3 where Type=1"). Such a recordset can change its rows, and is read in
// stored order.
struct SimpleSelect {
  std::string columns;
  std::string table;
  std::string rest;
  bool hasOrder = false;
};

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// The keyword `word` (lower case) stands at `at` in `lowered` as a whole word.
bool WordAt(std::string_view lowered, std::size_t at, std::string_view word) {
  if (lowered.substr(at, word.size()) != word) return false;
  std::size_t end = at + word.size();
  return (at == 0 || !IsWordChar(lowered[at - 1])) &&
         (end >= lowered.size() || !IsWordChar(lowered[end]));
}

bool HasWord(std::string_view lowered, std::string_view word) {
  for (std::size_t at = lowered.find(word); at != std::string_view::npos;
       at = lowered.find(word, at + 1)) {
    if (WordAt(lowered, at, word)) return true;
  }
  return false;
}

// The end of the table name starting at `at`: a plain name, "quoted" or [bracketed].
std::size_t TableNameEnd(std::string_view text, std::size_t at) {
  if (at >= text.size()) return at;
  if (text[at] == '"' || text[at] == '[') {
    char close = text[at] == '"' ? '"' : ']';
    std::size_t end = text.find(close, at + 1);
    return end == std::string_view::npos || end == at + 1 ? at : end + 1;
  }
  if (!IsWordChar(text[at]) || text[at] == '$' || (text[at] >= '0' && text[at] <= '9')) {
    return at;
  }
  std::size_t end = at;
  while (end < text.size() && IsWordChar(text[end])) ++end;
  return end;
}

bool ParseSimpleSelect(std::string_view sql, SimpleSelect& out) {
  std::string lowered = Lower(WithoutLiterals(sql));
  std::size_t at = SkipBlanks(lowered, 0);
  if (!WordAt(lowered, at, "select")) return false;
  std::size_t columnsStart = at + 6;

  std::size_t from = std::string::npos;
  for (std::size_t i = columnsStart; i < lowered.size(); ++i) {
    if (WordAt(lowered, i, "from")) {
      from = i;
      break;
    }
  }
  if (from == std::string::npos) return false;
  std::string_view columns = std::string_view(sql).substr(columnsStart, from - columnsStart);
  std::string_view loweredColumns =
      std::string_view(lowered).substr(columnsStart, from - columnsStart);
  if (SkipBlanks(columns, 0) == columns.size()) return false;
  if (loweredColumns.find('(') != std::string_view::npos || HasWord(loweredColumns, "distinct") ||
      HasWord(loweredColumns, "all")) {
    return false;
  }

  std::size_t tableStart = SkipBlanks(sql, from + 4);
  if (tableStart == from + 4) return false;
  std::size_t tableEnd = TableNameEnd(sql, tableStart);
  if (tableEnd == tableStart) return false;

  std::size_t restEnd = sql.size();
  while (restEnd > tableEnd && (IsBlank(sql[restEnd - 1]) || sql[restEnd - 1] == ';')) --restEnd;
  std::string rest = lowered.substr(tableEnd, restEnd - tableEnd);
  std::size_t first = SkipBlanks(rest, 0);
  if (first < rest.size()) {
    if (first == 0) return false;  // the table name runs on into something else
    bool knownStart = WordAt(rest, first, "where") || WordAt(rest, first, "order") ||
                      WordAt(rest, first, "limit");
    if (!knownStart) return false;  // aliases, joins, several tables
  }
  if (rest.find(';') != std::string::npos) return false;
  for (std::string_view word : {"join", "union", "intersect", "except", "group"}) {
    if (HasWord(rest, word)) return false;
  }
  if (HasWord(rest, "limit") && !HasWord(rest, "order")) return false;

  out.columns = std::string(columns);
  out.table = std::string(sql.substr(tableStart, tableEnd - tableStart));
  out.rest = std::string(sql.substr(tableEnd, restEnd - tableEnd));
  out.hasOrder = HasWord(rest, "order");
  return true;
}

// Jet accepts "delete * from T"; SQL wants "delete from T". Only the start of each
// statement is looked at, and never the inside of a string literal.
std::string ToSqliteSpelling(std::string_view sql) {
  std::string lowered = Lower(WithoutLiterals(sql));
  std::string out;
  std::size_t copied = 0;
  std::size_t statementStart = 0;
  while (statementStart <= lowered.size()) {
    std::size_t at = SkipBlanks(lowered, statementStart);
    if (WordAt(lowered, at, "delete")) {
      std::size_t star = SkipBlanks(lowered, at + 6);
      if (star < lowered.size() && lowered[star] == '*') {
        std::size_t from = SkipBlanks(lowered, star + 1);
        if (WordAt(lowered, from, "from")) {
          out.append(sql.substr(copied, at - copied));
          out += "delete ";
          copied = from;
        }
      }
    }
    std::size_t semicolon = lowered.find(';', statementStart);
    if (semicolon == std::string::npos) break;
    statementStart = semicolon + 1;
  }
  out.append(sql.substr(copied));
  return out;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

Status RunStatement(DbConnection& connection, std::string_view sql,
                    std::initializer_list<DbValue> parameters = {}) {
  Statement stmt;
  if (stmt.Prepare(connection.handle, sql) != SQLITE_OK) return Failure(connection, {}, sql);
  int index = 1;
  for (const DbValue& value : parameters) {
    if (Bind(stmt.get(), index++, value) != SQLITE_OK) return Failure(connection, {}, sql);
  }
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) return Failure(connection, {}, sql);
  return Status::Ok();
}

// Opens and proves the password by reading the schema: SQLCipher itself only notices a
// wrong key (or a file that is no database) on the first read.
Result<std::shared_ptr<DbConnection>> OpenConnection(const std::filesystem::path& path,
                                                     std::string_view password, int flags) {
  auto connection = std::make_shared<DbConnection>();
  connection->path = path.string();
  std::string prefix = "cannot open database " + connection->path + ": ";
  int rc = sqlite3_open_v2(connection->path.c_str(), &connection->handle, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason =
        connection->handle != nullptr ? sqlite3_errmsg(connection->handle) : sqlite3_errstr(rc);
    return Error{prefix + reason};
  }
  sqlite3_busy_timeout(connection->handle, kBusyTimeoutMs);
  if (!password.empty() && sqlite3_key(connection->handle, password.data(),
                                       static_cast<int>(password.size())) != SQLITE_OK) {
    return Error{prefix + sqlite3_errmsg(connection->handle)};
  }
  Statement probe;
  rc = probe.Prepare(connection->handle, "SELECT count(*) FROM sqlite_master");
  if (rc == SQLITE_OK) rc = sqlite3_step(probe.get());
  if (rc == SQLITE_NOTADB) return Error{prefix + "wrong password or not a database file"};
  if (rc != SQLITE_ROW) return Error{prefix + sqlite3_errmsg(connection->handle)};
  return connection;
}

void SyncPath(const std::filesystem::path& path, bool directory) {
  int fd = ::open(path.c_str(), (directory ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void RemoveQuietly(const std::filesystem::path& file) {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  std::filesystem::remove(file.string() + "-journal", ignored);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Recordset

Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

const DbValue* Recordset::Find(std::string_view column) const {
  if (Eof()) return nullptr;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (EqualsNoCase(columns_[i], column)) return &rows_[current_][i];
  }
  return nullptr;
}

bool Recordset::HasColumn(std::string_view column) const {
  return std::any_of(columns_.begin(), columns_.end(),
                     [&](const std::string& name) { return EqualsNoCase(name, column); });
}

Status Recordset::RequireColumns(std::initializer_list<std::string_view> columns) const {
  for (std::string_view column : columns) {
    if (!HasColumn(column)) {
      std::string where = connection_ != nullptr ? connection_->path : std::string();
      return Error{"column \"" + std::string(column) + "\" is missing (database " + where +
                   ", statement \"" + sql_ + "\")"};
    }
  }
  return Status::Ok();
}

std::int64_t Recordset::Int(std::string_view column) const {
  const DbValue* value = Find(column);
  if (value == nullptr) return 0;
  switch (value->kind) {
    case DbValue::Kind::Integer:
      return value->integer;
    case DbValue::Kind::Real:
      // Out-of-range and NaN values have no integer; the documented default is 0.
      if (!std::isfinite(value->real) || std::fabs(value->real) >= 9.2e18) return 0;
      return static_cast<std::int64_t>(value->real);
    case DbValue::Kind::Text:
      return ParseInteger(value->bytes).value_or(0);
    default:
      return 0;
  }
}

std::string Recordset::Text(std::string_view column) const {
  const DbValue* value = Find(column);
  if (value == nullptr) return {};
  switch (value->kind) {
    case DbValue::Kind::Integer:
      return std::to_string(value->integer);
    case DbValue::Kind::Real: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.15g", value->real);
      return buffer;
    }
    case DbValue::Kind::Text:
    case DbValue::Kind::Blob:
      return value->bytes;
    default:
      return {};
  }
}

std::vector<std::uint8_t> Recordset::Bytes(std::string_view column) const {
  const DbValue* value = Find(column);
  if (value == nullptr) return {};
  if (value->kind == DbValue::Kind::Text || value->kind == DbValue::Kind::Blob) {
    return {value->bytes.begin(), value->bytes.end()};
  }
  std::string text = Text(column);
  return {text.begin(), text.end()};
}

bool Recordset::IsNull(std::string_view column) const {
  const DbValue* value = Find(column);
  return value == nullptr || value->kind == DbValue::Kind::Null;
}

Status Recordset::Edit() {
  if (!CanChange()) return Error{"the rows of \"" + sql_ + "\" cannot be changed"};
  if (Eof()) return Error{"no current row to edit (statement \"" + sql_ + "\")"};
  pending_ = Pending::Edit;
  changes_.clear();
  return Status::Ok();
}

Status Recordset::Append() {
  if (!CanChange()) return Error{"rows cannot be added through \"" + sql_ + "\""};
  pending_ = Pending::Append;
  changes_.clear();
  return Status::Ok();
}

void Recordset::Set(std::string_view column, DbValue value) {
  for (auto& [name, stored] : changes_) {
    if (EqualsNoCase(name, column)) {
      stored = std::move(value);
      return;
    }
  }
  changes_.emplace_back(std::string(column), std::move(value));
}

void Recordset::SetInt(std::string_view column, std::int64_t value) {
  Set(column, DbValue{DbValue::Kind::Integer, value, 0, {}});
}

void Recordset::SetText(std::string_view column, std::string_view bytes) {
  Set(column, DbValue{DbValue::Kind::Text, 0, 0, std::string(bytes)});
}

void Recordset::SetBytes(std::string_view column, std::span<const std::uint8_t> bytes) {
  Set(column, DbValue{DbValue::Kind::Blob, 0, 0, std::string(bytes.begin(), bytes.end())});
}

void Recordset::SetNull(std::string_view column) {
  Set(column, DbValue{});
}

void Recordset::Cancel() {
  pending_ = Pending::None;
  changes_.clear();
}

Status Recordset::Reread(std::int64_t rowid, Row& row) const {
  std::string sql = "SELECT " + selectList_ + " FROM " + table_ + " WHERE _rowid_=?";
  Statement stmt;
  if (stmt.Prepare(connection_->handle, sql) != SQLITE_OK ||
      sqlite3_bind_int64(stmt.get(), 1, rowid) != SQLITE_OK) {
    return Failure(*connection_, {}, sql);
  }
  int rc = sqlite3_step(stmt.get());
  if (rc == SQLITE_DONE) return Error{"the row was not found again (statement \"" + sql + "\")"};
  if (rc != SQLITE_ROW) return Failure(*connection_, {}, sql);
  row.clear();
  for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
    row.push_back(ColumnValue(stmt.get(), i));
  }
  row.resize(columns_.size());
  return Status::Ok();
}

Status Recordset::Post() {
  if (pending_ == Pending::None) return Error{"no row is being edited or appended"};
  if (!IsOpen(connection_)) return Closed(connection_.get());
  if (pending_ == Pending::Edit && Eof()) return Error{"no current row to post"};

  std::string sql;
  if (pending_ == Pending::Append) {
    if (changes_.empty()) {
      sql = "INSERT INTO " + table_ + " DEFAULT VALUES";
    } else {
      std::string names;
      std::string marks;
      for (const auto& change : changes_) {
        names += (names.empty() ? "" : ", ") + QuoteIdentifier(change.first);
        marks += marks.empty() ? "?" : ", ?";
      }
      sql = "INSERT INTO " + table_ + " (" + names + ") VALUES (" + marks + ")";
    }
  } else {
    if (changes_.empty()) {
      Cancel();
      return Status::Ok();
    }
    std::string assignments;
    for (const auto& change : changes_) {
      assignments += (assignments.empty() ? "" : ", ") + QuoteIdentifier(change.first) + "=?";
    }
    sql = "UPDATE " + table_ + " SET " + assignments + " WHERE _rowid_=?";
  }

  Statement stmt;
  if (stmt.Prepare(connection_->handle, sql) != SQLITE_OK) {
    return Failure(*connection_, "cannot store the row", sql);
  }
  int index = 1;
  for (const auto& change : changes_) {
    if (Bind(stmt.get(), index++, change.second) != SQLITE_OK) {
      return Failure(*connection_, "cannot store the row", sql);
    }
  }
  if (pending_ == Pending::Edit) sqlite3_bind_int64(stmt.get(), index, rowids_[current_]);
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
    return Failure(*connection_, "cannot store the row", sql);
  }

  if (pending_ == Pending::Edit) {
    if (sqlite3_changes(connection_->handle) != 1) {
      return Error{"the row to change no longer exists (statement \"" + sql + "\")"};
    }
    Row row;
    Status reread = Reread(rowids_[current_], row);
    if (!reread) return reread;
    rows_[current_] = std::move(row);
  } else {
    std::int64_t rowid = sqlite3_last_insert_rowid(connection_->handle);
    Row row;
    Status reread = Reread(rowid, row);
    if (!reread) return reread;
    rows_.push_back(std::move(row));
    rowids_.push_back(rowid);
    current_ = rows_.size() - 1;
  }
  Cancel();
  return Status::Ok();
}

// ---------------------------------------------------------------------------------------
// DesktopDb

DesktopDb::DesktopDb(std::shared_ptr<DbConnection> connection, std::filesystem::path path)
    : connection_(std::move(connection)), path_(std::move(path)) {}
DesktopDb::DesktopDb(DesktopDb&&) noexcept = default;
DesktopDb& DesktopDb::operator=(DesktopDb&& other) noexcept {
  if (this != &other) {
    Close();
    connection_ = std::move(other.connection_);
    path_ = std::move(other.path_);
  }
  return *this;
}
DesktopDb::~DesktopDb() {
  Close();
}

Result<DesktopDb> DesktopDb::Open(const std::filesystem::path& path, std::string_view password,
                                  OpenMode mode) {
  std::error_code error;
  if (mode != OpenMode::CreateIfMissing && !std::filesystem::exists(path, error)) {
    return Error{"cannot open database " + path.string() + ": the file does not exist"};
  }
  int flags = SQLITE_OPEN_FULLMUTEX;
  switch (mode) {
    case OpenMode::ReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case OpenMode::ReadWrite:
      flags |= SQLITE_OPEN_READWRITE;
      break;
    case OpenMode::CreateIfMissing:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
  }
  // A journal beside the file may be what a program killed in the middle of a save left;
  // only a writer can roll it back, and until then no reader gets in. A writer that is
  // still at work keeps its journal: opening beside it changes nothing.
  if (mode == OpenMode::ReadOnly && std::filesystem::exists(path.string() + "-journal", error)) {
    (void)OpenConnection(path, password, SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_READWRITE);
  }
  auto connection = OpenConnection(path, password, flags);
  if (!connection) return connection.error();
  return DesktopDb(std::move(connection).value(), path);
}

bool DesktopDb::IsOpen() const {
  return dravik::platform::IsOpen(connection_);
}

void DesktopDb::Close() {
  if (connection_ != nullptr) connection_->Close();
  connection_.reset();
}

Result<Recordset> DesktopDb::Query(std::string_view sql) {
  if (!IsOpen()) return Closed(connection_.get());
  Recordset rows;
  rows.connection_ = connection_;
  rows.sql_ = std::string(sql);

  Statement stmt;
  bool withRowid = false;
  SimpleSelect simple;
  if (ParseSimpleSelect(sql, simple)) {
    std::string rewritten = "SELECT _rowid_ AS " + QuoteIdentifier(kRowidColumn) + ", " +
                            simple.columns + " FROM " + simple.table + simple.rest +
                            (simple.hasOrder ? "" : " ORDER BY _rowid_");
    // Views and tables without row identities refuse _rowid_; they are read as written.
    if (stmt.Prepare(connection_->handle, rewritten) == SQLITE_OK) {
      withRowid = true;
      rows.table_ = simple.table;
      rows.selectList_ = simple.columns;
    }
  }
  if (!withRowid) {
    const char* tail = nullptr;
    if (stmt.Prepare(connection_->handle, sql, &tail) != SQLITE_OK || stmt.get() == nullptr) {
      if (stmt.get() == nullptr && sqlite3_errcode(connection_->handle) == SQLITE_OK) {
        return Error{"no statement to run (database " + connection_->path + ")"};
      }
      return Failure(*connection_, {}, sql);
    }
  }

  int first = withRowid ? 1 : 0;
  int count = sqlite3_column_count(stmt.get());
  for (int i = first; i < count; ++i)
    rows.columns_.emplace_back(sqlite3_column_name(stmt.get(), i));
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    Recordset::Row row;
    row.reserve(static_cast<std::size_t>(count - first));
    for (int i = first; i < count; ++i) row.push_back(ColumnValue(stmt.get(), i));
    rows.rows_.push_back(std::move(row));
    rows.rowids_.push_back(withRowid ? sqlite3_column_int64(stmt.get(), 0) : 0);
  }
  if (rc != SQLITE_DONE) return Failure(*connection_, {}, sql);
  return rows;
}

Status DesktopDb::Execute(std::string_view sql) {
  if (!IsOpen()) return Closed(connection_.get());
  std::string text = ToSqliteSpelling(sql);
  const char* next = text.c_str();
  const char* end = text.c_str() + text.size();
  while (next < end) {
    Statement stmt;
    const char* tail = nullptr;
    std::string_view remaining(next, static_cast<std::size_t>(end - next));
    if (stmt.Prepare(connection_->handle, remaining, &tail) != SQLITE_OK) {
      return Failure(*connection_, {}, sql);
    }
    if (stmt.get() == nullptr) break;  // only blanks or comments were left
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) return Failure(*connection_, {}, sql);
    next = tail;
  }
  return Status::Ok();
}

Status DesktopDb::BeginTransaction() {
  if (!IsOpen()) return Closed(connection_.get());
  return RunStatement(*connection_, "BEGIN IMMEDIATE");
}

Status DesktopDb::Commit() {
  if (!IsOpen()) return Closed(connection_.get());
  return RunStatement(*connection_, "COMMIT");
}

Status DesktopDb::Rollback() {
  if (!IsOpen()) return Closed(connection_.get());
  return RunStatement(*connection_, "ROLLBACK");
}

// ---------------------------------------------------------------------------------------
// DbTransaction

DbTransaction::DbTransaction(std::shared_ptr<DbConnection> connection)
    : connection_(std::move(connection)) {}

Result<DbTransaction> DbTransaction::Begin(DesktopDb& db) {
  Status begun = db.BeginTransaction();
  if (!begun) return begun.error();
  return DbTransaction(db.connection_);
}

Status DbTransaction::Commit() {
  if (connection_ == nullptr) return Error{"the transaction has already ended"};
  auto connection = std::move(connection_);
  connection_.reset();
  if (connection->handle == nullptr) return Closed(connection.get());
  Status committed = RunStatement(*connection, "COMMIT");
  // A commit that failed (for example a full disk) leaves the transaction open in
  // SQLite; roll it back so the file keeps its last committed state.
  if (!committed && sqlite3_get_autocommit(connection->handle) == 0) {
    (void)RunStatement(*connection, "ROLLBACK");
  }
  return committed;
}

DbTransaction::~DbTransaction() {
  if (connection_ != nullptr && connection_->handle != nullptr &&
      sqlite3_get_autocommit(connection_->handle) == 0) {
    (void)RunStatement(*connection_, "ROLLBACK");
  }
}

// ---------------------------------------------------------------------------------------
// Compaction

std::filesystem::path CompactionPath(const std::filesystem::path& path) {
  std::filesystem::path out = path;
  out.replace_extension(".$$$");
  return out;
}

Status Compact(const std::filesystem::path& source, const std::filesystem::path& destination,
               std::string_view password) {
  std::string prefix = "cannot compact database " + source.string() + ": ";
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error)) {
    return Error{prefix + "the file does not exist or is not a file"};
  }
  if (std::filesystem::exists(destination, error)) {
    return Error{prefix + "the destination " + destination.string() + " already exists"};
  }

  // The attached copy is opened with the main connection's flags, so the connection
  // must be allowed to create files; the source exists, so nothing new is made there.
  auto opened = OpenConnection(source, password,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX);
  if (!opened) return Error{prefix + opened.message()};
  DbConnection& connection = *opened.value();

  std::string attach = std::string("ATTACH DATABASE ? AS ") + kCompactAlias + " KEY ?";
  std::string exportSql = std::string("SELECT sqlcipher_export('") + kCompactAlias + "')";
  std::string detach = std::string("DETACH DATABASE ") + kCompactAlias;

  Status status = RunStatement(connection, attach,
                               {DbValue{DbValue::Kind::Text, 0, 0, destination.string()},
                                DbValue{DbValue::Kind::Text, 0, 0, std::string(password)}});
  bool attached = status.ok();
  if (status) status = RunStatement(connection, exportSql);
  if (attached) {
    Status detached = RunStatement(connection, detach);
    if (status) status = detached;
  }
  connection.Close();
  if (!status) {
    RemoveQuietly(destination);
    return Error{prefix + status.message()};
  }
  return Status::Ok();
}

Result<std::vector<std::uint8_t>> BuildDatabaseBytes(const std::filesystem::path& scratchFolder,
                                                     std::string_view password,
                                                     const std::function<Status(DesktopDb&)>& fill) {
  const std::filesystem::path folder = scratchFolder.empty() ? std::filesystem::path(".") : scratchFolder;
  std::string name = (folder / ".dravik-new-db.XXXXXX").string();
  // mkstemp makes the file exclusively and private; SQLite takes an empty file as a new
  // database.
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return Error{"cannot create a database in " + folder.string() + ": " + ErrnoText(errno)};
  ::close(fd);
  const std::filesystem::path scratch = name;
  Status made;
  {
    auto db = DesktopDb::Open(scratch, password, OpenMode::ReadWrite);
    made = db ? fill(*db) : Status(db.error());
    if (db) db->Close();
  }
  Result<std::vector<std::uint8_t>> bytes = made ? ReadFileBytes(scratch) : Result<Bytes>(made.error());
  RemoveQuietly(scratch);
  RemoveQuietly(std::filesystem::path(name + "-journal"));
  return bytes;
}

Result<std::vector<std::uint8_t>> NewDatabaseBytes(const std::filesystem::path& scratchFolder,
                                                   std::string_view password, std::string_view schema) {
  return BuildDatabaseBytes(scratchFolder, password,
                            [schema](DesktopDb& db) { return db.Execute(schema); });
}

Result<bool> CreateDatabaseNoOverwrite(const std::filesystem::path& target,
                                       std::string_view password, std::string_view schema,
                                       const std::filesystem::path& permissionsOf) {
  Result<std::vector<std::uint8_t>> empty =
      NewDatabaseBytes(target.parent_path(), password, schema);
  if (!empty) return empty.error();
  return WriteFileNoOverwrite(target, *empty, permissionsOf);
}

Status CompactInPlace(const std::filesystem::path& path, std::string_view password) {
  std::string prefix = "cannot compact database " + path.string() + ": ";
  std::filesystem::path temporary = CompactionPath(path);
  std::error_code error;
  std::filesystem::remove(temporary, error);
  if (error) {
    return Error{prefix + "cannot remove the old " + temporary.string() + ": " + error.message()};
  }
  Status compacted = Compact(path, temporary, password);
  if (!compacted) return compacted;

  // The compacted file takes the place of the old one, with the old one's permissions (a
  // library in a group-shared folder stays readable by the group, a private one private).
  std::filesystem::permissions(temporary, std::filesystem::status(path, error).permissions(), error);
  SyncPath(temporary, false);
  std::filesystem::rename(temporary, path, error);
  if (error) {
    RemoveQuietly(temporary);
    return Error{prefix + "cannot rename " + temporary.string() + ": " + error.message()};
  }
  std::filesystem::path folder = path.parent_path();
  SyncPath(folder.empty() ? std::filesystem::path(".") : folder, true);
  return Status::Ok();
}

}  // namespace dravik::platform
