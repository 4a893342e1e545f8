#include "elements/drawing_properties.h"

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "elements/link_word.h"

namespace dravik::elements {

DrawingShape DrawingShapeOf(int kind) {
  if (kind == kKindScale) return DrawingShape::kScale;
  if (kind == kKindLine) return DrawingShape::kLine;
  return DrawingShape::kShape;
}

bool HasOutline(int kind) {
  return kind == kKindRectangle;
}

DrawingProperties ReadDrawingProperties(const model::PageRecord& page, int slot) {
  const ShapeElement shape(page, slot);
  const ScaleElement scale(page, slot);
  const LinkWord link = shape.linkWord();
  DrawingProperties drawing;
  drawing.frame = ReadFrame(page, slot);
  drawing.colour = ColourOf(shape.colour());
  drawing.link = link.link;
  drawing.kind = link.registerKind;
  drawing.flag = link.flags != 0;
  drawing.movesHorizontally = shape.movesHorizontally() != 0;
  drawing.movesVertically = shape.movesVertically() != 0;
  drawing.visibilityByRegister = shape.visibilityByRegister() != 0;
  drawing.horizontalRegister = shape.horizontalRegister();
  drawing.verticalRegister = shape.verticalRegister();
  drawing.visibilityRegister = shape.visibilityRegister();
  drawing.outline = shape.outline();
  drawing.direction = scale.direction();
  drawing.majorDivisions = scale.majorDivisions();
  drawing.minorDivisions = scale.minorDivisions();
  drawing.lineWidth = LineElement(page, slot).lineWidth();
  return drawing;
}

void WriteDrawingProperties(model::PageRecord& page, int slot, const DrawingProperties& drawing) {
  const int kind = page.ElemKind[static_cast<std::size_t>(slot)];
  const DrawingShape shape = DrawingShapeOf(kind);
  const ShapeElement element(page, slot);
  element.moveLock() = drawing.frame.moveLock ? 1 : 0;
  element.colour() = ColourField(drawing.colour);
  if (shape == DrawingShape::kLine) {
    LineElement(page, slot).lineWidth() = static_cast<std::uint16_t>(drawing.lineWidth);
    return;
  }
  WriteFrame(page, slot, drawing.frame);
  element.linkWordBits() = LinkWord{drawing.flag ? 1 : 0, drawing.kind, drawing.link}.Pack();
  if (shape == DrawingShape::kScale) {
    const ScaleElement scale(page, slot);
    scale.majorDivisions() = static_cast<std::uint16_t>(drawing.majorDivisions);
    scale.minorDivisions() = static_cast<std::uint8_t>(drawing.minorDivisions);
    scale.direction() = static_cast<std::uint16_t>(drawing.direction);
    return;
  }
  element.movesHorizontally() = drawing.movesHorizontally ? 1 : 0;
  element.movesVertically() = drawing.movesVertically ? 1 : 0;
  element.visibilityByRegister() = drawing.visibilityByRegister ? 1 : 0;
  element.horizontalRegister() = drawing.horizontalRegister;
  element.verticalRegister() = drawing.verticalRegister;
  element.visibilityRegister() = static_cast<std::uint16_t>(drawing.visibilityRegister);
  if (HasOutline(kind)) element.outline() = static_cast<std::uint16_t>(drawing.outline);
}

LineEnds LineEndPoints(const model::PageRecord& page, int slot) {
  const LineElement line(page, slot);
  const int x = ShownPosition(line.left());
  const int y = ShownPosition(line.top());
  const int width = line.width();
  const int height = line.height();
  if (line.rising() != 0) return {x + 1, y + height - 1, x + width - 1, y + 1};
  return {x + 1, y + 2, x + width - 1, y + height - 1};
}

}  // namespace dravik::elements
