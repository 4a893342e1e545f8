#pragma once
// The exported macro file (".Mac"): a header record, then rows 1 to the last used row,
// each a 66-byte `MacroRow` record, nothing else.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "macro/macro_row.h"
#include "platform/result.h"

namespace dravik::macro {

// The header record: a row whose A1v is 8585 and whose comment is "Kestrowany".
inline constexpr std::uint16_t kMacFileVersion = 8585;
inline constexpr std::string_view kMacFileSignature = "Kestrowany";
// Header plus at most 100 rows.
inline constexpr std::size_t kMacFileMaxSize = (1 + kMacroRowCount) * kMacroRowSize;

MacroRow MacFileHeader();

// The file's bytes for `rows`: the header, then rows 1 to the last used row.
std::vector<std::uint8_t> MacFileBytes(std::span<const MacroRow> rows);

// The rows a file holds (at most 100). Refused: a wrong or missing header ("文件版本错误 ！"),
// a last record cut short, more than 100 rows.
Result<std::vector<MacroRow>> ParseMacFile(std::span<const std::uint8_t> bytes, bool isChinese);

// Reads and parses a file; never reads more than a valid file can hold.
Result<std::vector<MacroRow>> ReadMacFile(const std::filesystem::path& file, bool isChinese);

// Runs the label check, then writes the file crash-safely (replaced only by a complete
// file; nothing written on a label error).
Status WriteMacFile(const std::filesystem::path& file, std::span<const MacroRow> rows,
                    bool isChinese);

// `file` with its extension made ".Mac", as the export dialog forces it.
std::filesystem::path WithMacExtension(const std::filesystem::path& file);

// The editor's import: on success the file's rows become rows 1.. and the codes and
// options of the rows after them are cleared. On any refusal `rows` stays as it was.
Status ImportMacRows(const std::filesystem::path& file, MacroRows& rows, bool isChinese);

// The command line's export and import between a project's macro database and a ".Mac".
// `project` is the project file or its ".M". Import stores the rows only when the whole
// file was read and the label check passed, so a refused import leaves the stored macro
// as it was.
Status ExportMacFile(const std::filesystem::path& project, const std::filesystem::path& macFile,
                     bool isChinese);
Status ImportMacFile(const std::filesystem::path& project, const std::filesystem::path& macFile,
                     bool isChinese);

}  // namespace dravik::macro
