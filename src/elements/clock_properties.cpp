#include "elements/clock_properties.h"

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "elements/format_word.h"
#include "platform/gbk.h"

namespace dravik::elements {

namespace {

// From this format word on the border field names a plain or 3-D border.
constexpr std::uint16_t kFirstPlainBorderWord = 0x2000;

}  // namespace

const std::array<const char*, kClockFormatCount>& ClockFormatTexts(int kind) {
  return kind == kKindDate ? kDateFormatTexts : kTimeFormatTexts;
}

std::optional<std::string> ClockFormatText(int kind, int format) {
  if (format < 0 || format >= kClockFormatCount) return std::nullopt;
  return platform::Utf8ToGbk(ClockFormatTexts(kind)[static_cast<std::size_t>(format)]);
}

Bilingual ClockDialogCaption(int kind) {
  if (kind == kKindDate) return {" 日期属性", " Date attribute"};
  return {" 时间属性", " Time attribute"};
}

int ClockBorderOf(std::uint16_t formatWord) {
  return formatWord < kFirstPlainBorderWord ? FormatWord::Unpack(formatWord).border
                                            : kClockBorder3D;
}

ClockProperties ReadClockProperties(const model::PageRecord& page, int slot) {
  const ClockElement element(page, slot);
  const std::uint16_t word = element.formatBits();
  return {ReadFrame(page, slot),
          element.displayFormat(),
          element.inputAllowed() != 0,
          ClockBorderOf(word),
          FormatWord::Unpack(word).fontSize,
          ColourOf(element.backColour()),
          ColourOf(element.foreColour())};
}

void WriteClockProperties(model::PageRecord& page, int slot, const ClockProperties& clock) {
  const ClockElement element(page, slot);
  WriteFrame(page, slot, clock.frame);
  element.displayFormat() = static_cast<std::uint8_t>(clock.format);
  element.inputAllowed() = clock.inputAllowed ? 1 : 0;
  if (const auto text = ClockFormatText(element.kind(), clock.format)) {
    StoreText(element.formatText(), *text);
  }
  element.formatBits() = FormatWord{clock.border, clock.font, 0, 0}.Pack();
  element.backColour() = ColourField(clock.backColour);
  element.foreColour() = ColourField(clock.foreColour);
}

}  // namespace dravik::elements
