#pragma once
// The eight element renderers. Each draws one slot of a page into that slot's element
// image from the slot arrays alone: it sets the image's bounds from the slot, sizes the
// bitmap, draws, and builds what the page window paints. They run on any QImage, so they
// work headless (the command line renders pages with them).

#include <cstdint>

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
};

struct RenderContext {
  model::PageRecord& page;  // kinds 25-27 write black back as 1
  const model::PageRecord& settings;
  const RenderSettings& options;
  int slot = 0;

  // True when element texts are shown in language two.
  bool LanguageTwo() const;
};

void TextAndRegisterRefresh(const RenderContext& context, ElementImage& element);
void LampRefresh(const RenderContext& context, ElementImage& element);
void TrendRefresh(const RenderContext& context, ElementImage& element);
void VirgateRefresh(const RenderContext& context, ElementImage& element);
void BmpRefresh(const RenderContext& context, ElementImage& element);
void DrawPicture20Refresh(const RenderContext& context, ElementImage& element);
void DrawPicture25Refresh(const RenderContext& context, ElementImage& element);
void BitManipulationRefresh(const RenderContext& context, ElementImage& element);

using Renderer = void (*)(const RenderContext&, ElementImage&);
// The renderer of a kind code; nullptr for codes that are shown without a drawing.
Renderer RendererForKind(int kind);

// Draws the slot with its kind's renderer. A kind without one still gets its bounds (an
// empty, see-through image), as every occupied slot has a place on the page.
void DrawElement(const RenderContext& context, ElementImage& element);

// The picture shown for a picture number that the library does not hold: a framed
// 165 x 23 rectangle with "图形库中已经不存在该图片 ！" / "Not exist in the graphic library!".
QImage PicturePlaceholder(bool isChinese);

}  // namespace dravik::editor
