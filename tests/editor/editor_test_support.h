#pragma once
// What the editor tests share: the program's QApplication with the panel font, a page and settings record to draw from, and pixel probes.

#include <QApplication>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "editor/render/element_image.h"
#include "editor/render/element_renderers.h"
#include "editor/render/font_tables.h"
#include "model/page_record.h"
#include "platform/gbk.h"
#include "support/qt_app.h"

namespace dravik::test {

// The program's QApplication, with "宋体" drawn by the Song-style face.
inline QApplication& GuiApp() {
  static QApplication& app = []() -> QApplication& {
    QApplication& created = EnsureApplication();
    editor::InstallSongSubstitution();
    return created;
  }();
  return app;
}

// A page record and a settings record, zeroed, on the heap (they are 197 KB each).
struct Records {
  std::unique_ptr<model::PageRecord> page = std::make_unique<model::PageRecord>();
  std::unique_ptr<model::PageRecord> settings = std::make_unique<model::PageRecord>();
};

// One element in slot `slot` at window position (5, 5) with the given size.
inline void PutElement(model::PageRecord& page, int slot, int kind, int width, int height) {
  const auto s = static_cast<std::size_t>(slot);
  page.ElemKind[s] = static_cast<std::uint8_t>(kind);
  page.ElemLeft[s] = 5;
  page.ElemTop[s] = 5;
  page.ElemWidth[s] = static_cast<std::uint16_t>(width);
  page.ElemHeight[s] = static_cast<std::uint16_t>(height);
}

template <class ShortString>
void SetText(ShortString& field, std::string_view utf8) {
  field.Assign(platform::Utf8ToGbk(utf8));
}

// Draws one slot with its kind's renderer into a fresh element image.
inline editor::ElementImage Draw(Records& records, int slot, const editor::RenderSettings& settings = {}) {
  GuiApp();
  editor::ElementImage element;
  editor::DrawElement({*records.page, *records.settings, settings, slot}, element);
  return element;
}

inline QRgb Rgb(std::uint32_t stored) {
  return qRgb(static_cast<int>(stored & 0xFF), static_cast<int>((stored >> 8) & 0xFF),
              static_cast<int>((stored >> 16) & 0xFF));
}

// The colour of a shown pixel, or 0 when it lets the canvas through.
inline QRgb Shown(const editor::ElementImage& element, int x, int y) {
  const QRgb pixel = element.shown.pixel(x, y);
  return qAlpha(pixel) == 0 ? 0 : (pixel | 0xFF000000u);
}
inline bool SeeThrough(const editor::ElementImage& element, int x, int y) {
  return qAlpha(element.shown.pixel(x, y)) == 0;
}

// The bounding box of the pixels inside `area` that `ink` accepts; empty when none.
inline QRect InkBox(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& ink) {
  QRect box;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      if (ink(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// Red-ish pixels: the test texts are red on white, frames and edges are greys.
inline bool RedInk(QRgb pixel) { return qRed(pixel) > qGreen(pixel) + 40 && qRed(pixel) > qBlue(pixel) + 40; }

}  // namespace dravik::test
