#include "elements/kind_defaults.h"

#include <string>

#include "elements/element_fields.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::elements {

namespace {

// Stores a UTF-8 literal as the GBK bytes the model keeps.
template <class ShortString>
void Store(ShortString& field, std::string_view utf8) {
  field.Assign(platform::Utf8ToGbk(utf8));
}

void WriteClockDefaults(PageRecord& page, int slot, std::string_view formatText) {
  ClockElement clock(page, slot);
  Store(clock.formatText(), formatText);
  clock.formatBits() = 0x100;
  clock.marker() = 1;
  clock.backColour() = 0xFFFFFF;
}

}  // namespace

std::string_view TrendChartPlacementText() {
  // 84 zeros, the full scale 1000 as eight hexadecimal digits, the colour 0xFFFFFF as six,
  // and one more zero.
  static const std::string text = std::string(84, '0') + "000003E8" + "FFFFFF" + "0";
  return text;
}

void WriteTextDefaults(PageRecord& page, int slot, const PageRecord& settings) {
  using namespace model::settings;
  TextElement text(page, slot);
  Store(text.languageOneText(), "文字串");
  Store(text.languageTwoText(), "Text");
  text.backColour() = At(settings, kDefaultTextBackColor);
  text.foreColour() = At(settings, kDefaultTextForeColor);
  text.formatBits() = static_cast<std::uint16_t>(At(settings, kDefaultTextFont) * 256 + 0x2000);
  text.marker() = 1;
}

void WriteRegisterDefaults(PageRecord& page, int slot, const PageRecord&) {
  RegisterElement reg(page, slot);
  Store(reg.previewText(), "1234");  // the preview of four digits without decimals
  Store(reg.keypadCaptionOne(), "修改");
  Store(reg.keypadCaptionTwo(), "Amend");
  reg.backColour() = 0xFFFFFF;
}

void WriteLampDefaults(PageRecord& page, int slot, const PageRecord&) {
  LampElement lamp(page, slot);
  Store(lamp.offText(), "OFF");
  Store(lamp.onText(), "ON");
}

void WriteTrendChartDefaults(PageRecord& page, int slot, const PageRecord&) {
  TrendChartElement chart(page, slot);
  const std::string_view hex = TrendChartPlacementText();
  chart.placementTextHead().Assign(hex.substr(0, 50));
  chart.placementTextTail().Assign(hex.substr(50));
  chart.backColour() = 0;
  chart.foreColour() = 0x6C6C6C;
  chart.gridCells() = 0x603;
  chart.fullScale() = 1000;
  chart.dataPoints() = 0x100;
  chart.sampleSeconds() = 0x300;
  chart.labelFormat() = 0x30;
}

void WriteBarGraphDefaults(PageRecord& page, int slot, const PageRecord&) {
  BarGraphElement bar(page, slot);
  bar.backColour() = 0x3A3A3A;
  bar.foreColour() = 0xFF;
  bar.fullScaleRegister() = 0;
  bar.directionAndPattern() = 0;
}

void WritePictureDefaults(PageRecord& page, int slot, const PageRecord&) {
  PictureElement picture(page, slot);
  picture.operandByte() = 1;
  picture.keyColour() = 0xFFFFFF;
  // The picture has no texts and no meaning for these fields; they start cleared.
  page.ElemTextA[slot].ClearLength();
  page.ElemTextB[slot].ClearLength();
  page.ElemLongC[slot] = 0;
  page.ElemWordB[slot] = 0;
  page.ElemWordC[slot] = 0;
}

void WriteDynamicTextDefaults(PageRecord& page, int slot, const PageRecord&) {
  DynamicTextElement text(page, slot);
  text.stateCount() = 1;
  text.backColour() = 0xFFFFFF;
  Store(text.languageOneText(), "动态文字串0000");
  Store(text.languageTwoText(), "D.Text0000");
  Store(text.keypadCaptionOne(), "修改");
  Store(text.keypadCaptionTwo(), "Amend");
}

void WriteFunctionKeyDefaults(PageRecord& page, int slot, const PageRecord&) {
  FunctionKeyElement key(page, slot);
  Store(key.languageOneText(), "功能键");
  Store(key.languageTwoText(), "FunKey");
  key.backColour() = 0xFF00;
  key.options() = 0x224;
  key.stationId() = 0;
}

void WriteAsciiChineseDefaults(PageRecord& page, int slot, const PageRecord&) {
  AsciiChineseElement text(page, slot);
  Store(text.previewText(), "ASCII中文");
  text.length() = 10;
  text.backColour() = 0xFFFFFF;
}

void WriteDateDefaults(PageRecord& page, int slot, const PageRecord&) {
  WriteClockDefaults(page, slot, "YYYY年MM月DD日");
}

void WriteTimeDefaults(PageRecord& page, int slot, const PageRecord&) {
  WriteClockDefaults(page, slot, "HH时MM分SS秒");
}

void WriteRectangleDefaults(PageRecord& page, int slot, const PageRecord&) {
  ShapeElement shape(page, slot);
  shape.secondColour() = 0xD8E9EC;
  shape.colour() = 0xFFFFFF;
  shape.linkWordBits() = 0;
  shape.variant() = 0;
}

void WriteEllipseDefaults(PageRecord& page, int slot, const PageRecord&) {
  ShapeElement shape(page, slot);
  shape.secondColour() = 0xFFFFFF;
  shape.colour() = 0;
  shape.linkWordBits() = 1;
  shape.variant() = 0;
}

void WriteScaleDefaults(PageRecord& page, int slot, const PageRecord&) {
  ScaleElement scale(page, slot);
  scale.majorDivisions() = 5;
  scale.minorDivisions() = 2;
  scale.direction() = 2;
  scale.linkWordBits() = 1;
}

void WriteLineDefaults(PageRecord& page, int slot, const PageRecord&) {
  LineElement(page, slot).lineWidth() = 1;
}

void WriteBitSwitchDefaults(PageRecord& page, int slot, const PageRecord&) {
  BitSwitchElement key(page, slot);
  Store(key.offTextOne(), "1 键");
  Store(key.offTextTwo(), "1 Key");
  Store(key.onTextOne(), "1 键");
  Store(key.onTextTwo(), "1 Key");
  key.offBackColour() = 0xD8E9EC;
  key.onBackColour() = 0x1EFF1E;
  key.panelKey() = 13;
}

void KeepCommonValues(PageRecord&, int, const PageRecord&) {}

}  // namespace dravik::elements
