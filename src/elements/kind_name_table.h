#pragma once
// The name of each element kind in the two interface languages, as the status bar, the
// search and statistics tools, the compile check and the drawing dialog show it.

#include <array>
#include <string_view>

#include "elements/element_kinds.h"

namespace dravik::elements {

// Indexed by kind code 0..34; codes without a name have empty texts.
inline constexpr std::array<KindName, kMaxKindCode + 1> KindNameTable = [] {
  std::array<KindName, kMaxKindCode + 1> table{};
  for (const KindDescriptor& kind : AllKinds()) {
    if (kind.code <= kMaxKindCode) table[static_cast<std::size_t>(kind.code)] = kind.name;
  }
  return table;
}();

// The name of `kind` in the interface language; empty for codes without a name.
constexpr std::string_view KindNameOf(int kind, bool isChinese) {
  if (kind < 0 || kind > kMaxKindCode) return {};
  return isChinese ? KindNameTable[kind].chinese : KindNameTable[kind].english;
}

}  // namespace dravik::elements
