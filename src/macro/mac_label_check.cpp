#include "macro/mac_label_check.h"

#include <string>

#include "macro/mac_command.h"

namespace dravik::macro {

namespace {

std::uint16_t OperandValue(const MacroRow& row, int operand) {
  switch (operand) {
    case 0:
      return row.A1v;
    case 1:
      return row.A2v;
    default:
      return row.A3v;
  }
}

}  // namespace

std::optional<Bilingual> CheckMacLabels(std::span<const MacroRow> rows) {
  const int last = LastUsedRow(rows);
  const auto used = rows.first(static_cast<std::size_t>(last));

  auto hasLabel = [&](std::uint16_t target) {
    for (const MacroRow& row : used) {
      if (row.OPt == kMacLabelCode && row.A1v == target) return true;
    }
    return false;
  };

  for (int r = 0; r < last; ++r) {
    const int operand = MacJumpOperand(used[r].OPt);
    if (operand < 0) continue;
    const std::uint16_t target = OperandValue(used[r], operand);
    if (!hasLabel(target)) {
      return Both("L# " + std::to_string(r + 1) + ", LABEL " + std::to_string(target) +
                  " 未定义！");
    }
  }

  // The row named is the other one of the pair, found from the top; for labels at rows 2
  // and 7 that is row 7.
  for (int i = 0; i < last; ++i) {
    if (used[i].OPt != kMacLabelCode) continue;
    const std::uint16_t label = used[i].A1v;
    for (int c = 0; c < last; ++c) {
      if (c != i && used[c].OPt == kMacLabelCode && used[c].A1v == label) {
        return Both("L# " + std::to_string(c + 1) + ", LABEL " + std::to_string(label) + " 重复！");
      }
    }
  }
  return std::nullopt;
}

}  // namespace dravik::macro
