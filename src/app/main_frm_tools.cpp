// The main window's project tools: multiple copy of the selected element, batch modify over
// a page range, the register search beside the editor with its jump to a found element,
// the element statistics of the current page and the used-data preview of the active page.

#include <QComboBox>
#include <QTimer>

#include "app/icon_set.h"
#include "app/main_frm.h"
#include "editor/ui/structure_page.h"
#include "tools/multiple_copy.h"
#include "tools/ui/batch_perfect_frm.h"
#include "tools/ui/count_stat_frm.h"
#include "tools/ui/for_use_dpreview.h"
#include "tools/ui/lookup_frm.h"
#include "tools/ui/mulriple_copy_frm.h"

namespace dravik::app {

void TMainFrm::ConnectToolWindows(tools::TLookupFrm& lookup) {
  lookup.SetRowIcon(DravikIcon(QStringLiteral("register_search")));
  connect(&lookup, &tools::TLookupFrm::jumpRequested, this, [this](int page, int slot) {
    if (!session_.ProjectOpen || !image_->IsPageUsed(page)) return;
    OpenPageWindow(page);
    // Activating a page window deselects in it, which would take the mark away again:
    // the mark follows once the activation has run.
    QTimer::singleShot(0, this, [this, page, slot] {
      editor::TStructureP* window = ActivePageWindow();
      if (window != nullptr && window->PageNumber() == page) window->MarkElement(slot);
    });
  });
}

void TMainFrm::MultipleCopy() {
  editor::TStructureP* window = ActivePageWindow();
  if (!session_.ProjectOpen || window == nullptr || !window->HasSelection()) return;
  const int page = window->PageNumber();
  const int slot = window->SelectedSlot();
  tools::TMulripleCopyFrm::Target target;
  // The copy goes through the clipboard as Copy does, and is taken back at once: the
  // copies are pastes of the clipboard page.
  target.copySelected = [this, page, slot]() -> model::PageRecord* {
    if (!CopyPageRecordToTemp(page, editor::ElementMarker{slot})) return nullptr;
    ReceiveClipboardData();
    return clipboard_.ClipboardCode() == slot ? &clipboard_.ClipboardPage() : nullptr;
  };
  target.sourceSlot = slot;
  target.page = &image_->Page(page);
  target.pageSize = {window->CanvasWidth(), window->CanvasHeight()};
  target.rules = tools::AddressStepRulesOf(deviceLists_, image_->Settings());
  target.elementCreated = [this, window](int created) {
    state_.CurrentSlot = created;
    window->OrganEstablish();
  };
  target.snapshot = [this, window] { ElementEdited(window); };
  window->Deselect();
  auto* form = Dialog<tools::TMulripleCopyFrm>();
  form->SetDesktopHooks(hooks_.desktop);
  form->ShowFor(target);
}

void TMainFrm::BatchModify() {
  if (!session_.ProjectOpen) return;
  tools::TBatchPerfectFrm::Project project;
  project.image = image_.get();
  project.currentPage = state_.CurrentPage;
  // The batch writes pages outside the page undo, whose snapshots would bring them back
  // as they were before it: the page undo starts anew.
  project.closeAllPageWindows = [this] {
    editor::CloseAllPageWindows(*mdi_);
    ForgetUndoHistory();
  };
  project.pageCountRefresh = [this] { PageCountRefresh(); };
  auto* form = Dialog<tools::TBatchPerfectFrm>();
  form->SetDesktopHooks(hooks_.desktop);
  if (form->ShowFor(project)) MarkModified();
}

void TMainFrm::ShowRegisterSearch() {
  if (!session_.ProjectOpen) return;
  auto* lookup = Dialog<tools::TLookupFrm>();
  lookup->SetHooks(hooks_.desktop);
  lookup->Attach(*image_, deviceLists_);
  lookup->ShowLookup();
}

void TMainFrm::ShowStatistics() {
  if (!session_.ProjectOpen || !image_->IsPageUsed(state_.CurrentPage)) return;
  auto* statistics = Dialog<tools::TCountStatFrm>();
  statistics->SetHooks(hooks_.desktop);
  statistics->ShowStatistics(*image_, state_.CurrentPage);
}

void TMainFrm::ShowUsedDataPreview() {
  editor::TStructureP* window = ActivePageWindow();
  if (!session_.ProjectOpen || window == nullptr) return;
  auto* preview = Dialog<tools::TForUseDpreview>();
  preview->SetHooks(hooks_.desktop);
  preview->ShowPreview(*window, deviceLists_, PreviewRatio());
}

void TMainFrm::ForgetBatchUndo() {
  // The batch undo belongs to the project it was made in.
  if (auto* batch = Dialog<tools::TBatchPerfectFrm>()) batch->ForgetUndo();
}

QString TMainFrm::PreviewRatio() const {
  return zoomBox_ != nullptr ? zoomBox_->currentText() : QStringLiteral("100%");
}

}  // namespace dravik::app
