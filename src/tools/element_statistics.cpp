#include "tools/element_statistics.h"

#include <vector>

#include "elements/kind_name_table.h"
#include "tools/page_caption.h"

namespace dravik::tools {

std::span<const int> ListedKinds() {
  static const std::vector<int> kinds = [] {
    std::vector<int> named;
    for (int kind = 1; kind <= elements::kMaxKindCode; ++kind) {
      if (!elements::KindNameOf(kind, true).empty()) named.push_back(kind);
    }
    return named;
  }();
  return kinds;
}

PageStatistics CountElements(const model::ProjectImage& project, int number) {
  const model::PageRecord& page = project.Page(number);
  PageStatistics statistics{number, PageNameOf(page), PageCaption(page), {}, 0};
  for (const std::uint8_t kind : page.ElemKind) {
    if (kind >= 1 && kind <= elements::kMaxKindCode) ++statistics.counts[kind];
  }
  for (const int kind : ListedKinds()) statistics.sum += statistics.counts[kind];
  return statistics;
}

}  // namespace dravik::tools
