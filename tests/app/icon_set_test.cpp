// Dravik's own icons: every drawing is built in and draws at the menu and tool-bar sizes,
// every tool button and the device commands show one, and the icons follow the palette
// into the dark style.

#include "app/icon_set.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolBar>
#include <QWidgetAction>
#include <algorithm>

#include "app_fixture.h"

namespace dravik::app {
namespace {

using test::RecordingShell;

bool HasPaint(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) != 0) return true;
    }
  }
  return false;
}

// The lightness of the darkest and the lightest clearly painted pixel, and whether any
// painted pixel is coloured rather than grey.
struct Ink {
  int darkest = 255;
  int lightest = 0;
  bool coloured = false;
};

Ink InkOf(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
  const QImage image =
      icon.pixmap(QSize(24, 24), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
  Ink ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = QColor::fromRgba(image.pixel(x, y));
      if (pixel.alpha() < 250) continue;
      ink.darkest = std::min(ink.darkest, pixel.lightness());
      ink.lightest = std::max(ink.lightest, pixel.lightness());
      if (pixel.hslSaturation() > 80) ink.coloured = true;
    }
  }
  return ink;
}

TEST(IconSet, EveryDrawingIsBuiltInAndDrawsAtMenuAndToolBarSizes) {
  test::EnsureApplication();
  const QStringList names = DravikIconNames();
  QStringList sources;
  for (const QFileInfo& file :
       QDir(QStringLiteral(DRAVIK_TEST_SOURCE_DIR "/data/icons"))
           .entryInfoList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name)) {
    sources << file.completeBaseName();
  }
  ASSERT_FALSE(sources.isEmpty());
  EXPECT_EQ(names, sources);

  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 24, 24));
    const QIcon icon = DravikIcon(name);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.name(), name);
    for (int size : {16, 24}) {
      const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
      EXPECT_EQ(pixmap.size(), QSize(size, size));
      EXPECT_TRUE(HasPaint(pixmap.toImage())) << size << " px";
    }
  }
  EXPECT_TRUE(DravikIcon(QStringLiteral("no_such_drawing")).isNull());
}

TEST(IconSet, EveryToolButtonAndDeviceCommandShowsADrawingOfTheSet) {
  RecordingShell shell;
  const QStringList names = DravikIconNames();
  int buttons = 0;
  for (QToolBar* bar : shell->findChildren<QToolBar*>()) {
    for (QAction* action : bar->actions()) {
      // The bit preview buttons show their state words "OFF" and "ON" themselves; the
      // preview ratio is a list, not a button.
      if (action->isSeparator() || action->objectName().startsWith(QStringLiteral("Bit_")) ||
          qobject_cast<QWidgetAction*>(action) != nullptr)
        continue;
      SCOPED_TRACE(action->objectName().toStdString());
      EXPECT_TRUE(names.contains(action->icon().name()));
      ++buttons;
    }
  }
  EXPECT_GT(buttons, 50);
  for (const char* menuOnly :
       {"RegisterSearch1", "AlarmSettings1", "UpdatePackage1", "Firmware1"}) {
    SCOPED_TRACE(menuOnly);
    EXPECT_TRUE(names.contains(shell->Command(menuOnly)->icon().name()));
  }

  // The grid button's picture tells whether the grid is shown.
  const QIcon grid = shell->Command("N2")->icon();
  EXPECT_NE(grid.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::On).toImage(),
            grid.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::Off).toImage());
}

TEST(IconSet, IconsFollowThePaletteIntoTheDarkStyle) {
  RecordingShell shell;
  const QIcon outline = shell->Command("Rectangle1")->icon();  // a foreground outline only
  const QIcon download = shell->Command("Download1")->icon();

  shell->SetVisualStyle(1);
  EXPECT_LT(InkOf(outline).lightest, 100);
  EXPECT_TRUE(InkOf(download).coloured);

  shell->SetVisualStyle(2);
  EXPECT_GT(InkOf(outline).darkest, 150);
  EXPECT_TRUE(InkOf(download).coloured);
  // A command that cannot run shows its shape in grey, accents included.
  EXPECT_FALSE(InkOf(download, QIcon::Disabled).coloured);

  shell->SetVisualStyle(1);
  EXPECT_LT(InkOf(outline).lightest, 100);
}

}  // namespace
}  // namespace dravik::app
