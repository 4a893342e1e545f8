// Importing a ".Mac" file into the macro editor: the header, the 66-byte rows and what the
// editor then shows of them (each row's text, the label check). A refused import leaves
// the editor's rows as they were; an accepted one exports and imports again unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "macro/mac_file.h"
#include "macro/mac_label_check.h"
#include "macro/mac_text.h"
#include "macro/macro_row.h"
#include "temp_file.h"

using namespace dravik;
using namespace dravik::macro;

namespace {

bool SameRow(const MacroRow& a, const MacroRow& b) {
  return ToBytes(a) == ToBytes(b);
}

// What the editor holds before the import: rows it must get back on a refusal.
MacroRows EditorRows() {
  MacroRows rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].OPt = static_cast<std::uint8_t>(1 + i % 40);
    rows[i].A1v = static_cast<std::uint16_t>(i);
    rows[i].Comment.Assign("before");
  }
  return rows;
}

void CheckRowsShow(std::span<const MacroRow> rows) {
  for (const MacroRow& row : rows) {
    const MacRowText text = MacCodeToStr(row);
    FUZZ_CHECK(!row.Empty() || text.text.empty());
  }
  (void)CheckMacLabels(rows);
}

void CheckExportsAgain(std::span<const MacroRow> rows) {
  const auto again = ParseMacFile(MacFileBytes(rows), true);
  FUZZ_CHECK(again.ok());
  const auto used = static_cast<std::size_t>(LastUsedRow(rows));
  FUZZ_CHECK(again->size() == used);
  for (std::size_t i = 0; i < used; ++i) FUZZ_CHECK(SameRow((*again)[i], rows[i]));
}

void CheckImport(std::span<const std::uint8_t> file, const Result<std::vector<MacroRow>>& parsed) {
  static const fuzz::TempFile macFile(".Mac");
  const MacroRows before = EditorRows();
  MacroRows rows = before;
  const Status imported = ImportMacRows(macFile.Holding(file), rows, false);
  FUZZ_CHECK(imported.ok() == parsed.ok());
  if (!imported.ok()) {
    FUZZ_CHECK(!imported.message().empty());
    for (std::size_t i = 0; i < rows.size(); ++i) FUZZ_CHECK(SameRow(rows[i], before[i]));
    return;
  }
  for (std::size_t i = 0; i < parsed->size(); ++i) FUZZ_CHECK(SameRow(rows[i], (*parsed)[i]));
  for (std::size_t i = parsed->size(); i < rows.size(); ++i) FUZZ_CHECK(rows[i].Empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const auto parsed = ParseMacFile(file, true);
  CheckImport(file, parsed);
  if (!parsed) return 0;
  FUZZ_CHECK(parsed->size() <= static_cast<std::size_t>(kMacroRowCount));
  CheckRowsShow(*parsed);
  CheckExportsAgain(*parsed);
  return 0;
}
