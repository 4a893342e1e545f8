#include "editor/render/element_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "editor/render/system_colour_table.h"

namespace dravik::editor {

namespace {

// A dotted cosmetic pen: three pixels on, three off.
constexpr int kDotRun = 3;

// The 8 x 8 hatch of a patterned brush, anchored at the bitmap's origin.
bool HatchCovers(BrushStyle style, int x, int y) {
  const bool horizontal = (y & 7) == 0;
  const bool vertical = (x & 7) == 0;
  const bool forward = ((x - y) & 7) == 0;   // falling left to right
  const bool backward = ((x + y) & 7) == 0;  // rising left to right
  switch (style) {
    case BrushStyle::Horizontal: return horizontal;
    case BrushStyle::Vertical: return vertical;
    case BrushStyle::FDiagonal: return forward;
    case BrushStyle::BDiagonal: return backward;
    case BrushStyle::Cross: return horizontal || vertical;
    case BrushStyle::DiagCross: return forward || backward;
    case BrushStyle::Solid: return true;
    case BrushStyle::Clear: return false;
  }
  return false;
}

Qt::BrushStyle QtBrushStyle(BrushStyle style) {
  switch (style) {
    case BrushStyle::Solid: return Qt::SolidPattern;
    case BrushStyle::Clear: return Qt::NoBrush;
    case BrushStyle::Horizontal: return Qt::HorPattern;
    case BrushStyle::Vertical: return Qt::VerPattern;
    case BrushStyle::FDiagonal: return Qt::FDiagPattern;
    case BrushStyle::BDiagonal: return Qt::BDiagPattern;
    case BrushStyle::Cross: return Qt::CrossPattern;
    case BrushStyle::DiagCross: return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

}  // namespace

ElementCanvas::ElementCanvas(QImage& bitmap, CanvasPen& pen, CanvasBrush& brush)
    : bitmap_(bitmap), pen_(pen), brush_(brush) {}

void ElementCanvas::SetBrushColour(std::uint32_t colour) {
  brush_.colour = colour;
  if (brush_.style == BrushStyle::Clear) brush_.style = BrushStyle::Solid;
}

void ElementCanvas::SetFont(const QFont& font, std::uint32_t colour) {
  font_ = font;
  fontColour_ = colour;
}

void ElementCanvas::Plot(int x, int y, QRgb colour) {
  if (x < 0 || y < 0 || x >= bitmap_.width() || y >= bitmap_.height()) return;
  reinterpret_cast<QRgb*>(bitmap_.scanLine(y))[x] = colour;
}

void ElementCanvas::FillBrush(int x1, int y1, int x2, int y2) {
  if (brush_.style == BrushStyle::Clear) return;
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, bitmap_.width());
  y2 = std::min(y2, bitmap_.height());
  if (x1 >= x2 || y1 >= y2) return;
  const QRgb colour = ResolveColour(brush_.colour);
  for (int y = y1; y < y2; ++y) {
    auto* row = reinterpret_cast<QRgb*>(bitmap_.scanLine(y));
    if (brush_.style == BrushStyle::Solid) {
      std::fill(row + x1, row + x2, colour);
      continue;
    }
    for (int x = x1; x < x2; ++x) {
      if (HatchCovers(brush_.style, x, y)) row[x] = colour;
    }
  }
}

// One step of the pen along a line: a square of the pen's width, the point at its
// centre (for even widths, at the lower right of the centre).
void ElementCanvas::PenPixel(int x, int y) {
  QRgb colour = ResolveColour(pen_.colour);
  if (pen_.style == PenStyle::Dot) {
    const bool on = (dotPhase_ / kDotRun) % 2 == 0;
    ++dotPhase_;
    if (!on) {
      // The gaps of a dotted line take the background only under a solid brush.
      if (!OpaqueGaps()) return;
      colour = ResolveColour(brush_.colour);
    }
  }
  const int width = std::clamp(pen_.width, 1, 16);
  const int first = -(width / 2);
  for (int dy = first; dy < first + width; ++dy) {
    for (int dx = first; dx < first + width; ++dx) Plot(x + dx, y + dy, colour);
  }
}

void ElementCanvas::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
  dotPhase_ = 0;
}

void ElementCanvas::LineTo(int x, int y) {
  const int x0 = penX_;
  const int y0 = penY_;
  penX_ = x;
  penY_ = y;
  if (pen_.style == PenStyle::Clear) return;
  // Bresenham, every pixel from the start up to but not including the end.
  const int dx = std::abs(x - x0);
  const int dy = -std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1;
  const int sy = y0 < y ? 1 : -1;
  int error = dx + dy;
  int cx = x0;
  int cy = y0;
  while (cx != x || cy != y) {
    PenPixel(cx, cy);
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      cx += sx;
    }
    if (e2 <= dx) {
      error += dx;
      cy += sy;
    }
  }
}

void ElementCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) return;
  FillBrush(x1, y1, x2, y2);
  if (pen_.style == PenStyle::Clear) return;
  // One closed outline, so a dotted pen keeps its rhythm around the corners.
  const int right = x2 - 1;
  const int bottom = y2 - 1;
  MoveTo(x1, y1);
  // A rectangle one pixel thin is a single line, end pixel included.
  if (right == x1) {
    LineTo(x1, bottom + 1);
    return;
  }
  if (bottom == y1) {
    LineTo(right + 1, y1);
    return;
  }
  LineTo(right, y1);
  LineTo(right, bottom);
  LineTo(x1, bottom);
  LineTo(x1, y1);
}

void ElementCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) return;
  QPainter painter(&bitmap_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (pen_.style == PenStyle::Clear) {
    painter.setPen(Qt::NoPen);
  } else {
    QPen pen(ResolveQColor(pen_.colour));
    pen.setWidth(std::clamp(pen_.width, 1, 16) == 1 ? 0 : std::clamp(pen_.width, 1, 16));
    pen.setStyle(pen_.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
  }
  QBrush brush(ResolveQColor(brush_.colour), QtBrushStyle(brush_.style));
  painter.setBrush(brush);
  // An aliased one-pixel outline of a QRect covers width + 1 pixels.
  const QRect box(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
  if (pen_.style == PenStyle::Clear) {
    painter.drawEllipse(QRect(x1, y1, x2 - x1, y2 - y1));
  } else {
    painter.drawEllipse(box);
  }
}

void ElementCanvas::TextOut(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  // The panel font is a fixed-cell Song face: every character cell is one em high, an
  // ASCII character half an em wide and any other a whole em, with the baseline at
  // 220/256 of the em. Laying the text out in those cells keeps the width and centring
  // arithmetic of the renderers true whatever face stands in for it.
  const int em = font_.pixelSize() > 0 ? font_.pixelSize() : QFontMetrics(font_).height();
  const int half = em / 2;
  const int ascent = (em * 220 + 128) / 256;
  const QList<uint> codes = text.toUcs4();
  int width = 0;
  for (uint code : codes) width += code < 0x80 ? half : em;

  QPainter painter(&bitmap_);
  if (brush_.style == BrushStyle::Solid) {
    painter.fillRect(QRect(x, y, width, em), ResolveQColor(brush_.colour));
  }
  painter.setFont(font_);
  painter.setPen(ResolveQColor(fontColour_));
  int cell = x;
  for (uint code : codes) {
    const char32_t character = code;
    painter.drawText(QPoint(cell, y + ascent), QString::fromUcs4(&character, 1));
    cell += code < 0x80 ? half : em;
  }
}

void DrawEdge(ElementCanvas& canvas, int width, int height, EdgeStyle style) {
  constexpr std::uint32_t kWhite = 0xFFFFFF;
  const std::uint32_t scroll = 0xFF000000u | kSysScrollBar;
  const std::uint32_t shadow = 0xFF000000u | kSysButtonShadow;
  const std::uint32_t dark = 0xFF000000u | kSysDarkShadow;
  struct Colours {
    std::uint32_t outerTopLeft, innerTopLeft, outerBottomRight, innerBottomRight;
  };
  Colours colours{};
  switch (style) {
    case EdgeStyle::Sunken: colours = {shadow, dark, kWhite, scroll}; break;
    case EdgeStyle::SunkenBox: colours = {shadow, dark, scroll, kWhite}; break;
    case EdgeStyle::Raised: colours = {scroll, kWhite, dark, shadow}; break;
  }
  const int w = width;
  const int h = height;
  canvas.SetPenColour(colours.outerTopLeft);
  canvas.Line(0, 0, w - 1, 0);
  canvas.Line(0, 0, 0, h - 1);
  canvas.SetPenColour(colours.innerTopLeft);
  canvas.Line(1, 1, w - 2, 1);
  canvas.Line(1, 1, 1, h - 2);
  canvas.SetPenColour(colours.outerBottomRight);
  canvas.Line(0, h - 1, w, h - 1);
  canvas.Line(w - 1, 0, w - 1, h - 1);
  canvas.SetPenColour(colours.innerBottomRight);
  canvas.Line(1, h - 2, w - 1, h - 2);
  canvas.Line(w - 2, 1, w - 2, h - 2);
}

}  // namespace dravik::editor
