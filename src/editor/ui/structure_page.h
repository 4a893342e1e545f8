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
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "editor/editor_state.h"
#include "editor/element_edit.h"
#include "editor/group_edit.h"
#include "editor/render/page_scene.h"
#include "editor/ui/gri_attribute.h"
#include "model/project_image.h"
#include "platform/bilingual.h"
#include "platform/result.h"
#include "ui/desktop_hooks.h"

class QAction;
class QMdiArea;
class QMenu;
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
  // The window became the active one: FormActivate, unless it is the page being edited
  // already. The multiple-document area hands the same window back whenever the main
  // window is activated again (after another program had the focus), which is no new
  // entry into the page and must not cost its selection.
  void EnterPage();
  // Another page window is the one being edited now: coming back enters this page anew.
  void LeavePage();

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
  // Hides the frame and the handles: nothing is selected.
  void Deselect();
  // Shows the frame with red handles at the element in `slot` without selecting it, so
  // the user sees where it is while cut, copy and delete stay off until it is clicked.
  // Anything that selects or deselects takes the mark away.
  void MarkElement(int slot);
  // The marked slot, -1 when nothing is marked.
  int MarkedSlot() const;

  // ---- editing one element
  // Message boxes go through these (they outlive the window), so tests answer them;
  // without them, and for their unset parts, the plain Qt boxes show.
  void SetHooks(const ui::DesktopHooks* hooks) { hooks_ = hooks; }
  // Opens the property dialog of the slot's kind modally and answers whether the element
  // may have changed: false only when a dialog was cancelled, which writes nothing. Unset,
  // or for a kind without a dialog, nothing opens. Either way the element is drawn again;
  // a snapshot follows unless the dialog was cancelled (a placement takes its own).
  std::function<bool(int slot)> openPropertyDialog;

  // Places an element of kind state.PlaceKind with its top-left corner at a window point;
  // its property dialog opens unless `withDialog` is false (a Shift-click).
  void PlacedOrgan(QPoint windowPoint, bool withDialog);
  // Selects the element in `slot` as a click on it does.
  void SelectOrgan(int slot);
  // The property dialog of the selected element (double-click, "属性(&A)").
  void Panel1DblClick();
  // Locks the selected element, or unlocks it when it is locked.
  void N3Click();
  // Empties the selected element's slot (only ElemKind is cleared) and deselects.
  void OrganDelete();
  // Moves the selected element to slot 0, below every other; not for the text-table
  // slots from 135 on.
  void MovSubstrateNClick();
  // Leaves placing and deselects (Esc).
  void CancelPlacing();
  // Whether the canvas menu's paste item is enabled (it follows the main paste command).
  void SetPasteEnabled(bool enabled);
  // The menus' captions in the interface language, at once (after a language switch).
  void UpdateMenuTexts();

  bool HasSelection() const;
  // The selected slot, -1 when nothing is selected.
  int SelectedSlot() const { return HasSelection() ? selectedSlot_ : -1; }
  bool SelectedLocked() const;
  bool CanSendToBack() const;
  // The placement frame under the pointer while a kind is chosen; empty otherwise.
  QRect GhostFrame() const { return ghost_; }
  // Where a handle of the selection stands, 5 x 5; empty when it is not shown.
  QRect HandleRect(Handle handle) const;
  // Whether the window is the one being edited: the current sub-window of its area, or a
  // window of its own. Only that one shows the placement ghost.
  bool IsActivePage() const;
  // Drops the placement ghost (another page window became the active one).
  void HideGhost();
  QMenu* ElementMenu() const { return elementMenu_; }
  QMenu* CanvasMenu() const { return canvasMenu_; }
  // The value an area selection is locked (1) or unlocked (0) with as a group.
  int LockValue = 1;

  // ---- editing a group (the area selection)
  // Whether an area selection shows (its frame is what Cut, Copy, lock and delete act on).
  bool HasAreaSelection() const { return areaShown_; }
  const GroupSelection& Group() const { return group_; }
  // The group's frame, shown or not; empty without a group.
  QRect AreaFrameRect() const;
  // The rubber band being drawn; empty when none is.
  QRect RubberBand() const;
  // Selects the elements of state.PickList as a group (after a group paste): the first
  // of them is the anchor.
  void WholePasteFinish();
  // Aligns the group's members against its anchor, or makes them as wide or high; one
  // edit.
  void AlignComponent(AlignMode mode);

 signals:
  // The window became the active one (after FormActivate has run).
  void Activated(int pageNumber);
  // Something was selected or deselected, locked or unlocked, or placing ended.
  void SelectionChanged();
  // Status panel 0 for a selected element, in the interface language.
  void ElementDescribed(const QString& text);
  // Status panel 3 for the pointer.
  void PointerMoved(const QString& text);
  // An edit is complete: the page is ready for an undo snapshot.
  void Edited();
  // The element and canvas menus' commands that belong to the main window.
  void CutRequested();
  void CopyRequested();
  void PasteRequested();
  void PageAttributesRequested();
  void MultipleCopyRequested();
  void RegisterSearchRequested();
  void BatchModifyRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  enum class Drag { None, Element, Handle, Band, Group };

  RenderSettings Settings() const { return RenderSettingsOf(state_); }
  void AfterDraw(const ElementImage* element);
  void FitToCanvas();
  void CreateMenus();
  void PaintSelection(QPainter& painter) const;
  void PaintArea(QPainter& painter) const;
  std::optional<Handle> HandleAt(QPoint windowPoint) const;
  // Where a handle stands on `frame` for the element in `slot`; empty when not shown.
  QRect HandleRectOn(const QRect& frame, int slot, Handle handle) const;
  void PaintHandles(QPainter& painter, const QRect& frame, int slot, const QColor& fill) const;
  WindowRect SelectedBox() const;
  void ShowGhost(QPoint windowPoint);
  void StartDrag(QPoint windowPoint, Drag drag, std::optional<Handle> handle);
  void DragElement(QPoint windowPoint);
  void DragHandleTo(QPoint windowPoint);
  void UpdateCursor(QPoint windowPoint);
  void DeleteAndReport();
  void LockFromMenu();
  bool CurrentLocked() const;
  void ShowElementHint();
  // the group
  void HidePanel1TShape();
  void ShowGroup(GroupSelection group);
  void TogglePickOrgan(int slot);
  void CollectBand();
  // Whether a point lies on the group: inside its frame or on one of its members (the
  // size tools may leave members reaching beyond the frame).
  bool OnGroup(QPoint windowPoint) const;
  void DragGroupTo(QPoint windowPoint);
  void Nudge(ArrowKey key);
  void EndNudging();
  // The element image of `slot` moved to where the record now puts it.
  void FollowRecord(int slot);
  void DescribeElement(int slot);
  // Runs the property dialog of `slot` and draws the element again; false when the dialog
  // was cancelled or the element is gone.
  bool RunPropertyDialog(int slot);

  model::ProjectImage& image_;
  EditorState& state_;
  int pageNumber_;
  PageScene scene_;
  QRect selectionFrame_;
  int selectedSlot_ = -1;
  QRect markFrame_;     // the element a search jump pointed at
  int markedSlot_ = -1;
  QRect ghost_;
  const ui::DesktopHooks* hooks_ = nullptr;

  // the drag in progress
  Drag drag_ = Drag::None;
  Handle dragHandle_ = Handle::BottomRight;
  QPoint dragStart_;       // the pointer at mouse-down
  EditPoint startAt_;      // the dragged element's or handle's top-left at mouse-down
  WindowRect boxAtPress_;  // the element's geometry at mouse-down

  // the area selection (AreaChecked) and the rubber band
  GroupSelection group_;
  AnchorState anchors_;
  bool areaShown_ = false;
  bool banding_ = false;  // a rubber band is being drawn
  QPoint bandStart_;
  QPoint bandEnd_;
  WindowRect frameAtPress_;  // the group's frame when a group drag began
  bool nudged_ = false;     // arrow presses moved something since the last key release

  bool entered_ = false;  // FormActivate ran and no other page window was entered since

  QMenu* elementMenu_ = nullptr;  // PopupMenu1
  QMenu* canvasMenu_ = nullptr;   // PopupMenu2
  bool pasteEnabled_ = false;
};

// Opens the page window of state.CurrentPage inside `area`, or brings forward the one
// already open. On failure returns nullptr and, when `failure` is given, sets it to
// kTooManyWindowsMessage (the caller shows it, caption "Dravik ", information icon).
TStructureP* OpenPageWindow(QMdiArea& area, model::ProjectImage& image, EditorState& state,
                            Bilingual* failure);
// The page window of `pageNumber` in `area`, nullptr when none is open.
TStructureP* FindPageWindow(QMdiArea& area, int pageNumber);
// The page window being edited: that of the area's current sub-window, which stays the
// same while the program is inactive; nullptr when none.
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
// The save dialog every bitmap export of the program shows, with its own default name.
PictureExportTexts BitmapExportTexts(bool isChinese, const QString& defaultName);
// Writes the window's picture as a 24-bit BMP; the message on failure.
Status SavePagePicture(const TStructureP& window, const QString& path);
// Writes `picture` as a 24-bit BMP file, crash-safely; the message on failure.
Status SaveBitmapFile(const QImage& picture, const QString& path);

}  // namespace dravik::editor
