// The page window: opening, canvas and grid, the retained element list, the bulk
// redraws, the multiple-document area, printing and the picture export.

#include "editor/ui/structure_page.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/render/system_colour_table.h"
#include "editor_test_support.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/image_codec.h"
#include "support/temp_dir.h"

namespace dravik::editor {
namespace {

using test::PutElement;
using test::Rgb;
using test::SetText;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kWhite = 0xFFFFFF;

class PageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    model::InitializeNewProject(*image);  // page 1 "Window1"
    model::At(image->Settings(), model::settings::kPanelModel) = 0;  // 240 x 320
    page().PageStrings[model::kPageBackColorText] = "16777215";
  }

  model::PageRecord& page(int n = 1) { return image->Page(n); }

  // A filled rectangle of one colour in `slot`, at page position (x, y).
  void PutBlock(int slot, int x, int y, int w, int h, std::uint32_t colour, int n = 1) {
    PutElement(page(n), slot, 20, w, h);
    page(n).ElemLeft[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(x + 5);
    page(n).ElemTop[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(y + 5);
    page(n).ElemLongB[static_cast<std::size_t>(slot)] = static_cast<std::int32_t>(colour);
    page(n).ElemWordD[static_cast<std::size_t>(slot)] = 1;
  }

  QRgb PicturePixel(const TStructureP& window, int pageX, int pageY) {
    return window.PagePicture().pixel(pageX + 5, pageY + 5) | 0xFF000000u;
  }

  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
  EditorState state;
};

TEST_F(PageWindowTest, OpensAtTheScreenSizeWithCaptionAndElements) {
  page().PageStrings[model::kPageName] = platform::Utf8ToGbk("主画面");
  PutBlock(0, 10, 10, 20, 20, kRed);
  PutBlock(3, 100, 100, 30, 30, kGreen);
  TStructureP window(*image, state, 1);
  EXPECT_EQ(window.PageNumber(), 1);
  EXPECT_EQ(window.Caption(), QString::fromUtf8("1:主画面"));
  EXPECT_EQ(window.windowTitle(), window.Caption());
  EXPECT_EQ(window.size(), QSize(250, 330));
  EXPECT_EQ(state.PageWidth, 240);
  EXPECT_EQ(state.PageHeight, 320);
  EXPECT_EQ(window.Scene().ElementCount(), 2);
  EXPECT_FALSE(state.BulkMode);
  EXPECT_TRUE(window.SelectionFrame().isNull()) << "a bulk redraw selects nothing";
  ASSERT_NE(window.Element(3), nullptr);
  EXPECT_EQ(window.Element(3)->Name(), "NImage3");
  EXPECT_EQ(window.Element(3)->Hint(1), "3 1");
  EXPECT_EQ(SlotFromName("NImage3"), 3);

  const QImage picture = window.PagePicture();
  EXPECT_EQ(picture.size(), QSize(250, 330));
  EXPECT_EQ(PicturePixel(window, 15, 15), Rgb(kRed));
  EXPECT_EQ(PicturePixel(window, 110, 110), Rgb(kGreen));
  EXPECT_EQ(PicturePixel(window, 60, 60), Rgb(kWhite)) << "page background";
  EXPECT_EQ(picture.pixel(2, 2) | 0xFF000000u, SystemColourRgb(15)) << "the form around the canvas";
}

TEST_F(PageWindowTest, OwnSizeAndUnreadableNumbers) {
  page().PageStrings[model::kPageOwnSize] = "Y";
  page().PageStrings[model::kPageOwnWidth] = "320";
  page().PageStrings[model::kPageOwnHeight] = "abc";
  TStructureP window(*image, state, 1);
  EXPECT_EQ(window.CanvasWidth(), 200);
  EXPECT_EQ(window.CanvasHeight(), 100);
  EXPECT_EQ(window.size(), QSize(210, 110));

  page().PageStrings[model::kPageOwnHeight] = "150";
  window.ApplyOwnSize();
  EXPECT_EQ(window.size(), QSize(330, 160));
  EXPECT_EQ(state.PageWidth, 320);
  page().PageStrings[model::kPageOwnHeight] = "x";
  window.ApplyOwnSize();
  EXPECT_EQ(window.size(), QSize(330, 160)) << "unreadable numbers keep the size";
}

TEST_F(PageWindowTest, UnreadableBackgroundIsTheWindowColourAndNotWrittenBack) {
  page().PageStrings[model::kPageBackColorText] = "white";
  TStructureP window(*image, state, 1);
  EXPECT_EQ(static_cast<std::uint32_t>(window.BackgroundColour()), kWindowBackgroundColour);
  EXPECT_EQ(PicturePixel(window, 100, 100), SystemColourRgb(kSysWindow));
  EXPECT_TRUE(page().PageStrings[model::kPageBackColorText] == "white");
}

TEST_F(PageWindowTest, GridDotsFollowTheStepsAndTheSwitch) {
  page().PageStrings[model::kPageBackColorText] = "0";  // black shows the dots
  state.GriddingColor = kWhite;
  TStructureP window(*image, state, 1);
  const QImage& canvas = window.Scene().Canvas();
  auto dot = [&](int x, int y) { return (canvas.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; };
  // Columns every GriY = 16, rows every GriX = 32, from one step in.
  EXPECT_TRUE(dot(16, 32));
  EXPECT_TRUE(dot(224, 288));
  EXPECT_TRUE(dot(32, 64));
  EXPECT_FALSE(dot(16, 16));
  EXPECT_FALSE(dot(24, 32));
  EXPECT_FALSE(dot(100, 100));

  state.GriX = 10;
  state.GriY = 20;
  window.StructureGridding();
  EXPECT_TRUE(window.Scene().Canvas().pixel(20, 10) == 0xFFFFFFFFu);
  EXPECT_FALSE(window.Scene().Canvas().pixel(16, 32) == 0xFFFFFFFFu);

  state.ShowGrid = false;
  window.StructureGridding();
  EXPECT_FALSE(window.Scene().Canvas().pixel(20, 10) == 0xFFFFFFFFu);
  // The dotted outline stays: three on, three off along the top row.
  EXPECT_TRUE(window.Scene().Canvas().pixel(1, 0) == 0xFFFFFFFFu);
  EXPECT_FALSE(window.Scene().Canvas().pixel(4, 0) == 0xFFFFFFFFu);
}

TEST_F(PageWindowTest, GeometryRepairIsWrittenIntoTheRecord) {
  PutBlock(0, 0, 0, 20, 20, kRed);
  page().ElemLeft[0] = 300;  // beyond the 240-pixel page
  page().ElemWidth[0] = 0;
  TStructureP window(*image, state, 1);
  EXPECT_EQ(page().ElemLeft[0], 6);
  EXPECT_EQ(page().ElemWidth[0], 16);
  EXPECT_EQ(window.Element(0)->bounds, QRect(6, 5, 16, 20));
  EXPECT_EQ(PicturePixel(window, 1, 0), Rgb(kRed));
}

TEST_F(PageWindowTest, TopSlotWinsTheHitTestAndPaintsOnTop) {
  PutBlock(2, 10, 10, 40, 40, kRed);
  PutBlock(9, 30, 30, 40, 40, kGreen);
  TStructureP window(*image, state, 1);
  EXPECT_EQ(window.SlotAt(QPoint(5 + 40, 5 + 40)), 9);
  EXPECT_EQ(window.SlotAt(QPoint(5 + 15, 5 + 15)), 2);
  EXPECT_EQ(window.SlotAt(QPoint(5 + 200, 5 + 200)), -1);
  EXPECT_EQ(PicturePixel(window, 40, 40), Rgb(kGreen));
}

TEST_F(PageWindowTest, TransparentElementsLetTheCanvasThrough) {
  page().PageStrings[model::kPageBackColorText] = "65280";  // green
  PutBlock(0, 10, 10, 40, 40, kRed);
  page().ElemWordD[0] = 0;  // outline only
  TStructureP window(*image, state, 1);
  EXPECT_EQ(PicturePixel(window, 10, 10), Rgb(kRed));
  EXPECT_EQ(PicturePixel(window, 30, 30), Rgb(kGreen));
}

TEST_F(PageWindowTest, EstablishSelectsOutsideBulkModeAndRefreshRebuilds) {
  TStructureP window(*image, state, 1);
  PutBlock(4, 10, 10, 20, 20, kRed);
  state.CurrentSlot = 4;
  window.OrganEstablish();
  EXPECT_EQ(window.SelectionFrame(), QRect(15, 15, 20, 20));
  EXPECT_EQ(PicturePixel(window, 12, 12), Rgb(kRed));

  page().ElemKind[4] = 0;
  PutBlock(5, 50, 50, 20, 20, kGreen);
  window.PageRefresh();
  EXPECT_EQ(window.Element(4), nullptr);
  ASSERT_NE(window.Element(5), nullptr);
  EXPECT_FALSE(state.BulkMode);
  EXPECT_EQ(PicturePixel(window, 12, 12), Rgb(kWhite));
}

TEST_F(PageWindowTest, OrganRepaintWalksTheAreaSelection) {
  PutBlock(1, 10, 10, 20, 20, kRed);
  PutBlock(2, 50, 10, 20, 20, kRed);
  TStructureP window(*image, state, 1);
  page().ElemLongB[1] = static_cast<std::int32_t>(kGreen);
  page().ElemLongB[2] = static_cast<std::int32_t>(kGreen);
  page().ElemWidth[2] = 0;
  window.SelList = {2, 1};
  state.RepaintCursor = 0;
  window.OrganRepaint();
  EXPECT_EQ(state.CurrentSlot, 2);
  EXPECT_EQ(page().ElemWidth[2], 16) << "repaired";
  EXPECT_EQ(PicturePixel(window, 52, 12), Rgb(kGreen));
  EXPECT_EQ(PicturePixel(window, 12, 12), Rgb(kRed)) << "not yet redrawn";
  window.OrganRepaint();
  EXPECT_EQ(PicturePixel(window, 12, 12), Rgb(kGreen));
  window.OrganRepaint();  // past the end: nothing
  EXPECT_EQ(state.RepaintCursor, 2);
}

TEST_F(PageWindowTest, BitPreviewRedrawsLampsAndSwitches) {
  PutElement(page(), 0, 3, 20, 20);
  page().ElemLongA[0] = static_cast<std::int32_t>(kGreen);
  page().ElemLongB[0] = static_cast<std::int32_t>(kRed);
  page().ElemByteF[0] = 1;
  PutElement(page(), 1, 34, 80, 32);
  page().ElemLeft[1] = 105;
  page().ElemLongA[1] = static_cast<std::int32_t>(kWhite);
  page().ElemLongC[1] = static_cast<std::int32_t>(kGreen);
  TStructureP window(*image, state, 1);
  EXPECT_EQ(PicturePixel(window, 10, 10), Rgb(kGreen));
  EXPECT_EQ(PicturePixel(window, 170, 2), Rgb(kWhite));
  state.BitPreviewOn = true;
  window.BitPreviewRefresh();
  EXPECT_EQ(PicturePixel(window, 10, 10), Rgb(kRed));
  EXPECT_EQ(PicturePixel(window, 170, 2), Rgb(kGreen));
  EXPECT_FALSE(state.BulkMode);
}

TEST_F(PageWindowTest, FormActivateSetsTheEditorState) {
  image->Page(2) = image->Page(1);
  image->Page(2).PageStrings[model::kPageOwnSize] = "Y";
  image->Page(2).PageStrings[model::kPageOwnWidth] = "100";
  image->Page(2).PageStrings[model::kPageOwnHeight] = "50";
  TStructureP first(*image, state, 1);
  TStructureP second(*image, state, 2);
  int activated = 0;
  QObject::connect(&first, &TStructureP::Activated, [&](int page) { activated = page; });
  first.FormActivate();
  EXPECT_EQ(state.CurrentPage, 1);
  EXPECT_EQ(state.PageWidth, 240);
  EXPECT_EQ(activated, 1);
  second.FormActivate();
  EXPECT_EQ(state.CurrentPage, 2);
  EXPECT_EQ(state.PageWidth, 100);
  EXPECT_EQ(state.PageHeight, 50);
}

TEST_F(PageWindowTest, MultipleDocumentAreaOpensOncePerPageAndClosesAll) {
  QMdiArea area;
  area.resize(800, 600);
  area.show();
  image->Page(2) = image->Page(1);
  image->Page(2).PageStrings[model::kPageNumberText] = "2";
  PutBlock(0, 10, 10, 20, 20, kRed);
  Bilingual failure;
  state.CurrentPage = 1;
  TStructureP* one = OpenPageWindow(area, *image, state, &failure);
  ASSERT_NE(one, nullptr);
  state.CurrentPage = 2;
  TStructureP* two = OpenPageWindow(area, *image, state, &failure);
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(area.subWindowList().size(), 2);
  EXPECT_EQ(ActivePageWindow(area), two);
  EXPECT_EQ(state.CurrentPage, 2);

  state.CurrentPage = 1;
  EXPECT_EQ(OpenPageWindow(area, *image, state, &failure), one) << "brought forward, not opened again";
  EXPECT_EQ(area.subWindowList().size(), 2);
  EXPECT_EQ(ActivePageWindow(area), one);
  EXPECT_EQ(FindPageWindow(area, 2), two);

  // A closed window is not brought forward again: the page opens anew.
  qobject_cast<QMdiSubWindow*>(two->parentWidget())->close();
  state.CurrentPage = 2;
  TStructureP* reopened = OpenPageWindow(area, *image, state, &failure);
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(reopened, two);

  CloseAllPageWindows(area);
  EXPECT_TRUE(area.subWindowList().isEmpty());
  EXPECT_EQ(FindPageWindow(area, 1), nullptr);
  EXPECT_EQ(page().ElemKind[0], 20) << "the page data stays";
}

TEST_F(PageWindowTest, OnlyEnteringFromAnotherPageWindowStartsAfreshNotTheMainWindowsFocusComingBack) {
  PutBlock(0, 10, 10, 20, 20, kRed);
  image->Page(2) = image->Page(1);
  image->Page(2).PageStrings[model::kPageNumberText] = "2";
  QWidget mainWindow;
  auto* area = new QMdiArea(&mainWindow);
  area->resize(800, 600);
  mainWindow.resize(800, 600);
  mainWindow.show();
  state.CurrentPage = 1;
  TStructureP* one = OpenPageWindow(*area, *image, state, nullptr);
  ASSERT_NE(one, nullptr);
  mainWindow.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
  one->SelectOrgan(0);
  ASSERT_TRUE(one->HasSelection());
  QSignalSpy entered(one, &TStructureP::Activated);

  // The user turns to another program and comes back: the program as a whole goes
  // inactive (which the offscreen platform never reports by itself), its window is
  // activated again, and the area hands the same page window back.
  QWidget otherProgram;
  otherProgram.show();
  otherProgram.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&otherProgram));
  QEvent programLeft(QEvent::ApplicationDeactivate);
  QCoreApplication::sendEvent(qApp, &programLeft);
  EXPECT_EQ(area->activeSubWindow(), nullptr);
  EXPECT_EQ(ActivePageWindow(*area), one) << "still the page being edited";
  mainWindow.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
  EXPECT_EQ(ActivePageWindow(*area), one);
  EXPECT_TRUE(one->HasSelection());
  EXPECT_EQ(entered.count(), 0);

  // Another page window was the one being edited in between: the page is entered anew.
  state.CurrentPage = 2;
  TStructureP* two = OpenPageWindow(*area, *image, state, nullptr);
  ASSERT_NE(two, nullptr);
  area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(one->parentWidget()));
  EXPECT_EQ(entered.count(), 1);
  EXPECT_FALSE(one->HasSelection());
  EXPECT_EQ(state.CurrentPage, 1);
}

TEST_F(PageWindowTest, OpeningFailsWithTheBilingualMessage) {
  QMdiArea area;
  Bilingual failure;
  state.CurrentPage = 0;
  EXPECT_EQ(OpenPageWindow(area, *image, state, &failure), nullptr);
  EXPECT_EQ(failure.chinese, "同时打开画面数不得太多 ！");
  EXPECT_EQ(failure.english, "At the same time, open the windows should not be too much!");
  EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(PageWindowTest, TooManyWindowsAreRefused) {
  QMdiArea area;
  for (int n = 1; n <= kMaxOpenPageWindows + 1; ++n) {
    image->Page(n).PageStrings[model::kPageOwnSize] = "Y";
    image->Page(n).PageStrings[model::kPageOwnWidth] = "20";
    image->Page(n).PageStrings[model::kPageOwnHeight] = "20";
  }
  Bilingual failure;
  for (int n = 1; n <= kMaxOpenPageWindows; ++n) {
    state.CurrentPage = n;
    ASSERT_NE(OpenPageWindow(area, *image, state, &failure), nullptr) << n;
  }
  state.CurrentPage = kMaxOpenPageWindows + 1;
  EXPECT_EQ(OpenPageWindow(area, *image, state, &failure), nullptr);
  EXPECT_EQ(failure, kTooManyWindowsMessage);
}

TEST_F(PageWindowTest, PictureExportTextsAndBitmap) {
  page().PageStrings[model::kPageNumberText] = "7";
  PutBlock(0, 0, 0, 10, 10, kRed);
  TStructureP window(*image, state, 1);
  const PictureExportTexts zh = ExportTexts(window, true);
  EXPECT_EQ(zh.title, QString::fromUtf8("输出图形为BMP格式"));
  EXPECT_EQ(zh.defaultName, QString::fromUtf8("7号画面"));
  EXPECT_EQ(zh.defaultSuffix, "bmp");
  EXPECT_EQ(zh.filter, "Bitmap file(*.bmp);;All files(*.*)");
  const PictureExportTexts en = ExportTexts(window, false);
  EXPECT_EQ(en.title, "Graphics output format for the BMP");
  EXPECT_EQ(en.defaultName, "7#Window");

  test::TempDir dir;
  const auto file = dir / "page.bmp";
  ASSERT_TRUE(SavePagePicture(window, QString::fromStdString(file.string())).ok());
  const platform::DecodeResult decoded = platform::DecodeBmp(test::ReadAll(file));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.image.width, 250);
  EXPECT_EQ(decoded.image.height, 330);
  const std::size_t at = decoded.image.PixelOffset(6, 6);
  EXPECT_EQ(decoded.image.rgb[at], 255);
  EXPECT_EQ(decoded.image.rgb[at + 1], 0);

  EXPECT_FALSE(SavePagePicture(window, QString::fromStdString((dir / "missing" / "x.bmp").string())).ok());
}

// The page box of the first page of a PDF file as Qt writes it, "/MediaBox [0 0 w h]",
// in points; empty when the file has none.
QSizeF PdfMediaBox(const std::string& pdf) {
  const std::string key = "/MediaBox [";
  const std::size_t at = pdf.find(key);
  if (at == std::string::npos) return {};
  std::istringstream box(pdf.substr(at + key.size(), 80));
  double left = 0, bottom = 0, right = 0, top = 0;
  if (!(box >> left >> bottom >> right >> top)) return {};
  return {right - left, top - bottom};
}

TEST_F(PageWindowTest, PrintsThePictureInPortrait) {
  TStructureP window(*image, state, 1);
  test::TempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((dir / "page.pdf").string()));
  printer.setPageOrientation(QPageLayout::Landscape);  // whatever the printer held before
  PreparePagePrinter(printer);
  ASSERT_TRUE(PrintPicture(printer, window.PagePicture()));

  const std::vector<std::uint8_t> bytes = test::ReadAll(dir / "page.pdf");
  const std::string pdf(bytes.begin(), bytes.end());
  const QSizeF page = PdfMediaBox(pdf);
  ASSERT_FALSE(page.isEmpty());
  EXPECT_LT(page.width(), page.height()) << "portrait";
  // The window's picture (250 x 330) is on the page as one image.
  EXPECT_NE(pdf.find("/Width 250"), std::string::npos);
  EXPECT_NE(pdf.find("/Height 330"), std::string::npos);
}

TEST(GridDialog, LoadsClampsAndStores) {
  test::GuiApp();
  TGriAttribute dialog;
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("格栅属性"));
  EditorState state;
  state.GriX = 100;
  state.GriY = 1;
  state.GriddingColor = 0xFF;
  dialog.Load(state);
  EXPECT_EQ(dialog.SpinX()->value(), 72);
  EXPECT_EQ(dialog.SpinY()->value(), 2);
  dialog.SpinX()->setValue(40);
  dialog.SpinY()->setValue(0);  // the spin keeps its range
  dialog.SetColour(0x00FF00);
  dialog.Store(state);
  EXPECT_EQ(state.GriX, 40);
  EXPECT_EQ(state.GriY, 2);
  EXPECT_EQ(state.GriddingColor, 0x00FF00u);

  int asked = 0;
  dialog.SetColourChooser([&](std::uint32_t current, QWidget*) -> std::optional<std::uint32_t> {
    ++asked;
    EXPECT_EQ(current, 0x00FF00u);
    return 0x123456u;
  });
  dialog.findChild<QPushButton*>("Panel1")->click();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(dialog.Colour(), 0x123456u);
}

}  // namespace
}  // namespace dravik::editor
