#pragma once
// Undo and redo of the page being edited, as whole-page snapshots in a ring of six. Slot 0
// holds the newest state, slot k the state k steps back. The history belongs to one page:
// a snapshot of another page starts a new one.
//
// The ring also keeps the enabled state of the two commands the way the editor shows them:
// the steps below only ever disable them, and UpdateUndoCommands (run by the main
// window's clock) only enables them. What the page window must do after a step (redraw,
// clear its selection, enable Save) comes back as an UndoOutcome.
//
// Editing that goes on in a burst (dragging, resizing, arrow-key nudges) needs nothing
// special: one EditFileBackup when the burst ends makes the whole burst one step.

#include "model/page_record.h"
#include "model/snapshot_ring.h"

namespace dravik::editor {

struct UndoOutcome {
  bool pageRestored = false;  // the page was overwritten: redraw it and clear its selection
  bool enableSave = false;
  bool operator==(const UndoOutcome&) const = default;
};

class UndoRing {
 public:
  static constexpr int kSnapshots = model::SnapshotRing<model::PageRecord>::kSnapshots;

  UndoRing() = default;
  UndoRing(const UndoRing&) = delete;
  UndoRing& operator=(const UndoRing&) = delete;

  // The snapshot after an edit of page `pageNumber` (whose record is `page`).
  UndoOutcome EditFileBackup(const model::PageRecord& page, int pageNumber);
  // The snapshot a page window takes when it becomes the active one: entering a page
  // leaves the page as it was entered as the state to come back to, with nothing to undo
  // yet. Activating is no edit, so it does not ask for Save.
  UndoOutcome ActivationSnapshot(const model::PageRecord& page, int pageNumber);

  // One step back or forward on page `pageNumber`. A step that is not possible, or a page
  // the history does not belong to, changes nothing.
  UndoOutcome Undo(model::PageRecord& page, int pageNumber);
  UndoOutcome Redo(model::PageRecord& page, int pageNumber);

  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  // Enables the commands that can act; disabling is left to the steps.
  void UpdateUndoCommands();
  bool UndoEnabled() const { return undoEnabled_; }
  bool RedoEnabled() const { return redoEnabled_; }

  // Drops the history: for a project that is closed, opened or created, and for the page
  // whose history this is when it is deleted or replaced, so that no snapshot of it can
  // be brought back over another page of the same number.
  void Forget();

  int UndoPos() const { return history_.Pos(); }
  int UndoDepth() const { return history_.Depth(); }
  bool Restored() const { return history_.Restored(); }
  int SnapshotPage() const { return snapshotPage_; }

 private:
  void DisableCommands() { undoEnabled_ = redoEnabled_ = false; }

  model::SnapshotRing<model::PageRecord> history_;
  int snapshotPage_ = 0;  // 0: none
  bool undoEnabled_ = false;
  bool redoEnabled_ = false;
};

}  // namespace dravik::editor
