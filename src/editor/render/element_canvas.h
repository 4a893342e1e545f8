#pragma once
// Drawing on an element's bitmap with the conventions the element renderers are written
// against: a rectangle (x1, y1)-(x2, y2) covers x1..x2-1 and y1..y2-1, a line leaves out
// its end pixel, text is placed by its top-left corner on an opaque background of the
// brush colour unless the brush is clear, and pen and brush persist on the element
// between drawings. Colours are stored colour values (system colours resolved here).

#include <QFont>
#include <QImage>
#include <QRgb>
#include <QString>
#include <cstdint>

#include "editor/render/element_image.h"

namespace dravik::editor {

class ElementCanvas {
 public:
  // Draws on `bitmap` (Format_RGB32) with the pen and brush kept in `element`.
  explicit ElementCanvas(ElementImage& element)
      : ElementCanvas(element.bitmap, element.pen, element.brush) {}
  ElementCanvas(QImage& bitmap, CanvasPen& pen, CanvasBrush& brush);

  CanvasPen& Pen() { return pen_; }
  CanvasBrush& Brush() { return brush_; }

  void SetPenColour(std::uint32_t colour) { pen_.colour = colour; }
  void SetPenStyle(PenStyle style) { pen_.style = style; }
  void SetPenWidth(int width) { pen_.width = width; }
  // Setting a colour also turns a clear brush solid.
  void SetBrushColour(std::uint32_t colour);
  void SetBrushStyle(BrushStyle style) { brush_.style = style; }
  void SetFont(const QFont& font, std::uint32_t colour);

  // Brush inside, pen around the edge.
  void Rectangle(int x1, int y1, int x2, int y2);
  // The ellipse inscribed in the same box.
  void Ellipse(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  // From the pen position to (x, y) without (x, y) itself, which becomes the position.
  void LineTo(int x, int y);
  void Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
  }
  // Text in fixed cells (see the definition), on the brush colour unless it is clear.
  void TextOut(int x, int y, const QString& text);

 private:
  void Plot(int x, int y, QRgb colour);
  void PenPixel(int x, int y);
  void FillBrush(int x1, int y1, int x2, int y2);
  bool OpaqueGaps() const { return brush_.style == BrushStyle::Solid; }

  QImage& bitmap_;
  CanvasPen& pen_;
  CanvasBrush& brush_;
  QFont font_;
  std::uint32_t fontColour_ = 0;
  int penX_ = 0;
  int penY_ = 0;
  int dotPhase_ = 0;
};

// The three edge styles: four pairs of lines in two colours each.
enum class EdgeStyle { Sunken, SunkenBox, Raised };
void DrawEdge(ElementCanvas& canvas, int width, int height, EdgeStyle style);

}  // namespace dravik::editor
