// The used-data preview: the picture with its address labels on the links' colours, its
// size at each preview ratio, the legend, the closing, and the picture saved at its own
// size whatever the ratio.

#include "tools/ui/for_use_dpreview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QTest>
#include <filesystem>

#include "editor/editor_state.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "model/settings_page.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "tools/tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kDarkGreen = qRgb(0, 81, 0);  // 20736 = 0x005100
constexpr QSize kPage{240, 320};

// How many pixels of `colour` the picture has inside `area`.
int CountColour(const QImage& picture, const QRect& area, QRgb colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x)
      count += picture.pixel(x, y) == qRgb(qRed(colour), qGreen(colour), qBlue(colour));
  }
  return count;
}

class PreviewTest : public test::QtTest {
 protected:
  PreviewTest() {
    hooks.isChinese = [this] { return chinese; };
    hooks.execDialog = [this](QDialog* dialog) {
      shownFullScreen = dialog->windowState() & Qt::WindowFullScreen;
      return ++execs, QDialog::Accepted;
    };
    hooks.saveFile = [this](const QString&, const QString&, const QString& preset) {
      presets.push_back(preset.toStdString());
      return answer;
    };
    preview.SetHooks(hooks);
    page = &p.UsePage(1, "预览");
    page->PageStrings[model::kPageBackColorText] = "16777215";
    model::At(p.image->Settings(), model::settings::kPanelModel) = 0;  // 240 x 320
    // A register on Link 1 (D100) and a bar graph on Link 2 (4X7), at page (40, 60) and (100, 140).
    const int reg = p.PlaceOperand(1, kKindRegister, 100, 0x00);
    Move(reg, 45, 65);
    const int bar = p.PlaceOperand(1, kKindBarGraph, 7, 0x80);
    Move(bar, 105, 145);
  }

  void Move(int slot, int left, int top) {
    page->ElemLeft[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(left);
    page->ElemTop[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(top);
  }

  // A page window's picture: the form colour around a white canvas at (5, 5) whose
  // top-left pixel is red.
  static QImage WindowPicture() {
    QImage picture(kPage.width() + 10, kPage.height() + 10, QImage::Format_RGB32);
    picture.fill(qRgb(192, 192, 192));
    for (int y = 5; y < 5 + kPage.height(); ++y) {
      for (int x = 5; x < 5 + kPage.width(); ++x) picture.setPixel(x, y, qRgb(255, 255, 255));
    }
    picture.setPixel(5, 5, qRgb(255, 0, 0));
    return picture;
  }

  ToolsProject p;
  model::PageRecord* page = nullptr;
  params::DeviceLists lists = TestLists();
  bool chinese = true;
  int execs = 0;
  bool shownFullScreen = false;
  QString answer;
  std::vector<std::string> presets;
  ui::DesktopHooks hooks;
  TForUseDpreview preview;
  test::TempDir dir;
};

TEST_F(PreviewTest, LabelsStandOnTheirLinksColour) {
  const QImage picture = UsedDataPicture(WindowPicture(), kPage, *page, lists);
  ASSERT_EQ(picture.size(), QSize(241, 321));
  EXPECT_EQ(picture.pixel(1, 1), qRgb(255, 0, 0)) << "the page's corner lands at (1, 1)";
  EXPECT_EQ(picture.pixel(0, 0), qRgb(192, 192, 192));

  const QRect link1Label(40, 60, 12, 6);
  const QRect link2Label(100, 140, 12, 6);
  EXPECT_GT(CountColour(picture, link1Label, kNavy), 20);
  EXPECT_EQ(CountColour(picture, link1Label, kDarkGreen), 0);
  EXPECT_GT(CountColour(picture, link2Label, kDarkGreen), 20);
  EXPECT_EQ(CountColour(picture, link2Label, kNavy), 0);
  EXPECT_GT(CountColour(picture, QRect(40, 60, 30, 12), qRgb(255, 255, 255)), 0)
      << "the address is written in the window colour";
  EXPECT_EQ(CountColour(picture, QRect(39, 59, 1, 1), kNavy), 0)
      << "nothing before the element's corner";
  EXPECT_EQ(CountColour(picture, QRect(160, 200, 40, 40), kNavy), 0)
      << "nothing where no element is";
}

struct ZoomCase {
  const char* zoom;
  QSize shown;
};

TEST(PreviewDisplaySize, FollowsThePreviewRatio) {
  const ZoomCase cases[] = {{"25%", {61, 81}},    {"50%", {121, 161}},  {"100%", {241, 321}},
                            {"150%", {361, 481}}, {"200%", {481, 641}}, {"", {241, 321}}};
  for (const ZoomCase& c : cases) {
    EXPECT_EQ(PreviewDisplaySize(kPage, QString::fromLatin1(c.zoom)), c.shown) << c.zoom;
  }
  EXPECT_EQ(PreviewDisplaySize({255, 63}, QStringLiteral("150%")), QSize(383, 95))
      << "integer arithmetic";
}

TEST_F(PreviewTest, ShowsThePageWindowFullScreenAndDeselectsIt) {
  editor::EditorState state;
  editor::TStructureP window(*p.image, state, 1);
  window.SelectOrgan(0);
  ASSERT_TRUE(window.HasSelection());
  preview.ShowPreview(window, lists, QStringLiteral("50%"));
  EXPECT_FALSE(window.HasSelection());
  EXPECT_EQ(execs, 1);
  EXPECT_TRUE(shownFullScreen);
  EXPECT_EQ(preview.Picture().size(), QSize(241, 321));
  EXPECT_EQ(preview.DisplaySize(), QSize(121, 161));
  EXPECT_EQ(preview.Picture().pixel(1, 1), window.PagePicture().pixel(5, 5));
  EXPECT_GT(CountColour(preview.Picture(), QRect(40, 60, 12, 6), kNavy), 20);
}

TEST_F(PreviewTest, TheLegendStandsTopRightOnThePageColour) {
  preview.Fill(WindowPicture(), kPage, *page, 0x00FFFF, lists, QStringLiteral("100%"));
  preview.resize(800, 600);
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  QFrame* legend = preview.LegendPanel();
  EXPECT_EQ(legend->geometry().right(), 800 - 2 - 1);
  EXPECT_EQ(legend->geometry().top(), 2);
  EXPECT_EQ(legend->palette().color(QPalette::Window), QColor(255, 255, 0));
  const QImage shown = preview.grab().toImage();
  EXPECT_EQ(shown.pixel(500, 500), qRgb(0, 0, 0)) << "black around the picture";
  EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 0, 0));

  EXPECT_EQ(preview.ExitAction()->shortcut(), QKeySequence(Qt::Key_F2));
  QTest::mouseClick(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
  EXPECT_FALSE(preview.isVisible());
}

TEST_F(PreviewTest, SavesThePictureAtItsOwnSizeWhateverTheRatio) {
  preview.Fill(WindowPicture(), kPage, *page, 0xFFFFFF, lists, QStringLiteral("200%"));
  const std::filesystem::path file = dir / "preview.bmp";
  answer = QString::fromStdString(file.string());
  preview.SaveAction()->trigger();
  EXPECT_EQ(presets, std::vector<std::string>{"1号画面D"});
  const QImage saved(answer);
  ASSERT_EQ(saved.size(), QSize(241, 321));
  EXPECT_GT(CountColour(saved, QRect(40, 60, 12, 6), kNavy), 20);

  std::filesystem::remove(file);
  chinese = false;
  answer.clear();
  preview.SaveBmpClick();
  EXPECT_EQ(presets.back(), "1#Window_D");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a cancelled dialog writes nothing";
}

}  // namespace
}  // namespace dravik::tools
