#include "editor/render/element_image.h"

#include <QPainter>

#include "editor/render/system_colour_table.h"

namespace dravik::editor {

void ElementImage::SizeBitmap() {
  const QSize size = bounds.size();
  if (bitmap.size() == size && bitmap.format() == QImage::Format_RGB32) return;
  QImage resized(size, QImage::Format_RGB32);
  resized.fill(Qt::white);
  if (!bitmap.isNull()) {
    QPainter painter(&resized);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, bitmap);
  }
  bitmap = std::move(resized);
}

void ElementImage::Compose() {
  const QSize size = bounds.size();
  if (!transparent && !stretch && bitmap.size() == size) {
    shown = bitmap;  // shares the pixels
    return;
  }
  QImage composed(size, QImage::Format_ARGB32);
  composed.fill(Qt::transparent);
  if (!bitmap.isNull()) {
    QPainter painter(&composed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (stretch && bitmap.size() != size) {
      painter.drawImage(0, 0, bitmap.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    } else {
      painter.drawImage(0, 0, bitmap);
    }
  }
  if (transparent) {
    const QRgb key = ResolveColour(keyColour) & 0x00FFFFFFu;
    for (int y = 0; y < composed.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(composed.scanLine(y));
      for (int x = 0; x < composed.width(); ++x) {
        if ((row[x] & 0x00FFFFFFu) == key) row[x] = 0;
      }
    }
  }
  shown = std::move(composed);
}

void ElementImage::PlaceMarkers() {
  const int left = bounds.left();
  const int top = bounds.top();
  const int right = left + bounds.width() - 5;
  const int bottom = top + bounds.height() - 5;
  markers[0].bounds = QRect(left, top, 5, 5);
  markers[1].bounds = QRect(right, top, 5, 5);
  markers[2].bounds = QRect(left, bottom, 5, 5);
  markers[3].bounds = QRect(right, bottom, 5, 5);
}

int SlotFromName(const QString& name) {
  static const QString prefix = QStringLiteral("NImage");
  if (!name.startsWith(prefix)) return -1;
  bool ok = false;
  const int slot = name.mid(prefix.size()).toInt(&ok);
  return ok && slot >= 0 && slot <= 200 ? slot : -1;
}

}  // namespace dravik::editor
