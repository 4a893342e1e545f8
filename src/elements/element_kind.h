#pragma once
// The element kind codes stored in ElemKind, and the slot range each kind may use.

#include <cstdint>

namespace dravik::elements {

// Code   kind            what the element shows or does
enum ElementKind : int {
  kKindEmpty = 0,         // an empty slot
  kKindText = 1,          // static text in two languages
  kKindRegister = 2,      // numeric display and entry of a word register
  kKindLamp = 3,          // indicator driven by a bit
  kKindTrendChart = 4,    // history of one register
  kKindBarGraph = 5,      // bar following one register
  kKindPicture = 6,       // a picture of the library, optionally shown by a bit
  kKindDynamicText = 7,   // one of several texts chosen by a register value
  kKindFunctionKey = 8,   // touch key: page jump or panel function
  kKindAsciiChinese = 9,  // text read from consecutive registers
  kKindDate = 10,         // panel clock date
  kKindTime = 11,         // panel clock time
  kKindRectangle = 20,    // rectangle (21..24 are variants no command places)
  kKindScale = 25,        // divisions along one side
  kKindEllipse = 26,
  kKindLine = 27,
  kKindBitSwitch = 34,  // touch key that writes a bit
};

inline constexpr int kMaxKindCode = 34;

// Kinds whose state texts live in the page's text table and therefore only in slots 135..199.
constexpr bool IsTextTableKind(int kind) {
  return kind == 7 || (kind >= 12 && kind <= 15) || kind == 19 || kind == 33;
}

}  // namespace dravik::elements
