#pragma once
// The eight element renderers. Each draws one slot of a page into that slot's element
// image from the slot arrays alone: it sets the image's bounds from the slot, sizes the
// bitmap, draws, and builds what the page window paints. They run on any QImage, so they
// work headless (the command line renders pages with them).

#include <cstdint>
#include <optional>
#include <vector>

#include "editor/render/element_image.h"
#include "model/page_record.h"

namespace dravik::pictures {
class PictureLibrary;
}

namespace dravik::editor {

// The application-wide switches the renderers follow.
struct RenderSettings {
  bool fontOptimisation = true;  // off: text-family bitmaps reduced to two colours
  bool bitPreviewOn = false;     // lamps and bit switches in their ON appearance
  bool isChinese = true;         // interface language (the missing-picture placeholder)
  // The panel language of element texts: -1 follows the settings page's switch, 0 is
  // language one, 1 language two.
  int languageOverride = -1;
  // The project's picture library; without one every picture shows the placeholder.
  pictures::PictureLibrary* pictures = nullptr;

  // What a running panel shows in place of the editor's previews (the simulator sets
  // them per element; the editor leaves them unset).
  std::optional<double> barLevel;  // the bar's filled fraction, 0..1
  // A trend chart's samples as fractions of its height, oldest first, and its number of
  // data points (the width of the trace).
  const std::vector<double>* trendSamples = nullptr;
  int trendCapacity = 0;
  // A picture element's picture; a null image shows nothing.
  const QImage* picture = nullptr;
};

struct RenderContext {
  model::PageRecord& page;  // scale, ellipse and line write black back as 1
  const model::PageRecord& settings;
  const RenderSettings& options;
  int slot = 0;

  // True when element texts are shown in language two.
  bool LanguageTwo() const;
};

// The text family: text, register, dynamic text, function key, ASCII-Chinese, date, time
// and their relatives.
void DrawTextFamily(const RenderContext& context, ElementImage& element);
void DrawLamp(const RenderContext& context, ElementImage& element);
void DrawTrendChart(const RenderContext& context, ElementImage& element);
void DrawBarGraph(const RenderContext& context, ElementImage& element);
void DrawPicture(const RenderContext& context, ElementImage& element);
// The rectangle and its variants.
void DrawRectangle(const RenderContext& context, ElementImage& element);
// Scale, ellipse and line: one colour, see-through around it; black is stored as 1 first.
void DrawScaleEllipseOrLine(const RenderContext& context, ElementImage& element);
void DrawBitSwitch(const RenderContext& context, ElementImage& element);

using Renderer = void (*)(const RenderContext&, ElementImage&);
// The renderer of a kind code; nullptr for codes that are shown without a drawing.
Renderer RendererForKind(int kind);

// Draws the slot with its kind's renderer. A kind without one still gets its bounds (an
// empty, see-through image), as every occupied slot has a place on the page.
void DrawElement(const RenderContext& context, ElementImage& element);

// The bar graph's fill patterns 0..7, in the order of BrushStyle; a bar with any other
// code is filled solid.
inline constexpr int kBarFillPatterns = 8;
// A sample of a fill pattern as the bar graph's pattern list shows it, filled the way the
// page fills a bar: black on white, the hollow pattern all white.
QImage BarFillSample(int pattern, int width, int height);

// The picture shown for a picture number that the library does not hold: a framed
// 165 x 23 rectangle with "图形库中已经不存在该图片 ！" / "Not exist in the graphic library!".
QImage PicturePlaceholder(bool isChinese);

// What a picture element showing picture `id` draws: the library's picture, the
// placeholder when the library (or the ID in it) is missing, and nothing (a null image)
// for a listed picture that has no image.
struct ShownPicture {
  QImage image;
  bool fromLibrary = false;  // the library's own picture, whose size the element takes
};
ShownPicture PictureShown(pictures::PictureLibrary* library, int id, bool isChinese);

}  // namespace dravik::editor
