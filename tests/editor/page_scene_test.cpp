// Whole pages drawn headless: every kind in both languages, the page picture the command
// line writes, and pages whose slot arrays hold anything at all.

#include "editor/render/page_scene.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "editor_test_support.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "model/project_session.h"
#include "model/settings_page.h"

namespace dravik::editor {
namespace {

class PageSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    model::InitializeNewProject(*image);
    page().PageStrings[model::kPageBackColorText] = "16777215";
  }
  model::PageRecord& page() { return image->Page(1); }

  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
};

// A page pixel that no element's frame covers, or (-1, -1) when there is none.
QPoint UncoveredPixel(const model::PageRecord& page, QSize size) {
  for (int y = size.height() - 1; y >= 0; --y) {
    for (int x = size.width() - 1; x >= 0; --x) {
      bool covered = false;
      for (int s = 0; s < model::kSlotCount && !covered; ++s) {
        if (page.ElemKind[s] == 0) continue;
        covered = QRect(page.ElemLeft[s] - 5, page.ElemTop[s] - 5, page.ElemWidth[s],
                        page.ElemHeight[s]).contains(x, y);
      }
      if (!covered) return {x, y};
    }
  }
  return {-1, -1};
}

TEST_F(PageSceneTest, EveryKindInBothLanguagesAndBothPreviews) {
  page().PageStrings[model::kPageBackColorText] = "65280";  // green, the elements are white
  // The placeable kinds with their defaults, and the codes only old pages hold.
  int x = 0;
  for (int kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 20, 25, 26, 27, 34, 12, 16, 19, 21, 22, 23, 24, 29, 33, 35}) {
    const elements::GhostSize size = elements::GhostSizeTable(kind, 0);
    elements::Placement placement{kind, 5 + x % 200, 5 + (x / 200) * 20, size.width, size.height, 0xFFFFFF};
    ASSERT_TRUE(elements::PlaceElement(page(), image->Settings(), placement)) << kind;
    x += 37;
  }
  // The text sits at page (0, 0), its left part under nothing; the lamp's middle at
  // (84, 10) lies over the register only, which comes first.
  const QRect text(0, 0, 52, 18);
  const QPoint lamp(84, 10);
  QImage pictures[2][2][2];
  for (int language : {0, 1}) {
    for (bool on : {false, true}) {
      for (bool smooth : {false, true}) {
        RenderSettings settings;
        settings.languageOverride = language;
        settings.bitPreviewOn = on;
        settings.fontOptimisation = smooth;
        const QImage picture = RenderPage(*image, 1, settings);
        ASSERT_EQ(picture.size(), QSize(320, 240));
        const QPoint background = UncoveredPixel(page(), picture.size());
        ASSERT_NE(background, QPoint(-1, -1));
        EXPECT_EQ(picture.pixel(background), qRgb(0, 255, 0)) << "the page shows between elements";
        // An unlit lamp shows its OFF colour (white), a lit one its ON colour (black).
        EXPECT_EQ(picture.pixel(lamp), on ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        pictures[language][on][smooth] = picture;
      }
    }
  }
  for (bool on : {false, true}) {
    for (bool smooth : {false, true}) {
      EXPECT_NE(pictures[0][on][smooth].copy(text), pictures[1][on][smooth].copy(text))
          << "the text follows the language";
    }
  }
  EXPECT_NE(pictures[0][false][true].copy(text), pictures[0][false][false].copy(text))
      << "only smooth text keeps its blended edges";
}

TEST_F(PageSceneTest, PagePixelZeroIsTheImagesTopLeftAndThereIsNoGrid) {
  page().PageStrings[model::kPageOwnSize] = "Y";
  page().PageStrings[model::kPageOwnWidth] = "100";
  page().PageStrings[model::kPageOwnHeight] = "60";
  page().PageStrings[model::kPageBackColorText] = "0";
  test::PutElement(page(), 0, 20, 4, 4);  // window (5, 5) = page (0, 0)
  page().ElemLongB[0] = 0x0000FF;
  page().ElemWordD[0] = 1;
  const QImage picture = RenderPage(*image, 1, {});
  ASSERT_EQ(picture.size(), QSize(100, 60));
  EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(picture.pixel(3, 3), qRgb(255, 0, 0));
  EXPECT_EQ(picture.pixel(4, 4), qRgb(0, 0, 0));
  for (int x = 4; x < 100; ++x) ASSERT_EQ(picture.pixel(x, 0), qRgb(0, 0, 0)) << "no dotted outline";
  EXPECT_EQ(picture.pixel(16, 32), qRgb(0, 0, 0)) << "no grid dot";
}

TEST_F(PageSceneTest, ArbitrarySlotContentsDrawWithoutHarm) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 19, 20, 21, 22, 23, 24, 25, 26, 27, 29, 33, 34, 99};
  auto& p = page();
  for (int s = 0; s < 200; ++s) {
    p.ElemKind[s] = static_cast<std::uint8_t>(kinds[random() % std::size(kinds)]);
    p.ElemLeft[s] = static_cast<std::uint16_t>(random());
    p.ElemTop[s] = static_cast<std::uint16_t>(random());
    p.ElemWidth[s] = static_cast<std::uint16_t>(random());
    p.ElemHeight[s] = static_cast<std::uint16_t>(random());
    p.ElemLongA[s] = static_cast<std::int32_t>(random());
    p.ElemLongB[s] = static_cast<std::int32_t>(random());
    p.ElemLongC[s] = static_cast<std::int32_t>(random());
    p.ElemLongD[s] = static_cast<std::int32_t>(random());
    p.ElemWordA[s] = static_cast<std::uint16_t>(random() % 300);
    p.ElemWordB[s] = static_cast<std::uint16_t>(random());
    p.ElemWordC[s] = static_cast<std::uint16_t>(random());
    p.ElemWordD[s] = static_cast<std::uint16_t>(random());
    p.ElemWordE[s] = static_cast<std::uint16_t>(random());
    p.ElemByteB[s] = static_cast<std::uint8_t>(byte(random));
    p.ElemByteC[s] = static_cast<std::uint8_t>(byte(random));
    p.ElemByteD[s] = static_cast<std::uint8_t>(byte(random));
    p.ElemByteE[s] = static_cast<std::uint8_t>(byte(random));
    p.ElemByteF[s] = static_cast<std::uint8_t>(byte(random));
    std::string text(static_cast<std::size_t>(byte(random) % 51), '\0');
    for (char& c : text) c = static_cast<char>(byte(random));
    p.ElemTextA[s].Assign(text);
    p.ElemTextB[s].Assign(text);
  }
  PageScene scene(*image, 1);
  scene.DrawCanvas({});
  scene.EstablishAll({});
  EXPECT_EQ(scene.ElementCount(), 200);
  for (int s = 0; s < 200; ++s) {
    EXPECT_LE(p.ElemWidth[s], 320) << "repaired";
    EXPECT_LE(p.ElemHeight[s], 240);
    EXPECT_GE(p.ElemWidth[s], 1);
  }
  EXPECT_EQ(scene.PageImage().size(), QSize(320, 240));
}

}  // namespace
}  // namespace dravik::editor
