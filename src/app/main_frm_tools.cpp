// The main window's project tools: the register search beside the editor with its jump to
// a found element, the element statistics of the current page and the used-data preview of
// the active page.

#include <QComboBox>
#include <QTimer>

#include "app/icon_set.h"
#include "app/main_frm.h"
#include "editor/ui/structure_page.h"
#include "tools/ui/count_stat_frm.h"
#include "tools/ui/for_use_dpreview.h"
#include "tools/ui/lookup_frm.h"

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

QString TMainFrm::PreviewRatio() const {
  return zoomBox_ != nullptr ? zoomBox_->currentText() : QStringLiteral("100%");
}

}  // namespace dravik::app
