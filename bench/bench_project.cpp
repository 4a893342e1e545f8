#include "bench_project.h"

#include <string>

#include "model/project_session.h"

namespace dravik::bench {

void FillFullProject(model::ProjectImage& image) {
  model::InitializeNewProject(image);
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  for (int n = 1; n <= model::kMaxPage; ++n) {
    model::PageRecord& page = image.Page(n);
    page.PageStrings[model::kPageName] = "Page " + std::to_string(n);
    page.PageStrings[model::kPageNumberText] = std::to_string(n);
    page.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
    page.PageStrings[model::kPageBackColorText] = "16776960";
    for (int slot = 0; slot < 200; ++slot) {
      const int kinds[] = {1, 2, 3, 20, 27, 34, 9, 5};
      page.ElemKind[slot] = static_cast<std::uint8_t>(slot >= 135 ? 7 : kinds[next() % 8]);
      page.ElemLeft[slot] = static_cast<std::uint16_t>(5 + next() % 300);
      page.ElemTop[slot] = static_cast<std::uint16_t>(5 + next() % 220);
      page.ElemWidth[slot] = static_cast<std::uint16_t>(16 + next() % 80);
      page.ElemHeight[slot] = static_cast<std::uint16_t>(16 + next() % 40);
      page.ElemWordA[slot] = static_cast<std::uint16_t>(next() % 5000);
      page.ElemLongA[slot] = static_cast<std::int32_t>(next() % 0xFFFFFF);
      page.ElemLongB[slot] = 0xFFFF00;
      page.ElemByteB[slot] = static_cast<std::uint8_t>(next());
      page.ElemTextA[slot] = "Text " + std::to_string(next() % 1000);
      page.ElemTextB[slot] = "EN " + std::to_string(slot);
    }
    for (int slot = 135; slot < 200; ++slot) {
      const int states = model::StatesPerLanguage(slot);
      for (int j = 0; j < states; j += 4) {
        page.DynTextStates[*model::TextEntry(slot, 0, j)] = "State" + std::to_string(j) + "0000";
      }
    }
  }
}

}  // namespace dravik::bench
