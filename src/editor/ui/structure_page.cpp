#include "editor/ui/structure_page.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <filesystem>
#include <vector>

#include "editor/render/font_tables.h"
#include "editor/render/gbk_text.h"
#include "editor/render/rgb_image_bridge.h"
#include "editor/render/system_colour_table.h"
#include "platform/files.h"
#include "platform/image_codec.h"

namespace dravik::editor {

const Bilingual kTooManyWindowsMessage{"同时打开画面数不得太多 ！",
                                       "At the same time, open the windows should not be too much!"};

namespace {

// The form colour around the canvas (button face).
constexpr int kFormColourIndex = 15;

// Sets BulkMode for the length of a bulk redraw and clears it at the end, whatever way
// the redraw is left.
class BulkScope {
 public:
  explicit BulkScope(EditorState& state) : state_(state) { state_.BulkMode = true; }
  ~BulkScope() { state_.BulkMode = false; }
  BulkScope(const BulkScope&) = delete;
  BulkScope& operator=(const BulkScope&) = delete;

 private:
  EditorState& state_;
};

// The hourglass while a whole page is drawn again (only where there is a GUI).
class BusyCursor {
 public:
  BusyCursor() : active_(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    if (active_) QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~BusyCursor() {
    if (active_) QApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool active_;
};

}  // namespace

TStructureP::TStructureP(model::ProjectImage& image, EditorState& state, int pageNumber,
                         QWidget* parent)
    : QWidget(parent), image_(image), state_(state), pageNumber_(pageNumber),
      scene_(image, pageNumber) {
  InstallSongSubstitution();
  setObjectName(QStringLiteral("StructureP"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setProperty("Tag", pageNumber_);
  CreateMenus();
  state_.PageWidth = scene_.Width();
  state_.PageHeight = scene_.Height();
  FitToCanvas();
  StructureGridding();
  UpdateCaption();
  {
    BulkScope bulk(state_);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      if (image_.Page(pageNumber_).ElemKind[static_cast<std::size_t>(slot)] == 0) continue;
      state_.CurrentSlot = slot;
      OrganEstablish();
    }
  }
}

TStructureP::~TStructureP() = default;

QString TStructureP::Caption() const { return FromGbk(PageCaptionBytes(image_.Page(pageNumber_))); }

void TStructureP::UpdateCaption() {
  setWindowTitle(Caption());
  setAccessibleName(Caption());
}

void TStructureP::RenumberPage(int pageNumber) {
  pageNumber_ = pageNumber;
  scene_.SetPage(pageNumber);
  setProperty("Tag", pageNumber_);
  UpdateCaption();
}

void TStructureP::FitToCanvas() {
  setFixedSize(scene_.Width() + 2 * kCanvasOffset, scene_.Height() + 2 * kCanvasOffset);
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->adjustSize();
}

void TStructureP::ApplyOwnSize() {
  if (auto size = PageOwnSizeOf(image_.Page(pageNumber_))) {
    scene_.Resize(*size);
    state_.PageWidth = size->width;
    state_.PageHeight = size->height;
    FitToCanvas();
  }
  StructureGridding();
}

void TStructureP::StructureGridding() {
  scene_.DrawCanvas(GridOf(state_));
  update();
}

void TStructureP::AfterDraw(const ElementImage* element) {
  // Drawn on its own (not in a bulk redraw), the element is the selected one.
  if (element != nullptr && !state_.BulkMode) {
    selectionFrame_ = element->bounds;
    selectedSlot_ = element->slot;
  }
  update();
}

void TStructureP::OrganEstablish() { AfterDraw(scene_.Establish(state_.CurrentSlot, Settings())); }

void TStructureP::OrganRedraw() { AfterDraw(scene_.Redraw(state_.CurrentSlot, Settings())); }

void TStructureP::OrganRepaint() {
  const int index = state_.RepaintCursor;
  if (index < 0 || index >= static_cast<int>(SelList.size())) return;
  ++state_.RepaintCursor;
  state_.CurrentSlot = SelList[static_cast<std::size_t>(index)];
  AfterDraw(scene_.Repaint(state_.CurrentSlot, Settings()));
}

void TStructureP::PageRefresh() {
  BusyCursor busy;
  {
    BulkScope bulk(state_);
    scene_.Clear();
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      if (image_.Page(pageNumber_).ElemKind[static_cast<std::size_t>(slot)] == 0) continue;
      state_.CurrentSlot = slot;
      OrganEstablish();
    }
  }
  update();
}

void TStructureP::BitPreviewRefresh() {
  {
    BulkScope bulk(state_);
    const RenderSettings settings = Settings();
    scene_.RedrawKind(34, settings);
    scene_.RedrawKind(3, settings);
  }
  Deselect();
}

void TStructureP::FormActivate() {
  entered_ = true;
  state_.CurrentPage = pageNumber_;
  StructureGridding();
  state_.PageWidth = scene_.Width();
  state_.PageHeight = scene_.Height();
  Deselect();
  emit Activated(pageNumber_);
}

void TStructureP::EnterPage() {
  if (entered_ && state_.CurrentPage == pageNumber_) return;
  FormActivate();
}

void TStructureP::LeavePage() {
  entered_ = false;
  HideGhost();
}

bool TStructureP::IsActivePage() const {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (sub == nullptr || sub->mdiArea() == nullptr) return true;
  return sub->mdiArea()->currentSubWindow() == sub;
}

int TStructureP::SlotAt(QPoint windowPoint) const { return scene_.SlotAt(windowPoint); }

bool TStructureP::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // F12 shows the selected element's hint here; with nothing selected it stays the
    // main window's shortcut.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F12 && key->modifiers() == Qt::NoModifier && (HasSelection() || HasAreaSelection())) {
      event->accept();
      return true;
    }
  }
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const ElementImage* element = Element(SlotAt(help->pos()));
    if (element != nullptr) {
      QToolTip::showText(help->globalPos(), element->Hint(pageNumber_), this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QWidget::event(event);
}

void TStructureP::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.fillRect(rect(), ResolveQColor(SystemColour(kFormColourIndex)));
  scene_.Paint(painter);
  PaintArea(painter);
  PaintSelection(painter);
}

void TStructureP::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A window on its own (not inside a multiple-document area) activates like a form.
  if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) EnterPage();
}

QImage TStructureP::PagePicture() const {
  QImage picture(width(), height(), QImage::Format_RGB32);
  if (picture.isNull()) return picture;
  picture.fill(ResolveQColor(SystemColour(kFormColourIndex)));
  QPainter painter(&picture);
  scene_.Paint(painter);
  return picture;
}

// ---- page windows in the main window's area ----

namespace {

// The page window a sub-window holds; nullptr for other sub-windows and for one that has
// been closed and waits to be deleted.
TStructureP* PageWindowOf(QMdiSubWindow* sub) {
  if (sub == nullptr || sub->isHidden()) return nullptr;
  return qobject_cast<TStructureP*>(sub->widget());
}

}  // namespace

TStructureP* FindPageWindow(QMdiArea& area, int pageNumber) {
  for (QMdiSubWindow* sub : area.subWindowList()) {
    TStructureP* window = PageWindowOf(sub);
    if (window != nullptr && window->PageNumber() == pageNumber) return window;
  }
  return nullptr;
}

// The area's current sub-window, not its active one: the active one is nothing while the
// program is inactive (another program or, for a moment, a menu has the focus), and the
// page being edited must not be forgotten then.
TStructureP* ActivePageWindow(QMdiArea& area) { return PageWindowOf(area.currentSubWindow()); }

TStructureP* OpenPageWindow(QMdiArea& area, model::ProjectImage& image, EditorState& state,
                            Bilingual* failure) {
  const int page = state.CurrentPage;
  if (TStructureP* open = FindPageWindow(area, page)) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) {
      sub->showNormal();
      area.setActiveSubWindow(sub);
    }
    return open;
  }
  auto fail = [failure]() -> TStructureP* {
    if (failure != nullptr) *failure = kTooManyWindowsMessage;
    return nullptr;
  };
  int openWindows = 0;
  for (QMdiSubWindow* sub : area.subWindowList()) openWindows += PageWindowOf(sub) != nullptr;
  if (page < 1 || page > model::kMaxPage || openWindows >= kMaxOpenPageWindows) return fail();

  auto window = std::make_unique<TStructureP>(image, state, page);
  if (window->Scene().Canvas().isNull()) return fail();
  TStructureP* raw = window.get();
  QMdiSubWindow* sub = area.addSubWindow(window.release(), Qt::SubWindow | Qt::WindowTitleHint |
                                                               Qt::WindowSystemMenuHint |
                                                               Qt::WindowMinimizeButtonHint |
                                                               Qt::WindowCloseButtonHint);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(raw->Caption());
  QObject::connect(raw, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
  QObject::connect(&area, &QMdiArea::subWindowActivated, raw, [raw, sub](QMdiSubWindow* active) {
    if (active == sub) {
      raw->EnterPage();
    } else if (active != nullptr) {
      raw->LeavePage();
    } else {
      // The main window went inactive: the page stays the one being edited.
      raw->HideGhost();
    }
  });
  sub->adjustSize();
  sub->show();
  area.setActiveSubWindow(sub);
  return raw;
}

void CloseAllPageWindows(QMdiArea& area) {
  const QList<QMdiSubWindow*> subs = area.subWindowList();
  for (QMdiSubWindow* sub : subs) {
    if (qobject_cast<TStructureP*>(sub->widget()) == nullptr) continue;
    // Out of the area at once; deleted once control is back in the event loop, so a
    // command started from inside a page window may close it too.
    sub->hide();
    area.removeSubWindow(sub);
    sub->deleteLater();
  }
}

// ---- printing and picture export ----

bool PrintPicture(QPrinter& printer, const QImage& picture) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // The picture keeps its size on paper (96 pixels to the inch), unless it is larger
  // than the printable area, which it is then scaled down to.
  const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
  const double dotsPerPixel = printer.resolution() / 96.0;
  QSizeF size(picture.width() * dotsPerPixel, picture.height() * dotsPerPixel);
  if (size.width() > area.width() || size.height() > area.height()) {
    size.scale(area.width(), area.height(), Qt::KeepAspectRatio);
  }
  painter.drawImage(QRectF(QPointF(0, 0), size), picture);
  return painter.end();
}

void PreparePagePrinter(QPrinter& printer) {
  printer.setPageOrientation(QPageLayout::Portrait);
}

void PrintPageWindow(TStructureP& window, QWidget* dialogParent) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePagePrinter(printer);
  QPrintDialog dialog(&printer, dialogParent);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintPicture(printer, window.PagePicture());
}

PictureExportTexts BitmapExportTexts(bool isChinese, const QString& defaultName) {
  PictureExportTexts texts;
  texts.title = isChinese ? QStringLiteral("输出图形为BMP格式")
                          : QStringLiteral("Graphics output format for the BMP");
  // "Bitmap file(*.bmp)|*.bmp|All files(*.*)|*.*" in Qt's filter spelling.
  texts.filter = QStringLiteral("Bitmap file(*.bmp);;All files(*.*)");
  texts.defaultSuffix = QStringLiteral("bmp");
  texts.defaultName = defaultName;
  return texts;
}

PictureExportTexts ExportTexts(const TStructureP& window, bool isChinese) {
  const auto& page = window.Scene().Record();
  return BitmapExportTexts(isChinese, FromGbk(page.PageStrings[model::kPageNumberText].View()) +
                                          (isChinese ? QStringLiteral("号画面") : QStringLiteral("#Window")));
}

Status SaveBitmapFile(const QImage& picture, const QString& path) {
  if (picture.isNull()) return Error{"the picture could not be made"};
  const std::vector<std::uint8_t> bytes = platform::EncodeBmp(ToRgbImage(picture));
  return platform::WriteFileAtomic(std::filesystem::path(path.toStdString()), bytes);
}

Status SavePagePicture(const TStructureP& window, const QString& path) {
  return SaveBitmapFile(window.PagePicture(), path);
}

void ExportPagePicture(TStructureP& window, QWidget* dialogParent) {
  window.Deselect();
  const bool isChinese = window.IsChinese();
  const PictureExportTexts texts = ExportTexts(window, isChinese);
  QFileDialog dialog(dialogParent, texts.title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(texts.filter.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(texts.defaultSuffix);
  dialog.selectFile(texts.defaultName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const Status saved = SavePagePicture(window, dialog.selectedFiles().front());
  if (!saved) {
    QMessageBox::warning(dialogParent, QStringLiteral("Dravik "),
                         QString::fromStdString(saved.message()));
  }
}

}  // namespace dravik::editor
