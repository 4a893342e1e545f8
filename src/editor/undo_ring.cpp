#include "editor/undo_ring.h"

#include <algorithm>

namespace dravik::editor {

UndoOutcome UndoRing::EditFileBackup(const model::PageRecord& page, int pageNumber) {
  if (pageNumber <= 0) return {};
  if (pageNumber != snapshotPage_) StartHistory(page, pageNumber);
  if (restored_) KeepOnlyRestoredState();
  Push(page);
  return {.pageRestored = false, .enableSave = true};
}

UndoOutcome UndoRing::ActivationSnapshot(const model::PageRecord& page, int pageNumber) {
  UndoOutcome outcome = EditFileBackup(page, pageNumber);
  outcome.enableSave = false;
  return outcome;
}

UndoOutcome UndoRing::Undo(model::PageRecord& page, int pageNumber) {
  if (pageNumber != snapshotPage_ || !CanUndo()) return {};
  ++undoPos_;
  if (undoPos_ >= undoDepth_) undoEnabled_ = false;
  return Bring(page);
}

UndoOutcome UndoRing::Redo(model::PageRecord& page, int pageNumber) {
  if (pageNumber != snapshotPage_ || !CanRedo()) return {};
  --undoPos_;
  if (undoPos_ == 0) redoEnabled_ = false;
  return Bring(page);
}

void UndoRing::UpdateUndoCommands() {
  if (CanUndo()) undoEnabled_ = true;
  if (CanRedo()) redoEnabled_ = true;
}

void UndoRing::Forget() {
  snapshotPage_ = 0;
  restored_ = false;
  undoPos_ = 0;
  undoDepth_ = -1;
  DisableCommands();
}

void UndoRing::StartHistory(const model::PageRecord& page, int pageNumber) {
  snapshotPage_ = pageNumber;
  restored_ = false;
  DisableCommands();
  ring_[0] = page;
  undoPos_ = 0;
  undoDepth_ = -1;
}

// An edit after Undo or Redo: the state that was brought back becomes the only step back,
// and whatever Redo could still have reached is dropped.
void UndoRing::KeepOnlyRestoredState() {
  restored_ = false;
  DisableCommands();
  if (undoPos_ != 0) ring_[0] = ring_[undoPos_];
  undoPos_ = 0;
  undoDepth_ = 0;
}

void UndoRing::Push(const model::PageRecord& page) {
  for (int slot = kSnapshots - 1; slot > 0; --slot) ring_[slot] = ring_[slot - 1];
  ring_[0] = page;
  undoDepth_ = std::min(undoDepth_ + 1, kSnapshots - 1);
}

UndoOutcome UndoRing::Bring(model::PageRecord& page) {
  page = ring_[undoPos_];
  restored_ = true;
  return {.pageRestored = true, .enableSave = true};
}

}  // namespace dravik::editor
