#include "elements/drawing_properties.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "elements/element_kind.h"

namespace dravik::elements {
namespace {

using model::PageRecord;

std::unique_ptr<PageRecord> PageWith(int kind) {
  auto page = std::make_unique<PageRecord>();
  page->ElemKind[0] = static_cast<std::uint8_t>(kind);
  page->ElemLeft[0] = 15;
  page->ElemTop[0] = 25;
  page->ElemWidth[0] = 40;
  page->ElemHeight[0] = 20;
  return page;
}

TEST(DrawingProperties, LineEndPointsAsThePanelDrawsThem) {
  auto page = PageWith(kKindLine);
  EXPECT_EQ(LineEndPoints(*page, 0), (LineEnds{11, 22, 49, 39}));  // falling
  page->ElemByteD[0] = 1;
  EXPECT_EQ(LineEndPoints(*page, 0), (LineEnds{11, 39, 49, 21}));  // rising
}

TEST(DrawingProperties, EachShapeWritesWhatItsDialogShows) {
  DrawingProperties drawing;
  drawing.frame = {1, 2, 3, 4, true};
  drawing.colour = 0x0000FF;
  drawing.link = 1;
  drawing.kind = 2;
  drawing.flag = true;
  drawing.movesHorizontally = true;
  drawing.horizontalRegister = 100;
  drawing.verticalRegister = 200;
  drawing.visibilityRegister = 300;
  drawing.outline = 2;
  drawing.direction = 3;
  drawing.majorDivisions = 10;
  drawing.minorDivisions = 4;
  drawing.lineWidth = 2;

  struct Case {
    int kind;
    std::function<void(PageRecord&)> expect;  // the fields the write changes
  };
  const Case cases[] = {
      {kKindRectangle,
       [](PageRecord& p) {
         p.ElemLeft[0] = 6, p.ElemTop[0] = 7, p.ElemWidth[0] = 3, p.ElemHeight[0] = 4;
         p.ElemWordD[0] = 0x0A01;
         p.ElemByteC[0] = 1, p.ElemByteD[0] = 0;
         p.ElemLongC[0] = 100, p.ElemLongD[0] = 200, p.ElemWordA[0] = 300;
         p.ElemWordE[0] = 2;
       }},
      // The ellipse has no outline to choose: ElemWordE stays.
      {kKindEllipse,
       [](PageRecord& p) {
         p.ElemLeft[0] = 6, p.ElemTop[0] = 7, p.ElemWidth[0] = 3, p.ElemHeight[0] = 4;
         p.ElemWordD[0] = 0x0A01;
         p.ElemByteC[0] = 1, p.ElemByteD[0] = 0;
         p.ElemLongC[0] = 100, p.ElemLongD[0] = 200, p.ElemWordA[0] = 300;
       }},
      {kKindScale,
       [](PageRecord& p) {
         p.ElemLeft[0] = 6, p.ElemTop[0] = 7, p.ElemWidth[0] = 3, p.ElemHeight[0] = 4;
         p.ElemWordD[0] = 0x0A01;
         p.ElemWordA[0] = 10, p.ElemByteB[0] = 4, p.ElemWordB[0] = 3;
       }},
      // The line keeps its geometry, its direction and its link word.
      {kKindLine, [](PageRecord& p) { p.ElemWordC[0] = 2; }},
  };
  for (const Case& c : cases) {
    auto page = PageWith(c.kind);
    page->ElemWordE[0] = 1;
    page->ElemWordD[0] = 0xF000;
    page->ElemByteD[0] = 1;
    auto expected = std::make_unique<PageRecord>(*page);
    expected->ElemByteA[0] = 1;
    expected->ElemLongB[0] = 0x0000FF;
    c.expect(*expected);
    WriteDrawingProperties(*page, 0, drawing);
    EXPECT_EQ(std::memcmp(page.get(), expected.get(), sizeof(PageRecord)), 0) << c.kind;
  }
}

}  // namespace
}  // namespace dravik::elements
