#pragma once
// Undo and redo as whole snapshots in a ring of six: slot 0 holds the newest state, slot k
// the state k steps back. The page editor keeps pages in it, the macro editor its 100
// macro rows.
//
// An edit after Undo or Redo keeps the state that was brought back as the only step back
// and drops whatever Redo could still have reached, so an edit never lands on top of a
// history it no longer belongs to.

#include <algorithm>
#include <memory>

namespace dravik::model {

template <class Snapshot>
class SnapshotRing {
 public:
  static constexpr int kSnapshots = 6;

  SnapshotRing() : ring_(std::make_unique<Snapshot[]>(kSnapshots)) {}
  SnapshotRing(const SnapshotRing&) = delete;
  SnapshotRing& operator=(const SnapshotRing&) = delete;

  // Starts a new history whose first snapshot is `state`, with nothing to undo.
  void Start(const Snapshot& state) {
    Forget();
    ring_[0] = state;
    Push(state);
  }

  // The snapshot after an edit. Without Start the first one starts the history.
  void Push(const Snapshot& state) {
    if (restored_) KeepOnlyRestoredState();
    for (int slot = kSnapshots - 1; slot > 0; --slot) ring_[slot] = ring_[slot - 1];
    ring_[0] = state;
    depth_ = std::min(depth_ + 1, kSnapshots - 1);
  }

  // One step back or forward into `state`; false (and `state` untouched) when there is
  // no such step.
  bool Undo(Snapshot& state) {
    if (!CanUndo()) return false;
    ++pos_;
    return Bring(state);
  }
  bool Redo(Snapshot& state) {
    if (!CanRedo()) return false;
    --pos_;
    return Bring(state);
  }

  bool CanUndo() const { return pos_ < depth_; }
  bool CanRedo() const { return pos_ > 0; }

  // No history: nothing to undo or redo until the next snapshot.
  void Forget() {
    restored_ = false;
    pos_ = 0;
    depth_ = -1;
  }

  int Pos() const { return pos_; }
  int Depth() const { return depth_; }
  bool Restored() const { return restored_; }

 private:
  void KeepOnlyRestoredState() {
    restored_ = false;
    if (pos_ != 0) ring_[0] = ring_[pos_];
    pos_ = 0;
    depth_ = 0;
  }

  bool Bring(Snapshot& state) {
    state = ring_[pos_];
    restored_ = true;
    return true;
  }

  std::unique_ptr<Snapshot[]> ring_;
  int pos_ = 0;
  int depth_ = -1;  // -1: no snapshot yet
  bool restored_ = false;
};

}  // namespace dravik::model
