#pragma once
// One element as the page window shows it: a bitmap of the element's size at the
// element's position, with the canvas state (pen, brush) its last drawing left, an
// optional transparent key colour and, for pictures, the stretch flag. The page window
// keeps one per occupied slot and paints them in slot order.

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>

namespace dravik::editor {

enum class PenStyle { Solid, Dot, Clear };

// In the order the bar graph stores its fill pattern (0..7).
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

struct CanvasPen {
  std::uint32_t colour = 0;  // black
  PenStyle style = PenStyle::Solid;
  int width = 1;
};

struct CanvasBrush {
  std::uint32_t colour = 0xFFFFFF;  // white
  BrushStyle style = BrushStyle::Solid;
};

// The four 5 x 5 squares that mark a member of the area selection.
struct CornerMarker {
  QRect bounds;  // window coordinates
  bool visible = false;
  std::uint32_t colour = 0xFFFFFF;
};

struct ElementImage {
  int slot = 0;
  QRect bounds;   // window coordinates: (ElemLeft, ElemTop, ElemWidth, ElemHeight)
  QImage bitmap;  // what the renderer drew, Format_RGB32 (a picture: the picture itself)
  bool transparent = false;
  std::uint32_t keyColour = 0;  // a stored colour value; pixels resolving to it let the canvas through
  bool stretch = false;
  bool drawn = false;           // false for kinds no renderer draws
  CanvasPen pen;
  CanvasBrush brush;
  std::array<CornerMarker, 4> markers;

  // The bitmap as painted over the canvas, bounds-sized, key pixels see-through.
  QImage shown;

  // The name the editor finds the slot by: "NImage" + slot.
  QString Name() const { return QStringLiteral("NImage%1").arg(slot); }
  // The hint text: slot, one space, page number.
  QString Hint(int page) const { return QStringLiteral("%1 %2").arg(slot).arg(page); }

  // Sizes the bitmap to the bounds, keeping what lies inside both sizes.
  void SizeBitmap();
  // Builds `shown` from the bitmap, the key colour and the stretch flag.
  void Compose();
  // Places the corner markers on the bounds (hidden ones stay hidden).
  void PlaceMarkers();
};

// The slot number named by an element image's name, -1 when it is not one.
int SlotFromName(const QString& name);

}  // namespace dravik::editor
