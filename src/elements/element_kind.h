#pragma once
// The element kind codes stored in ElemKind. Sixteen are placed by the commands of the
// main window; the others are codes no command sets, which pages made elsewhere may
// carry and which the editor still places, draws or checks as described beside them.

#include <cstdint>

namespace dravik::elements {

// The kinds, each with what the element shows or does.
enum ElementKind : int {
  kKindEmpty = 0,               // an empty slot
  kKindText = 1,                // static text in two languages
  kKindRegister = 2,            // numeric display and entry of a word register
  kKindLamp = 3,                // indicator driven by a bit
  kKindTrendChart = 4,          // history of one register
  kKindBarGraph = 5,            // bar following one register
  kKindPicture = 6,             // a picture of the library, optionally shown by a bit
  kKindDynamicText = 7,         // one of several texts chosen by a register value
  kKindFunctionKey = 8,         // touch key: page jump or panel function
  kKindAsciiChinese = 9,        // text read from consecutive registers
  kKindDate = 10,               // panel clock date
  kKindTime = 11,               // panel clock time
  kKindTextListA = 12,          // 100 page-table texts in a 302 x 180 box; not drawn
  kKindTextListB = 13,          // as 12
  kKindTextListC = 14,          // as 12
  kKindWideTextList = 15,       // 100 page-table texts in a 467 x 180 box; not drawn
  kKindSmallRegister = 16,      // word register shown like a register, 60 x 22
  kKindBitButton = 17,          // bit operand in ElemByteB, checked like a lamp; not drawn
  kKindWordField = 18,          // word operand in ElemByteB, 61 x 16; not drawn
  kKindStationText = 19,        // page-table texts with a register and a station ID
  kKindRectangle = 20,          // rectangle
  kKindRectangleVariant1 = 21,  // rectangle drawn and checked as 20 (ElemWordC = 1)
  kKindRectangleVariant2 = 22,  // rectangle drawn and checked as 20 (ElemWordC = 2)
  kKindRectangleVariant3 = 23,  // rectangle drawn and checked as 20, 100 x 30
  kKindRectangleVariant4 = 24,  // rectangle drawn and checked as 20, 30 x 100
  kKindScale = 25,              // divisions along one side
  kKindEllipse = 26,            // ellipse, outlined or filled
  kKindLine = 27,               // straight line corner to corner
  kKindMovingShape = 28,        // shape with the ellipse's movement registers; not drawn
  kKindTrendChartVariant = 29,  // word register history drawn as a trend chart
  kKindRegisterText = 31,       // text on a register with a key register, like 9; no frame
  kKindWordPanel = 32,          // word register with its kind in ElemLongD, 228 x 128
  kKindStateTextStrip = 33,     // all its page-table texts in one 300 x 25 row
  kKindBitSwitch = 34,          // touch key that writes a bit
  kKindTextStrip = 35,          // a 300 x 25 strip; not drawn
};

// The highest code of the kind name table and of the element statistics.
inline constexpr int kMaxKindCode = 34;

}  // namespace dravik::elements
