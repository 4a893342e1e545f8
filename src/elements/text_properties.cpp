#include "elements/text_properties.h"

#include "elements/element_fields.h"

namespace dravik::elements {

TextProperties ReadTextProperties(const model::PageRecord& page, int slot) {
  const TextElement element(page, slot);
  const FormatWord format = element.format();
  return {ReadFrame(page, slot),
          element.languageOneText().Str(),
          element.languageTwoText().Str(),
          ColourOf(element.backColour()),
          ColourOf(element.foreColour()),
          format.fontSize,
          format.alignment};
}

void WriteTextProperties(model::PageRecord& page, int slot, const TextProperties& text) {
  const TextElement element(page, slot);
  WriteFrame(page, slot, text.frame);
  StoreText(element.languageOneText(), text.textOne);
  StoreText(element.languageTwoText(), text.textTwo);
  element.backColour() = ColourField(text.backColour);
  element.foreColour() = ColourField(text.foreColour);
  element.formatBits() = FormatWord{0, text.font, text.alignment, 0}.Pack();
}

AsciiChineseProperties ReadAsciiChineseProperties(const model::PageRecord& page, int slot) {
  const AsciiChineseElement element(page, slot);
  const LinkWord link = element.linkWord();
  const FormatWord format = FormatWord::Unpack(element.formatBits());
  return {ReadFrame(page, slot),
          link.link,
          link.registerKind,
          element.registerNumber(),
          element.length(),
          format.border,
          format.fontSize,
          format.alignment,
          ColourOf(element.backColour()),
          ColourOf(element.foreColour())};
}

void WriteAsciiChineseProperties(model::PageRecord& page, int slot,
                                 const AsciiChineseProperties& text) {
  const AsciiChineseElement element(page, slot);
  WriteFrame(page, slot, text.frame);
  element.registerNumber() = static_cast<std::uint16_t>(text.registerNumber);
  element.length() = static_cast<std::uint8_t>(text.length);
  element.formatBits() = FormatWord{text.border, text.font, text.alignment, 0}.Pack();
  element.linkWordBits() = LinkWord{0, text.kind, text.link}.Pack();
  element.backColour() = ColourField(text.backColour);
  element.foreColour() = ColourField(text.foreColour);
}

}  // namespace dravik::elements
