#pragma once
// Named views of one element's fields. A page keeps its elements in parallel slot arrays
// (ElemLongA, ElemWordC, ...) whose meaning depends on the kind; a view names them for one
// kind and hands out references into the page, so reading and writing through it costs
// nothing over the raw arrays. The views work on const and non-const pages alike:
//   RegisterElement r(page, slot);  r.upperLimit() = 0xFFFF;  int n = r.registerNumber();

#include <cstddef>

#include "elements/format_word.h"
#include "elements/link_word.h"
#include "elements/operand_byte.h"
#include "model/page_record.h"

namespace dravik::elements {

// One named field: a reference into the page's array at the view's slot.
#define DRAVIK_ELEMENT_FIELD(name, array) \
  auto& name() const {                    \
    return this->page_.array[this->s_];   \
  }

// The fields every kind has.
template <class Page>
class ElementFields {
 public:
  ElementFields(Page& page, int slot) : page_(page), s_(static_cast<std::size_t>(slot)) {}

  DRAVIK_ELEMENT_FIELD(kind, ElemKind)
  DRAVIK_ELEMENT_FIELD(left, ElemLeft)  // page pixels + 5
  DRAVIK_ELEMENT_FIELD(top, ElemTop)
  DRAVIK_ELEMENT_FIELD(width, ElemWidth)
  DRAVIK_ELEMENT_FIELD(height, ElemHeight)
  DRAVIK_ELEMENT_FIELD(moveLock, ElemByteA)  // 1: the mouse cannot move it

 protected:
  Page& page_;
  std::size_t s_;
};
template <class Page>
ElementFields(Page&, int) -> ElementFields<Page>;

// Kinds that read a register through an operand byte: lamp, picture, bit switch (a bit),
// register, trend chart and bar graph (a word).
template <class Page>
class OperandElement : public ElementFields<Page> {
 public:
  OperandElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(registerNumber, ElemWordA)
  DRAVIK_ELEMENT_FIELD(operandByte, ElemByteB)
  OperandByte operand() const { return OperandByte::Unpack(operandByte()); }
};
template <class Page>
OperandElement(Page&, int) -> OperandElement<Page>;

// Kinds that name their register kind and link in a link word: dynamic text,
// ASCII-Chinese and the text on a register (31).
template <class Page>
class LinkWordElement : public ElementFields<Page> {
 public:
  LinkWordElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(registerNumber, ElemWordA)
  DRAVIK_ELEMENT_FIELD(linkWordBits, ElemWordD)
  DRAVIK_ELEMENT_FIELD(keyRegister, ElemWordE)
  LinkWord linkWord() const { return LinkWord::Unpack(linkWordBits()); }
};
template <class Page>
LinkWordElement(Page&, int) -> LinkWordElement<Page>;

// Page-table texts on a register of a station (19): the link word names the register's
// kind and link; the station's ID is a number of its own.
template <class Page>
class StationTextElement : public LinkWordElement<Page> {
 public:
  StationTextElement(Page& page, int slot) : LinkWordElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(stationId, ElemWordB)
};
template <class Page>
StationTextElement(Page&, int) -> StationTextElement<Page>;

// The word panel (32) keeps its register's kind and link as a whole number, link x 8 +
// word kind, rather than in packed bits.
template <class Page>
class WordPanelElement : public ElementFields<Page> {
 public:
  WordPanelElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(registerNumber, ElemWordA)
  DRAVIK_ELEMENT_FIELD(deviceSelector, ElemLongD)
};
template <class Page>
WordPanelElement(Page&, int) -> WordPanelElement<Page>;

// What the text renderer reads of every kind it draws (text, register, dynamic text,
// function key, ASCII-Chinese, date, time and their relatives).
template <class Page>
class TextFamilyElement : public ElementFields<Page> {
 public:
  TextFamilyElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(languageOneText, ElemTextA)
  DRAVIK_ELEMENT_FIELD(languageTwoText, ElemTextB)
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  FormatWord format() const { return FormatWord::Unpack(formatBits()); }
};
template <class Page>
TextFamilyElement(Page&, int) -> TextFamilyElement<Page>;

template <class Page>
class TextElement : public TextFamilyElement<Page> {
 public:
  TextElement(Page& page, int slot) : TextFamilyElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(marker, ElemWordB)  // always 1
  // Texts made elsewhere may carry a bit operand, which counts only while ElemByteD is set.
  DRAVIK_ELEMENT_FIELD(bitRegister, ElemWordA)
  DRAVIK_ELEMENT_FIELD(bitOperandByte, ElemByteB)
  DRAVIK_ELEMENT_FIELD(bitInUse, ElemByteD)
};
template <class Page>
TextElement(Page&, int) -> TextElement<Page>;

template <class Page>
class RegisterElement : public OperandElement<Page> {
 public:
  RegisterElement(Page& page, int slot) : OperandElement<Page>(page, slot) {}
  // The operand byte's bit 7 is the data format (1 Float), not a link.
  DRAVIK_ELEMENT_FIELD(previewText, ElemTextA)
  DRAVIK_ELEMENT_FIELD(keypadCaptionOne, ElemNameA)
  DRAVIK_ELEMENT_FIELD(keypadCaptionTwo, ElemNameB)
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(inputAllowed, ElemByteC)
  DRAVIK_ELEMENT_FIELD(isSigned, ElemByteD)
  DRAVIK_ELEMENT_FIELD(indirectLimits, ElemByteE)  // 1: the limits are register numbers
  DRAVIK_ELEMENT_FIELD(upperLimit, ElemLongC)
  DRAVIK_ELEMENT_FIELD(lowerLimit, ElemLongD)
  DRAVIK_ELEMENT_FIELD(digitsAndDecimals, ElemWordB)  // digits x 256 + decimals
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  DRAVIK_ELEMENT_FIELD(options, ElemWordD)  // bit 0 leading zeros, bit 1 password
  DRAVIK_ELEMENT_FIELD(keyRegister, ElemWordE)
  DRAVIK_ELEMENT_FIELD(keyCondition, ElemByteF)  // condition x 16 + action
};
template <class Page>
RegisterElement(Page&, int) -> RegisterElement<Page>;

template <class Page>
class LampElement : public OperandElement<Page> {
 public:
  LampElement(Page& page, int slot) : OperandElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(offText, ElemTextA)
  DRAVIK_ELEMENT_FIELD(onText, ElemTextB)
  DRAVIK_ELEMENT_FIELD(offColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(onColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(negativeLogic, ElemByteD)
  DRAVIK_ELEMENT_FIELD(lampType, ElemByteF)  // 0 round, 1 square, 2 dynamic characters
};
template <class Page>
LampElement(Page&, int) -> LampElement<Page>;

template <class Page>
class TrendChartElement : public OperandElement<Page> {
 public:
  TrendChartElement(Page& page, int slot) : OperandElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(placementTextHead, ElemTextA)  // read by nothing
  DRAVIK_ELEMENT_FIELD(placementTextTail, ElemTextB)
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(gridCells, ElemWordB)  // horizontal x 256 + vertical
  DRAVIK_ELEMENT_FIELD(fullScale, ElemLongC)
  DRAVIK_ELEMENT_FIELD(zeroValue, ElemLongD)
  DRAVIK_ELEMENT_FIELD(dataPoints, ElemWordC)
  DRAVIK_ELEMENT_FIELD(sampleSeconds, ElemWordD)
  DRAVIK_ELEMENT_FIELD(showGrid, ElemByteE)
  DRAVIK_ELEMENT_FIELD(showTimeLabels, ElemByteC)
  DRAVIK_ELEMENT_FIELD(labelSize, ElemWordE)    // font size code
  DRAVIK_ELEMENT_FIELD(labelFormat, ElemByteF)  // 0 "MM:SS", 1 "HH:MM", 2 "HH:MM:SS"
};
template <class Page>
TrendChartElement(Page&, int) -> TrendChartElement<Page>;

template <class Page>
class BarGraphElement : public OperandElement<Page> {
 public:
  BarGraphElement(Page& page, int slot) : OperandElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(fullScaleIndirect, ElemByteC)
  DRAVIK_ELEMENT_FIELD(zeroIndirect, ElemByteE)
  DRAVIK_ELEMENT_FIELD(fullScale, ElemLongC)
  DRAVIK_ELEMENT_FIELD(zeroValue, ElemLongD)
  DRAVIK_ELEMENT_FIELD(fullScaleRegister, ElemWordB)
  DRAVIK_ELEMENT_FIELD(zeroRegister, ElemWordD)
  DRAVIK_ELEMENT_FIELD(directionAndPattern, ElemWordC)  // direction x 256 + fill pattern
};
template <class Page>
BarGraphElement(Page&, int) -> BarGraphElement<Page>;

template <class Page>
class PictureElement : public OperandElement<Page> {
 public:
  PictureElement(Page& page, int slot) : OperandElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(pictureNumber, ElemWordE)
  DRAVIK_ELEMENT_FIELD(visibilityByBit, ElemByteD)
  DRAVIK_ELEMENT_FIELD(keyColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(showFlags, ElemWordD)  // bit 0 see-through key colour, bit 1 stretched
};
template <class Page>
PictureElement(Page&, int) -> PictureElement<Page>;

template <class Page>
class DynamicTextElement : public LinkWordElement<Page> {
 public:
  DynamicTextElement(Page& page, int slot) : LinkWordElement<Page>(page, slot) {}
  // Link word flags: bit 0 transparent background, bit 1 password protection.
  DRAVIK_ELEMENT_FIELD(stateCount, ElemByteB)
  DRAVIK_ELEMENT_FIELD(inputAllowed, ElemByteC)
  DRAVIK_ELEMENT_FIELD(zeroOnLeave, ElemByteD)
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(languageOneText, ElemTextA)  // copies of state 0
  DRAVIK_ELEMENT_FIELD(languageTwoText, ElemTextB)
  DRAVIK_ELEMENT_FIELD(keypadCaptionOne, ElemNameA)
  DRAVIK_ELEMENT_FIELD(keypadCaptionTwo, ElemNameB)
};
template <class Page>
DynamicTextElement(Page&, int) -> DynamicTextElement<Page>;

template <class Page>
class FunctionKeyElement : public ElementFields<Page> {
 public:
  FunctionKeyElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(languageOneText, ElemTextA)
  DRAVIK_ELEMENT_FIELD(languageTwoText, ElemTextB)
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  // bit 0 transparent, bit 1 password, bit 2 page jump, bit 3 panel function
  DRAVIK_ELEMENT_FIELD(options, ElemWordD)
  DRAVIK_ELEMENT_FIELD(jumpPage, ElemLongD)
  DRAVIK_ELEMENT_FIELD(panelFunction, ElemWordE)
  DRAVIK_ELEMENT_FIELD(stationId, ElemLongC)
};
template <class Page>
FunctionKeyElement(Page&, int) -> FunctionKeyElement<Page>;

template <class Page>
class AsciiChineseElement : public LinkWordElement<Page> {
 public:
  AsciiChineseElement(Page& page, int slot) : LinkWordElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(previewText, ElemTextA)
  DRAVIK_ELEMENT_FIELD(length, ElemByteB)  // characters
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
};
template <class Page>
AsciiChineseElement(Page&, int) -> AsciiChineseElement<Page>;

// The date and the time.
template <class Page>
class ClockElement : public ElementFields<Page> {
 public:
  ClockElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(formatText, ElemTextA)
  DRAVIK_ELEMENT_FIELD(displayFormat, ElemByteB)  // 0, 1 or 2
  DRAVIK_ELEMENT_FIELD(inputAllowed, ElemByteC)
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  DRAVIK_ELEMENT_FIELD(marker, ElemWordD)  // always 1
  DRAVIK_ELEMENT_FIELD(backColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(foreColour, ElemLongB)
};
template <class Page>
ClockElement(Page&, int) -> ClockElement<Page>;

// Rectangles and ellipses, which registers may move or hide.
template <class Page>
class ShapeElement : public ElementFields<Page> {
 public:
  ShapeElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(colour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(secondColour, ElemLongA)  // not edited
  DRAVIK_ELEMENT_FIELD(linkWordBits, ElemWordD)  // flag bit 0: filled
  DRAVIK_ELEMENT_FIELD(movesHorizontally, ElemByteC)
  DRAVIK_ELEMENT_FIELD(horizontalRegister, ElemLongC)
  DRAVIK_ELEMENT_FIELD(movesVertically, ElemByteD)
  DRAVIK_ELEMENT_FIELD(verticalRegister, ElemLongD)
  DRAVIK_ELEMENT_FIELD(visibilityByRegister, ElemByteE)
  DRAVIK_ELEMENT_FIELD(visibilityRegister, ElemWordA)
  DRAVIK_ELEMENT_FIELD(outline, ElemWordE)  // rectangle: 0 flat, 1 sunken, 2 raised
  DRAVIK_ELEMENT_FIELD(variant, ElemWordC)  // rectangle: code - 20
  LinkWord linkWord() const { return LinkWord::Unpack(linkWordBits()); }
};
template <class Page>
ShapeElement(Page&, int) -> ShapeElement<Page>;

template <class Page>
class ScaleElement : public ElementFields<Page> {
 public:
  ScaleElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(colour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(majorDivisions, ElemWordA)
  DRAVIK_ELEMENT_FIELD(minorDivisions, ElemByteB)
  DRAVIK_ELEMENT_FIELD(direction, ElemWordB)     // 0 up, 1 down, 2 left, 3 right
  DRAVIK_ELEMENT_FIELD(linkWordBits, ElemWordD)  // flag bit 0: show the axis
};
template <class Page>
ScaleElement(Page&, int) -> ScaleElement<Page>;

template <class Page>
class LineElement : public ElementFields<Page> {
 public:
  LineElement(Page& page, int slot) : ElementFields<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(colour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(lineWidth, ElemWordC)
  DRAVIK_ELEMENT_FIELD(rising, ElemByteD)  // 0 top-left to bottom-right, 1 bottom-left to top-right
};
template <class Page>
LineElement(Page&, int) -> LineElement<Page>;

template <class Page>
class BitSwitchElement : public OperandElement<Page> {
 public:
  BitSwitchElement(Page& page, int slot) : OperandElement<Page>(page, slot) {}
  DRAVIK_ELEMENT_FIELD(offTextOne, ElemTextA)
  DRAVIK_ELEMENT_FIELD(offTextTwo, ElemNameA)
  DRAVIK_ELEMENT_FIELD(onTextOne, ElemTextB)
  DRAVIK_ELEMENT_FIELD(onTextTwo, ElemNameB)
  DRAVIK_ELEMENT_FIELD(offBackColour, ElemLongA)
  DRAVIK_ELEMENT_FIELD(offTextColour, ElemLongB)
  DRAVIK_ELEMENT_FIELD(onBackColour, ElemLongC)
  DRAVIK_ELEMENT_FIELD(onTextColour, ElemLongD)
  DRAVIK_ELEMENT_FIELD(action, ElemWordE)  // 0 set ON, 1 set OFF, 2 hold, 3 alternate
  DRAVIK_ELEMENT_FIELD(formatBits, ElemWordC)
  DRAVIK_ELEMENT_FIELD(passwordProtected, ElemByteC)
  DRAVIK_ELEMENT_FIELD(invisible, ElemByteD)
  DRAVIK_ELEMENT_FIELD(panelKey, ElemWordB)
};
template <class Page>
BitSwitchElement(Page&, int) -> BitSwitchElement<Page>;

#undef DRAVIK_ELEMENT_FIELD

}  // namespace dravik::elements
