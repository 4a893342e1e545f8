#include "macro/change_mac_cmd.h"

#include <algorithm>

#include "macro/mac_command.h"
#include "macro/macro_database.h"
#include "macro/macro_row.h"
#include "platform/files.h"

namespace dravik::macro {

namespace {

void PutU16le(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::optional<Bilingual> ChangeMacCmd(std::span<const MacroRow> rows,
                                      std::span<std::uint8_t> image) {
  if (image.size() < kMacAreaEnd) {
    return Bilingual{"映像缓冲区太小，无法写入宏指令 ！",
                     "The image buffer is too small for the macro block!"};
  }
  const auto used = rows.first(static_cast<std::size_t>(LastUsedRow(rows)));
  const auto instructions = std::count_if(
      used.begin(), used.end(), [](const MacroRow& row) { return IsMacInstruction(row.OPt); });

  std::fill(image.begin() + kMacAreaStart, image.begin() + kMacAreaEnd, std::uint8_t{0});
  if (instructions > kMacMaxInstructions) {
    return Both("宏程序代码行数超过 80 ！\r已放弃生成宏指令 ！");
  }
  if (instructions == 0) return std::nullopt;

  std::uint8_t* out = image.data() + kMacCodeStart;
  for (const MacroRow& row : used) {
    if (!IsMacInstruction(row.OPt)) continue;
    out[0] = row.OPt;
    out[1] = static_cast<std::uint8_t>(
        (row.BIT & kMacBitModeMask) + kMacRegisterOperandFlags[0] * (row.A1t & 1) +
        kMacRegisterOperandFlags[1] * (row.A2t & 1) + kMacRegisterOperandFlags[2] * (row.A3t & 1));
    PutU16le(out + 2, row.A1v);
    PutU16le(out + 4, row.A2v);
    PutU16le(out + 6, row.A3v);
    out += kMacInstructionSize;
  }
  const auto n = static_cast<std::uint8_t>(instructions);
  const std::array<std::uint8_t, 6> marker = MacMarker(n);
  std::copy(marker.begin(), marker.end(), image.begin() + kMacAreaStart);
  return std::nullopt;
}

std::optional<Bilingual> ChangeMacCmd(const std::filesystem::path& macroDatabase,
                                      std::span<std::uint8_t> image) {
  MacroRows rows{};
  // A project without a macro database has an empty macro: compiling must not create
  // files beside the project (loading would make one from the template).
  if (!platform::Exists(macroDatabase)) return ChangeMacCmd(rows, image);
  // The compiler goes on without a macro block when the database cannot be read; the
  // editor reports such a database when it opens.
  if (!ADOLoadFile(macroDatabase, rows, /*isChinese=*/true).ok()) return std::nullopt;
  return ChangeMacCmd(rows, image);
}

}  // namespace dravik::macro
