#include "editor/render/element_renderers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "editor/render/element_canvas.h"
#include "editor/render/font_tables.h"
#include "editor/render/gbk_text.h"
#include "editor/render/rgb_image_bridge.h"
#include "editor/render/system_colour_table.h"
#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "pictures/picture_operations.h"

namespace dravik::editor {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kInvisibleTextGrey = 0xB9B9B9;

namespace el = elements;
using ConstPage = const model::PageRecord;

// Colours are stored as signed 32-bit values; the canvas takes them as they are.
std::uint32_t Colour(std::int32_t stored) {
  return static_cast<std::uint32_t>(stored);
}

// The first step of every renderer: the bounds from the slot and a bitmap of that size.
// `fresh` starts from a new bitmap with a new canvas (pen and brush at their defaults).
bool BeginDrawing(const RenderContext& context, ElementImage& element, bool fresh = false) {
  const el::ElementFields fields(std::as_const(context.page), context.slot);
  element.slot = context.slot;
  element.bounds = QRect(fields.left(), fields.top(), fields.width(), fields.height());
  element.transparent = false;
  element.stretch = false;
  element.drawn = true;
  if (fresh) {
    element.bitmap = QImage();
    element.pen = {};
    element.brush = {};
  }
  element.PlaceMarkers();
  if (element.bounds.isEmpty()) {
    element.bitmap = QImage();
    element.shown = QImage();
    return false;
  }
  element.SizeBitmap();
  return true;
}

// Text-family bitmaps without font optimisation keep only the text and background
// colours. The colours are resolved first: the reduction works on plain RGB values.
void ReduceBitmapToTwoColours(QImage& bitmap, std::uint32_t textColour, std::uint32_t backColour) {
  platform::RgbImage picture = ToRgbImage(bitmap);
  pictures::ReduceToTwoColours(picture, ToStoredRgb(ResolveColour(textColour)),
                               ToStoredRgb(ResolveColour(backColour)));
  bitmap = ToQImage(picture);
}

// The concatenated state texts of a state-text strip in one language.
std::string StateTexts(const model::PageRecord& page, int slot, int language) {
  std::string text;
  const int states = model::StatesPerLanguage(slot);
  for (int j = 0; j < states; ++j) {
    auto entry = model::TextEntry(slot, language, j);
    if (entry) text += page.DynTextStates[static_cast<std::size_t>(*entry)].View();
  }
  return text;
}

std::string_view TrendLabel(int format) {
  switch (format) {
    case 0: return "MM:SS";
    case 1: return "HH:MM";
    case 2: return "HH:MM:SS";
    default: return {};
  }
}

}  // namespace

bool RenderContext::LanguageTwo() const {
  if (options.languageOverride >= 0) return options.languageOverride == 1;
  return At(settings, model::settings::kStartLanguage) == 1;
}

namespace {

// Kinds whose second-language text is their second text; the others show their first.
bool ShowsSecondText(int kind) {
  return kind == el::kKindText || kind == el::kKindDynamicText || kind == el::kKindFunctionKey;
}

// The edge a text-family element draws for its border code, if any.
std::optional<EdgeStyle> TextFamilyEdge(int kind, int border) {
  switch (kind) {
    case el::kKindRegister:
    case el::kKindDynamicText:
    case el::kKindAsciiChinese:
      if (border == 2) return EdgeStyle::Sunken;
      break;
    case el::kKindDate:
    case el::kKindTime:
      if (border != 0) return EdgeStyle::Sunken;
      break;
    case el::kKindFunctionKey:
      if (border == 2) return EdgeStyle::Raised;
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

void DrawTextFamily(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const el::TextFamilyElement text(std::as_const(context.page), context.slot);
  const int w = text.width();
  const int h = text.height();
  const int kind = text.kind();
  const el::FormatWord format = text.format();
  const int size = ClampSizeCode(format.fontSize);
  const int frame = format.border;
  const std::uint32_t back = Colour(text.backColour());
  const std::uint32_t fore = Colour(text.foreColour());
  ElementCanvas canvas(element);

  canvas.SetBrushColour(back);
  canvas.SetFont(SongFont(FontPointTable[size]), fore);
  const std::uint32_t penColour = frame == 1 ? kBlack : back;
  canvas.SetPenColour(penColour);
  canvas.Rectangle(0, 0, w, h);

  std::string shown;
  if (kind == el::kKindStateTextStrip) {
    shown = StateTexts(context.page, context.slot, context.LanguageTwo() ? 1 : 0);
  } else if (ShowsSecondText(kind) && context.LanguageTwo()) {
    shown = text.languageTwoText().Str();
  } else {
    shown = text.languageOneText().Str();
  }
  const int y = (h - TextHeightTable[size]) / 2;
  const int x = frame == 0 ? 1 : 3;
  canvas.TextOut(x, y, FromGbk(shown));

  if (!context.options.fontOptimisation) ReduceBitmapToTwoColours(element.bitmap, fore, back);

  canvas.SetBrushStyle(BrushStyle::Clear);
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.Rectangle(0, 0, w, h);

  if (const std::optional<EdgeStyle> edge = TextFamilyEdge(kind, frame)) {
    DrawEdge(canvas, w, h, *edge);
  }
  element.Compose();
}

void DrawLamp(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const el::LampElement lamp(std::as_const(context.page), context.slot);
  const int w = lamp.width();
  const int h = lamp.height();
  const std::uint32_t offColour = Colour(lamp.offColour());
  const std::uint32_t onColour = Colour(lamp.onColour());
  ElementCanvas canvas(element);

  element.transparent = true;
  std::uint32_t key = kWhite;
  if (onColour != 0 && onColour != 2) {
    key = KeyComplement(onColour);
  } else if (offColour == kWhite) {
    key = KeyComplement(offColour);
  }
  element.keyColour = key;
  canvas.SetBrushColour(key);
  canvas.SetPenColour(key);
  canvas.Rectangle(0, 0, w, h);

  // Negative logic inverts the lamp.
  const bool lit = lamp.negativeLogic() != (context.options.bitPreviewOn ? 1 : 0);
  const std::uint32_t pen = lit ? offColour : onColour;
  canvas.SetPenColour(pen);
  canvas.SetBrushColour(lit ? onColour : offColour);
  const auto& text = lit ? lamp.onText() : lamp.offText();

  switch (lamp.lampType()) {
    case 0:
      canvas.Ellipse(0, 0, w, h);
      break;
    case 1:
      canvas.Rectangle(0, 0, w, h);
      break;
    case 2: {
      canvas.Rectangle(0, 0, w, h);
      const int size = h > 24 ? 1 : 0;
      canvas.SetFont(SongFont(FontPointTable[size]), pen);
      canvas.TextOut(2, (h - TextHeightTable[size]) / 2, FromGbk(text.View()));
      break;
    }
    default:
      break;
  }
  element.Compose();
}

namespace {

// A running chart's samples, oldest at the left, spread over the chart's data points.
void DrawTrendTrace(ElementCanvas& canvas, const std::vector<double>& samples, int capacity,
                    int width, int height) {
  const int points = std::max({capacity, static_cast<int>(samples.size()), 2});
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const int x = static_cast<int>(i) * width / (points - 1);
    const int y = height - static_cast<int>(std::lround(std::clamp(samples[i], 0.0, 1.0) * height));
    if (i == 0) {
      canvas.MoveTo(x, y);
    } else {
      canvas.LineTo(x, y);
    }
  }
}

}  // namespace

void DrawTrendChart(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element, /*fresh=*/true)) return;
  const el::TrendChartElement chart(std::as_const(context.page), context.slot);
  const std::uint32_t back = Colour(chart.backColour());
  const std::uint32_t fore = Colour(chart.foreColour());
  ElementCanvas canvas(element);

  canvas.SetBrushColour(back);
  canvas.SetPenColour(back);
  canvas.Rectangle(0, 0, chart.width(), chart.height());
  const int w1 = chart.width() - 1;
  const int h1 = chart.height() - 1;

  const bool labels = chart.showTimeLabels() != 0;
  const int labelSize = chart.labelSize();
  const int band = labels ? TextHeightTable[ClampSizeCode(labelSize & 0x0F)] + 2 : 0;

  // Labels whose size code lies beyond the tables are left out; the chart is still drawn.
  const int gridCells = chart.gridCells();
  const int count = gridCells & 0xFF;
  if (labels && labelSize < kSizeCodeCount && count > 1) {
    const std::string_view label = TrendLabel(chart.labelFormat());
    canvas.SetFont(SongFont(FontPointTable[labelSize]), fore);
    const int textWidth = static_cast<int>(label.size()) * CharWidthTable[labelSize];
    const QString text = QString::fromLatin1(label.data(), static_cast<int>(label.size()));
    for (int i = 0; i < count; ++i) {
      canvas.TextOut(i * (w1 - textWidth) / (count - 1), h1 - band + 2, text);
    }
  }

  canvas.SetPenColour(fore);
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetPenStyle(PenStyle::Solid);
  const int h2 = h1 - band;
  canvas.Rectangle(0, 0, w1, h2);

  if (context.options.trendSamples != nullptr) {
    DrawTrendTrace(canvas, *context.options.trendSamples, context.options.trendCapacity, w1, h2);
  } else {
    canvas.MoveTo(0, h2);
    canvas.LineTo(w1 / 3, 5);
    canvas.LineTo(w1 / 2, h2 - 5);
    canvas.LineTo(2 * w1 / 3, h2 / 2);
    canvas.LineTo(w1 - 5, h2 / 2);
  }

  if (chart.showGrid() != 0) {
    // The plain complement of the background (not a key complement: top byte cleared).
    canvas.SetPenColour(~back & 0x00FFFFFFu);
    const int columns = gridCells & 0xFF;
    for (int i = 0; i < columns; ++i) {
      const int x = w1 * i / columns;
      canvas.Line(x, 0, x, h2);
    }
    const int rows = gridCells >> 8;
    for (int i = 0; i < rows; ++i) {
      const int y = h2 * i / rows;
      canvas.Line(0, y, w1, y);
    }
  }
  element.Compose();
}

namespace {

// The bar's fill, for the page and for the samples of the pattern list alike. The pattern
// is set before the colour, so "clear" (1) turns solid again.
void SetBarFill(ElementCanvas& canvas, int pattern, std::uint32_t colour) {
  canvas.SetBrushStyle(pattern >= 0 && pattern < kBarFillPatterns ? static_cast<BrushStyle>(pattern)
                                                                  : BrushStyle::Solid);
  canvas.SetBrushColour(colour);
}

}  // namespace

QImage BarFillSample(int pattern, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  CanvasPen pen{.style = PenStyle::Clear};
  CanvasBrush brush;
  ElementCanvas canvas(image, pen, brush);
  // The hollow bar has nothing of its own to show: its sample is white.
  SetBarFill(canvas, pattern, pattern == static_cast<int>(BrushStyle::Clear) ? kWhite : kBlack);
  canvas.Rectangle(0, 0, width, height);
  return image;
}

void DrawBarGraph(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const el::BarGraphElement bar(std::as_const(context.page), context.slot);
  const int w = bar.width();
  const int h = bar.height();
  const int directionAndPattern = bar.directionAndPattern();
  ElementCanvas canvas(element);

  canvas.SetBrushColour(Colour(bar.backColour()));
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetPenColour(kBlack);
  canvas.Rectangle(0, 0, w, h);

  SetBarFill(canvas, directionAndPattern & 0xFF, Colour(bar.foreColour()));

  // The editor shows every bar half full; a running panel fills it to its value.
  const auto filled = [&](int length) {
    return static_cast<int>(std::lround(std::clamp(*context.options.barLevel, 0.0, 1.0) * length));
  };
  const bool live = context.options.barLevel.has_value();
  switch (directionAndPattern >> 8) {
    case 0: canvas.Rectangle(0, live ? h - filled(h) : h / 2, w, h); break;  // grows upward
    case 1: canvas.Rectangle(0, 0, w, live ? filled(h) : h / 2); break;      // grows downward
    case 2: canvas.Rectangle(0, 0, live ? filled(w) : w / 2, h); break;      // grows rightward
    case 3: canvas.Rectangle(live ? w - filled(w) : w / 2, 0, w, h); break;  // grows leftward
    default: break;
  }
  element.Compose();
}

QImage PicturePlaceholder(bool isChinese) {
  static QImage cached[2];
  QImage& image = cached[isChinese ? 1 : 0];
  if (!image.isNull()) return image;
  image = QImage(pictures::kPlaceholderWidth, pictures::kPlaceholderHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  CanvasPen pen;
  CanvasBrush brush;
  ElementCanvas canvas(image, pen, brush);
  canvas.Rectangle(0, 0, image.width(), image.height());
  canvas.SetFont(SongFont(9), kBlack);
  canvas.TextOut(pictures::kPlaceholderTextX, pictures::kPlaceholderTextY,
                 QString::fromStdString(pictures::kPlaceholderText.In(isChinese)));
  return image;
}

ShownPicture PictureShown(pictures::PictureLibrary* library, int id, bool isChinese) {
  if (library == nullptr) return {PicturePlaceholder(isChinese), false};
  pictures::GainedImage gained = library->GainImage(id);
  switch (gained.kind) {
    case pictures::GainedImage::Kind::Picture: return {ToQImage(gained.picture), true};
    case pictures::GainedImage::Kind::Placeholder: return {PicturePlaceholder(isChinese), false};
    case pictures::GainedImage::Kind::Empty: break;
  }
  return {};
}

void DrawPicture(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const el::PictureElement picture(std::as_const(context.page), context.slot);
  element.bitmap = context.options.picture != nullptr
                       ? *context.options.picture
                       : PictureShown(context.options.pictures, picture.pictureNumber(),
                                      context.options.isChinese)
                             .image;
  element.transparent = (picture.showFlags() & 1) != 0;
  element.keyColour = Colour(picture.keyColour());
  element.stretch = (picture.showFlags() & 2) != 0;
  element.Compose();
}

void DrawRectangle(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const el::ShapeElement shape(std::as_const(context.page), context.slot);
  const int w = shape.width();
  const int h = shape.height();
  const std::uint32_t colour = Colour(shape.colour());
  ElementCanvas canvas(element);

  if (shape.linkWordBits() != 0) {
    canvas.SetBrushColour(colour);
  } else {
    element.transparent = true;
    element.keyColour = KeyComplement(colour);
    canvas.SetBrushColour(element.keyColour);
  }
  canvas.SetPenColour(colour);
  canvas.Rectangle(0, 0, w, h);
  if (shape.outline() == 2) {
    DrawEdge(canvas, w, h, EdgeStyle::Raised);
  } else if (shape.outline() != 0) {
    DrawEdge(canvas, w, h, EdgeStyle::SunkenBox);
  }
  element.Compose();
}

namespace {

// Position `index` of `count` evenly spread over 0..extent. A count of 1 (which the
// drawing dialog never stores) puts its single tick at the start.
int Spread(int extent, int index, int count) {
  return count > 1 ? extent * index / (count - 1) : 0;
}

void DrawScale(ElementCanvas& canvas, const el::ScaleElement<ConstPage>& scale) {
  const int e = scale.height() - 1;
  const int f = scale.width() - 1;
  const int g = e / 2;
  const int m = f / 2;
  const int majors = scale.majorDivisions();
  const int ticks = scale.minorDivisions() * (majors - 1) + majors;
  const bool baseline = scale.linkWordBits() == 1;
  switch (scale.direction()) {
    case 0:  // baseline on top
      if (baseline) canvas.Line(0, 0, f, 0);
      for (int i = 0; i < majors; ++i) {
        const int x = Spread(f, i, majors);
        canvas.Line(x, 0, x, e);
      }
      for (int j = 0; j < ticks; ++j) {
        const int x = Spread(f, j, ticks);
        canvas.Line(x, 0, x, g);
      }
      break;
    case 1:  // baseline at the bottom
      if (baseline) canvas.Line(0, e, f, e);
      for (int i = 0; i < majors; ++i) {
        const int x = Spread(f, i, majors);
        canvas.Line(x, 0, x, e);
      }
      for (int j = 0; j < ticks; ++j) {
        const int x = Spread(f, j, ticks);
        canvas.Line(x, g, x, e);
      }
      break;
    case 2:  // baseline on the left
      if (baseline) canvas.Line(0, 0, 0, e);
      for (int i = 0; i < majors; ++i) {
        const int y = Spread(e, i, majors);
        canvas.Line(0, y, f, y);
      }
      for (int j = 0; j < ticks; ++j) {
        const int y = Spread(e, j, ticks);
        canvas.Line(0, y, m, y);
      }
      break;
    case 3:  // baseline on the right
      if (baseline) canvas.Line(f, 0, f, e);
      for (int i = 0; i < majors; ++i) {
        const int y = Spread(e, i, majors);
        canvas.Line(0, y, f, y);
      }
      for (int j = 0; j < ticks; ++j) {
        const int y = Spread(e, j, ticks);
        canvas.Line(m, y, f, y);
      }
      break;
    default:
      break;
  }
}

}  // namespace

void DrawScaleEllipseOrLine(const RenderContext& context, ElementImage& element) {
  // Scale, ellipse and line keep their one colour in the same field.
  const el::LineElement drawn(context.page, context.slot);
  // Black would be the same colour as the key complement of most plain colours, so it
  // is stored as the next-to-black 1.
  if (drawn.colour() == 0) drawn.colour() = 1;
  if (!BeginDrawing(context, element)) return;
  const int w = drawn.width();
  const int h = drawn.height();
  const std::uint32_t colour = Colour(drawn.colour());
  ElementCanvas canvas(element);

  element.transparent = true;
  element.keyColour = KeyComplement(colour);
  canvas.SetBrushColour(element.keyColour);
  canvas.SetPenColour(element.keyColour);
  canvas.Rectangle(0, 0, w, h);
  canvas.SetBrushColour(colour);
  canvas.SetPenColour(colour);

  const ConstPage& page = context.page;
  switch (drawn.kind()) {
    case el::kKindScale:
      DrawScale(canvas, el::ScaleElement(page, context.slot));
      break;
    case el::kKindEllipse: {
      const el::ShapeElement ellipse(page, context.slot);
      canvas.SetBrushStyle(ellipse.linkWordBits() != 0 ? BrushStyle::Solid : BrushStyle::Clear);
      canvas.Ellipse(0, 0, w, h);
      break;
    }
    case el::kKindLine:
      canvas.SetPenWidth(drawn.lineWidth());
      if (drawn.rising() == 0) {
        canvas.Line(1, 1, w - 1, h - 1);  // falling
      } else if (drawn.rising() == 1) {
        canvas.Line(1, h - 1, w - 1, 1);  // rising
      }
      break;
    default:
      break;
  }
  element.Compose();
}

void DrawBitSwitch(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const el::BitSwitchElement key(std::as_const(context.page), context.slot);
  const int w = key.width();
  const int h = key.height();
  const bool on = context.options.bitPreviewOn;
  const bool two = context.LanguageTwo();
  ElementCanvas canvas(element);

  const std::string_view text = on ? (two ? key.onTextTwo().View() : key.onTextOne().View())
                                   : (two ? key.offTextTwo().View() : key.offTextOne().View());
  std::uint32_t fontColour = Colour(on ? key.onTextColour() : key.offTextColour());
  canvas.SetBrushColour(Colour(on ? key.onBackColour() : key.offBackColour()));

  const bool invisible = key.invisible() != 0;
  if (invisible) {
    canvas.SetPenStyle(PenStyle::Dot);
    fontColour = kInvisibleTextGrey;
  } else {
    canvas.SetPenStyle(PenStyle::Clear);
  }
  // The pen colour is whatever the last drawing left, and only the top and left edges
  // of this outline fall inside the bitmap.
  canvas.Rectangle(0, 0, w + 1, h + 1);

  const el::FormatWord format = el::FormatWord::Unpack(key.formatBits());
  const int size = ClampSizeCode(format.fontSize);
  canvas.SetFont(SongFont(FontPointTable[size]), fontColour);
  const int textWidth = static_cast<int>(text.size()) * CharWidthTable[size];
  int x = 2;
  if (format.alignment == 1) {
    x = (w - textWidth) / 2;
  } else if (format.alignment == 2) {
    x = w < textWidth ? 3 : w - textWidth - 3;
  }
  canvas.TextOut(x, (h - TextHeightTable[size]) / 2, FromGbk(text));

  if (format.border == 1) {
    canvas.SetPenColour(kBlack);
    canvas.SetPenStyle(invisible ? PenStyle::Dot : PenStyle::Solid);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.Rectangle(0, 0, w, h);
  } else if (format.border == 2) {
    canvas.SetPenStyle(invisible ? PenStyle::Dot : PenStyle::Solid);
    DrawEdge(canvas, w, h, EdgeStyle::Raised);
  }
  element.Compose();
}

namespace {

// The kinds drawn on the page; every other kind keeps its place without a drawing.
struct KindRenderer {
  el::ElementKind kind;
  Renderer draw;
};
constexpr KindRenderer kKindRenderers[] = {
    {el::kKindText, DrawTextFamily},
    {el::kKindRegister, DrawTextFamily},
    {el::kKindLamp, DrawLamp},
    {el::kKindTrendChart, DrawTrendChart},
    {el::kKindBarGraph, DrawBarGraph},
    {el::kKindPicture, DrawPicture},
    {el::kKindDynamicText, DrawTextFamily},
    {el::kKindFunctionKey, DrawTextFamily},
    {el::kKindAsciiChinese, DrawTextFamily},
    {el::kKindDate, DrawTextFamily},
    {el::kKindTime, DrawTextFamily},
    {el::kKindSmallRegister, DrawTextFamily},
    {el::kKindStationText, DrawTextFamily},
    {el::kKindRectangle, DrawRectangle},
    {el::kKindRectangleVariant1, DrawRectangle},
    {el::kKindRectangleVariant2, DrawRectangle},
    {el::kKindRectangleVariant3, DrawRectangle},
    {el::kKindRectangleVariant4, DrawRectangle},
    {el::kKindScale, DrawScaleEllipseOrLine},
    {el::kKindEllipse, DrawScaleEllipseOrLine},
    {el::kKindLine, DrawScaleEllipseOrLine},
    {el::kKindTrendChartVariant, DrawTrendChart},
    {el::kKindStateTextStrip, DrawTextFamily},
    {el::kKindBitSwitch, DrawBitSwitch},
};

}  // namespace

Renderer RendererForKind(int kind) {
  for (const KindRenderer& entry : kKindRenderers) {
    if (entry.kind == kind) return entry.draw;
  }
  return nullptr;
}

void DrawElement(const RenderContext& context, ElementImage& element) {
  const el::ElementFields fields(std::as_const(context.page), context.slot);
  if (Renderer renderer = RendererForKind(fields.kind())) {
    renderer(context, element);
    return;
  }
  BeginDrawing(context, element, /*fresh=*/true);
  element.drawn = false;
  element.bitmap = QImage();
  element.shown = QImage();
}

}  // namespace dravik::editor
