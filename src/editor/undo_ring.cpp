#include "editor/undo_ring.h"

namespace dravik::editor {

namespace {

constexpr UndoOutcome kPageRestored{.pageRestored = true, .enableSave = true};

}  // namespace

UndoOutcome UndoRing::EditFileBackup(const model::PageRecord& page, int pageNumber) {
  if (pageNumber <= 0) return {};
  if (pageNumber != snapshotPage_) {
    snapshotPage_ = pageNumber;
    DisableCommands();
    history_.Start(page);
  } else {
    // An edit after Undo or Redo leaves nothing to redo.
    if (history_.Restored()) DisableCommands();
    history_.Push(page);
  }
  return {.pageRestored = false, .enableSave = true};
}

UndoOutcome UndoRing::ActivationSnapshot(const model::PageRecord& page, int pageNumber) {
  UndoOutcome outcome = EditFileBackup(page, pageNumber);
  outcome.enableSave = false;
  return outcome;
}

UndoOutcome UndoRing::Undo(model::PageRecord& page, int pageNumber) {
  if (pageNumber != snapshotPage_ || !history_.Undo(page)) return {};
  if (!CanUndo()) undoEnabled_ = false;
  return kPageRestored;
}

UndoOutcome UndoRing::Redo(model::PageRecord& page, int pageNumber) {
  if (pageNumber != snapshotPage_ || !history_.Redo(page)) return {};
  if (!CanRedo()) redoEnabled_ = false;
  return kPageRestored;
}

void UndoRing::UpdateUndoCommands() {
  if (CanUndo()) undoEnabled_ = true;
  if (CanRedo()) redoEnabled_ = true;
}

void UndoRing::Forget() {
  snapshotPage_ = 0;
  history_.Forget();
  DisableCommands();
}

}  // namespace dravik::editor
