#pragma once
// The label check run before the macro is saved or exported: every jump must name a
// label that exists, and no label may be defined twice.

#include <optional>
#include <span>

#include "macro/macro_row.h"
#include "platform/bilingual.h"

namespace dravik::macro {

// The first error as the message to show (warning icon, caption "Dravik "); nothing when
// the rows pass. Rows after the last used row are ignored; targets and labels compare as
// unsigned 16-bit numbers whatever their operand kind.
std::optional<Bilingual> CheckMacLabels(std::span<const MacroRow> rows);

}  // namespace dravik::macro
