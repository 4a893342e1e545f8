#pragma once
// What the drawing dialog edits of the rectangle (and the rectangle codes 21..24), the
// scale, the ellipse and the line, as plain values: one colour, the link word with its
// flag (filled, or the scale's axis), the registers that move or hide a shape, the scale's
// divisions and the line's width. A line keeps its geometry in the dialog, which shows
// its end points as the panel draws them.

#include <array>
#include <cstdint>

#include "elements/element_frame.h"
#include "model/page_record.h"

namespace dravik::elements {

inline constexpr std::array<const char*, 3> kOutlineNames{"平长方形", "凹长方形", "凸长方形"};
inline constexpr std::array<const char*, 4> kScaleDirectionNames{"向上", "向下", "向左", "向右"};
inline constexpr SpinRange kMajorDivisionsRange{2, 99};
inline constexpr SpinRange kMinorDivisionsRange{1, 99};
inline constexpr SpinRange kLineWidthRange{1, 2};
// A drawing may be as thin as a line.
inline constexpr int kMinDrawingSize = 2;

// What the dialog shows for a kind.
enum class DrawingShape {
  kShape,  // rectangle and ellipse: registers that move and hide it, filled
  kScale,  // direction and divisions, the axis
  kLine,   // the line width; its geometry is not the dialog's
};
DrawingShape DrawingShapeOf(int kind);
// Only the rectangle itself has an outline to choose.
bool HasOutline(int kind);

struct DrawingProperties {
  FrameValues frame;
  std::uint32_t colour = 0;
  int link = 0;
  int kind = 0;       // word kind of the link
  bool flag = false;  // filled, or the scale's axis
  // rectangle and ellipse
  bool movesHorizontally = false;
  bool movesVertically = false;
  bool visibilityByRegister = false;
  std::int32_t horizontalRegister = 0;
  std::int32_t verticalRegister = 0;
  int visibilityRegister = 0;
  int outline = 0;
  // scale and line
  int direction = 0;
  int majorDivisions = 0;
  int minorDivisions = 0;
  int lineWidth = 0;
  bool operator==(const DrawingProperties&) const = default;
};

DrawingProperties ReadDrawingProperties(const model::PageRecord& page, int slot);
// Writes what the dialog shows for the slot's kind: the move lock and the colour for all;
// position and size but for the line; the registers, the outline of the rectangle and the
// link word for shapes; divisions, direction and link word for the scale; the width for
// the line.
void WriteDrawingProperties(model::PageRecord& page, int slot, const DrawingProperties& drawing);

// The end points of a line as the panel draws it, in page pixels.
struct LineEnds {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const LineEnds&) const = default;
};
LineEnds LineEndPoints(const model::PageRecord& page, int slot);

}  // namespace dravik::elements
