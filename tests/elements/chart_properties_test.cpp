// What the trend chart and bar graph dialogs edit: the packing of their fields, the ranges
// that follow the data type, the refusal of a zero not below the full scale, and the
// hidden lists that give back a code they do not have as the field's highest value.

#include "elements/chart_properties.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "model/settings_page.h"

namespace dravik::elements {
namespace {

using model::PageRecord;

class ChartProperties : public ::testing::Test {
 protected:
  ChartProperties()
      : page(std::make_unique<PageRecord>()), settings(std::make_unique<PageRecord>()) {
    model::ApplySettingsDefaults(*settings);
  }

  int Place(int kind) {
    const GhostSize size = GhostSizeTable(kind, 0);
    return *PlaceElement(*page, *settings, {kind, 25, 35, size.width, size.height, 0x123456});
  }

  bool Unchanged(const PageRecord& before) const {
    return std::memcmp(page.get(), &before, sizeof(PageRecord)) == 0;
  }

  std::unique_ptr<PageRecord> page;
  std::unique_ptr<PageRecord> settings;
};

TEST_F(ChartProperties, TrendChartPacking) {
  const int s = Place(kKindTrendChart);
  TrendChartProperties chart = ReadTrendChartProperties(*page, s);
  EXPECT_EQ(chart.gridColumns, 6);
  EXPECT_EQ(chart.gridRows, 3);
  EXPECT_EQ(chart.labelFormat, 0x30);  // the placement value, not a label format
  chart.operand = {1, 1, 1234, 1};
  chart.gridColumns = 15;
  chart.gridRows = 31;
  chart.fullScale = 999999999;
  chart.zeroValue = 7;
  chart.dataPoints = 63;
  chart.sampleSeconds = 60000;
  chart.showGrid = true;
  chart.labelFormat = 2;
  chart.labelFont = 7;
  chart.backColour = 0x010203;
  chart.foreColour = 0x040506;
  page->ElemByteC[s] = 1;  // time labels on, from elsewhere
  WriteTrendChartProperties(*page, s, chart);
  EXPECT_EQ(page->ElemByteB[s], 0x80 | 0x10 | 1);
  EXPECT_EQ(page->ElemWordA[s], 1234);
  EXPECT_EQ(page->ElemWordB[s], 0x0F1F);
  EXPECT_EQ(page->ElemLongC[s], 999999999);
  EXPECT_EQ(page->ElemLongD[s], 7);
  EXPECT_EQ(page->ElemWordC[s], 63);
  EXPECT_EQ(page->ElemWordD[s], 60000);
  EXPECT_EQ(page->ElemByteE[s], 1);
  EXPECT_EQ(page->ElemByteC[s], 0);  // the time labels are always off
  EXPECT_EQ(page->ElemByteF[s], 2);
  EXPECT_EQ(page->ElemWordE[s], 7);
  EXPECT_EQ(page->ElemLongA[s], 0x010203);
  EXPECT_EQ(page->ElemLongB[s], 0x040506);
  EXPECT_EQ(ReadTrendChartProperties(*page, s), chart);

  // Hidden lists that showed nothing: the highest value of a byte and of a word.
  chart.labelFormat = kNoItem;
  chart.labelFont = kNoItem;
  WriteTrendChartProperties(*page, s, chart);
  EXPECT_EQ(page->ElemByteF[s], 255);
  EXPECT_EQ(page->ElemWordE[s], 65535);
}

TEST_F(ChartProperties, BarGraphPacking) {
  const int s = Place(kKindBarGraph);
  BarGraphProperties bar = ReadBarGraphProperties(*page, s);
  EXPECT_EQ(bar.direction, 0);
  EXPECT_EQ(bar.pattern, 0);
  EXPECT_EQ(bar.fullScale, 65535);
  bar.operand = {1, 2, 99, 1};
  bar.direction = 3;
  bar.pattern = 6;
  bar.fullScaleIndirect = true;
  bar.zeroIndirect = true;
  bar.fullScale = 100000;
  bar.zeroValue = 5;
  bar.fullScaleRegister = 300;
  bar.zeroRegister = 301;
  WriteBarGraphProperties(*page, s, bar);
  EXPECT_EQ(page->ElemByteB[s], 0x80 | 0x20 | 1);
  EXPECT_EQ(page->ElemWordA[s], 99);
  EXPECT_EQ(page->ElemWordC[s], 0x0306);
  EXPECT_EQ(page->ElemByteC[s], 1);
  EXPECT_EQ(page->ElemByteE[s], 1);
  EXPECT_EQ(page->ElemLongC[s], 100000);
  EXPECT_EQ(page->ElemLongD[s], 5);
  EXPECT_EQ(page->ElemWordB[s], 300);
  EXPECT_EQ(page->ElemWordD[s], 301);
  EXPECT_EQ(ReadBarGraphProperties(*page, s), bar);

  // A pattern the list did not show marks its own byte and leaves the direction whole.
  bar.pattern = kNoItem;
  WriteBarGraphProperties(*page, s, bar);
  EXPECT_EQ(page->ElemWordC[s], 0x03FF);
}

// Read and written back unchanged, every field keeps its bytes: the values carry whatever
// a slot holds, even codes no list has.
TEST_F(ChartProperties, ReadAndWriteKeepEveryByte) {
  for (int kind : {kKindTrendChart, kKindBarGraph}) {
    const int s = Place(kind);
    page->ElemByteB[s] = 0xA7;  // Link 2, kind 2, data type 7
    page->ElemWordE[s] = 12;
    page->ElemByteF[s] = 0x30;
    page->ElemWordC[s] = 0x0709;
    page->ElemLongC[s] = -5;
    page->ElemByteE[s] = 1;
    const auto before = std::make_unique<PageRecord>(*page);
    if (kind == kKindTrendChart) {
      WriteTrendChartProperties(*page, s, ReadTrendChartProperties(*page, s));
    } else {
      WriteBarGraphProperties(*page, s, ReadBarGraphProperties(*page, s));
    }
    EXPECT_TRUE(Unchanged(*before)) << kind;
  }
}

TEST(ChartRules, RangesFollowTheDataType) {
  struct Case {
    int dataType;
    SpinRange fullScale, barZero;
    const char* hint;
  };
  const Case cases[] = {
      {0, {1, 65535}, {0, 65535}, "0 ~ 65535"},
      {1, {1, 999999999}, {0, 999999999}, "0 ~ 999999999"},
      {7, {1, 65535}, {0, 65535}, "0 ~ 65535"},  // no data type the list has: 16 bits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FullScaleRange(c.dataType), c.fullScale) << c.dataType;
    EXPECT_EQ(BarZeroRange(c.dataType), c.barZero) << c.dataType;
    EXPECT_EQ(ScaleHint(FullScaleRange(c.dataType)), c.hint) << c.dataType;
  }
}

TEST(ChartRules, AZeroNotBelowTheFullScaleIsRefused) {
  struct Case {
    std::int32_t fullScale, zero;
    bool fullIndirect, zeroIndirect;
    bool trendRefused, barRefused;
  };
  const Case cases[] = {
      {100, 100, false, false, true, true}, {100, 99, false, false, false, false},
      {100, 101, false, false, true, true}, {100, 100, true, false, true, false},
      {100, 100, false, true, true, false}, {100, 200, true, true, true, false},
  };
  for (const Case& c : cases) {
    TrendChartProperties chart;
    chart.fullScale = c.fullScale;
    chart.zeroValue = c.zero;
    BarGraphProperties bar;
    bar.fullScale = c.fullScale;
    bar.zeroValue = c.zero;
    bar.fullScaleIndirect = c.fullIndirect;
    bar.zeroIndirect = c.zeroIndirect;
    EXPECT_EQ(CheckTrendChart(chart).has_value(), c.trendRefused) << c.fullScale << "/" << c.zero;
    const std::optional<Bilingual> refusal = CheckBarGraph(bar);
    EXPECT_EQ(refusal.has_value(), c.barRefused)
        << c.fullScale << "/" << c.zero << " " << c.fullIndirect << c.zeroIndirect;
    if (refusal) {
      EXPECT_EQ(refusal->chinese, "满额度值必须 > 零额度值 ！");
      EXPECT_EQ(refusal->english, "Full limit value must be > zero limit value!");
    }
  }
}

TEST(ChartRules, HiddenListItems) {
  struct Case {
    int stored, count, item;
    std::uint8_t byteField;
    std::uint16_t wordField;
  };
  const Case cases[] = {
      {0, 3, 0, 0, 0},
      {2, 3, 2, 2, 2},
      {3, 3, kNoItem, 255, 65535},
      {0x30, 3, kNoItem, 255, 65535},
      {-1, 8, kNoItem, 255, 65535},
      {7, 8, 7, 7, 7},
  };
  for (const Case& c : cases) {
    const int item = HiddenListItem(c.stored, c.count);
    EXPECT_EQ(item, c.item) << c.stored;
    EXPECT_EQ(HiddenByteField(item), c.byteField) << c.stored;
    EXPECT_EQ(HiddenWordField(item), c.wordField) << c.stored;
  }
}

}  // namespace
}  // namespace dravik::elements
