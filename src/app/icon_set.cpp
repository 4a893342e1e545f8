// Dravik's icons: SVG drawings recoloured for the application palette when they are painted.

#include "app/icon_set.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <utility>

namespace dravik::app {

namespace {

constexpr char kResourceFolder[] = ":/icons";

// The colours the drawings are made with (data/icons/README.md): the foreground is only a
// placeholder for the palette's text colour; the accents keep their colour while enabled.
constexpr char kForegroundPlaceholder[] = "#1f1f1f";
constexpr const char* kAccents[] = {"#2f80ed", "#f2a33a"};

// What the placeholder and the accents become for one way of showing an icon.
struct IconColours {
  QColor foreground;
  QColor accent;  // invalid: the accents keep their own colours
};

QColor Halfway(const QColor& from, const QColor& to) {
  return QColor((from.red() + to.red()) / 2, (from.green() + to.green()) / 2,
                (from.blue() + to.blue()) / 2);
}

IconColours ColoursFor(QIcon::Mode mode) {
  const QPalette palette = QGuiApplication::palette();
  switch (mode) {
    case QIcon::Disabled: {
      // A command that cannot run shows its shape only; the accents are drawn halfway to
      // the background so that filled parts still stand apart from the outlines.
      const QColor text = palette.color(QPalette::Disabled, QPalette::WindowText);
      return {text, Halfway(text, palette.color(QPalette::Disabled, QPalette::Window))};
    }
    case QIcon::Selected:
      return {palette.color(QPalette::Active, QPalette::HighlightedText), {}};
    case QIcon::Normal:
    case QIcon::Active:
      break;
  }
  return {palette.color(QPalette::Active, QPalette::WindowText), {}};
}

// The SVG text of a drawing, read from the resources once; empty when the set has none.
const QByteArray& SvgSource(const QString& name) {
  static QHash<QString, QByteArray> sources;
  auto found = sources.find(name);
  if (found == sources.end()) {
    QFile file(QStringLiteral("%1/%2.svg").arg(QLatin1String(kResourceFolder), name));
    found = sources.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
  }
  return *found;
}

QByteArray Recoloured(QByteArray svg, const IconColours& colours) {
  svg.replace(kForegroundPlaceholder, colours.foreground.name().toLatin1());
  if (colours.accent.isValid()) {
    for (const char* accent : kAccents) svg.replace(accent, colours.accent.name().toLatin1());
  }
  return svg;
}

// The drawing at exactly `size` device pixels, cached per size and colours: a palette
// switch makes new pictures and the old ones age out of the cache.
QPixmap Render(const QString& name, const QSize& size, QIcon::Mode mode) {
  const QByteArray& source = SvgSource(name);
  if (source.isEmpty() || size.isEmpty()) return {};
  const IconColours colours = ColoursFor(mode);
  const QString cacheKey = QStringLiteral("dravik-icon/%1/%2x%3/%4/%5")
                               .arg(name)
                               .arg(size.width())
                               .arg(size.height())
                               .arg(colours.foreground.rgba())
                               .arg(colours.accent.isValid() ? colours.accent.rgba() : 0u);
  QPixmap pixmap;
  if (QPixmapCache::find(cacheKey, &pixmap)) return pixmap;

  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(Recoloured(source, colours));
  QPainter painter(&image);
  // The drawings are square; a wider or taller request gets them centred on whole pixels,
  // so their strokes stay on the pixel grid.
  const int side = qMin(size.width(), size.height());
  renderer.render(&painter,
                  QRectF((size.width() - side) / 2, (size.height() - side) / 2, side, side));
  painter.end();
  pixmap = QPixmap::fromImage(std::move(image));
  QPixmapCache::insert(cacheKey, pixmap);
  return pixmap;
}

// Draws a drawing of the set at any size, in the palette's colours of the moment; a
// checkable command may show another drawing while it is checked.
class PaletteSvgIconEngine final : public QIconEngine {
 public:
  PaletteSvgIconEngine(QString checked, QString unchecked)
      : checked_(std::move(checked)), unchecked_(std::move(unchecked)) {}

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Render(NameFor(state), size, mode);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal scale = painter->device()->devicePixelRatio();
    QPixmap picture = Render(NameFor(state), rect.size() * scale, mode);
    picture.setDevicePixelRatio(scale);
    painter->drawPixmap(rect.topLeft(), picture);
  }

  QIconEngine* clone() const override { return new PaletteSvgIconEngine(*this); }
  QString key() const override { return QStringLiteral("DravikPaletteSvg"); }
  QString iconName() override { return checked_; }
  bool isNull() override {
    return SvgSource(checked_).isEmpty() || SvgSource(unchecked_).isEmpty();
  }

 private:
  const QString& NameFor(QIcon::State state) const {
    return state == QIcon::On ? checked_ : unchecked_;
  }

  QString checked_;
  QString unchecked_;
};

}  // namespace

QIcon DravikIcon(const QString& name) {
  return DravikToggleIcon(name, name);
}

QIcon DravikToggleIcon(const QString& checked, const QString& unchecked) {
  if (SvgSource(checked).isEmpty() || SvgSource(unchecked).isEmpty()) return {};
  return QIcon(new PaletteSvgIconEngine(checked, unchecked));
}

QStringList DravikIconNames() {
  QStringList names;
  const QFileInfoList files =
      QDir(QLatin1String(kResourceFolder))
          .entryInfoList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
  for (const QFileInfo& file : files) names << file.completeBaseName();
  return names;
}

}  // namespace dravik::app
