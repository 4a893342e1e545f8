#pragma once
// The name of each element kind in the two interface languages, as the status bar, the
// search and statistics tools, the compile check and the drawing dialog show it.

#include <array>
#include <string_view>

#include "elements/element_kind.h"

namespace dravik::elements {

struct KindName {
  std::string_view chinese;  // language one
  std::string_view english;  // language two
};

// Indexed by kind code 0..34; codes without a name have empty texts.
inline constexpr std::array<KindName, kMaxKindCode + 1> KindNameTable = [] {
  std::array<KindName, kMaxKindCode + 1> table{};
  table[kKindText] = {"文本", "Text"};
  table[kKindRegister] = {"寄存器", "Register"};
  table[kKindLamp] = {"指示灯", "Lamp"};
  table[kKindTrendChart] = {"趋势图", "Tendency chart"};
  table[kKindBarGraph] = {"棒状图", "Bar graph"};
  table[kKindPicture] = {"图片", "BMP"};
  table[kKindDynamicText] = {"动态文本", "Dynamic text"};
  table[kKindFunctionKey] = {"功能键", "Function key"};
  table[kKindAsciiChinese] = {"ASCII中文", "ASCII Chinese"};
  table[kKindDate] = {"日期", "Date"};
  table[kKindTime] = {"时间", "Time"};
  table[kKindRectangle] = {"长方形", "Rectangle"};
  table[kKindScale] = {"刻度", "Scale"};
  table[kKindEllipse] = {"椭圆形", "Ellipse"};
  table[kKindLine] = {"线", "Line"};
  table[kKindBitSwitch] = {"位操作开关", "Bit Ope.Switch"};
  return table;
}();

// The name of `kind` in the interface language; empty for codes without a name.
constexpr std::string_view KindNameOf(int kind, bool isChinese) {
  if (kind < 0 || kind > kMaxKindCode) return {};
  return isChinese ? KindNameTable[kind].chinese : KindNameTable[kind].english;
}

}  // namespace dravik::elements
