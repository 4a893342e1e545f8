#pragma once
// The page window: one page of the project drawn the way the panel shows it, inside the
// main window's multiple-document area (or on its own, in tests). It keeps no copy of
// element data: every element image is drawn from the slot arrays of its page record.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "editor/editor_state.h"
#include "editor/render/page_scene.h"
#include "editor/ui/gri_attribute.h"
#include "model/project_image.h"
#include "platform/bilingual.h"
#include "platform/result.h"

class QMdiArea;
class QMdiSubWindow;
class QPrinter;

namespace dravik::editor {

// Shown when a page window cannot be opened.
extern const Bilingual kTooManyWindowsMessage;  // "同时打开画面数不得太多 ！"

class TStructureP : public QWidget {
  Q_OBJECT

 public:
  TStructureP(model::ProjectImage& image, EditorState& state, int pageNumber,
              QWidget* parent = nullptr);
  ~TStructureP() override;

  // The page this window shows (the window's tag).
  int PageNumber() const { return pageNumber_; }
  // PageNumberText + ":" + PageName, the number and colon at most 21 characters, the
  // whole at most 41.
  QString Caption() const;
  // The canvas size: the page's own size or the panel's screen size.
  int CanvasWidth() const { return scene_.Width(); }
  int CanvasHeight() const { return scene_.Height(); }
  // The page background (the canvas tag): new elements take it as their background.
  std::int32_t BackgroundColour() const { return scene_.Background(); }

  // After the page dialog: the window shows page `pageNumber` (tag and caption follow).
  void RenumberPage(int pageNumber);
  // Sets the caption from the page record again.
  void UpdateCaption();
  // Takes the page's own size when it has a readable one (else keeps the size it has);
  // the window fits itself to the new canvas and redraws the grid.
  void ApplyOwnSize();

  // Drops every element image and draws every occupied slot again, in slot order.
  void PageRefresh();
  // Background and grid, from the page's colour and the editor's grid settings.
  void StructureGridding();
  // Repairs the geometry of state.CurrentSlot, creates its element image and draws it.
  void OrganEstablish();
  // Repairs and redraws the next element of the area selection (SelList at
  // state.RepaintCursor, which advances) into its existing element image.
  void OrganRepaint();
  // Draws state.CurrentSlot again into its existing element image (after a property
  // dialog, resizing); creates the image when the slot has none.
  void OrganRedraw();
  // The ON/OFF preview after state.BitPreviewOn has changed: every bit switch, then
  // every lamp, drawn again; then nothing is selected.
  void BitPreviewRefresh();
  // What FormActivate does for the window itself: CurrentPage, the grid, PageWidth and
  // PageHeight, nothing selected. The main window adds its own steps (page list, undo
  // snapshot, paste item) on Activated.
  void FormActivate();

  // The slot drawn topmost at a point in window coordinates, -1 over the bare canvas.
  int SlotAt(QPoint windowPoint) const;
  // The element image of a slot; nullptr when the slot has none.
  const ElementImage* Element(int slot) const { return scene_.Element(slot); }
  const PageScene& Scene() const { return scene_; }
  // The interface language the window's texts and dialogs follow.
  bool IsChinese() const { return state_.IsChinese; }

  // The slots of the area selection in selection order; OrganRepaint walks them.
  std::vector<int> SelList;

  // The window as shown: the canvas with its elements inside the 5-pixel margin,
  // (width + 10) x (height + 10), without the selection frame.
  QImage PagePicture() const;

  // The bounds of the element last drawn outside a bulk redraw (the selection frame
  // follows them); empty when nothing is selected.
  QRect SelectionFrame() const { return selectionFrame_; }
  void Deselect() { selectionFrame_ = QRect(); update(); }

 signals:
  // The window became the active one (after FormActivate has run).
  void Activated(int pageNumber);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  RenderSettings Settings() const { return RenderSettingsOf(state_); }
  void AfterDraw(const ElementImage* element);
  void FitToCanvas();

  model::ProjectImage& image_;
  EditorState& state_;
  int pageNumber_;
  PageScene scene_;
  QRect selectionFrame_;
};

// Opens the page window of state.CurrentPage inside `area`, or brings forward the one
// already open. On failure returns nullptr and, when `failure` is given, sets it to
// kTooManyWindowsMessage (the caller shows it, caption "Dravik ", information icon).
TStructureP* OpenPageWindow(QMdiArea& area, model::ProjectImage& image, EditorState& state,
                            Bilingual* failure);
// The page window of `pageNumber` in `area`, nullptr when none is open.
TStructureP* FindPageWindow(QMdiArea& area, int pageNumber);
// The page window of the active sub-window, nullptr when none.
TStructureP* ActivePageWindow(QMdiArea& area);
// Destroys every page window in `area`; the page data stays in the project image.
void CloseAllPageWindows(QMdiArea& area);

// How many page windows may be open at once.
inline constexpr int kMaxOpenPageWindows = 64;

// Qt's print dialog, then the window's picture printed in portrait, scaled to the page.
void PrintPageWindow(TStructureP& window, QWidget* dialogParent);
// What the print dialog starts from: a portrait page.
void PreparePagePrinter(QPrinter& printer);
// The printing itself: `picture` at its screen size (96 dpi), made smaller when it does
// not fit the printable area, at the top left of the page. False when the printer
// cannot be started.
bool PrintPicture(QPrinter& printer, const QImage& picture);
// The picture export ("输出图片(&E)..."): a save dialog with the bilingual title, the
// bitmap filter and the default name PageNumberText + "号画面" / "#Window", then the
// window's picture written as a BMP file (crash-safely).
void ExportPagePicture(TStructureP& window, QWidget* dialogParent);

// The parts of the export, for callers and tests that bring their own file name.
struct PictureExportTexts {
  QString title;
  QString filter;
  QString defaultSuffix;
  QString defaultName;
};
PictureExportTexts ExportTexts(const TStructureP& window, bool isChinese);
// Writes the window's picture as a 24-bit BMP; the message on failure.
Status SavePagePicture(const TStructureP& window, const QString& path);

}  // namespace dravik::editor
