// The page window as an editor of single elements: placing a new element, selecting one
// with its frame and handles, moving and resizing it with the mouse, its property dialog,
// locking, deleting and sending it to the bottom, the element and canvas menus, the keys,
// and the status read-outs.

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <span>

#include "editor/element_clipboard.h"
#include "editor/render/system_colour_table.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "model/settings_page.h"

namespace dravik::editor {

namespace {

// Handles of an unlocked element are navy; those of a locked one take the window colour;
// those of an element a search jump marks are red.
constexpr std::uint32_t kUnlockedHandleColour = 0x800000;
constexpr std::uint32_t kMarkHandleColour = 0x0000FF;
constexpr int kWindowColourIndex = 5;
constexpr int kFrameColourIndex = 16;  // button shadow: the dotted grey frame

struct MenuText {
  const char* name;
  const char* chinese;
  const char* english;
};

// The element menu (PopupMenu1) and the canvas menu (PopupMenu2); nullptr rows are
// separators.
constexpr MenuText kElementMenu[] = {
    {"N1", "属性(&A)", "Attribute(&A)"},
    {nullptr, nullptr, nullptr},
    {"N3", "锁定(&L)", "Lock(&L)"},
    {"MovSubstrateN", "移至底层(&M)", "Move to the bottom(&M)"},
    {nullptr, nullptr, nullptr},
    {"N7", "剪切(&U)", "Shear(&S)"},
    {"N8", "复制(&C)", "Copy(&C)"},
    {"N9", "删除(&D)", "Delete(&D)"},
    {nullptr, nullptr, nullptr},
    {"CC2", "多重复制(&I)...", "Multiple copy(&I)..."},
};
constexpr MenuText kCanvasMenu[] = {
    {"MenuItem1", "属性(&A)", "Attribute(&A)"},
    {nullptr, nullptr, nullptr},
    {"MenuItem7", "粘贴(&P)", "Paste(&P)"},
    {nullptr, nullptr, nullptr},
    {"L1", "寄存器查找(&L)", "Register Search(&L)"},
    {nullptr, nullptr, nullptr},
    {"P1", "批量修改(&B)", "Bulk changes(&B)"},
};
constexpr MenuText kUnlockText{"N3", "解锁(&U)", "Deblocking(&U)"};

QString MenuCaption(const MenuText& text, bool isChinese) {
  return QString::fromUtf8(isChinese ? text.chinese : text.english);
}

Qt::CursorShape HandleCursor(Handle handle) {
  switch (handle) {
    case Handle::TopLeft:
    case Handle::BottomRight: return Qt::SizeFDiagCursor;
    case Handle::TopRight:
    case Handle::BottomLeft: return Qt::SizeBDiagCursor;
    case Handle::TopMiddle:
    case Handle::BottomMiddle: return Qt::SizeVerCursor;
    default: return Qt::SizeHorCursor;
  }
}

EditPoint ToEditPoint(QPoint point) { return {point.x(), point.y()}; }

QAction* Action(const QMenu* menu, const char* name) {
  return menu->findChild<QAction*>(QString::fromLatin1(name));
}

}  // namespace

void TStructureP::CreateMenus() {
  auto build = [this](const char* name, auto& rows) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(name));
    for (const MenuText& row : rows) {
      if (row.name == nullptr) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString());
      action->setObjectName(QString::fromLatin1(row.name));
      action->setParent(menu);
    }
    return menu;
  };
  elementMenu_ = build("PopupMenu1", kElementMenu);
  canvasMenu_ = build("PopupMenu2", kCanvasMenu);
  connect(Action(elementMenu_, "N1"), &QAction::triggered, this, &TStructureP::Panel1DblClick);
  connect(Action(elementMenu_, "N3"), &QAction::triggered, this, &TStructureP::LockFromMenu);
  connect(Action(elementMenu_, "MovSubstrateN"), &QAction::triggered, this, &TStructureP::MovSubstrateNClick);
  connect(Action(elementMenu_, "N7"), &QAction::triggered, this, &TStructureP::CutRequested);
  connect(Action(elementMenu_, "N8"), &QAction::triggered, this, &TStructureP::CopyRequested);
  connect(Action(elementMenu_, "N9"), &QAction::triggered, this, &TStructureP::DeleteAndReport);
  connect(Action(canvasMenu_, "MenuItem1"), &QAction::triggered, this, &TStructureP::PageAttributesRequested);
  connect(Action(canvasMenu_, "MenuItem7"), &QAction::triggered, this, &TStructureP::PasteRequested);
  connect(Action(elementMenu_, "CC2"), &QAction::triggered, this, &TStructureP::MultipleCopyRequested);
  connect(Action(canvasMenu_, "L1"), &QAction::triggered, this, &TStructureP::RegisterSearchRequested);
  connect(Action(canvasMenu_, "P1"), &QAction::triggered, this, &TStructureP::BatchModifyRequested);
  UpdateMenuTexts();
}

void TStructureP::UpdateMenuTexts() {
  const bool chinese = state_.IsChinese;
  const auto setTexts = [chinese](QMenu* menu, std::span<const MenuText> rows) {
    for (const MenuText& row : rows) {
      if (row.name != nullptr) Action(menu, row.name)->setText(MenuCaption(row, chinese));
    }
  };
  setTexts(elementMenu_, kElementMenu);
  setTexts(canvasMenu_, kCanvasMenu);
  QAction* lock = Action(elementMenu_, "N3");
  const bool locked = areaShown_ ? CurrentLocked() : SelectedLocked();
  lock->setText(MenuCaption(locked ? kUnlockText : kElementMenu[2], chinese));
  Action(elementMenu_, "MovSubstrateN")->setVisible(CanSendToBack());
  Action(canvasMenu_, "MenuItem7")->setEnabled(pasteEnabled_);
}

void TStructureP::SetPasteEnabled(bool enabled) {
  pasteEnabled_ = enabled;
  Action(canvasMenu_, "MenuItem7")->setEnabled(enabled);
}

// ---- selection

bool TStructureP::HasSelection() const {
  if (selectedSlot_ < 0 || selectionFrame_.isNull()) return false;
  return scene_.Record().ElemKind[static_cast<std::size_t>(selectedSlot_)] != 0;
}

bool TStructureP::SelectedLocked() const {
  return HasSelection() && scene_.Record().ElemByteA[static_cast<std::size_t>(selectedSlot_)] != 0;
}

bool TStructureP::CanSendToBack() const {
  return HasSelection() && selectedSlot_ < model::kTextTableFirstSlot;
}

void TStructureP::Deselect() {
  selectionFrame_ = QRect();
  selectedSlot_ = -1;
  markFrame_ = QRect();
  markedSlot_ = -1;
  if (!banding_) HidePanel1TShape();
  drag_ = Drag::None;
  update();
  emit SelectionChanged();
}

void TStructureP::SelectOrgan(int slot) {
  const ElementImage* element = Element(slot);
  if (element == nullptr) return;
  HidePanel1TShape();
  state_.CurrentSlot = slot;
  selectionFrame_ = element->bounds;
  selectedSlot_ = slot;
  setFocus(Qt::MouseFocusReason);
  UpdateMenuTexts();
  update();
  DescribeElement(slot);
  emit SelectionChanged();
}

void TStructureP::MarkElement(int slot) {
  Deselect();
  const ElementImage* element = Element(slot);
  if (element == nullptr) return;
  markFrame_ = element->bounds;
  markedSlot_ = slot;
  update();
}

int TStructureP::MarkedSlot() const {
  if (markedSlot_ < 0 || markFrame_.isNull()) return -1;
  return scene_.Record().ElemKind[static_cast<std::size_t>(markedSlot_)] != 0 ? markedSlot_ : -1;
}

void TStructureP::DescribeElement(int slot) {
  emit ElementDescribed(QString::fromStdString(ElementStatusText(scene_.Record(), slot, state_.IsChinese)));
}

WindowRect TStructureP::SelectedBox() const {
  const auto s = static_cast<std::size_t>(selectedSlot_);
  const model::PageRecord& page = scene_.Record();
  return {page.ElemLeft[s], page.ElemTop[s], page.ElemWidth[s], page.ElemHeight[s]};
}

QRect TStructureP::HandleRectOn(const QRect& frame, int slot, Handle handle) const {
  if (!HandleShown(scene_.Record(), slot, handle)) return {};
  const EditPoint at = HandlePosition(handle, {frame.left(), frame.top(), frame.width(), frame.height()});
  return {at.x, at.y, kHandleSize, kHandleSize};
}

QRect TStructureP::HandleRect(Handle handle) const {
  if (!HasSelection()) return {};
  return HandleRectOn(selectionFrame_, selectedSlot_, handle);
}

std::optional<Handle> TStructureP::HandleAt(QPoint windowPoint) const {
  for (Handle handle : kHandles) {
    if (HandleRect(handle).contains(windowPoint)) return handle;
  }
  return std::nullopt;
}

void TStructureP::PaintSelection(QPainter& painter) const {
  auto frame = [&painter](const QRect& bounds) {
    painter.setPen(QPen(ResolveQColor(SystemColour(kFrameColourIndex)), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bounds.adjusted(0, 0, -1, -1));
  };
  if (!ghost_.isNull()) frame(ghost_);
  if (HasSelection()) {
    frame(selectionFrame_);
    const std::uint32_t fill = SelectedLocked() ? SystemColour(kWindowColourIndex) : kUnlockedHandleColour;
    PaintHandles(painter, selectionFrame_, selectedSlot_, ResolveQColor(fill));
  } else if (MarkedSlot() >= 0) {
    frame(markFrame_);
    PaintHandles(painter, markFrame_, markedSlot_, ResolveQColor(kMarkHandleColour));
  }
}

void TStructureP::PaintHandles(QPainter& painter, const QRect& frame, int slot, const QColor& fill) const {
  for (Handle handle : kHandles) {
    const QRect square = HandleRectOn(frame, slot, handle);
    if (square.isNull()) continue;
    painter.fillRect(square, fill);
    painter.setPen(Qt::black);
    painter.drawRect(square.adjusted(0, 0, -1, -1));
  }
}

// ---- placing

void TStructureP::ShowGhost(QPoint windowPoint) {
  if (!IsActivePage()) return;
  const int font = static_cast<int>(model::At(image_.Settings(), model::settings::kDefaultTextFont));
  const elements::GhostSize size = elements::GhostSizeTable(state_.PlaceKind, font);
  ghost_ = QRect(windowPoint, QSize(size.width, size.height));
  setCursor(Qt::CrossCursor);
  update();
}

void TStructureP::HideGhost() {
  if (ghost_.isNull()) return;
  ghost_ = QRect();
  update();
}

void TStructureP::CancelPlacing() {
  state_.PlaceKind = 0;
  ghost_ = QRect();
  Deselect();
}

void TStructureP::PlacedOrgan(QPoint windowPoint, bool withDialog) {
  const int font = static_cast<int>(model::At(image_.Settings(), model::settings::kDefaultTextFont));
  const elements::GhostSize size = elements::GhostSizeTable(state_.PlaceKind, font);
  const elements::Placement placement{state_.PlaceKind, windowPoint.x(), windowPoint.y(),
                                      size.width,       size.height,     BackgroundColour()};
  // Placing ends with this click, whether or not the page had room.
  state_.PlaceKind = 0;
  ghost_ = QRect();
  const std::optional<int> slot = elements::PlaceElement(scene_.Record(), image_.Settings(), placement);
  if (!slot) {
    const ui::DesktopHooks plainBoxes;
    (hooks_ != nullptr ? *hooks_ : plainBoxes).Show(this, model::kNoFreeSlotMessage, QMessageBox::Warning);
    Deselect();
    return;
  }
  state_.CurrentSlot = *slot;
  OrganEstablish();
  setCursor(Qt::SizeAllCursor);
  // One snapshot for the placement and its dialog, whichever button closed the dialog,
  // so one Undo takes the new element away.
  if (withDialog) RunPropertyDialog(*slot);
  emit Edited();
  SelectOrgan(*slot);
}

// ---- editing the selected element

void TStructureP::Panel1DblClick() {
  if (!HasSelection()) return;
  // A cancelled dialog wrote nothing: a snapshot would only push an older step out of the
  // history and ask for a Save.
  if (RunPropertyDialog(selectedSlot_)) emit Edited();
}

bool TStructureP::RunPropertyDialog(int slot) {
  state_.PageWidth = CanvasWidth();
  state_.PageHeight = CanvasHeight();
  const bool changed = !openPropertyDialog || openPropertyDialog(slot);
  if (scene_.Record().ElemKind[static_cast<std::size_t>(slot)] == 0) return false;
  state_.CurrentSlot = slot;
  OrganRedraw();
  return changed;
}

void TStructureP::N3Click() {
  if (areaShown_) {
    // The whole group takes the value of the tool used; the last member becomes current.
    for (int slot : group_.SelList) {
      scene_.Record().ElemByteA[static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(LockValue);
    }
    state_.CurrentSlot = group_.SelList.back();
  } else if (HasSelection()) {
    std::uint8_t& lock = scene_.Record().ElemByteA[static_cast<std::size_t>(selectedSlot_)];
    lock = lock == 0 ? 1 : 0;
  } else {
    return;
  }
  UpdateMenuTexts();
  update();
  emit SelectionChanged();
  // A lock is part of the page like any other field: Undo must be able to take it back.
  emit Edited();
}

void TStructureP::OrganDelete() {
  std::vector<int> doomed;
  if (areaShown_) {
    doomed = group_.SelList;
  } else if (HasSelection()) {
    doomed = {selectedSlot_};
  }
  for (int slot : doomed) {
    scene_.Record().ElemKind[static_cast<std::size_t>(slot)] = 0;
    scene_.Remove(slot);
  }
  Deselect();
}

void TStructureP::DeleteAndReport() {
  if (!HasSelection() && !areaShown_) return;
  OrganDelete();
  emit Edited();
}

void TStructureP::MovSubstrateNClick() {
  if (!CanSendToBack()) return;
  OrganSendToBack(scene_.Record(), selectedSlot_);
  PageRefresh();
  Deselect();
  // The drawing order is part of the page: the move is saved and can be undone.
  emit Edited();
}

// ---- the mouse

void TStructureP::StartDrag(QPoint windowPoint, Drag drag, std::optional<Handle> handle) {
  drag_ = drag;
  dragStart_ = windowPoint;
  boxAtPress_ = SelectedBox();
  if (handle) {
    dragHandle_ = *handle;
    const QRect square = HandleRect(*handle);
    startAt_ = {square.left(), square.top()};
  } else {
    startAt_ = {boxAtPress_.left, boxAtPress_.top};
  }
}

void TStructureP::DragElement(QPoint windowPoint) {
  const QPoint moved = windowPoint - dragStart_;
  const EditPoint to{startAt_.x + moved.x(), startAt_.y + moved.y()};
  if (!MoveElement(scene_.Record(), selectedSlot_, to, DragBoundsOf(scene_.Size()))) return;
  const WindowRect box = SelectedBox();
  if (ElementImage* element = scene_.Element(selectedSlot_)) {
    element->bounds.moveTo(box.left, box.top);
    element->PlaceMarkers();
  }
  selectionFrame_.moveTo(box.left, box.top);
  update();
}

void TStructureP::DragHandleTo(QPoint windowPoint) {
  const QPoint moved = windowPoint - dragStart_;
  const EditPoint at = DragHandle(dragHandle_, startAt_, moved.x(), moved.y(), DragBoundsOf(scene_.Size()));
  if (ResizeByHandle(scene_.Record(), selectedSlot_, dragHandle_, at)) {
    state_.CurrentSlot = selectedSlot_;
    OrganRedraw();
  }
  update();
}

void TStructureP::UpdateCursor(QPoint windowPoint) {
  if (std::optional<Handle> handle = HandleAt(windowPoint)) {
    setCursor(HandleCursor(*handle));
  } else {
    // Elements show the move cursor, the bare canvas the arrow.
    setCursor(SlotAt(windowPoint) >= 0 ? Qt::SizeAllCursor : Qt::ArrowCursor);
  }
}

void TStructureP::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QRect canvas(kCanvasOffset, kCanvasOffset, CanvasWidth(), CanvasHeight());
  if (canvas.contains(at) || SlotAt(at) >= 0) emit PointerMoved(QString::fromStdString(PointerStatusText(ToEditPoint(at))));
  const bool leftHeld = event->buttons() & Qt::LeftButton;
  if (state_.PlaceKind != 0) {
    ShowGhost(at);
  } else if (leftHeld && drag_ == Drag::Element && HasSelection()) {
    DragElement(at);
  } else if (leftHeld && drag_ == Drag::Handle && HasSelection()) {
    DragHandleTo(at);
  } else if (leftHeld && drag_ == Drag::Group && areaShown_) {
    DragGroupTo(at);
  } else if (leftHeld && drag_ == Drag::Band) {
    banding_ = true;
    bandEnd_ = at;
    update();
  } else {
    UpdateCursor(at);
  }
  QWidget::mouseMoveEvent(event);
}

void TStructureP::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const bool left = event->button() == Qt::LeftButton;
  // Shift counts as held only on its own, as for placing.
  const bool shift = event->modifiers() == Qt::ShiftModifier;
  if (state_.PlaceKind != 0) {
    if (left) PlacedOrgan(at, !shift);
    return;
  }
  // The group's frame lies over its members, except while Shift picks elements.
  if (!shift && OnGroup(at)) {
    if (left) {
      drag_ = Drag::Group;
      dragStart_ = at;
      frameAtPress_ = group_.frame;
      setFocus(Qt::MouseFocusReason);
      update();
    }
    return;
  }
  if (left) {
    if (std::optional<Handle> handle = HandleAt(at)) {
      StartDrag(at, Drag::Handle, handle);
      return;
    }
  }
  const int slot = SlotAt(at);
  if (slot < 0) {
    if (left) {
      Deselect();
      drag_ = Drag::Band;
      bandStart_ = bandEnd_ = at;
    }
    return;
  }
  if (shift) {
    if (left) TogglePickOrgan(slot);
    return;
  }
  SelectOrgan(slot);
  if (left) StartDrag(at, Drag::Element, std::nullopt);
}

void TStructureP::mouseReleaseEvent(QMouseEvent* event) {
  const Drag ended = drag_;
  drag_ = Drag::None;
  if (ended == Drag::Band) {
    if (banding_) CollectBand();
  } else if (ended == Drag::Group) {
    update();  // the frame's border hides again
    // Like an element drag, a group drag is one edit when it moved the group.
    if (!(group_.frame == frameAtPress_)) emit Edited();
  } else if (ended != Drag::None && HasSelection() && !(SelectedBox() == boxAtPress_)) {
    // A drag is one edit however many steps it took: one snapshot when it has moved or
    // resized the element.
    DescribeElement(selectedSlot_);
    emit Edited();
  }
  QWidget::mouseReleaseEvent(event);
}

void TStructureP::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || event->modifiers() == Qt::ShiftModifier) return;
  const QPoint at = event->position().toPoint();
  if (const int slot = SlotAt(at); slot >= 0) {
    // The press before a double click selects; when something took the selection away
    // meanwhile (a language switch), the element under the pointer is still the one meant.
    if (slot != SelectedSlot() && !OnGroup(at)) SelectOrgan(slot);
    Panel1DblClick();
  } else if (state_.PlaceKind == 0) {
    emit PageAttributesRequested();
  }
}

void TStructureP::contextMenuEvent(QContextMenuEvent* event) {
  // Inside the group's frame the element menu acts on the group.
  const bool onGroup = OnGroup(event->pos());
  const int slot = SlotAt(event->pos());
  if (!onGroup && slot >= 0 && slot != SelectedSlot()) SelectOrgan(slot);
  UpdateMenuTexts();
  QMenu* menu = onGroup || slot >= 0 ? elementMenu_ : canvasMenu_;
  menu->popup(event->globalPos());
}

// ---- the keys

namespace {

std::optional<ArrowKey> ArrowOf(int key) {
  switch (key) {
    case Qt::Key_Left: return ArrowKey::Left;
    case Qt::Key_Up: return ArrowKey::Up;
    case Qt::Key_Right: return ArrowKey::Right;
    case Qt::Key_Down: return ArrowKey::Down;
    default: return std::nullopt;
  }
}

}  // namespace

void TStructureP::ShowElementHint() {
  const int slot = HasSelection() ? selectedSlot_ : areaShown_ ? state_.CurrentSlot : -1;
  if (const ElementImage* element = Element(slot)) {
    QToolTip::showText(mapToGlobal(element->bounds.center()), element->Hint(pageNumber_), this);
  }
}

void TStructureP::keyPressEvent(QKeyEvent* event) {
  if (const std::optional<ArrowKey> arrow = ArrowOf(event->key())) {
    Nudge(*arrow);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
      CancelPlacing();
      return;
    case Qt::Key_Delete:
      DeleteAndReport();
      return;
    case Qt::Key_F12:
      ShowElementHint();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TStructureP::keyReleaseEvent(QKeyEvent* event) {
  // A held arrow key repeats its presses; the burst ends when the key comes up.
  if (ArrowOf(event->key()) && !event->isAutoRepeat()) EndNudging();
  QWidget::keyReleaseEvent(event);
}

void TStructureP::focusOutEvent(QFocusEvent* event) {
  // The key may come up elsewhere: the nudges so far are still one edit.
  EndNudging();
  QWidget::focusOutEvent(event);
}

}  // namespace dravik::editor
