#pragma once
// The project's macro database: a password-protected file beside the project with the
// project's name and the extension ".M", holding the table "Mac" with one record per row.
// A project that has none gets a new, empty one.
//
// Each operation opens the database and closes it again; nothing stays open. Failures come
// back as the message to show, in the language asked for.

#include <filesystem>
#include <string_view>
#include <vector>

#include "macro/macro_row.h"
#include "platform/result.h"

namespace dravik::macro {

inline constexpr std::string_view kMacroPassword = "zr_pekwandors";
inline constexpr std::string_view kMacroTable = "Mac";

// The macro database of a project: the project path with its extension replaced by ".M"
// (a path already naming the ".M" stays as it is).
std::filesystem::path MacroDatabasePath(const std::filesystem::path& projectFile);

// The bytes of an empty macro database (the table "Mac" and nothing in it), made in
// `folder`, where it is meant to go.
Result<std::vector<std::uint8_t>> NewMacroDatabase(const std::filesystem::path& folder);

// Gives a project without a macro database an empty one, with the project file's
// permissions; an existing database is never overwritten.
Status EnsureMacroDatabase(const std::filesystem::path& macroDatabase, bool isChinese);

// Fills `rows` from the database (at most 100 records; a comment longer than 50 bytes is
// cut). Codes and options of the rows after the stored ones become 0, their other fields
// keep what they held. On failure `rows` is left as it was.
Status ADOLoadFile(const std::filesystem::path& macroDatabase, MacroRows& rows, bool isChinese);

// Runs the label check, then replaces the table's content with the rows up to the last
// used row, all in one transaction: a label error or a failure on the way leaves the
// stored macro as it was.
Status ADOSaveFile(const std::filesystem::path& macroDatabase, std::span<const MacroRow> rows,
                   bool isChinese);

// The bytes of a macro database holding `rows` (up to the last used row), built in
// `folder`, where it is meant to go; the label check runs first.
Result<std::vector<std::uint8_t>> MacroDatabaseBytes(const std::filesystem::path& folder,
                                                     std::span<const MacroRow> rows, bool isChinese);

// Compacts the database in place; on failure "数据压缩修复失败 ！" with the engine's
// reason (the same text in both languages), and the database is as it was.
Status CompressRepairMDat(const std::filesystem::path& macroDatabase);

}  // namespace dravik::macro
