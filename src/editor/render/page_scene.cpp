#include "editor/render/page_scene.h"

#include <QPainter>
#include <algorithm>

#include "editor/render/element_canvas.h"
#include "editor/render/system_colour_table.h"

namespace dravik::editor {

GridSettings GridOf(const EditorState& state) {
  GridSettings grid;
  grid.show = state.ShowGrid;
  grid.griX = state.GriX;
  grid.griY = state.GriY;
  grid.colour = state.GriddingColor;
  return grid;
}

RenderSettings RenderSettingsOf(const EditorState& state) {
  RenderSettings settings;
  settings.fontOptimisation = state.FontOptimisation;
  settings.bitPreviewOn = state.BitPreviewOn;
  settings.isChinese = state.IsChinese;
  settings.pictures = state.Pictures;
  return settings;
}

PageScene::PageScene(model::ProjectImage& image, int page) : image_(image), page_(page) {
  ReadSize();
}

void PageScene::ReadSize() { size_ = PageCanvasSize(Record(), image_.Settings()); }

void PageScene::DrawCanvas(const GridSettings& grid) {
  background_ = PageBackground(Record());
  canvas_ = QImage(size_.width, size_.height, QImage::Format_RGB32);
  if (canvas_.isNull()) return;
  CanvasPen pen;
  CanvasBrush brush;
  ElementCanvas canvas(canvas_, pen, brush);
  canvas.SetBrushColour(static_cast<std::uint32_t>(background_));
  canvas.SetPenColour(grid.colour);
  canvas.SetPenStyle(grid.outline ? PenStyle::Dot : PenStyle::Clear);
  canvas.Rectangle(0, 0, size_.width, size_.height);
  if (!grid.show) return;
  // The steps come from the configuration file; keep them in the dialog's range.
  const int rowStep = std::clamp(grid.griX, 2, 72);
  const int columnStep = std::clamp(grid.griY, 2, 72);
  const QRgb dot = ResolveColour(grid.colour);
  for (int r = 1; r <= size_.height / rowStep; ++r) {
    const int y = r * rowStep;
    if (y >= size_.height) break;
    auto* row = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
    for (int c = 1; c <= size_.width / columnStep; ++c) {
      const int x = c * columnStep;
      if (x < size_.width) row[x] = dot;
    }
  }
}

RenderContext PageScene::ContextFor(int slot, const RenderSettings& settings) {
  return RenderContext{Record(), image_.Settings(), settings, slot};
}

ElementImage& PageScene::Slot(int slot) {
  auto& element = elements_[static_cast<std::size_t>(slot)];
  if (!element) {
    element = std::make_unique<ElementImage>();
    element->slot = slot;
  }
  return *element;
}

ElementImage* PageScene::Establish(int slot, const RenderSettings& settings) {
  if (slot < 0 || slot >= model::kSlotCount) return nullptr;
  RepairGeometry(Record(), slot, size_);
  elements_[static_cast<std::size_t>(slot)].reset();
  ElementImage& element = Slot(slot);
  DrawElement(ContextFor(slot, settings), element);
  return &element;
}

ElementImage* PageScene::Repaint(int slot, const RenderSettings& settings) {
  if (slot < 0 || slot >= model::kSlotCount) return nullptr;
  RepairGeometry(Record(), slot, size_);
  return Redraw(slot, settings);
}

ElementImage* PageScene::Redraw(int slot, const RenderSettings& settings) {
  if (slot < 0 || slot >= model::kSlotCount) return nullptr;
  ElementImage& element = Slot(slot);
  DrawElement(ContextFor(slot, settings), element);
  return &element;
}

void PageScene::EstablishAll(const RenderSettings& settings) {
  Clear();
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (Record().ElemKind[static_cast<std::size_t>(slot)] != 0) Establish(slot, settings);
  }
}

void PageScene::RedrawKind(int kind, const RenderSettings& settings) {
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (elements_[static_cast<std::size_t>(slot)] &&
        Record().ElemKind[static_cast<std::size_t>(slot)] == kind) {
      Redraw(slot, settings);
    }
  }
}

void PageScene::Remove(int slot) {
  if (slot >= 0 && slot < model::kSlotCount) elements_[static_cast<std::size_t>(slot)].reset();
}

void PageScene::Clear() {
  for (auto& element : elements_) element.reset();
}

ElementImage* PageScene::Element(int slot) {
  if (slot < 0 || slot >= model::kSlotCount) return nullptr;
  return elements_[static_cast<std::size_t>(slot)].get();
}

const ElementImage* PageScene::Element(int slot) const {
  if (slot < 0 || slot >= model::kSlotCount) return nullptr;
  return elements_[static_cast<std::size_t>(slot)].get();
}

int PageScene::ElementCount() const {
  return static_cast<int>(std::count_if(elements_.begin(), elements_.end(),
                                        [](const auto& element) { return element != nullptr; }));
}

int PageScene::SlotAt(QPoint windowPoint) const {
  for (int slot = model::kSlotCount - 1; slot >= 0; --slot) {
    const auto& element = elements_[static_cast<std::size_t>(slot)];
    if (element && element->bounds.contains(windowPoint)) return slot;
  }
  return -1;
}

void PageScene::Paint(QPainter& painter, QPoint canvasOrigin) const {
  painter.drawImage(canvasOrigin, canvas_);
  const QPoint shift = canvasOrigin - QPoint(kCanvasOffset, kCanvasOffset);
  for (const auto& element : elements_) {
    if (element && !element->shown.isNull()) {
      painter.drawImage(element->bounds.topLeft() + shift, element->shown);
    }
  }
  for (const auto& element : elements_) {
    if (!element) continue;
    for (const CornerMarker& marker : element->markers) {
      if (marker.visible) painter.fillRect(marker.bounds.translated(shift), ResolveQColor(marker.colour));
    }
  }
}

QImage PageScene::PageImage() const {
  QImage page(size_.width, size_.height, QImage::Format_RGB32);
  if (page.isNull()) return page;
  QPainter painter(&page);
  Paint(painter, QPoint(0, 0));
  return page;
}

QImage RenderPage(model::ProjectImage& image, int page, const RenderSettings& settings) {
  PageScene scene(image, page);
  GridSettings grid;
  grid.show = false;
  grid.outline = false;
  scene.DrawCanvas(grid);
  scene.EstablishAll(settings);
  return scene.PageImage();
}

}  // namespace dravik::editor
