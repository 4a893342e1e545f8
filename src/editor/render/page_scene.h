#pragma once
// What a page window shows, without the window: the page canvas (background and grid)
// and one element image per occupied slot, painted in slot order over it. The page
// window wraps one; the command line renders pages with one, headless.

#include <QImage>
#include <QPoint>
#include <array>
#include <cstdint>
#include <memory>

#include "editor/editor_state.h"
#include "editor/page_geometry.h"
#include "editor/render/element_image.h"
#include "editor/render/element_renderers.h"
#include "model/project_image.h"

class QPainter;

namespace dravik::editor {

// Where the page canvas sits in its window, and the margin around it.
inline constexpr int kCanvasOffset = 5;

struct GridSettings {
  bool show = true;
  int griX = 32;  // vertical step between dot rows
  int griY = 16;  // horizontal step between dot columns
  std::uint32_t colour = SystemColour(11);
  bool outline = true;  // the dotted frame around the canvas
};

// The grid as the editor state holds it.
GridSettings GridOf(const EditorState& state);
// The renderers' switches as the editor state holds them.
RenderSettings RenderSettingsOf(const EditorState& state);

class PageScene {
 public:
  PageScene(model::ProjectImage& image, int page);

  int Page() const { return page_; }
  void SetPage(int page) { page_ = page; }
  model::PageRecord& Record() { return image_.Page(page_); }
  const model::PageRecord& Record() const { return image_.Page(page_); }

  PageSize Size() const { return size_; }
  int Width() const { return size_.width; }
  int Height() const { return size_.height; }
  // The page background the canvas was last drawn with.
  std::int32_t Background() const { return background_; }

  // The canvas size from the page record (its own size, else the panel's screen size).
  void ReadSize();
  void Resize(PageSize size) { size_ = size; }

  // Background from the page's colour text, the dotted outline and the grid dots.
  void DrawCanvas(const GridSettings& grid);
  const QImage& Canvas() const { return canvas_; }

  // Repairs the slot's geometry, makes a new element image for it (replacing any) and
  // draws it.
  ElementImage* Establish(int slot, const RenderSettings& settings);
  // Repairs the slot's geometry and draws it into its existing image (a new one when
  // it has none).
  ElementImage* Repaint(int slot, const RenderSettings& settings);
  // Draws the slot into its existing image as it stands (a new one when it has none).
  ElementImage* Redraw(int slot, const RenderSettings& settings);
  // Every occupied slot, 0 to 200, in ascending order, each with a new image.
  void EstablishAll(const RenderSettings& settings);
  // Draws every element of `kind` again, in slot order.
  void RedrawKind(int kind, const RenderSettings& settings);
  void Remove(int slot);
  void Clear();

  ElementImage* Element(int slot);
  const ElementImage* Element(int slot) const;
  int ElementCount() const;

  // The slot whose image covers a point in window coordinates, from the top slot down;
  // -1 when none does.
  int SlotAt(QPoint windowPoint) const;

  // Paints the canvas at `canvasOrigin` and the elements over it, with the shown corner
  // markers. Element bounds are window coordinates, the canvas at (5, 5) in them.
  void Paint(QPainter& painter, QPoint canvasOrigin = {kCanvasOffset, kCanvasOffset}) const;

  // The page alone, its own size: page pixel (0, 0) is the image's top-left pixel.
  QImage PageImage() const;

 private:
  RenderContext ContextFor(int slot, const RenderSettings& settings);
  ElementImage& Slot(int slot);

  model::ProjectImage& image_;
  int page_;
  PageSize size_;
  std::int32_t background_ = 0;
  QImage canvas_;
  std::array<std::unique_ptr<ElementImage>, model::kSlotCount> elements_;
};

// A page drawn the way the panel shows it: background and elements, no grid or outline.
QImage RenderPage(model::ProjectImage& image, int page, const RenderSettings& settings);

}  // namespace dravik::editor
