#include "sim/render/screen_painter.h"

#include <QPainter>
#include <algorithm>
#include <string>

#include "compiler/rgb565.h"
#include "editor/render/element_image.h"
#include "editor/render/element_renderers.h"
#include "editor/render/font_tables.h"
#include "editor/render/gbk_text.h"
#include "model/page_record.h"

namespace dravik::sim {
namespace {

constexpr int kWindowOffset = 5;  // slot positions are page pixels + 5
constexpr int kAlarmLineHeight = 18;

std::size_t At(int slot) { return static_cast<std::size_t>(slot); }

const compiler::ImagePage* PageOf(const compiler::DecodedImage& image, int number) {
  for (const compiler::ImagePage& page : image.Pages()) {
    if (page.number == number) return &page;
  }
  return nullptr;
}

template <typename List>
bool Contains(const List& list, int slot) {
  return std::find(list.begin(), list.end(), slot) != list.end();
}

// What the field being typed shows: the typed text in the focus colour, in place of the
// field's value.
void ShowEntry(Screen& screen, std::uint16_t focusColour) {
  if (!screen.entry || !screen.page) return;
  const std::size_t slot = At(screen.entry->slot);
  if (slot >= model::kSlotCount) return;
  model::PageRecord& page = *screen.page;
  page.ElemTextA[slot] = screen.entry->typed;
  page.ElemTextB[slot] = screen.entry->typed;
  page.ElemLongA[slot] = compiler::ColourFromRgb565(focusColour);
}

void PaintFocus(QPainter& painter, const Screen& screen, std::uint16_t focusColour) {
  if (!screen.focusSlot || !screen.page) return;
  const std::size_t slot = At(*screen.focusSlot);
  if (slot >= model::kSlotCount || screen.page->ElemKind[slot] == 0) return;
  const model::PageRecord& page = *screen.page;
  painter.setPen(QPen(PanelColour(focusColour), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(page.ElemLeft[slot] - kWindowOffset, page.ElemTop[slot] - kWindowOffset,
                   page.ElemWidth[slot] - 1, page.ElemHeight[slot] - 1);
}

// The active alarms run along the bottom of the screen, the first one shown with the
// number of the others.
void PaintAlarms(QPainter& painter, const Screen& screen) {
  if (screen.activeAlarms.empty()) return;
  const QRect line(0, screen.height - kAlarmLineHeight, screen.width, kAlarmLineHeight);
  painter.fillRect(line, QColor(0xFF, 0, 0));
  QString text = editor::FromGbk(screen.activeAlarms.front());
  if (screen.activeAlarms.size() > 1) {
    text += QStringLiteral("  (+%1)").arg(screen.activeAlarms.size() - 1);
  }
  painter.setPen(Qt::white);
  painter.setFont(editor::SongFont(11));
  painter.drawText(line.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
}

}  // namespace

QColor PanelColour(std::uint16_t rgb565) {
  const auto colour = static_cast<std::uint32_t>(compiler::ColourFromRgb565(rgb565));
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

ScreenPainter::ScreenPainter(const compiler::DecodedImage& image)
    : image_(image), pictures_(image.Pictures().size()), made_(image.Pictures().size(), false) {}

const QImage& ScreenPainter::Picture(int index) {
  static const QImage kNothing;
  if (index < 0 || At(index) >= pictures_.size()) return kNothing;
  if (!made_[At(index)]) {
    const compiler::ImagePicture& picture = image_.Pictures()[At(index)];
    const auto pixels = image_.PicturePixels(picture);
    QImage shown(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height && !shown.isNull(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
      for (int x = 0; x < picture.width; ++x) {
        const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 2;
        const auto value = static_cast<std::uint16_t>(pixels[at] | (pixels[at + 1] << 8));
        row[x] = PanelColour(value).rgb();
      }
    }
    pictures_[At(index)] = shown;
    made_[At(index)] = true;
  }
  return pictures_[At(index)];
}

QImage ScreenPainter::Paint(Screen& screen) {
  QImage canvas(std::max(screen.width, 1), std::max(screen.height, 1), QImage::Format_RGB32);
  const compiler::ImagePage* page = PageOf(image_, screen.pageNumber);
  canvas.fill(PanelColour(page != nullptr ? page->background : 0xFFFF));
  if (!screen.page || !screen.settings) return canvas;

  const std::uint16_t focusColour = image_.Setting(compiler::image_field::kFocusColour);
  ShowEntry(screen, focusColour);

  editor::RenderSettings base;
  base.languageOverride = screen.languageTwo ? 1 : 0;
  base.isChinese = !screen.languageTwo;
  QPainter painter(&canvas);
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (screen.page->ElemKind[At(slot)] == 0) continue;
    editor::RenderSettings options = base;
    options.bitPreviewOn = Contains(screen.onSlots, slot);
    for (const BarLevel& bar : screen.bars) {
      if (bar.slot == slot) options.barLevel = bar.fraction;
    }
    for (const TrendTrace& trend : screen.trends) {
      if (trend.slot != slot) continue;
      options.trendSamples = &trend.samples;
      options.trendCapacity = trend.capacity;
    }
    for (const auto& [pictureSlot, index] : screen.pictures) {
      if (pictureSlot == slot) options.picture = &Picture(index);
    }
    editor::ElementImage element;
    element.slot = slot;
    editor::DrawElement({*screen.page, *screen.settings, options, slot}, element);
    if (!element.shown.isNull()) {
      painter.drawImage(element.bounds.topLeft() - QPoint(kWindowOffset, kWindowOffset),
                        element.shown);
    }
  }
  PaintFocus(painter, screen, focusColour);
  PaintAlarms(painter, screen);
  painter.end();
  // The panel shows 16-bit colour: what the renderers smooth in 24 bits is cut to it.
  return canvas.convertToFormat(QImage::Format_RGB16).convertToFormat(QImage::Format_RGB32);
}

}  // namespace dravik::sim
