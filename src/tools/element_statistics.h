#pragma once
// Element statistics: how many elements of each kind a page holds. Only kinds with a name
// are listed and summed; elements of the kinds no command places are counted but left out.

#include <array>
#include <span>
#include <string>

#include "elements/element_kind.h"
#include "model/project_image.h"

namespace dravik::tools {

struct PageStatistics {
  int page = 0;
  std::string pageName;  // UTF-8
  std::string caption;   // UTF-8: the title line, the page's number text, ":" and its name
  std::array<int, elements::kMaxKindCode + 1> counts{};  // by kind code; [0] unused
  int sum = 0;                                           // of the listed kinds only
};

// The kinds the statistics list, in code order: those with a name.
std::span<const int> ListedKinds();

// Counts slots 0..200 of page `number` (1..240), used or not.
PageStatistics CountElements(const model::ProjectImage& project, int number);

}  // namespace dravik::tools
