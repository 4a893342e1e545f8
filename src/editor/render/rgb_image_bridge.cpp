#include "editor/render/rgb_image_bridge.h"

namespace dravik::editor {

QImage ToQImage(const platform::RgbImage& picture) {
  if (picture.empty() ||
      picture.rgb.size() < static_cast<std::size_t>(picture.width) * picture.height * 3) {
    return {};
  }
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const std::uint8_t* source = picture.rgb.data() + picture.PixelOffset(0, y);
    for (int x = 0; x < picture.width; ++x, source += 3) row[x] = qRgb(source[0], source[1], source[2]);
  }
  return image;
}

platform::RgbImage ToRgbImage(const QImage& image) {
  platform::RgbImage picture;
  if (image.isNull()) return picture;
  const QImage source = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                            ? image
                            : image.convertToFormat(QImage::Format_RGB32);
  picture.width = source.width();
  picture.height = source.height();
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  for (int y = 0; y < picture.height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    std::uint8_t* target = picture.rgb.data() + picture.PixelOffset(0, y);
    for (int x = 0; x < picture.width; ++x, target += 3) {
      target[0] = static_cast<std::uint8_t>(qRed(row[x]));
      target[1] = static_cast<std::uint8_t>(qGreen(row[x]));
      target[2] = static_cast<std::uint8_t>(qBlue(row[x]));
    }
  }
  return picture;
}

}  // namespace dravik::editor
