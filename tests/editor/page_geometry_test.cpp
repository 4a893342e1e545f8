// Page size, background, caption and the geometry repair.

#include "editor/page_geometry.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/project_image.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::editor {
namespace {

struct Pages {
  std::unique_ptr<model::PageRecord> page = std::make_unique<model::PageRecord>();
  std::unique_ptr<model::PageRecord> settings = std::make_unique<model::PageRecord>();
};

TEST(PageGeometry, ScreenSizeByPanelModel) {
  struct Case {
    int model;
    PageSize size;
  };
  for (const Case& c : {Case{0, {240, 320}}, Case{1, {320, 240}}, Case{2, {480, 320}}, Case{3, {480, 320}},
                        Case{4, {320, 480}}, Case{5, {256, 64}}, Case{6, {64, 256}}, Case{7, {240, 320}},
                        Case{0x41, {320, 240}}, Case{0x3F, {240, 320}}}) {
    Pages p;
    model::At(*p.settings, model::settings::kPanelModel) = static_cast<std::uint16_t>(c.model);
    EXPECT_EQ(PageCanvasSize(*p.page, *p.settings), c.size) << c.model;
  }
}

TEST(PageGeometry, OwnSize) {
  struct Case {
    const char* flag;
    const char* width;
    const char* height;
    PageSize size;
  };
  for (const Case& c : {Case{"Y", "320", "200", {320, 200}}, Case{"Y", "320", "abc", {200, 100}},
                        Case{"Y", "", "200", {200, 100}}, Case{"Y", "0", "200", {200, 100}},
                        Case{"Y", "-5", "200", {200, 100}}, Case{"Y", "99999", "200", {200, 100}},
                        Case{"Y", "1280", "1024", {1280, 1024}}, Case{"Y", " 64", "+32", {64, 32}},
                        Case{"N", "320", "200", {240, 320}}, Case{"y", "320", "200", {240, 320}}}) {
    Pages p;
    p.page->PageStrings[model::kPageOwnSize] = c.flag;
    p.page->PageStrings[model::kPageOwnWidth] = c.width;
    p.page->PageStrings[model::kPageOwnHeight] = c.height;
    EXPECT_EQ(PageCanvasSize(*p.page, *p.settings), c.size) << c.flag << " " << c.width << " " << c.height;
  }
}

TEST(PageGeometry, BackgroundText) {
  struct Case {
    const char* text;
    std::uint32_t colour;
  };
  for (const Case& c : {Case{"255", 255u}, Case{"16777215", 0xFFFFFFu}, Case{"-16777211", 0xFF000005u},
                        Case{"", kWindowBackgroundColour}, Case{"12a", kWindowBackgroundColour},
                        Case{"99999999999", kWindowBackgroundColour}}) {
    Pages p;
    p.page->PageStrings[model::kPageBackColorText] = c.text;
    EXPECT_EQ(static_cast<std::uint32_t>(PageBackground(*p.page)), c.colour) << c.text;
  }
}

TEST(PageGeometry, Caption) {
  Pages p;
  p.page->PageStrings[model::kPageNumberText] = "12";
  p.page->PageStrings[model::kPageName] = platform::Utf8ToGbk("主画面");
  EXPECT_EQ(platform::GbkToUtf8(PageCaptionBytes(*p.page)), "12:主画面");
  p.page->PageStrings[model::kPageNumberText] = std::string(20, '9');
  p.page->PageStrings[model::kPageName] = std::string(20, 'n');
  EXPECT_EQ(PageCaptionBytes(*p.page), std::string(20, '9') + ":" + std::string(20, 'n'));
}

TEST(PageGeometry, Repair) {
  struct Case {
    const char* name;
    int left, top, width, height;
    int expectLeft, expectTop, expectWidth, expectHeight;
  };
  const PageSize canvas{240, 320};
  for (const Case& c : {Case{"inside", 10, 10, 50, 50, 10, 10, 50, 50},
                        Case{"left beyond the page", 241, 10, 50, 50, 6, 10, 50, 50},
                        Case{"left on the edge stays", 240, 10, 50, 50, 240, 10, 50, 50},
                        Case{"top beyond the page", 10, 400, 50, 50, 10, 6, 50, 50},
                        Case{"too wide", 10, 10, 300, 50, 10, 10, 240, 50},
                        Case{"too high", 10, 10, 50, 321, 10, 10, 50, 320},
                        Case{"width 0", 10, 10, 0, 50, 10, 10, 16, 50},
                        Case{"height 0", 10, 10, 50, 0, 10, 10, 50, 16}}) {
    auto page = std::make_unique<model::PageRecord>();
    page->ElemLeft[7] = static_cast<std::uint16_t>(c.left);
    page->ElemTop[7] = static_cast<std::uint16_t>(c.top);
    page->ElemWidth[7] = static_cast<std::uint16_t>(c.width);
    page->ElemHeight[7] = static_cast<std::uint16_t>(c.height);
    RepairGeometry(*page, 7, canvas);
    EXPECT_EQ(page->ElemLeft[7], c.expectLeft) << c.name;
    EXPECT_EQ(page->ElemTop[7], c.expectTop) << c.name;
    EXPECT_EQ(page->ElemWidth[7], c.expectWidth) << c.name;
    EXPECT_EQ(page->ElemHeight[7], c.expectHeight) << c.name;
  }
}

// Switching from a 480 x 320 screen to a 320 x 240 one: which elements the repair on
// opening a page would then move or shrink in the record, with no way back.
class ScreenChange : public testing::Test {
 protected:
  static constexpr PageSize kLarge{480, 320};
  static constexpr PageSize kSmall{320, 240};

  void UsePage(int n) { image.Page(n).PageStrings[model::kPageInUse] = model::kPageInUseMarker; }
  void Place(int n, int slot, int left, int top, int width, int height, int kind = 1) {
    model::PageRecord& page = image.Page(n);
    const auto s = static_cast<std::size_t>(slot);
    page.ElemKind[s] = static_cast<std::uint8_t>(kind);
    page.ElemLeft[s] = static_cast<std::uint16_t>(left);
    page.ElemTop[s] = static_cast<std::uint16_t>(top);
    page.ElemWidth[s] = static_cast<std::uint16_t>(width);
    page.ElemHeight[s] = static_cast<std::uint16_t>(height);
  }

  model::ProjectImage image;
};

TEST_F(ScreenChange, CountsWhatTheRepairWouldMoveOnTheSmallerScreenOnly) {
  struct Case {
    const char* name;
    int left, top, width, height;
    bool moved;
  };
  const Case cases[] = {
      {"inside both screens", 10, 10, 100, 50, false},
      {"reaching past the small screen, starting inside", 300, 200, 100, 100, false},
      {"starting right of the small screen", 400, 10, 50, 20, true},
      {"starting below the small screen", 10, 300, 50, 15, true},
      {"wider than the small screen", 10, 10, 400, 20, true},
      {"higher than the small screen", 10, 10, 20, 260, true},
      {"damaged on either screen (width 0)", 400, 10, 0, 20, false},
      {"beyond even the large screen", 500, 10, 20, 20, false},
  };
  for (const Case& c : cases) {
    image.ClearPages(1, model::kMaxPage);
    UsePage(1);
    Place(1, 0, 10, 10, 20, 20);  // a neighbour that stays
    Place(1, 7, c.left, c.top, c.width, c.height);
    EXPECT_EQ(ElementsMovedByScreenChange(image, kLarge, kSmall),
              (MovedElements{c.moved ? 1 : 0, c.moved ? 1 : 0}))
        << c.name;
    // Growing the screen moves nothing.
    EXPECT_EQ(ElementsMovedByScreenChange(image, kSmall, kLarge), MovedElements{}) << c.name;
  }
}

TEST_F(ScreenChange, CountsElementsAndPagesOfThePagesTheScreenSizes) {
  UsePage(2);
  Place(2, 0, 400, 10, 20, 20);
  Place(2, 150, 10, 300, 20, 20);
  UsePage(9);
  Place(9, 3, 10, 10, 450, 20);
  // A page of its own size, a page not in use and an empty slot are not the screen's.
  UsePage(4);
  image.Page(4).PageStrings[model::kPageOwnSize] = "Y";
  image.Page(4).PageStrings[model::kPageOwnWidth] = "480";
  image.Page(4).PageStrings[model::kPageOwnHeight] = "320";
  Place(4, 0, 400, 10, 20, 20);
  Place(5, 0, 400, 10, 20, 20);
  Place(9, 4, 400, 10, 20, 20, 0);
  EXPECT_EQ(ElementsMovedByScreenChange(image, kLarge, kSmall), (MovedElements{3, 2}));
}

}  // namespace
}  // namespace dravik::editor
