#include "all_kinds_page.h"

#include <array>
#include <string>
#include <string_view>

#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "elements/kind_name_table.h"
#include "elements/placement.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::bench {

namespace {

using namespace dravik::elements;

constexpr std::int32_t kPageColour = 0xF0F0F0;

void UsePage(model::ProjectImage& image, int page, const std::string& name) {
  model::PageRecord& p = image.Page(page);
  p.ElemKind.fill(0);
  p.PageStrings[model::kPageName] = platform::Utf8ToGbk(name);
  p.PageStrings[model::kPageNumberText] = std::to_string(page);
  p.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
  p.PageStrings[model::kPageBackColorText] = std::to_string(kPageColour);
}

// Places one element with the kind's defaults; window coordinates are page + 5.
int Place(model::ProjectImage& image, int page, int kind, int x, int y, int width, int height) {
  Placement placement;
  placement.kind = kind;
  placement.x = x + 5;
  placement.y = y + 5;
  placement.width = width;
  placement.height = height;
  placement.pageBackColor = kPageColour;
  auto slot = PlaceElement(image.Page(page), image.Settings(), placement);
  return slot ? *slot : -1;
}

template <class ShortString>
void Store(ShortString& field, std::string_view utf8) {
  field.Assign(platform::Utf8ToGbk(utf8));
}

}  // namespace

void FillAllKindsPage(model::ProjectImage& image, int page) {
  UsePage(image, page, "All kinds");
  model::PageRecord& p = image.Page(page);
  p.PageStrings[model::kPageOwnSize] = "Y";
  p.PageStrings[model::kPageOwnWidth] = "760";
  p.PageStrings[model::kPageOwnHeight] = "400";

  constexpr std::array<int, 16> kKinds{kKindText,       kKindRegister,    kKindLamp,        kKindBitSwitch,
                                       kKindTrendChart, kKindBarGraph,    kKindPicture,     kKindDynamicText,
                                       kKindFunctionKey, kKindAsciiChinese, kKindDate,       kKindTime,
                                       kKindRectangle,  kKindScale,       kKindEllipse,     kKindLine};
  constexpr int kCellWidth = 190;
  constexpr int kCellHeight = 100;
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    const int kind = kKinds[i];
    const int x = static_cast<int>(i % 4) * kCellWidth;
    const int y = static_cast<int>(i / 4) * kCellHeight;

    // The name: a text element, so language two shows the English name.
    const int label = Place(image, page, kKindText, x + 4, y + 4, 180, 18);
    Store(p.ElemTextA[label], KindNameOf(kind, true));
    Store(p.ElemTextB[label], KindNameOf(kind, false));
    p.ElemWordC[label] = 0x0000;
    p.ElemLongA[label] = kPageColour;
    p.ElemLongB[label] = 0x000000;

    const int ex = x + 8;
    const int ey = y + 28;
    const int defaultFont = At(image.Settings(), model::settings::kDefaultTextFont);
    GhostSize size = GhostSizeTable(kind, defaultFont);
    switch (kind) {
      case kKindTrendChart: size = {170, 64}; break;
      case kKindDynamicText: size = {182, 32}; break;
      case kKindBarGraph: size = {24, 64}; break;
      case kKindPicture: size = {64, 64}; break;
      case kKindRectangle: size = {100, 50}; break;
      case kKindScale: size = {30, 64}; break;
      case kKindEllipse: size = {80, 50}; break;
      case kKindLine: size = {100, 50}; break;
      case kKindLamp: size = {32, 32}; break;
      default: break;
    }
    const int s = Place(image, page, kind, ex, ey, size.width, size.height);
    switch (kind) {
      case kKindLamp: {
        p.ElemLongA[s] = 0x00A000;  // OFF green
        p.ElemLongB[s] = 0x0000E0;  // ON red
        // A second lamp beside it: the dynamic-characters type.
        const int chars = Place(image, page, kKindLamp, ex + 48, ey + 2, 64, 28);
        p.ElemLongA[chars] = 0xFFFFFF;
        p.ElemLongB[chars] = 0x0000C0;
        p.ElemByteF[chars] = 2;
        break;
      }
      case kKindTrendChart:
        p.ElemLongA[s] = 0x202020;
        p.ElemLongB[s] = 0x40FF40;
        p.ElemByteE[s] = 1;  // grid
        break;
      case kKindBarGraph: {
        // Two more bars: the other fill patterns and directions.
        const int across = Place(image, page, kKindBarGraph, ex + 36, ey + 20, 96, 24);
        p.ElemWordC[across] = 0x0206;  // rightward, cross pattern
        p.ElemLongA[across] = 0xFFFFFF;
        p.ElemLongB[across] = 0xC00000;
        break;
      }
      case kKindPicture:
        p.ElemWordE[s] = 0;
        p.ElemWordD[s] = 2;  // stretched
        break;
      case kKindRectangle:
        p.ElemLongB[s] = 0xE0A040;
        p.ElemWordD[s] = 1;  // filled
        p.ElemWordE[s] = 2;  // raised
        break;
      case kKindScale:
        p.ElemLongB[s] = 0x000080;
        {
          const int across = Place(image, page, kKindScale, ex + 44, ey + 10, 96, 24);
          p.ElemWordB[across] = 1;  // baseline at the bottom
          p.ElemWordA[across] = 6;
          p.ElemByteB[across] = 4;
        }
        break;
      case kKindEllipse:
        p.ElemLongB[s] = 0xC06000;
        break;
      case kKindLine:
        p.ElemLongB[s] = 0x0000C0;
        p.ElemWordC[s] = 2;
        {
          const int rising = Place(image, page, kKindLine, ex + 40, ey, 100, 50);
          p.ElemByteD[rising] = 1;
        }
        break;
      default:
        break;
    }
  }
}

void FillMixedPage(model::ProjectImage& image, int page) {
  UsePage(image, page, "Mixed");
  constexpr std::array<int, 16> kKinds{kKindDynamicText, kKindText,     kKindRegister,   kKindLamp,
                                       kKindTrendChart,  kKindBarGraph, kKindPicture,    kKindFunctionKey,
                                       kKindAsciiChinese, kKindDate,    kKindTime,       kKindRectangle,
                                       kKindScale,       kKindEllipse,  kKindLine,       kKindBitSwitch};
  int placed = 0;
  for (int i = 0; placed < 200 && i < 1000; ++i) {
    const int kind = kKinds[static_cast<std::size_t>(i) % kKinds.size()];
    const GhostSize size =
        GhostSizeTable(kind, At(image.Settings(), model::settings::kDefaultTextFont));
    const int x = (i * 37) % 200;
    const int y = (i * 53) % 220;
    if (Place(image, page, kind, x, y, size.width, size.height) >= 0) ++placed;
  }
}

}  // namespace dravik::bench
