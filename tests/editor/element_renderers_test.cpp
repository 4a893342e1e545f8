// The element renderers against their drawing rules, probed pixel by pixel.

#include "editor/render/element_renderers.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QPainter>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/render/element_canvas.h"
#include "editor/render/font_tables.h"
#include "editor/render/page_scene.h"
#include "editor/render/system_colour_table.h"
#include "editor_test_support.h"
#include "elements/element_kind.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"

namespace dravik::editor {
namespace {

using test::Draw;
using test::PutElement;
using test::Records;
using test::Rgb;
using test::SetText;
using test::Shown;
using test::SeeThrough;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;

const QRgb kButtonShadow = SystemColourRgb(kSysButtonShadow);
const QRgb kDarkShadow = SystemColourRgb(kSysDarkShadow);
const QRgb kScrollBar = SystemColourRgb(kSysScrollBar);
const QRgb kWhiteRgb = qRgb(255, 255, 255);
const QRgb kBlackRgb = qRgb(0, 0, 0);

// Where text drawn with `font` has its first ink, relative to the point it is drawn at.
QPoint InkOffset(const QString& text, const QFont& font) {
  test::GuiApp();
  QImage image(400, 200, QImage::Format_RGB32);
  image.fill(Qt::white);
  CanvasPen pen;
  CanvasBrush brush;
  ElementCanvas canvas(image, pen, brush);
  canvas.SetFont(font, kRed);
  canvas.TextOut(20, 20, text);
  return test::InkBox(image, image.rect(), test::RedInk).topLeft() - QPoint(20, 20);
}

// The point red text was drawn at inside `area` of an element.
QPoint TextOrigin(const ElementImage& element, const QRect& area, const QString& text, int sizeCode) {
  const QRect ink = test::InkBox(element.shown, area, test::RedInk);
  if (ink.isEmpty()) return {-1000, -1000};
  return ink.topLeft() - InkOffset(text, SongFont(FontPointTable[sizeCode]));
}

// ---- text family ----

struct TextCase {
  const char* name;
  int kind;
  int frame;
  int expectedX;
  enum Edge { None, Black, Sunken, Raised } edge;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class TextFamily : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextFamily, FillOutlineTextOriginAndEdge) {
  const TextCase& c = GetParam();
  Records r;
  constexpr int w = 100;
  constexpr int h = 32;
  PutElement(*r.page, 0, c.kind, w, h);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kRed;
  r.page->ElemWordC[0] = static_cast<std::uint16_t>(c.frame << 12);  // size code 0
  SetText(r.page->ElemTextA[0], "H");
  const ElementImage e = Draw(r, 0);
  ASSERT_EQ(e.shown.size(), QSize(w, h));
  EXPECT_FALSE(e.transparent);

  // y = (32 - 16) / 2 = 8; x = 1 without a frame, 3 with one.
  EXPECT_EQ(TextOrigin(e, QRect(1, 1, w - 2, h - 2), "H", 0), QPoint(c.expectedX, 8));
  EXPECT_EQ(Shown(e, w - 10, h / 2), kWhiteRgb) << "background fill";

  switch (c.edge) {
    case TextCase::None:
      for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
        EXPECT_EQ(Shown(e, p.x(), p.y()), kWhiteRgb) << "no border at " << p.x() << "," << p.y();
      }
      break;
    case TextCase::Black:
      for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 5), QPoint(5, h - 1), QPoint(0, h - 1)}) {
        EXPECT_EQ(Shown(e, p.x(), p.y()), kBlackRgb) << p.x() << "," << p.y();
      }
      EXPECT_EQ(Shown(e, 1, 1), kWhiteRgb);
      break;
    case TextCase::Sunken:
      EXPECT_EQ(Shown(e, 5, 0), kButtonShadow);
      EXPECT_EQ(Shown(e, 0, 5), kButtonShadow);
      EXPECT_EQ(Shown(e, 5, 1), kDarkShadow);
      EXPECT_EQ(Shown(e, 5, h - 1), kWhiteRgb);
      EXPECT_EQ(Shown(e, w - 1, 5), kWhiteRgb);
      EXPECT_EQ(Shown(e, 5, h - 2), kScrollBar);
      EXPECT_EQ(Shown(e, w - 2, 5), kScrollBar);
      break;
    case TextCase::Raised:
      EXPECT_EQ(Shown(e, 5, 0), kScrollBar);
      EXPECT_EQ(Shown(e, 5, 1), kWhiteRgb);
      EXPECT_EQ(Shown(e, 5, h - 1), kDarkShadow);
      EXPECT_EQ(Shown(e, w - 2, 5), kButtonShadow);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TextFamily,
    ::testing::Values(TextCase{"TextNoFrame", 1, 0, 1, TextCase::None},
                      TextCase{"TextPlainFrame", 1, 1, 3, TextCase::Black},
                      TextCase{"Text3DFrameHasNoEdge", 1, 2, 3, TextCase::None},
                      TextCase{"RegisterNoFrame", 2, 0, 1, TextCase::None},
                      TextCase{"Register3D", 2, 2, 3, TextCase::Sunken},
                      TextCase{"DynamicText3D", 7, 2, 3, TextCase::Sunken},
                      TextCase{"AsciiChinese3D", 9, 2, 3, TextCase::Sunken},
                      TextCase{"DateFrame1IsSunken", 10, 1, 3, TextCase::Sunken},
                      TextCase{"TimeFrame1IsSunken", 11, 1, 3, TextCase::Sunken},
                      TextCase{"FunctionKey3DRaised", 8, 2, 3, TextCase::Raised},
                      TextCase{"FunctionKeyPlain", 8, 1, 3, TextCase::Black}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextFamilyRules, VerticalCentringTruncatesTowardZero) {
  struct Case {
    int height;
    int sizeCode;
    int expectedY;
  };
  for (const Case& c : {Case{32, 0, 8}, Case{33, 0, 8}, Case{40, 1, 8}, Case{60, 2, 14}}) {
    Records r;
    PutElement(*r.page, 0, 1, 120, c.height);
    r.page->ElemLongA[0] = kWhite;
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordC[0] = static_cast<std::uint16_t>(c.sizeCode << 8);
    SetText(r.page->ElemTextA[0], "H");
    const ElementImage e = Draw(r, 0);
    EXPECT_EQ(TextOrigin(e, QRect(0, 0, 120, c.height), "H", c.sizeCode).y(), c.expectedY)
        << "height " << c.height << " size " << c.sizeCode;
  }
}

TEST(TextFamilyRules, LanguageSwitchChoosesTheSecondTextForTextDynamicTextAndFunctionKey) {
  struct Case {
    int kind;
    bool showsSecond;
  };
  for (const Case& c : {Case{1, true}, Case{7, true}, Case{8, true}, Case{2, false}, Case{9, false},
                        Case{10, false}}) {
    for (int language : {0, 1}) {
      Records r;
      PutElement(*r.page, 0, c.kind, 100, 32);
      r.page->ElemLongA[0] = kWhite;
      r.page->ElemLongB[0] = kRed;
      r.page->ElemWordC[0] = 0;
      SetText(r.page->ElemTextA[0], "");
      SetText(r.page->ElemTextB[0], "HHHH");
      model::At(*r.settings, model::settings::kStartLanguage) = static_cast<std::uint8_t>(language);
      const ElementImage e = Draw(r, 0);
      const bool inked = !test::InkBox(e.shown, e.shown.rect(), test::RedInk).isEmpty();
      EXPECT_EQ(inked, c.showsSecond && language == 1) << "kind " << c.kind << " language " << language;
    }
  }
}

TEST(TextFamilyRules, LanguageOverrideWinsOverTheSettingsSwitch) {
  Records r;
  PutElement(*r.page, 0, 1, 100, 32);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kRed;
  SetText(r.page->ElemTextA[0], "");
  SetText(r.page->ElemTextB[0], "HHHH");
  RenderSettings settings;
  settings.languageOverride = 1;
  EXPECT_FALSE(test::InkBox(Draw(r, 0, settings).shown, QRect(0, 0, 100, 32), test::RedInk).isEmpty());
  model::At(*r.settings, model::settings::kStartLanguage) = 1;
  settings.languageOverride = 0;
  EXPECT_TRUE(test::InkBox(Draw(r, 0, settings).shown, QRect(0, 0, 100, 32), test::RedInk).isEmpty());
}

TEST(TextFamilyRules, Kind33ShowsTheConcatenatedStatesOfTheChosenLanguage) {
  for (int language : {0, 1}) {
    Records r;
    constexpr int slot = 140;
    PutElement(*r.page, slot, 33, 300, 25);
    r.page->ElemLongA[slot] = kWhite;
    r.page->ElemLongB[slot] = kRed;
    r.page->ElemWordC[slot] = 0;
    model::At(*r.settings, model::settings::kStartLanguage) = static_cast<std::uint8_t>(language);
    const char* first = language == 0 ? "S0" : "T0";
    const char* last = language == 0 ? "Z9" : "Y9";
    SetText(r.page->DynTextStates[*model::TextEntry(slot, language, 0)], first);
    SetText(r.page->DynTextStates[*model::TextEntry(slot, language, 1)], "-1");
    SetText(r.page->DynTextStates[*model::TextEntry(slot, language, 99)], last);
    SetText(r.page->DynTextStates[*model::TextEntry(slot, 1 - language, 0)], "XX");
    const ElementImage states = Draw(r, slot);

    // The same picture as a text element holding the concatenation.
    Records expected;
    PutElement(*expected.page, 0, 1, 300, 25);
    expected.page->ElemLongA[0] = kWhite;
    expected.page->ElemLongB[0] = kRed;
    expected.page->ElemWordC[0] = 0;
    SetText(expected.page->ElemTextA[0], std::string(first) + "-1" + last);
    EXPECT_EQ(states.shown, Draw(expected, 0).shown) << "language " << language;
  }
}

TEST(TextFamilyRules, WithoutFontOptimisationOnlyTextAndBackgroundColoursRemain) {
  Records r;
  PutElement(*r.page, 0, 1, 120, 40);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kBlue;
  r.page->ElemWordC[0] = 0x0100;
  SetText(r.page->ElemTextA[0], "文字 Aa");
  RenderSettings settings;
  settings.fontOptimisation = false;
  const ElementImage thin = Draw(r, 0, settings);
  bool hasText = false;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const QRgb p = Shown(thin, x, y);
      ASSERT_TRUE(p == kWhiteRgb || p == Rgb(kBlue)) << x << "," << y << " " << std::hex << p;
      hasText |= p == Rgb(kBlue);
    }
  }
  EXPECT_TRUE(hasText);

  settings.fontOptimisation = true;
  const ElementImage smooth = Draw(r, 0, settings);
  int blended = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const QRgb p = Shown(smooth, x, y);
      blended += p != kWhiteRgb && p != Rgb(kBlue);
    }
  }
  EXPECT_GT(blended, 0) << "smooth text has blended edge pixels";
}

TEST(TextFamilyRules, SystemColoursResolveThroughTheFixedTable) {
  Records r;
  PutElement(*r.page, 0, 1, 50, 20);
  r.page->ElemLongA[0] = static_cast<std::int32_t>(0xFF000000u | kSysButtonShadow);
  r.page->ElemLongB[0] = 0;
  const ElementImage e = Draw(r, 0);
  EXPECT_EQ(Shown(e, 40, 10), kButtonShadow);
}

TEST(TextFamilyRules, SizeCodesBeyondTheTablesDrawWithTheLargest) {
  // The ASCII-Chinese element has sizes 8 and 9 of its own.
  Records r;
  PutElement(*r.page, 0, 9, 200, 120);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kRed;
  r.page->ElemWordC[0] = 0x0900;
  SetText(r.page->ElemTextA[0], "H");
  const ElementImage e = Draw(r, 0);
  EXPECT_EQ(TextOrigin(e, e.shown.rect(), "H", 7), QPoint(1, (120 - 112) / 2));
}

// ---- lamp ----

struct LampCase {
  int negative;
  bool previewOn;
  bool lit;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const LampCase& c, std::ostream* os) { *os << "negative " << c.negative << (c.previewOn ? ", preview on" : ", preview off") << (c.lit ? ", lit" : ", dark"); }

class Lamp : public ::testing::TestWithParam<LampCase> {};

TEST_P(Lamp, LitFollowsLogicAndPreview) {
  const LampCase& c = GetParam();
  for (int shape : {0, 1}) {
    Records r;
    PutElement(*r.page, 0, 3, 20, 20);
    r.page->ElemLongA[0] = kGreen;  // OFF colour
    r.page->ElemLongB[0] = kRed;    // ON colour
    r.page->ElemByteD[0] = static_cast<std::uint8_t>(c.negative);
    r.page->ElemByteF[0] = static_cast<std::uint8_t>(shape);
    RenderSettings settings;
    settings.bitPreviewOn = c.previewOn;
    const ElementImage e = Draw(r, 0, settings);
    EXPECT_TRUE(e.transparent);
    EXPECT_EQ(Shown(e, 10, 10), Rgb(c.lit ? kRed : kGreen)) << "shape " << shape;
    if (shape == 0) {
      EXPECT_TRUE(SeeThrough(e, 0, 0)) << "outside the round lamp";
      EXPECT_EQ(Shown(e, 10, 0), Rgb(c.lit ? kGreen : kRed)) << "outline takes the other colour";
    } else {
      EXPECT_EQ(Shown(e, 0, 0), Rgb(c.lit ? kGreen : kRed));
      EXPECT_EQ(Shown(e, 19, 19), Rgb(c.lit ? kGreen : kRed));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Logic, Lamp,
                         ::testing::Values(LampCase{0, false, false}, LampCase{0, true, true},
                                           LampCase{1, false, true}, LampCase{1, true, false}));

TEST(LampRules, KeyColourChoice) {
  struct Case {
    std::uint32_t offColour;
    std::uint32_t onColour;
    std::uint32_t key;
  };
  for (const Case& c : {Case{kGreen, kRed, ~kRed}, Case{kWhite, 0, ~kWhite}, Case{kWhite, 2, ~kWhite},
                        Case{kGreen, 0, kWhite}, Case{kGreen, 2, kWhite}}) {
    Records r;
    PutElement(*r.page, 0, 3, 20, 20);
    r.page->ElemLongA[0] = static_cast<std::int32_t>(c.offColour);
    r.page->ElemLongB[0] = static_cast<std::int32_t>(c.onColour);
    const ElementImage e = Draw(r, 0);
    EXPECT_EQ(e.keyColour, c.key) << std::hex << c.offColour << " " << c.onColour;
    EXPECT_TRUE(SeeThrough(e, 0, 0));
  }
}

TEST(LampRules, DynamicCharactersTextSizeAndPlace) {
  struct Case {
    int height;
    int sizeCode;
  };
  for (const Case& c : {Case{30, 1}, Case{24, 0}, Case{20, 0}}) {
    Records r;
    PutElement(*r.page, 0, 3, 80, c.height);
    r.page->ElemLongA[0] = kWhite;  // unlit: brush OFF colour ...
    r.page->ElemLongB[0] = kRed;    // ... and pen (and text) ON colour
    r.page->ElemByteF[0] = 2;
    SetText(r.page->ElemTextA[0], "H");
    SetText(r.page->ElemTextB[0], "");
    const ElementImage e = Draw(r, 0);
    EXPECT_EQ(TextOrigin(e, QRect(1, 1, 78, c.height - 2), "H", c.sizeCode),
              QPoint(2, (c.height - TextHeightTable[c.sizeCode]) / 2))
        << "height " << c.height;
  }
}

// ---- trend chart ----

Records TrendRecords(int width, int height) {
  Records r;
  PutElement(*r.page, 0, 4, width, height);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kRed;
  r.page->ElemWordB[0] = 0x0603;
  r.page->ElemByteF[0] = 1;  // "HH:MM"
  r.page->ElemWordE[0] = 0;
  return r;
}

TEST(TrendRules, ThreeLabelsOnAWidthOf200StartAt0_79_159) {
  Records r = TrendRecords(200, 100);
  r.page->ElemByteC[0] = 1;
  const ElementImage e = Draw(r, 0);
  const int band = TextHeightTable[0] + 2;
  const int labelTop = 99 - band + 2;
  const QPoint ink = InkOffset("HH:MM", SongFont(FontPointTable[0]));
  std::vector<int> starts;
  for (QRect column : {QRect(0, labelTop, 79, 18), QRect(79, labelTop, 80, 18), QRect(159, labelTop, 41, 18)}) {
    const QRect box = test::InkBox(e.shown, column, test::RedInk);
    ASSERT_FALSE(box.isEmpty());
    starts.push_back(box.left() - ink.x());
    EXPECT_EQ(box.top() - ink.y(), labelTop);
  }
  EXPECT_EQ(starts, (std::vector<int>{0, 79, 159}));
  // The chart frame ends above the band: (0,0)-(W', H'') in the foreground colour.
  EXPECT_EQ(Shown(e, 0, 0), Rgb(kRed));
  EXPECT_EQ(Shown(e, 198, 99 - band - 1), Rgb(kRed));
}

TEST(TrendRules, OneLabelOrNoLabelFlagDrawsNoLabel) {
  for (int flag : {0, 1}) {
    Records r = TrendRecords(200, 100);
    r.page->ElemByteC[0] = static_cast<std::uint8_t>(flag);
    r.page->ElemWordB[0] = static_cast<std::uint16_t>(flag ? 0x0601 : 0x0603);
    const ElementImage e = Draw(r, 0);
    const int band = flag ? TextHeightTable[0] + 2 : 0;
    EXPECT_TRUE(test::InkBox(e.shown, QRect(0, 99 - band + 1, 200, band), test::RedInk).isEmpty());
    // Without the flag there is no band: the frame's bottom edge is row H' - 1.
    EXPECT_EQ(Shown(e, 100, 99 - band - 1), Rgb(kRed)) << "flag " << flag;
  }
}

TEST(TrendRules, LabelsWithASizeBeyondTheTablesAreLeftOutAndTheChartStays) {
  Records r = TrendRecords(200, 200);
  r.page->ElemByteC[0] = 1;
  r.page->ElemWordE[0] = 0x30;
  const ElementImage e = Draw(r, 0);
  const int band = TextHeightTable[0] + 2;  // 0x30 & 15 = 0
  EXPECT_EQ(Shown(e, 0, 0), Rgb(kRed));
  EXPECT_TRUE(test::InkBox(e.shown, QRect(0, 199 - band + 1, 200, band), test::RedInk).isEmpty());
}

TEST(TrendRules, GridLinesInTheBackgroundComplement) {
  Records r = TrendRecords(101, 61);
  r.page->ElemLongA[0] = 0x000000;  // black: grid lines white
  r.page->ElemByteE[0] = 1;
  r.page->ElemWordB[0] = 0x0304;  // 3 rows, 4 columns
  const ElementImage e = Draw(r, 0);
  const int w1 = 100;
  const int h2 = 60;
  // Columns at W' * i / 4 (skip i = 0, the frame) away from the sample curve.
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(Shown(e, w1 * i / 4, 1), kWhiteRgb) << "column " << i;
  }
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ(Shown(e, 2, h2 * i / 3), kWhiteRgb) << "row " << i;
  }
  EXPECT_EQ(Shown(e, 13, 13), kBlackRgb) << "between grid lines";
}

// ---- bar graph ----

TEST(BarRules, DirectionsFillTheirHalf) {
  struct Case {
    int direction;
    QPoint inside;
    QPoint outside;
  };
  constexpr int w = 40;
  constexpr int h = 60;
  for (const Case& c : {Case{0, {20, 45}, {20, 15}}, Case{1, {20, 15}, {20, 45}},
                        Case{2, {10, 30}, {30, 30}}, Case{3, {30, 30}, {10, 30}},
                        Case{4, {-1, -1}, {20, 30}}}) {
    Records r;
    PutElement(*r.page, 0, 5, w, h);
    r.page->ElemLongA[0] = kWhite;
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordC[0] = static_cast<std::uint16_t>(c.direction << 8);
    const ElementImage e = Draw(r, 0);
    if (c.inside.x() >= 0) {
      EXPECT_EQ(Shown(e, c.inside.x(), c.inside.y()), Rgb(kRed)) << c.direction;
    }
    EXPECT_EQ(Shown(e, c.outside.x(), c.outside.y()), kWhiteRgb) << c.direction;
    EXPECT_EQ(Shown(e, 0, 0), kBlackRgb) << "black frame";
    EXPECT_EQ(Shown(e, w - 1, h - 1), kBlackRgb);
  }
}

TEST(BarRules, EightPatterns) {
  struct Case {
    int pattern;
    bool (*covers)(int x, int y);
  };
  const std::vector<Case> cases{
      {0, [](int, int) { return true; }},
      {1, [](int, int) { return true; }},  // the colour set after the pattern makes it solid
      {2, [](int, int y) { return (y & 7) == 0; }},
      {3, [](int x, int) { return (x & 7) == 0; }},
      {4, [](int x, int y) { return ((x - y) & 7) == 0; }},
      {5, [](int x, int y) { return ((x + y) & 7) == 0; }},
      {6, [](int x, int y) { return (y & 7) == 0 || (x & 7) == 0; }},
      {7, [](int x, int y) { return ((x - y) & 7) == 0 || ((x + y) & 7) == 0; }},
  };
  constexpr int w = 40;
  constexpr int h = 40;
  for (const Case& c : cases) {
    Records r;
    PutElement(*r.page, 0, 5, w, h);
    r.page->ElemLongA[0] = kWhite;
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordC[0] = static_cast<std::uint16_t>(c.pattern);  // direction 0: lower half
    const ElementImage e = Draw(r, 0);
    for (int y = h / 2 + 1; y < h - 1; ++y) {
      for (int x = 1; x < w - 1; ++x) {
        ASSERT_EQ(Shown(e, x, y), c.covers(x, y) ? Rgb(kRed) : kWhiteRgb)
            << "pattern " << c.pattern << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(Shown(e, 20, 10), kWhiteRgb) << "upper half stays background";
  }
}

// The pattern list of the bar's dialog shows each pattern as the page fills a bar with it:
// black where the bar takes its colour, white elsewhere; the hollow sample is all white.
TEST(BarRules, PatternSamplesAreFilledLikeTheBar) {
  constexpr int w = 52;
  constexpr int h = 16;
  for (int pattern = 0; pattern < kBarFillPatterns; ++pattern) {
    Records r;
    PutElement(*r.page, 0, 5, w, 2 * h);
    r.page->ElemLongA[0] = kWhite;
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordC[0] = static_cast<std::uint16_t>(pattern);  // the lower half
    const ElementImage e = Draw(r, 0);
    const QImage sample = BarFillSample(pattern, w, h);
    ASSERT_EQ(sample.size(), QSize(w, h));
    for (int y = 1; y < h - 1; ++y) {
      for (int x = 1; x < w - 1; ++x) {
        const bool barColour = Shown(e, x, h + y) == Rgb(kRed);
        const QRgb expected = pattern == 1 || !barColour ? kWhiteRgb : kBlackRgb;
        ASSERT_EQ(sample.pixel(x, y), expected) << "pattern " << pattern << " at " << x << "," << y;
      }
    }
  }
}

// ---- rectangle family ----

TEST(RectangleRules, FilledOpaqueAndOutlineTransparent) {
  for (int filled : {0, 1}) {
    Records r;
    PutElement(*r.page, 0, 20, 50, 30);
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordD[0] = static_cast<std::uint16_t>(filled);
    const ElementImage e = Draw(r, 0);
    EXPECT_EQ(e.transparent, filled == 0);
    EXPECT_EQ(Shown(e, 0, 0), Rgb(kRed));
    EXPECT_EQ(Shown(e, 49, 29), Rgb(kRed));
    if (filled) {
      EXPECT_EQ(Shown(e, 25, 15), Rgb(kRed));
    } else {
      EXPECT_EQ(e.keyColour, ~kRed);
      EXPECT_TRUE(SeeThrough(e, 25, 15));
    }
  }
}

TEST(RectangleRules, EdgeStyles) {
  struct Case {
    int style;
    QRgb outerTop, innerTop, outerBottom, innerBottom;
  };
  constexpr int w = 50;
  constexpr int h = 30;
  for (const Case& c : {Case{1, kButtonShadow, kDarkShadow, kScrollBar, kWhiteRgb},
                        Case{2, kScrollBar, kWhiteRgb, kDarkShadow, kButtonShadow},
                        Case{7, kButtonShadow, kDarkShadow, kScrollBar, kWhiteRgb}}) {
    Records r;
    PutElement(*r.page, 0, 20, w, h);
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordD[0] = 1;
    r.page->ElemWordE[0] = static_cast<std::uint16_t>(c.style);
    const ElementImage e = Draw(r, 0);
    EXPECT_EQ(Shown(e, 10, 0), c.outerTop) << c.style;
    EXPECT_EQ(Shown(e, 0, 10), c.outerTop) << c.style;
    EXPECT_EQ(Shown(e, 10, 1), c.innerTop) << c.style;
    EXPECT_EQ(Shown(e, 10, h - 1), c.outerBottom) << c.style;
    EXPECT_EQ(Shown(e, w - 1, 10), c.outerBottom) << c.style;
    EXPECT_EQ(Shown(e, w - 1, 0), c.outerBottom) << "the right edge covers the top corner";
    EXPECT_EQ(Shown(e, 10, h - 2), c.innerBottom) << c.style;
    EXPECT_EQ(Shown(e, w - 2, 10), c.innerBottom) << c.style;
    EXPECT_EQ(Shown(e, 10, 10), Rgb(kRed)) << "fill inside the edge";
  }
}

// ---- scale, ellipse, line ----

TEST(DrawPicture25Rules, BlackIsStoredAsOneBeforeDrawing) {
  for (int kind : {25, 26, 27}) {
    Records r;
    PutElement(*r.page, 0, kind, 50, 50);
    r.page->ElemLongB[0] = 0;
    r.page->ElemWordA[0] = 5;
    r.page->ElemByteB[0] = 2;
    r.page->ElemWordC[0] = 1;
    r.page->ElemWordD[0] = 1;
    const ElementImage e = Draw(r, 0);
    EXPECT_EQ(static_cast<std::int32_t>(r.page->ElemLongB[0]), 1) << kind;
    EXPECT_EQ(e.keyColour, ~1u);
    EXPECT_TRUE(e.transparent);
  }
}

TEST(DrawPicture25Rules, LineEndsLeaveOutTheEndPixel) {
  struct Case {
    const char* name;
    int direction;
    int width;
    std::vector<QPoint> drawn;
    std::vector<QPoint> clear;
  };
  constexpr int n = 50;
  const std::vector<Case> cases{
      {"falling", 0, 1, {{1, 1}, {25, 25}, {n - 2, n - 2}}, {{0, 0}, {n - 1, n - 1}}},
      {"rising", 1, 1, {{1, n - 1}, {25, 25}, {n - 2, 2}}, {{n - 1, 1}, {0, n - 1}, {1, 1}}},
      {"falling wide", 0, 2, {{0, 0}, {1, 1}, {n - 3, n - 3}, {n - 2, n - 2}}, {{n - 1, n - 1}, {3, 0}}},
      {"rising wide", 1, 2, {{0, n - 2}, {1, n - 1}, {n - 2, 2}, {n - 3, 1}}, {{n - 1, 1}, {n - 1, 0}}},
  };
  for (const Case& c : cases) {
    Records r;
    PutElement(*r.page, 0, 27, n, n);
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordC[0] = static_cast<std::uint16_t>(c.width);
    r.page->ElemByteD[0] = static_cast<std::uint8_t>(c.direction);
    const ElementImage e = Draw(r, 0);
    for (QPoint p : c.drawn) EXPECT_EQ(Shown(e, p.x(), p.y()), Rgb(kRed)) << c.name << " " << p.x() << "," << p.y();
    for (QPoint p : c.clear) EXPECT_TRUE(SeeThrough(e, p.x(), p.y())) << c.name << " " << p.x() << "," << p.y();
  }
}

TEST(DrawPicture25Rules, ScaleTicksInAllFourDirections) {
  // Three major ticks and one minor tick between neighbours: five ticks in all.
  struct Case {
    int direction;
    int width, height;
    std::vector<QPoint> drawn;
    std::vector<QPoint> clear;
  };
  const std::vector<Case> cases{
      // F = 40, E = 20, G = 10: majors at x 0, 20, 40 full height; minors at 10, 30 to G.
      {0, 41, 21, {{10, 0}, {10, 9}, {20, 19}, {40, 19}, {5, 0}}, {{10, 10}, {10, 19}, {5, 5}, {20, 20}}},
      {1, 41, 21, {{10, 10}, {10, 19}, {20, 0}, {5, 20}}, {{10, 9}, {10, 0}, {5, 5}}},
      // F = 20, E = 40, M = 10: majors at y 0, 20, 40 full width; minors at 10, 30 to M.
      {2, 21, 41, {{0, 10}, {9, 10}, {19, 20}, {0, 5}}, {{10, 10}, {19, 10}, {5, 5}, {20, 20}}},
      {3, 21, 41, {{10, 10}, {19, 10}, {0, 20}, {20, 5}}, {{9, 10}, {0, 10}, {5, 5}}},
      {4, 41, 21, {}, {{0, 0}, {20, 10}, {10, 5}}},
  };
  for (const Case& c : cases) {
    Records r;
    PutElement(*r.page, 0, 25, c.width, c.height);
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordA[0] = 3;
    r.page->ElemByteB[0] = 1;
    r.page->ElemWordB[0] = static_cast<std::uint16_t>(c.direction);
    r.page->ElemWordD[0] = 1;  // baseline
    const ElementImage e = Draw(r, 0);
    for (QPoint p : c.drawn) EXPECT_EQ(Shown(e, p.x(), p.y()), Rgb(kRed)) << "direction " << c.direction << " " << p.x() << "," << p.y();
    for (QPoint p : c.clear) EXPECT_TRUE(SeeThrough(e, p.x(), p.y())) << "direction " << c.direction << " " << p.x() << "," << p.y();
  }
}

TEST(DrawPicture25Rules, ScaleBaselineOnlyWithTheAxisFlag) {
  Records r;
  PutElement(*r.page, 0, 25, 41, 21);
  r.page->ElemLongB[0] = kRed;
  r.page->ElemWordA[0] = 3;
  r.page->ElemByteB[0] = 1;
  r.page->ElemWordB[0] = 0;
  r.page->ElemWordD[0] = 0;
  EXPECT_TRUE(SeeThrough(Draw(r, 0), 5, 0));
}

TEST(DrawPicture25Rules, ScaleWithOneMajorTickDrawsItAtTheStart) {
  Records r;
  PutElement(*r.page, 0, 25, 41, 21);
  r.page->ElemLongB[0] = kRed;
  r.page->ElemWordA[0] = 1;
  r.page->ElemByteB[0] = 3;
  r.page->ElemWordB[0] = 0;
  const ElementImage e = Draw(r, 0);
  EXPECT_EQ(Shown(e, 0, 5), Rgb(kRed));
  EXPECT_TRUE(SeeThrough(e, 20, 5));
}

TEST(DrawPicture25Rules, EllipseFilledOrOutline) {
  for (int filled : {0, 1}) {
    Records r;
    PutElement(*r.page, 0, 26, 50, 50);
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordD[0] = static_cast<std::uint16_t>(filled);
    const ElementImage e = Draw(r, 0);
    EXPECT_TRUE(SeeThrough(e, 0, 0));
    EXPECT_EQ(Shown(e, 25, 0), Rgb(kRed));
    EXPECT_EQ(Shown(e, 25, 49), Rgb(kRed));
    if (filled) {
      EXPECT_EQ(Shown(e, 25, 25), Rgb(kRed));
    } else {
      EXPECT_TRUE(SeeThrough(e, 25, 25));
    }
  }
}

// ---- bit switch ----

struct SwitchCase {
  const char* name;
  int width;
  int alignment;
  const char* text;
  int expectedX;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class BitSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(BitSwitch, TextOrigin) {
  const SwitchCase& c = GetParam();
  Records r;
  PutElement(*r.page, 0, 34, c.width, 32);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kRed;
  r.page->ElemWordC[0] = static_cast<std::uint16_t>(c.alignment << 4);  // size 0, no frame
  SetText(r.page->ElemTextA[0], c.text);
  const ElementImage e = Draw(r, 0);
  EXPECT_EQ(TextOrigin(e, e.shown.rect(), QString::fromUtf8(c.text), 0), QPoint(c.expectedX, 8));
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, BitSwitch,
    ::testing::Values(
        // four GBK bytes: (80 - 4 * 8) / 2 = 24
        SwitchCase{"CentredFourCharacters", 80, 1, "1 键", 24},
        SwitchCase{"CentredAscii", 80, 1, "HHHH", 24},
        SwitchCase{"Left", 80, 0, "HHHH", 2},
        SwitchCase{"OtherAlignmentIsLeft", 80, 5, "HHHH", 2},
        SwitchCase{"Right", 80, 2, "HHHH", 80 - 32 - 3},
        SwitchCase{"RightNarrowerThanText", 30, 2, "HHHHH", 3},
        SwitchCase{"CentredTruncates", 31, 1, "HHH", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitSwitchRules, OnAndOffAppearanceAndLanguage) {
  struct Case {
    bool on;
    int language;
    const char* expectedField;
  };
  for (const Case& c : {Case{false, 0, "TextA"}, Case{true, 0, "TextB"}, Case{false, 1, "NameA"},
                        Case{true, 1, "NameB"}}) {
    Records r;
    PutElement(*r.page, 0, 34, 80, 32);
    r.page->ElemLongA[0] = kWhite;
    r.page->ElemLongB[0] = kRed;
    r.page->ElemLongC[0] = kGreen;
    r.page->ElemLongD[0] = kRed;
    r.page->ElemWordC[0] = 0;
    SetText(r.page->ElemTextA[0], "");
    SetText(r.page->ElemTextB[0], "");
    SetText(r.page->ElemNameA[0], "");
    SetText(r.page->ElemNameB[0], "");
    const std::string field = c.expectedField;
    if (field == "TextA") SetText(r.page->ElemTextA[0], "HH");
    if (field == "TextB") SetText(r.page->ElemTextB[0], "HH");
    if (field == "NameA") SetText(r.page->ElemNameA[0], "HH");
    if (field == "NameB") SetText(r.page->ElemNameB[0], "HH");
    model::At(*r.settings, model::settings::kStartLanguage) = static_cast<std::uint8_t>(c.language);
    RenderSettings settings;
    settings.bitPreviewOn = c.on;
    const ElementImage e = Draw(r, 0, settings);
    EXPECT_EQ(Shown(e, 70, 2), Rgb(c.on ? kGreen : kWhite)) << field;
    EXPECT_FALSE(test::InkBox(e.shown, e.shown.rect(), test::RedInk).isEmpty()) << field;
  }
}

TEST(BitSwitchRules, InvisibleSwitchIsGreyWithADottedTopLeftOutline) {
  Records r;
  PutElement(*r.page, 0, 34, 80, 32);
  r.page->ElemLongA[0] = kWhite;
  r.page->ElemLongB[0] = kRed;
  r.page->ElemByteD[0] = 1;
  r.page->ElemWordC[0] = 0x0010;
  SetText(r.page->ElemTextA[0], "HHHH");
  const ElementImage e = Draw(r, 0);
  EXPECT_TRUE(test::InkBox(e.shown, e.shown.rect(), test::RedInk).isEmpty()) << "text is grey";
  // A new element's pen is black: dots of three along the top and left edges only.
  for (int x = 0; x < 12; ++x) {
    EXPECT_EQ(Shown(e, x, 0), (x / 3) % 2 == 0 ? kBlackRgb : kWhiteRgb) << x;
  }
  EXPECT_EQ(Shown(e, 0, 1), kBlackRgb);
  EXPECT_EQ(Shown(e, 79, 10), kWhiteRgb) << "the right edge lies outside the bitmap";
  EXPECT_EQ(Shown(e, 10, 31), kWhiteRgb) << "so does the bottom edge";
}

TEST(BitSwitchRules, FrameStyles) {
  for (int frame : {1, 2}) {
    Records r;
    PutElement(*r.page, 0, 34, 80, 32);
    r.page->ElemLongA[0] = kWhite;
    r.page->ElemLongB[0] = kRed;
    r.page->ElemWordC[0] = static_cast<std::uint16_t>(frame << 12);
    const ElementImage e = Draw(r, 0);
    if (frame == 1) {
      EXPECT_EQ(Shown(e, 79, 31), kBlackRgb);
      EXPECT_EQ(Shown(e, 40, 0), kBlackRgb);
    } else {
      EXPECT_EQ(Shown(e, 40, 0), kScrollBar);
      EXPECT_EQ(Shown(e, 40, 31), kDarkShadow);
    }
  }
}

// ---- picture ----

TEST(PictureRules, WithoutALibraryThePlaceholderShowsAtItsOwnSize) {
  for (bool chinese : {true, false}) {
    Records r;
    PutElement(*r.page, 0, 6, 200, 40);
    r.page->ElemWordE[0] = 3;
    RenderSettings settings;
    settings.isChinese = chinese;
    const ElementImage e = Draw(r, 0, settings);
    const QImage placeholder = PicturePlaceholder(chinese);
    ASSERT_EQ(placeholder.size(), QSize(165, 23));
    EXPECT_EQ(Shown(e, 0, 0), kBlackRgb) << "the frame";
    EXPECT_EQ(Shown(e, 164, 22), kBlackRgb);
    EXPECT_TRUE(SeeThrough(e, 170, 30)) << "beyond the picture";
    EXPECT_EQ(e.shown.copy(0, 0, 165, 23).convertToFormat(QImage::Format_RGB32), placeholder);
  }
  EXPECT_NE(PicturePlaceholder(true), PicturePlaceholder(false));
}

TEST(PictureRules, SeeThroughStretchedPictureShowsItsTextOverTheCanvas) {
  Records r;
  PutElement(*r.page, 0, 6, 330, 46);
  r.page->ElemWordD[0] = 3;  // transparent and stretched
  r.page->ElemLongA[0] = kWhite;
  const ElementImage e = Draw(r, 0);
  EXPECT_TRUE(e.stretch);
  EXPECT_TRUE(e.transparent);
  EXPECT_EQ(Shown(e, 329, 45), kBlackRgb) << "the frame stretched to the corner";
  EXPECT_TRUE(SeeThrough(e, 300, 40)) << "white is the key";
  // Inside the frame: the placeholder's dark text, and around it its white background,
  // which lets the canvas through.
  const QRect inside(2, 2, 326, 42);
  int ink = 0;
  int through = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (SeeThrough(e, x, y)) {
        ++through;
      } else if (qGray(Shown(e, x, y)) < 128) {
        ++ink;
      }
    }
  }
  EXPECT_GT(ink, 200) << "the text is drawn";
  EXPECT_GT(through, inside.width() * inside.height() / 2) << "the background shows through";
}

// ---- dispatch ----

TEST(Dispatch, KindsWithoutARendererGetBoundsAndNoPicture) {
  for (int kind : {12, 17, 30, 35, 200}) {
    Records r;
    PutElement(*r.page, 0, kind, 30, 20);
    const ElementImage e = Draw(r, 0);
    EXPECT_FALSE(e.drawn) << kind;
    EXPECT_EQ(e.bounds, QRect(5, 5, 30, 20));
    EXPECT_EQ(RendererForKind(kind), nullptr);
  }
  EXPECT_EQ(RendererForKind(33), DrawTextFamily);
  EXPECT_EQ(RendererForKind(29), DrawTrendChart);
  EXPECT_EQ(RendererForKind(24), DrawRectangle);
}

// ---- the shipped example projects ----

// Every register of the examples is seen whole on its page: its value fits inside its
// frame by the panel's character widths, and no element above it covers any of it.
TEST(ExampleProjects, RegistersShowTheirWholeFrameAndValue) {
  test::GuiApp();
  const std::filesystem::path folder =
      std::filesystem::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples";
  int registers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".QX3") continue;
    auto image = std::make_unique<model::ProjectImage>();
    ASSERT_FALSE(model::ReadProjectFile(*image, entry.path()).has_value()) << entry.path();
    for (int number = 1; number <= model::kMaxPage; ++number) {
      if (!image->IsPageUsed(number)) continue;
      PageScene scene(*image, number);
      scene.DrawCanvas({.show = false, .outline = false});
      scene.EstablishAll({});
      const QImage page = scene.PageImage();
      const model::PageRecord& record = image->Page(number);
      for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (record.ElemKind[slot] != elements::kKindRegister) continue;
        ++registers;
        SCOPED_TRACE(entry.path().filename().string() + " page " + std::to_string(number) +
                     " slot " + std::to_string(slot));
        const int style = record.ElemWordC[slot];
        const int frame = (style >> 12) & 0x0F;
        const int cells = static_cast<int>(record.ElemTextA[slot].View().size());
        const int textEnd =
            (frame == 0 ? 1 : 3) + cells * CharWidthTable[ClampSizeCode((style >> 8) & 0x0F)];
        EXPECT_LE(textEnd, record.ElemWidth[slot] - (frame == 2 ? 2 : 1));

        const ElementImage* element = scene.Element(slot);
        ASSERT_NE(element, nullptr);
        const QPoint origin = element->bounds.topLeft() - QPoint(kCanvasOffset, kCanvasOffset);
        int covered = 0;
        for (int y = 0; y < element->shown.height(); ++y) {
          for (int x = 0; x < element->shown.width(); ++x) {
            const QRgb own = element->shown.pixel(x, y) | 0xFF000000u;
            covered += page.pixel(origin + QPoint(x, y)) != own;
          }
        }
        EXPECT_EQ(covered, 0) << "pixels of the register hidden by other elements";
      }
    }
  }
  EXPECT_GT(registers, 0);
}

}  // namespace
}  // namespace dravik::editor
