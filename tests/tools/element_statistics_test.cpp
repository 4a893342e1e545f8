#include "tools/element_statistics.h"

#include <gtest/gtest.h>

#include <vector>

#include "elements/element_kind.h"
#include "elements/kind_name_table.h"
#include "tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

TEST(ElementStatisticsTest, ListsTheNamedKindsInCodeOrder) {
  const std::vector<int> listed(ListedKinds().begin(), ListedKinds().end());
  EXPECT_EQ(listed, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 20, 25, 26, 27, 34}));
}

TEST(ElementStatisticsTest, CountsEveryKindAndSumsOnlyTheNamedOnes) {
  ToolsProject p;
  model::PageRecord& page = p.UsePage(4, "统计");
  for (int i = 0; i < 3; ++i) p.Place(4, kKindText);
  p.Place(4, kKindLine);
  // Kinds no command places: counted by code but neither listed nor summed.
  p.Place(4, kKindBitButton);
  p.Place(4, kKindStationText);
  page.ElemKind[199] = kKindTextStrip;  // beyond the statistics' codes

  const PageStatistics statistics = CountElements(*p.image, 4);
  EXPECT_EQ(statistics.caption, "4:统计");
  EXPECT_EQ(statistics.pageName, "统计");
  EXPECT_EQ(statistics.counts[kKindText], 3);
  EXPECT_EQ(statistics.counts[kKindLine], 1);
  EXPECT_EQ(statistics.counts[kKindRegister], 0);
  EXPECT_EQ(statistics.counts[kKindBitButton], 1);
  EXPECT_EQ(statistics.counts[kKindStationText], 1);
  EXPECT_EQ(statistics.sum, 4);
}

}  // namespace
}  // namespace dravik::tools
