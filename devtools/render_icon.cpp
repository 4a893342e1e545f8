// dravik-render-icon: renders an SVG drawing into a square PNG of the given size, for the
// icon theme's fixed-size folders. Usage: dravik-render-icon DRAWING.svg SIZE OUT.png

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: dravik-render-icon DRAWING.svg SIZE OUT.png\n");
    return 2;
  }
  const int size = std::atoi(argv[2]);
  QSvgRenderer drawing(QString::fromLocal8Bit(argv[1]));
  if (!drawing.isValid() || size <= 0) {
    std::fprintf(stderr, "cannot render %s at %s pixels\n", argv[1], argv[2]);
    return 1;
  }
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  drawing.render(&painter);
  painter.end();
  const QString out = QString::fromLocal8Bit(argv[3]);
  QDir().mkpath(QFileInfo(out).absolutePath());
  if (!icon.save(out, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
