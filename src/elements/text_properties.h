#pragma once
// What the text dialog and the ASCII-Chinese dialog edit, as plain values: read from a
// slot when the dialog opens, written back at OK with the packings of the two kinds.

#include <cstdint>
#include <string>

#include "elements/element_frame.h"
#include "elements/format_word.h"
#include "model/page_record.h"

namespace dravik::elements {

// The text (kind 1).
struct TextProperties {
  FrameValues frame;
  std::string textOne;  // language one, GBK
  std::string textTwo;  // language two, GBK
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  int font = 0;
  int alignment = 0;
  bool operator==(const TextProperties&) const = default;
};

TextProperties ReadTextProperties(const model::PageRecord& page, int slot);
// A text has neither border nor password level: the format word keeps font and alignment.
void WriteTextProperties(model::PageRecord& page, int slot, const TextProperties& text);

// The ASCII-Chinese element (kind 9): a text read from consecutive word registers.
inline constexpr SpinRange kAsciiChineseLengthRange{1, 50};

struct AsciiChineseProperties {
  FrameValues frame;
  int link = 0;
  int kind = 0;  // word kind of the link
  int registerNumber = 0;
  int length = 10;  // characters
  int border = 0;
  int font = 0;  // one of its own ten sizes
  int alignment = 0;
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  bool operator==(const AsciiChineseProperties&) const = default;
};

AsciiChineseProperties ReadAsciiChineseProperties(const model::PageRecord& page, int slot);
// The link word carries the kind and the link and no flags; the format word has no level.
void WriteAsciiChineseProperties(model::PageRecord& page, int slot,
                                 const AsciiChineseProperties& text);

}  // namespace dravik::elements
