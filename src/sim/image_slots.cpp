#include "sim/image_slots.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "compiler/bit_address.h"
#include "compiler/date_time_expansion.h"
#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "model/project_image.h"

namespace dravik::sim {

namespace {

namespace el = elements;
using compiler::ImageRecord;
using model::PageRecord;

// What a packed word is read through: `bits` wide at `shift`.
constexpr std::uint32_t Bits(std::uint32_t word, int shift, int bits) {
  return (word >> shift) & ((1u << bits) - 1);
}

std::uint32_t Number(const ImageRecord& record, std::string_view key) {
  return record.Number(key).value_or(0);
}

std::int32_t Colour(const ImageRecord& record, std::string_view key) {
  return ColourFromRgb565(static_cast<std::uint16_t>(Number(record, key)));
}

std::string_view Text(const ImageRecord& record, std::string_view key) {
  const compiler::RecordValue* value = record.Find(key);
  return value != nullptr ? std::string_view(value->text) : std::string_view{};
}

// The geometry block: X and Y are the element's position - 5. Positions 0..4 are
// written as the low byte of the negative number and a 0 byte, which reads as 251..255:
// the simulator takes them as the panel does.
void PutGeometry(const ImageRecord& record, PageRecord& p, int s) {
  p.ElemLeft[s] = static_cast<std::uint16_t>(Number(record, "x") + 5);
  p.ElemTop[s] = static_cast<std::uint16_t>(Number(record, "y") + 5);
  p.ElemWidth[s] = static_cast<std::uint16_t>(Number(record, "width"));
  p.ElemHeight[s] = static_cast<std::uint16_t>(Number(record, "height"));
}

void PutTextFamily(const ImageRecord& record, PageRecord& p, int s) {
  p.ElemWordC[s] = static_cast<std::uint16_t>(Number(record, "format"));
  p.ElemLongA[s] = Colour(record, "backColour");
  p.ElemLongB[s] = Colour(record, "foreColour");
}

// The operand of a bit: its address word (register, or a combined bit number on the
// protocols that number bits across registers), the bit, link and kind fields.
struct BitOperand {
  std::uint16_t registerNumber = 0;
  std::uint8_t operandByte = 0;
};

BitOperand UnpackBitOperand(std::uint32_t packed, int bit, int kind, int link, int protocol) {
  const auto operand = static_cast<std::uint8_t>((bit & 0x0F) | (kind & 7) << 4 | (link & 1) << 7);
  // The address word and the bit term share the low 20 bits; take the bit term out.
  const std::uint32_t address = (packed & 0xFFFFF) - (static_cast<std::uint32_t>(bit & 0x0F) << 16);
  std::uint32_t number = address;
  if (compiler::BitAddress(1, operand, protocol) == 16u + static_cast<std::uint32_t>(bit & 0x0F)) {
    number = address >> 4;
  } else if (compiler::BitAddress(1, operand, protocol) ==
             8u + static_cast<std::uint32_t>(bit & 7)) {
    number = address >> 3;
  }
  return {static_cast<std::uint16_t>(number), operand};
}

void PutBitOperand(const BitOperand& operand, PageRecord& p, int s) {
  p.ElemWordA[s] = operand.registerNumber;
  p.ElemByteB[s] = operand.operandByte;
}

void FromText(const ImageRecord& r, PageRecord& p, int s) {
  PutTextFamily(r, p, s);
  p.ElemTextA[s].Assign(Text(r, "textOne"));
  p.ElemTextB[s].Assign(Text(r, "textTwo"));
  p.ElemWordB[s] = 1;
}

void FromRegister(const ImageRecord& r, PageRecord& p, int s) {
  PutTextFamily(r, p, s);
  el::RegisterElement reg(p, s);
  const std::uint32_t packed = Number(r, "packed");
  reg.registerNumber() = static_cast<std::uint16_t>(Number(r, "register"));
  // Bits 30..31 hold the low two bits of the kind; the password flag adds into bit 31,
  // so the flag cannot come back (the format word's level still asks for a password).
  reg.operandByte() = static_cast<std::uint8_t>(Bits(packed, 0, 1) | Bits(packed, 30, 2) << 4 |
                                                Bits(packed, 29, 1) << 7);
  reg.inputAllowed() = static_cast<std::uint8_t>(Bits(packed, 1, 1));
  reg.indirectLimits() = static_cast<std::uint8_t>(Bits(packed, 2, 1));
  reg.isSigned() = static_cast<std::uint8_t>(Bits(packed, 3, 1));
  reg.digitsAndDecimals() =
      static_cast<std::uint16_t>(Bits(packed, 4, 4) << 8 | Bits(packed, 8, 4));
  reg.keyCondition() = static_cast<std::uint8_t>(Bits(packed, 12, 2) << 4 | Bits(packed, 14, 1));
  reg.options() = static_cast<std::uint16_t>(Bits(packed, 15, 1));
  reg.keyRegister() = static_cast<std::uint16_t>(Bits(packed, 16, 13));
  reg.upperLimit() = r.Find("upperLimit")->Signed();
  reg.lowerLimit() = r.Find("lowerLimit")->Signed();
}

void FromLamp(const ImageRecord& r, PageRecord& p, int s, int protocol) {
  el::LampElement lamp(p, s);
  const std::uint32_t packed = Number(r, "packed");
  lamp.offColour() = Colour(r, "offColour");
  lamp.onColour() = Colour(r, "onColour");
  PutBitOperand(UnpackBitOperand(packed, Bits(packed, 16, 4), Bits(packed, 21, 2),
                                 Bits(packed, 20, 1), protocol),
                p, s);
  lamp.negativeLogic() = static_cast<std::uint8_t>(Bits(packed, 23, 1));
  lamp.lampType() = static_cast<std::uint8_t>(Bits(packed, 24, 8));
  lamp.offText().Assign(Text(r, "offText"));
  lamp.onText().Assign(Text(r, "onText"));
}

void FromTrendChart(const ImageRecord& r, PageRecord& p, int s) {
  el::TrendChartElement chart(p, s);
  const std::uint32_t packed = Number(r, "packed");
  chart.backColour() = Colour(r, "backColour");
  chart.foreColour() = Colour(r, "foreColour");
  chart.registerNumber() = static_cast<std::uint16_t>(Number(r, "register"));
  chart.operandByte() = static_cast<std::uint8_t>(Bits(packed, 0, 1));
  chart.gridCells() = static_cast<std::uint16_t>(Bits(packed, 1, 5) << 8 | Bits(packed, 6, 5));
  chart.dataPoints() = static_cast<std::uint16_t>(Bits(packed, 11, 6));
  chart.showGrid() = static_cast<std::uint8_t>(Bits(packed, 17, 1));
  chart.showTimeLabels() = static_cast<std::uint8_t>(Bits(packed, 18, 1));
  chart.labelSize() = static_cast<std::uint16_t>(Bits(packed, 19, 2));
  // The label format is a byte placed at bit 21: beyond 7 (the placement default is 0x30)
  // it adds into the slot number above it. What the slot does not account for is its.
  const std::uint32_t carried = Bits(packed, 24, 8) - static_cast<std::uint32_t>(s + 1);
  chart.labelFormat() = static_cast<std::uint8_t>(Bits(packed, 21, 3) + 8 * (carried & 0x1F));
  chart.fullScale() = r.Find("fullScale")->Signed();
  chart.zeroValue() = r.Find("zero")->Signed();
  chart.sampleSeconds() = static_cast<std::uint16_t>(Number(r, "sampleInterval"));
}

void FromBarGraph(const ImageRecord& r, PageRecord& p, int s) {
  el::BarGraphElement bar(p, s);
  const std::uint32_t packed = Number(r, "packed");
  bar.backColour() = Colour(r, "backColour");
  bar.foreColour() = Colour(r, "foreColour");
  bar.registerNumber() = static_cast<std::uint16_t>(Bits(packed, 0, 16));
  // The operand byte is added in at bit 16, over the indirect flags and the direction:
  // its data type stays at bit 16 and its register kind's upper bits and link arrive at
  // bits 21..23, while the kind's lowest bit falls on the direction's upper bit and cannot
  // be told from it. The direction is read from bits 19..20 and the kind as even (D on
  // the Modbus protocols, the common case); an odd kind shows as the kind below it.
  bar.operandByte() =
      static_cast<std::uint8_t>(Bits(packed, 16, 1) | Bits(packed, 21, 3) << 5);
  bar.fullScaleIndirect() = static_cast<std::uint8_t>(Bits(packed, 17, 1));
  bar.zeroIndirect() = static_cast<std::uint8_t>(Bits(packed, 18, 1));
  // The fill pattern stays in the project: the bar is filled solid.
  bar.directionAndPattern() = static_cast<std::uint16_t>(Bits(packed, 19, 2) << 8 | 0xFF);
  bar.fullScale() = r.Find("fullScale")->Signed();
  bar.zeroValue() = r.Find("zero")->Signed();
  bar.fullScaleRegister() = static_cast<std::uint16_t>(Number(r, "fullScaleRegister"));
  bar.zeroRegister() = static_cast<std::uint16_t>(Number(r, "zeroRegister"));
}

void FromPicture(const ImageRecord& r, PageRecord& p, int s, int protocol) {
  el::PictureElement picture(p, s);
  const std::uint32_t packed = Number(r, "packed");
  picture.pictureNumber() = static_cast<std::uint16_t>(Number(r, "picture"));
  PutBitOperand(UnpackBitOperand(packed, Bits(packed, 16, 4), Bits(packed, 21, 2),
                                 Bits(packed, 20, 1), protocol),
                p, s);
  picture.visibilityByBit() = static_cast<std::uint8_t>(Bits(packed, 23, 1));
  picture.keyColour() = 0xFFFFFF;
}

// The stored form of a state: its text, then its value as four hexadecimal digits
// unless the text alone already reads back as the same state.
std::string StoredState(std::string_view text, int value, int index) {
  const bool hexTail =
      text.size() >= 1 &&
      std::all_of(text.end() - std::min<std::ptrdiff_t>(4, text.size()), text.end(),
                  [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
  if (value == index && !hexTail && !text.empty()) return std::string(text);
  char tail[8];
  std::snprintf(tail, sizeof tail, "%04X", value & 0xFFFF);
  return std::string(text) + tail;
}

void FromDynamicText(const ImageRecord& r, PageRecord& p, int s) {
  PutTextFamily(r, p, s);
  el::DynamicTextElement text(p, s);
  const std::uint32_t flags = Number(r, "flags");
  text.registerNumber() = static_cast<std::uint16_t>(Number(r, "register"));
  text.inputAllowed() = static_cast<std::uint8_t>(Bits(flags, 0, 1));
  text.zeroOnLeave() = static_cast<std::uint8_t>(Bits(flags, 1, 1));
  text.linkWordBits() = static_cast<std::uint16_t>(Bits(flags, 2, 1) | Bits(flags, 3, 1) << 1 |
                                                   Bits(flags, 4, 4) << 8);
  text.stateCount() = static_cast<std::uint8_t>(r.statesOne.size());
  if (!r.statesOne.empty()) text.languageOneText().Assign(r.statesOne.front().text);
  if (!r.statesTwo.empty()) text.languageTwoText().Assign(r.statesTwo.front().text);
  const std::vector<compiler::ImageState>* languages[2] = {&r.statesOne, &r.statesTwo};
  for (int language = 0; language < 2; ++language) {
    const auto& states = *languages[language];
    for (std::size_t i = 0; i < states.size(); ++i) {
      const auto entry = model::TextEntry(s, language, static_cast<int>(i));
      if (!entry) break;
      p.DynTextStates[static_cast<std::size_t>(*entry)].Assign(
          StoredState(states[i].text, states[i].value, static_cast<int>(i)));
    }
  }
}

void FromFunctionKey(const ImageRecord& r, PageRecord& p, int s) {
  PutTextFamily(r, p, s);
  el::FunctionKeyElement key(p, s);
  key.options() = static_cast<std::uint16_t>(Number(r, "flags"));
  key.jumpPage() = static_cast<std::int32_t>(Number(r, "jumpPage"));
  key.panelFunction() = static_cast<std::uint16_t>(Number(r, "panelFunction"));
  key.languageOneText().Assign(Text(r, "textOne"));
  key.languageTwoText().Assign(Text(r, "textTwo"));
}

void FromAsciiChinese(const ImageRecord& r, PageRecord& p, int s) {
  PutTextFamily(r, p, s);
  el::AsciiChineseElement text(p, s);
  text.registerNumber() = static_cast<std::uint16_t>(Number(r, "register"));
  text.length() = static_cast<std::uint8_t>(Number(r, "length"));
  text.linkWordBits() = static_cast<std::uint16_t>((Number(r, "registerKindAndLink") & 0x0F) << 8);
}

void FromShape(const ImageRecord& r, PageRecord& p, int s) {
  el::ShapeElement shape(p, s);
  const std::uint32_t packed = Number(r, "packed");
  shape.colour() = Colour(r, "colour");
  shape.secondColour() = shape.kind() == el::kKindRectangle ? 0xD8E9EC : 0xFFFFFF;
  shape.movesHorizontally() = static_cast<std::uint8_t>(Bits(packed, 0, 1));
  shape.movesVertically() = static_cast<std::uint8_t>(Bits(packed, 1, 1));
  shape.visibilityByRegister() = static_cast<std::uint8_t>(Bits(packed, 2, 1));
  // The link word's kind and link bits add into the horizontal register's place; only
  // the filled flag comes back.
  shape.linkWordBits() = static_cast<std::uint16_t>(Bits(packed, 3, 1));
  shape.horizontalRegister() = static_cast<std::int32_t>(Bits(packed, 4, 16));
  shape.outline() = static_cast<std::uint16_t>(Bits(packed, 29, 3));
  shape.verticalRegister() = static_cast<std::int32_t>(Number(r, "verticalRegister"));
  shape.visibilityRegister() = static_cast<std::uint16_t>(Number(r, "visibilityRegister"));
}

void FromScale(const ImageRecord& r, PageRecord& p, int s) {
  el::ScaleElement scale(p, s);
  const std::uint32_t packed = Number(r, "packed");
  scale.colour() = Colour(r, "colour");
  scale.direction() = static_cast<std::uint16_t>(Bits(packed, 0, 4));
  scale.majorDivisions() = static_cast<std::uint16_t>(Bits(packed, 4, 8));
  scale.minorDivisions() = static_cast<std::uint8_t>(Bits(packed, 12, 8));
  scale.linkWordBits() = static_cast<std::uint16_t>(Bits(packed, 20, 1));
}

// A line keeps its end points; the element's box and direction come back from them.
void FromLine(const ImageRecord& r, PageRecord& p, int s) {
  el::LineElement line(p, s);
  const auto at = [&](std::string_view key) {
    return static_cast<int>(static_cast<std::int16_t>(Number(r, key)));
  };
  const int x1 = at("x1");
  const int y1 = at("y1");
  const int x2 = at("x2");
  const int y2 = at("y2");
  const bool rising = y1 > y2;
  const int x = x1 - 1;
  const int y = rising ? y2 - 1 : y1 - 2;
  line.left() = static_cast<std::uint16_t>(x + 5);
  line.top() = static_cast<std::uint16_t>(y + 5);
  line.width() = static_cast<std::uint16_t>(x2 - x + 1);
  line.height() = static_cast<std::uint16_t>((rising ? y1 : y2) - y + 1);
  line.rising() = rising ? 1 : 0;
  line.lineWidth() = static_cast<std::uint16_t>(Number(r, "lineWidth"));
  line.colour() = Colour(r, "colour");
}

void FromBitSwitch(const ImageRecord& r, PageRecord& p, int s, int protocol) {
  el::BitSwitchElement key(p, s);
  const std::uint32_t packed = Number(r, "packed");
  key.formatBits() = static_cast<std::uint16_t>(Number(r, "format"));
  key.offBackColour() = Colour(r, "backColour");
  key.offTextColour() = Colour(r, "foreColour");
  key.onBackColour() = key.offTextColour();
  key.onTextColour() = key.offBackColour();
  key.offTextOne().Assign(Text(r, "offText"));
  key.onTextOne().Assign(Text(r, "onText"));
  // The image has only the language-one texts; language two shows them too.
  key.offTextTwo().Assign(Text(r, "offText"));
  key.onTextTwo().Assign(Text(r, "onText"));
  PutBitOperand(UnpackBitOperand(packed, Bits(packed, 16, 4), Bits(packed, 29, 2),
                                 Bits(packed, 28, 1), protocol),
                p, s);
  key.action() = static_cast<std::uint16_t>(Bits(packed, 20, 2));
  key.invisible() = static_cast<std::uint8_t>(Bits(packed, 22, 1));
  key.panelKey() = static_cast<std::uint16_t>(Bits(packed, 23, 5));
  key.passwordProtected() = static_cast<std::uint8_t>(Bits(packed, 31, 1));
}

void ClearSlot(PageRecord& p, int s) {
  p.ElemKind[s] = 0;
  p.ElemTextA[s].Assign("");
  p.ElemTextB[s].Assign("");
  p.ElemNameA[s].Assign("");
  p.ElemNameB[s].Assign("");
  p.ElemLeft[s] = 0;
  p.ElemTop[s] = 0;
  p.ElemByteA[s] = 0;
  p.ElemWidth[s] = 0;
  p.ElemHeight[s] = 0;
  p.ElemLongA[s] = 0;
  p.ElemLongB[s] = 0;
  p.ElemWordA[s] = 0;
  p.ElemByteB[s] = 0;
  p.ElemByteC[s] = 0;
  p.ElemByteD[s] = 0;
  p.ElemByteE[s] = 0;
  p.ElemLongC[s] = 0;
  p.ElemLongD[s] = 0;
  p.ElemWordB[s] = 0;
  p.ElemWordC[s] = 0;
  p.ElemWordD[s] = 0;
  p.ElemWordE[s] = 0;
  p.ElemByteF[s] = 0;
}

}  // namespace

bool IsClockField(const ImageRecord& record) {
  if (record.Kind() != el::kKindRegister) return false;
  const std::uint32_t id = Number(record, "id");
  const std::uint32_t reg = Number(record, "register");
  for (const compiler::ClockField& field :
       {compiler::kClockYear, compiler::kClockMonth, compiler::kClockDay, compiler::kClockHour,
        compiler::kClockMinute, compiler::kClockSecond}) {
    if (field.id == id && field.registerNumber == reg) return true;
  }
  return false;
}

std::optional<int> SlotNamedBy(const ImageRecord& record) {
  std::uint32_t id = 0;
  const std::uint32_t packed = Number(record, "packed");
  switch (record.Kind()) {
    case el::kKindBarGraph:
    case el::kKindPicture:
      id = Bits(packed, 24, 8);
      break;
    case el::kKindRectangle:
    case el::kKindEllipse:
      id = Bits(packed, 20, 8);
      break;
    case el::kKindScale:
      id = Bits(packed, 21, 8);
      break;
    case el::kKindText:
    case el::kKindLine:
    case el::kKindTrendChart:  // its label format may carry into the ID
      return std::nullopt;
    default:
      if (IsClockField(record)) return std::nullopt;
      id = Number(record, "id");
      break;
  }
  if (id < 1 || id > static_cast<std::uint32_t>(model::kSlotCount)) return std::nullopt;
  return static_cast<int>(id) - 1;
}

void RecordIntoSlot(const ImageRecord& r, int protocol, PageRecord& p, int s) {
  ClearSlot(p, s);
  const int kind = r.Kind();
  p.ElemKind[s] = static_cast<std::uint8_t>(kind);
  if (kind != el::kKindLine) PutGeometry(r, p, s);
  switch (kind) {
    case el::kKindText:
      FromText(r, p, s);
      break;
    case el::kKindRegister:
      FromRegister(r, p, s);
      break;
    case el::kKindLamp:
      FromLamp(r, p, s, protocol);
      break;
    case el::kKindTrendChart:
      FromTrendChart(r, p, s);
      break;
    case el::kKindBarGraph:
      FromBarGraph(r, p, s);
      break;
    case el::kKindPicture:
      FromPicture(r, p, s, protocol);
      break;
    case el::kKindDynamicText:
      FromDynamicText(r, p, s);
      break;
    case el::kKindFunctionKey:
      FromFunctionKey(r, p, s);
      break;
    case el::kKindAsciiChinese:
      FromAsciiChinese(r, p, s);
      break;
    case el::kKindRectangle:
    case el::kKindEllipse:
      FromShape(r, p, s);
      break;
    case el::kKindScale:
      FromScale(r, p, s);
      break;
    case el::kKindLine:
      FromLine(r, p, s);
      break;
    case el::kKindBitSwitch:
      FromBitSwitch(r, p, s, protocol);
      break;
    default:
      break;
  }
}

RebuiltPage RebuildPage(const compiler::ImagePage& image, int protocol) {
  RebuiltPage rebuilt;
  rebuilt.page = std::make_unique<PageRecord>();
  PageRecord& page = *rebuilt.page;
  rebuilt.recordOfSlot.fill(-1);
  rebuilt.slotOfRecord.assign(image.records.size(), -1);

  for (std::size_t i = 0; i < image.records.size(); ++i) {
    const auto slot = SlotNamedBy(image.records[i]);
    if (slot && rebuilt.recordOfSlot[*slot] < 0) {
      rebuilt.recordOfSlot[*slot] = static_cast<int>(i);
      rebuilt.slotOfRecord[i] = *slot;
    }
  }
  // Records are written in ascending slot order, so a record without an ID lies between
  // the slots of the records with one around it.
  const std::size_t count = image.records.size();
  std::vector<int> above(count, -1);
  std::vector<int> below(count, model::kSlotCount);
  for (std::size_t i = 1; i < count; ++i) {
    above[i] = rebuilt.slotOfRecord[i - 1] >= 0 ? rebuilt.slotOfRecord[i - 1] : above[i - 1];
  }
  for (std::size_t i = count; i-- > 1;) {
    below[i - 1] = rebuilt.slotOfRecord[i] >= 0 ? rebuilt.slotOfRecord[i] : below[i];
  }
  const auto take = [&](std::size_t i, int slot) {
    rebuilt.recordOfSlot[slot] = static_cast<int>(i);
    rebuilt.slotOfRecord[i] = slot;
  };
  const auto isFree = [&](int slot, std::size_t i) {
    return slot > above[i] && slot < below[i] && rebuilt.recordOfSlot[slot] < 0;
  };
  // A trend chart's ID carries its label format's upper bits: the placement default 0x30
  // adds 6, the formats the dialog offers add nothing.
  for (std::size_t i = 0; i < count; ++i) {
    const compiler::ImageRecord& record = image.records[i];
    if (record.Kind() != el::kKindTrendChart) continue;
    const int named = static_cast<int>(Bits(Number(record, "packed"), 24, 8)) - 1;
    for (int carried : {6,  0,  1,  2,  3,  4,  5,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                        16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}) {
      const int slot = named - carried;
      if (slot >= 0 && slot < model::kSlotCount && isFree(slot, i)) {
        take(i, slot);
        break;
      }
    }
  }
  int previous = -1;
  for (std::size_t i = 0; i < count; ++i) {
    if (rebuilt.slotOfRecord[i] >= 0) {
      previous = rebuilt.slotOfRecord[i];
      continue;
    }
    int free = -1;
    for (int s = previous + 1; s < model::kSlotCount && free < 0; ++s) {
      if (rebuilt.recordOfSlot[s] < 0) free = s;
    }
    for (int s = 0; s < model::kSlotCount && free < 0; ++s) {
      if (rebuilt.recordOfSlot[s] < 0) free = s;
    }
    if (free < 0) continue;  // more records than slots: the rest are not shown
    take(i, free);
    previous = free;
  }
  for (std::size_t i = 0; i < image.records.size(); ++i) {
    if (rebuilt.slotOfRecord[i] >= 0) {
      RecordIntoSlot(image.records[i], protocol, page, rebuilt.slotOfRecord[i]);
    }
  }

  page.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
  page.PageStrings[model::kPageNumberText].Assign(std::to_string(image.number));
  page.PageStrings[model::kPageBackColorText].Assign(
      std::to_string(ColourFromRgb565(image.background)));
  for (int row = 0; row < model::kPageKeyRows; ++row) {
    model::PageKeyJump(page, row).Assign(std::to_string(image.keyJumps[row]));
  }
  return rebuilt;
}

}  // namespace dravik::sim
