// The main window's element commands over the active page window: the kind commands,
// undo and redo over the page's snapshots, cut, copy and paste of an element through the
// clipboard shared by running instances, lock and unlock, and send to bottom.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include "app/main_frm.h"
#include "app/page_clipboard.h"
#include "app/shell_texts.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "model/project_session.h"

namespace dravik::app {

// ---------------------------------------------------------------------------------------
// The page windows' reports

void TMainFrm::ConnectPageWindow(editor::TStructureP* window) {
  // A window that is already open is handed back when its page is opened again.
  static constexpr char kConnected[] = "dravikConnected";
  if (window->property(kConnected).toBool()) return;
  window->setProperty(kConnected, true);
  window->SetHooks(&hooks_.desktop);
  // No property dialog exists yet: a double-click draws the element again and takes the
  // snapshot, as for a kind without a dialog. The dialogs will be opened from here, by
  // the slot's kind.
  connect(window, &editor::TStructureP::SelectionChanged, this, &TMainFrm::UpdateCommandStates);
  connect(window, &editor::TStructureP::ElementDescribed, this, [this](const QString& text) { ShowStatus(0, text); });
  connect(window, &editor::TStructureP::PointerMoved, this, [this](const QString& text) { ShowStatus(3, text); });
  connect(window, &editor::TStructureP::Edited, this, [this, window] { ElementEdited(window); });
  connect(window, &editor::TStructureP::CutRequested, this, &TMainFrm::CutElements);
  connect(window, &editor::TStructureP::CopyRequested, this, &TMainFrm::CopyElements);
  connect(window, &editor::TStructureP::PasteRequested, this, &TMainFrm::PasteElements);
  connect(window, &editor::TStructureP::PageAttributesRequested, this, &TMainFrm::EditPageAttributes);
}

void TMainFrm::ElementEdited(editor::TStructureP* window) {
  const int page = window->PageNumber();
  const editor::UndoOutcome outcome = undoRing_.EditFileBackup(image_->Page(page), page);
  if (outcome.enableSave) {
    MarkModified();
  } else {
    UpdateCommandStates();
  }
}

void TMainFrm::ForgetUndoHistory() {
  undoRing_.Forget();
  snapshotWindow_ = nullptr;
}

void TMainFrm::UpdateEditCommands(bool projectOpen) {
  editor::TStructureP* window = ActivePageWindow();
  const bool editing = projectOpen && window != nullptr;
  const bool selected = editing && window->HasSelection();
  const bool locked = selected && window->SelectedLocked();
  const bool paste = editing && clipboard_.EnabledPaste() == editor::PasteCommand::Element;
  Command("Undo1")->setEnabled(editing && undoRing_.UndoEnabled());
  Command("Redo1")->setEnabled(editing && undoRing_.RedoEnabled());
  Command("Cut1")->setEnabled(selected);
  Command("Copy1")->setEnabled(selected);
  Command("Paste1")->setEnabled(paste);
  Command("Lock1")->setEnabled(selected && !locked);
  Command("Unlock1")->setEnabled(locked);
  Command("SendToBack1")->setEnabled(selected && window->CanSendToBack());
  if (window != nullptr) window->SetPasteEnabled(paste);
}

// ---------------------------------------------------------------------------------------
// Kinds

void TMainFrm::ChooseKind(int kind) {
  if (!session_.ProjectOpen) return;
  state_.PlaceKind = kind;
}

void TMainFrm::ChoosePictureKind() {
  if (session_.ProjectFileName == model::kUnsavedProjectName) {
    Warn(kSaveNewProjectFirst);
    SaveProject();
    return;
  }
  ChooseKind(elements::kKindPicture);
}

// ---------------------------------------------------------------------------------------
// Undo and redo

void TMainFrm::AfterUndoStep(editor::TStructureP* window, const editor::UndoOutcome& outcome) {
  if (outcome.pageRestored) {
    window->PageRefresh();
    window->Deselect();
  }
  if (outcome.enableSave) {
    MarkModified();
  } else {
    UpdateCommandStates();
  }
}

void TMainFrm::Undo() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr) return;
  const int page = window->PageNumber();
  AfterUndoStep(window, undoRing_.Undo(image_->Page(page), page));
}

void TMainFrm::Redo() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr) return;
  const int page = window->PageNumber();
  AfterUndoStep(window, undoRing_.Redo(image_->Page(page), page));
}

// ---------------------------------------------------------------------------------------
// The element clipboard

bool TMainFrm::CopyPageRecordToTemp(int pageNumber, int code) {
  const Status written = WriteClipboardFile(workDir_, image_->Page(pageNumber));
  if (!written) {
    Warn({kClipboardFileFailed.chinese + written.message(), kClipboardFileFailed.english + written.message()});
    return false;
  }
  lastMarkerSent_ = ClipboardMarker(code);
  QGuiApplication::clipboard()->setText(QString::fromStdString(lastMarkerSent_));
  return true;
}

void TMainFrm::CopyElements() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || !window->HasSelection()) return;
  CopyPageRecordToTemp(window->PageNumber(), window->SelectedSlot());
}

void TMainFrm::CutElements() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || !window->HasSelection()) return;
  // Nothing is deleted unless its copy is safely in the work file.
  if (!CopyPageRecordToTemp(window->PageNumber(), window->SelectedSlot())) return;
  window->OrganDelete();
  ElementEdited(window);
}

void TMainFrm::PasteElements() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || clipboard_.EnabledPaste() != editor::PasteCommand::Element) return;
  const int page = window->PageNumber();
  SetBusy(true);
  const editor::PasteOutcome outcome =
      clipboard_.Paste(image_->Page(page), {window->CanvasWidth(), window->CanvasHeight()});
  for (const int slot : outcome.PickList) {
    state_.CurrentSlot = slot;
    window->OrganEstablish();
  }
  SetBusy(false);
  for (int i = 0; i < outcome.notPasted; ++i) Warn(model::kNoFreeSlotMessage);
  if (outcome.PickList.empty()) return;
  if (outcome.PickList.size() == 1) window->SelectOrgan(outcome.PickList.front());
  ElementEdited(window);
}

// ---------------------------------------------------------------------------------------
// Lock and drawing order

void TMainFrm::SetElementLock(int lockValue) {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || !window->HasSelection()) return;
  window->LockValue = lockValue;
  if (window->SelectedLocked() != (lockValue == 1)) window->N3Click();
}

void TMainFrm::SendToBack() {
  if (editor::TStructureP* window = ActivePageWindow()) window->MovSubstrateNClick();
}

}  // namespace dravik::app
