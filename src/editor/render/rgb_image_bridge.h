#pragma once
// Moving pictures between the core's RgbImage (what the codecs and the picture
// operations work on) and Qt's QImage (what is painted).

#include <QImage>

#include "platform/image_codec.h"

namespace dravik::editor {

// Format_RGB32; a null image for an empty picture.
QImage ToQImage(const platform::RgbImage& picture);
// Any QImage; alpha is dropped.
platform::RgbImage ToRgbImage(const QImage& image);

}  // namespace dravik::editor
