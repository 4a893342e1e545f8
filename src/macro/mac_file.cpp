#include "macro/mac_file.h"

#include <algorithm>
#include <string>

#include "macro/mac_label_check.h"
#include "macro/macro_database.h"
#include "platform/bilingual.h"
#include "platform/files.h"

namespace dravik::macro {

namespace fs = std::filesystem;

namespace {

Error Refusal(bool isChinese, const Bilingual& text) {
  return Error{text.In(isChinese)};
}

Error TooManyRows(bool isChinese) {
  return Refusal(isChinese, {"宏文件超过 100 行 ！\r已放弃打开此文件 ！",
                             "The macro file holds more than 100 rows!\rIt was not opened!"});
}

}  // namespace

MacroRow MacFileHeader() {
  MacroRow header;
  header.A1v = kMacFileVersion;
  header.Comment.Assign(kMacFileSignature);
  return header;
}

std::vector<std::uint8_t> MacFileBytes(std::span<const MacroRow> rows) {
  const auto last = static_cast<std::size_t>(LastUsedRow(rows));
  std::vector<std::uint8_t> bytes;
  bytes.reserve((1 + last) * kMacroRowSize);
  const auto append = [&](const MacroRow& row) {
    const MacroRowBytes record = ToBytes(row);
    bytes.insert(bytes.end(), record.begin(), record.end());
  };
  append(MacFileHeader());
  for (std::size_t i = 0; i < last; ++i) append(rows[i]);
  return bytes;
}

Result<std::vector<MacroRow>> ParseMacFile(std::span<const std::uint8_t> bytes, bool isChinese) {
  // The message is the same in both languages, as the editor has always shown it.
  const Bilingual wrongVersion = Both("文件版本错误 ！");
  if (bytes.size() < kMacroRowSize) return Refusal(isChinese, wrongVersion);
  const MacroRow header = MacroRowFromBytes(bytes.first<kMacroRowSize>());
  if (header.A1v != kMacFileVersion || !(header.Comment == kMacFileSignature)) {
    return Refusal(isChinese, wrongVersion);
  }
  const std::size_t records = bytes.size() / kMacroRowSize - 1;
  if (records > static_cast<std::size_t>(kMacroRowCount) ||
      (records == static_cast<std::size_t>(kMacroRowCount) && bytes.size() % kMacroRowSize != 0)) {
    return TooManyRows(isChinese);
  }
  if (bytes.size() % kMacroRowSize != 0) {
    const std::string row = std::to_string(records + 1);
    return Refusal(isChinese, {"宏文件已损坏：第 " + row + " 行不完整 ！\r已放弃打开此文件 ！",
                               "The macro file is damaged: row " + row +
                                   " is incomplete!\rIt was not opened!"});
  }
  std::vector<MacroRow> rows;
  rows.reserve(records);
  for (std::size_t i = 1; i <= records; ++i) {
    rows.push_back(MacroRowFromBytes(bytes.subspan(i * kMacroRowSize).first<kMacroRowSize>()));
  }
  return rows;
}

Result<std::vector<MacroRow>> ReadMacFile(const fs::path& file, bool isChinese) {
  const auto cannotOpen = [&](const std::string& reason) {
    return Refusal(isChinese, {"无法打开文件 " + file.string() + " ！\r" + reason,
                               "Cannot open the file " + file.string() + "!\r" + reason});
  };
  // A file longer than the largest valid one holds more than 100 rows.
  bool tooLong = false;
  const Result<platform::Bytes> bytes =
      platform::ReadFileBytes(file, kMacFileMaxSize, [&](std::uintmax_t) {
        tooLong = true;
        return TooManyRows(isChinese);
      });
  if (!bytes) return tooLong ? bytes.error() : cannotOpen(bytes.error().In(isChinese));
  return ParseMacFile(*bytes, isChinese);
}

Status WriteMacFile(const fs::path& file, std::span<const MacroRow> rows, bool isChinese) {
  if (auto labelError = CheckMacLabels(rows)) return Refusal(isChinese, *labelError);
  const std::vector<std::uint8_t> bytes = MacFileBytes(rows);
  if (Status written = platform::WriteFileAtomic(file, bytes); !written) {
    return Refusal(isChinese, {"无法保存宏文件 ！\r" + written.message(),
                               "Cannot save the macro file!\r" + written.message()});
  }
  return Status::Ok();
}

fs::path WithMacExtension(const fs::path& file) {
  fs::path result = file;
  result.replace_extension(".Mac");
  return result;
}

Status ImportMacRows(const fs::path& file, MacroRows& rows, bool isChinese) {
  auto read = ReadMacFile(file, isChinese);
  if (!read) return read.error();
  const std::vector<MacroRow>& fileRows = *read;
  std::copy(fileRows.begin(), fileRows.end(), rows.begin());
  ClearCodes(std::span<MacroRow>(rows).subspan(fileRows.size()));
  return Status::Ok();
}

Status ExportMacFile(const fs::path& project, const fs::path& macFile, bool isChinese) {
  MacroRows rows{};
  if (Status loaded = ADOLoadFile(MacroDatabasePath(project), rows, isChinese); !loaded) {
    return loaded;
  }
  return WriteMacFile(macFile, rows, isChinese);
}

Status ImportMacFile(const fs::path& project, const fs::path& macFile, bool isChinese) {
  auto read = ReadMacFile(macFile, isChinese);
  if (!read) return read.error();
  MacroRows rows{};
  std::copy(read->begin(), read->end(), rows.begin());
  return ADOSaveFile(MacroDatabasePath(project), rows, isChinese);
}

}  // namespace dravik::macro
