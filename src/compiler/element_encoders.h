#pragma once
// One record writer per element kind. Each appends the records of one slot to its page
// block, slot by slot in ascending order; dates and times expand into several records.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/page_block_writer.h"
#include "model/page_record.h"

namespace dravik::compiler {

struct EncodeSettings {
  int protocol = 0;  // Link 1 PLC protocol index (settings ElemHeight[0])
};

// Appends the records of the element in `slot`; an empty slot or a kind without an
// encoder writes nothing. The lamp encoder stores "0" and "1" into empty state texts of
// the lamp in `page` before it writes them; no other encoder changes the page.
void EncodeElement(model::PageRecord& page, int slot, const EncodeSettings& settings,
                   PageBlockWriter& out);

using Encoder = void (*)(model::PageRecord& page, int slot, const EncodeSettings& settings,
                         PageBlockWriter& out);
// The record writer of a kind code; nullptr for the kinds the panel has no record for.
Encoder EncoderForKind(int kind);

// The eight position and size bytes of an element: X = ElemLeft - 5 and Y = ElemTop - 5,
// each as its low byte and the byte of its quotient by 256 truncated toward zero (so a
// position of -2 reads FE 00), then width and height.
std::array<std::uint8_t, 8> GeometryBlock(int left, int top, int width, int height);
// Positions and sizes computed by the compiler itself, each the low 16 bits of the value.
std::array<std::uint8_t, 8> PlainGeometry(int x, int y, int width, int height);

// A register record (kind 2 layout) and a text record (kind 1 layout), shared with the
// date and time expansion.
struct RegisterFields {
  std::array<std::uint8_t, 8> geometry{};
  std::uint16_t format = 0;
  std::int32_t backColor = 0;
  std::int32_t foreColor = 0;
  std::uint16_t registerNumber = 0;
  std::uint32_t packed = 0;
  std::int32_t upperLimit = 0;
  std::int32_t lowerLimit = 0;
  std::uint8_t id = 0;
};
void PutRegisterRecord(PageBlockWriter& out, const RegisterFields& fields);

struct TextFields {
  std::array<std::uint8_t, 8> geometry{};
  std::uint16_t format = 0;
  std::int32_t backColor = 0;
  std::int32_t foreColor = 0;
  std::string_view textA;  // GBK bytes as written
  std::string_view textB;
};
void PutTextRecord(PageBlockWriter& out, const TextFields& fields);

// One state of a dynamic text as the image carries it: the stored text ("空"/"N" + index
// when empty) split into text and value as the dialog splits it (elements::SplitStateEntry).
struct DynTextState {
  std::uint16_t value = 0;
  std::string text;  // GBK
  bool operator==(const DynTextState&) const = default;
};
DynTextState SplitStateText(std::string_view stored, int index, int language);

}  // namespace dravik::compiler
