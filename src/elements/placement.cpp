#include "elements/placement.h"

#include <string>

#include "elements/element_kind.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::elements {

namespace {

using model::PageRecord;

// Stores a UTF-8 literal as the GBK bytes the model keeps.
template <class ShortString>
void Store(ShortString& field, std::string_view utf8) {
  field.Assign(platform::Utf8ToGbk(utf8));
}

void WriteCommonValues(PageRecord& p, int s, const Placement& placement) {
  p.ElemKind[s] = static_cast<std::uint8_t>(placement.kind);
  p.ElemLeft[s] = static_cast<std::uint16_t>(placement.x);
  p.ElemTop[s] = static_cast<std::uint16_t>(placement.y);
  p.ElemByteA[s] = 0;
  p.ElemWidth[s] = static_cast<std::uint16_t>(placement.width);
  p.ElemHeight[s] = static_cast<std::uint16_t>(placement.height);
  p.ElemLongA[s] = placement.pageBackColor;
  p.ElemLongB[s] = 0;
  p.ElemWordA[s] = 0;
  p.ElemByteB[s] = 0;
  p.ElemByteC[s] = 0;
  p.ElemByteD[s] = 0;
  p.ElemByteE[s] = 0;
  p.ElemLongC[s] = 0xFFFF;
  p.ElemLongD[s] = 0;
  p.ElemWordB[s] = 0x400;
  p.ElemWordC[s] = 0x2100;
  p.ElemWordD[s] = 0;
  p.ElemWordE[s] = 0;
  p.ElemByteF[s] = 0;
}

}  // namespace

std::string_view TrendChartPlacementText() {
  // 84 zeros, the full scale 1000 as eight hexadecimal digits, the colour 0xFFFFFF as six,
  // and one more zero.
  static const std::string text = std::string(84, '0') + "000003E8" + "FFFFFF" + "0";
  return text;
}

void ResetDynTextStates(PageRecord& p, int s) {
  const int perLanguage = model::StatesPerLanguage(s);
  if (perLanguage == 0) return;
  for (int language = 0; language < 2; ++language) {
    for (int j = 0; j < perLanguage; ++j) {
      p.DynTextStates[*model::TextEntry(s, language, j)].ClearLength();
    }
  }
  p.DynTextStates[*model::TextEntry(s, 0, 0)].Assign(p.ElemTextA[s].View());
  p.DynTextStates[*model::TextEntry(s, 1, 0)].Assign(p.ElemTextB[s].View());
}

void WriteKindDefaults(PageRecord& p, int s, int kind, const PageRecord& settings) {
  using namespace model::settings;
  switch (kind) {
    case kKindText:
      Store(p.ElemTextA[s], "文字串");
      Store(p.ElemTextB[s], "Text");
      p.ElemLongA[s] = At(settings, kDefaultTextBackColor);
      p.ElemLongB[s] = At(settings, kDefaultTextForeColor);
      p.ElemWordC[s] = static_cast<std::uint16_t>(At(settings, kDefaultTextFont) * 256 + 0x2000);
      p.ElemWordB[s] = 1;
      break;
    case kKindRegister:
      Store(p.ElemTextA[s], "1234");  // the preview of four digits without decimals
      Store(p.ElemNameA[s], "修改");
      Store(p.ElemNameB[s], "Amend");
      p.ElemLongA[s] = 0xFFFFFF;
      break;
    case kKindLamp:
      Store(p.ElemTextA[s], "OFF");
      Store(p.ElemTextB[s], "ON");
      break;
    case kKindTrendChart: {
      const std::string_view hex = TrendChartPlacementText();
      p.ElemTextA[s].Assign(hex.substr(0, 50));
      p.ElemTextB[s].Assign(hex.substr(50));
      p.ElemLongA[s] = 0;
      p.ElemLongB[s] = 0x6C6C6C;
      p.ElemWordB[s] = 0x603;
      p.ElemLongC[s] = 1000;
      p.ElemWordC[s] = 0x100;
      p.ElemWordD[s] = 0x300;
      p.ElemByteF[s] = 0x30;
      break;
    }
    case kKindBarGraph:
      p.ElemLongA[s] = 0x3A3A3A;
      p.ElemLongB[s] = 0xFF;
      p.ElemWordB[s] = 0;
      p.ElemWordC[s] = 0;
      break;
    case kKindPicture:
      p.ElemByteB[s] = 1;
      p.ElemLongA[s] = 0xFFFFFF;
      p.ElemTextA[s].ClearLength();
      p.ElemTextB[s].ClearLength();
      p.ElemLongC[s] = 0;
      p.ElemWordB[s] = 0;
      p.ElemWordC[s] = 0;
      break;
    case kKindDynamicText:
      p.ElemByteB[s] = 1;
      p.ElemLongA[s] = 0xFFFFFF;
      Store(p.ElemTextA[s], "动态文字串0000");
      Store(p.ElemTextB[s], "D.Text0000");
      Store(p.ElemNameA[s], "修改");
      Store(p.ElemNameB[s], "Amend");
      break;
    case kKindFunctionKey:
      Store(p.ElemTextA[s], "功能键");
      Store(p.ElemTextB[s], "FunKey");
      p.ElemLongA[s] = 0xFF00;
      p.ElemWordD[s] = 0x224;
      p.ElemLongC[s] = 0;
      break;
    case kKindAsciiChinese:
      Store(p.ElemTextA[s], "ASCII中文");
      p.ElemByteB[s] = 10;
      p.ElemLongA[s] = 0xFFFFFF;
      break;
    case kKindDate:
    case kKindTime:
      Store(p.ElemTextA[s], kind == kKindDate ? "YYYY年MM月DD日" : "HH时MM分SS秒");
      p.ElemWordC[s] = 0x100;
      p.ElemWordD[s] = 1;
      p.ElemLongA[s] = 0xFFFFFF;
      break;
    case kKindRectangle:
    case kKindEllipse:
      p.ElemLongA[s] = kind == kKindRectangle ? 0xD8E9EC : 0xFFFFFF;
      p.ElemLongB[s] = kind == kKindRectangle ? 0xFFFFFF : 0;
      p.ElemWordD[s] = kind == kKindRectangle ? 0 : 1;
      p.ElemWordC[s] = 0;
      break;
    case kKindScale:
      p.ElemWordA[s] = 5;
      p.ElemByteB[s] = 2;
      p.ElemWordB[s] = 2;
      p.ElemWordD[s] = 1;
      break;
    case kKindLine:
      p.ElemWordC[s] = 1;
      break;
    case kKindBitSwitch:
      Store(p.ElemTextA[s], "1 键");
      Store(p.ElemNameA[s], "1 Key");
      Store(p.ElemTextB[s], "1 键");
      Store(p.ElemNameB[s], "1 Key");
      p.ElemLongA[s] = 0xD8E9EC;
      p.ElemLongC[s] = 0x1EFF1E;
      p.ElemWordB[s] = 13;
      break;
    default:  // codes no command places get the common values only
      break;
  }
}

std::optional<int> PlaceElement(PageRecord& page, const PageRecord& settings,
                                const Placement& placement) {
  const std::optional<int> slot = model::FindFreeSlot(page, placement.kind);
  if (!slot) return std::nullopt;
  WriteCommonValues(page, *slot, placement);
  WriteKindDefaults(page, *slot, placement.kind, settings);
  if (placement.kind == kKindDynamicText) ResetDynTextStates(page, *slot);
  return slot;
}

}  // namespace dravik::elements
