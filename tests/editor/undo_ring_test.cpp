// Undo and redo over the ring of whole-page snapshots.

#include "editor/undo_ring.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace dravik::editor {
namespace {

constexpr int kPage = 1;
constexpr int kOtherPage = 2;

// A page window on page 1 with a ring, where every edit gives the page a new state
// number (kept in the first element's left edge) so that a restored page shows which
// state it is.
class EditedPage {
 public:
  EditedPage() { ring.ActivationSnapshot(*page, kPage); }

  // One user step: 'E' an edit with its snapshot, 'M' a move that takes none, 'B' the
  // snapshot at the end of a burst of moves, 'U' Undo, 'R' Redo, 'S' switching to another
  // page window and back.
  void Run(const std::string& steps) {
    for (char step : steps) {
      switch (step) {
        case 'E':
          SetState(++lastState_);
          ring.EditFileBackup(*page, kPage);
          break;
        case 'M':
          SetState(++lastState_);
          break;
        case 'B':
          ring.EditFileBackup(*page, kPage);
          break;
        case 'U':
          ring.Undo(*page, kPage);
          break;
        case 'R':
          ring.Redo(*page, kPage);
          break;
        case 'S':
          ring.ActivationSnapshot(*other, kOtherPage);
          ring.ActivationSnapshot(*page, kPage);
          break;
        default:
          FAIL() << "unknown step " << step;
      }
    }
  }

  int State() const { return page->ElemLeft[0]; }

  std::unique_ptr<model::PageRecord> page = std::make_unique<model::PageRecord>();
  std::unique_ptr<model::PageRecord> other = std::make_unique<model::PageRecord>();
  UndoRing ring;

 private:
  void SetState(int state) { page->ElemLeft[0] = static_cast<std::uint16_t>(state); }
  int lastState_ = 0;
};

struct Sequence {
  const char* name;
  const char* steps;
  int state;  // the page's state afterwards (0 = as entered, n = after the nth change)
  bool canUndo;
  bool canRedo;
};

class UndoSequence : public testing::TestWithParam<Sequence> {};

TEST_P(UndoSequence, LeavesThePageInTheExpectedState) {
  const Sequence& s = GetParam();
  EditedPage edited;
  edited.Run(s.steps);
  EXPECT_EQ(edited.State(), s.state);
  EXPECT_EQ(edited.ring.CanUndo(), s.canUndo);
  EXPECT_EQ(edited.ring.CanRedo(), s.canRedo);
}

INSTANTIATE_TEST_SUITE_P(
    UndoRing, UndoSequence,
    testing::Values(
        Sequence{"NothingToUndoOnEntering", "U", 0, false, false},
        Sequence{"TwoEditsUndoUndoIsBackAsEntered", "EEUU", 0, false, true},
        Sequence{"TwoEditsUndoRedoIsAfterTheSecondEdit", "EEUR", 2, true, false},
        Sequence{"SevenEditsFiveUndosReachTheSecondEdit", "EEEEEEEUUUUU", 2, false, true},
        Sequence{"ASixthUndoIsNotPossible", "EEEEEEEUUUUUU", 2, false, true},
        Sequence{"AnEditAfterUndoKeepsOnlyTheRestoredStateBack", "EEUEU", 1, false, true},
        Sequence{"AnEditAfterRedoKeepsOnlyTheRestoredStateBack", "EEUREU", 2, false, true},
        Sequence{"SwitchingPagesEmptiesTheHistory", "EESU", 2, false, false},
        Sequence{"AMoveWithoutSnapshotIsLostToRedo", "EMUR", 1, true, false},
        Sequence{"ABurstOfMovesEndingInASnapshotCanBeRedone", "EMMBUR", 3, true, false},
        // Redo with nothing to redo leaves alone what was changed since the last snapshot.
        Sequence{"RedoWithNothingToRedoKeepsThePage", "EEMR", 3, true, false}),
    [](const testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

TEST(UndoRing, CommandsAreEnabledByTheClockAndDisabledByTheSteps) {
  EditedPage edited;
  UndoRing& ring = edited.ring;
  edited.Run("EE");
  EXPECT_FALSE(ring.UndoEnabled());  // an edit enables nothing by itself
  ring.UpdateUndoCommands();
  EXPECT_TRUE(ring.UndoEnabled());
  EXPECT_FALSE(ring.RedoEnabled());

  edited.Run("UU");
  EXPECT_FALSE(ring.UndoEnabled());  // the last step back disables Undo
  ring.UpdateUndoCommands();
  EXPECT_TRUE(ring.RedoEnabled());
  edited.Run("RR");
  EXPECT_FALSE(ring.RedoEnabled());
  ring.UpdateUndoCommands();
  EXPECT_TRUE(ring.UndoEnabled());

  edited.Run("S");
  EXPECT_FALSE(ring.UndoEnabled());
  EXPECT_FALSE(ring.RedoEnabled());
}

TEST(UndoRing, TellsTheCallerWhatToDo) {
  EditedPage edited;
  UndoRing& ring = edited.ring;
  EXPECT_EQ(ring.ActivationSnapshot(*edited.page, kPage), (UndoOutcome{false, false}));
  EXPECT_EQ(ring.EditFileBackup(*edited.page, kPage), (UndoOutcome{false, true}));
  EXPECT_EQ(ring.Undo(*edited.page, kPage), (UndoOutcome{true, true}));
  EXPECT_EQ(ring.Redo(*edited.page, kPage), (UndoOutcome{true, true}));
  EXPECT_EQ(ring.Redo(*edited.page, kPage), UndoOutcome{});
}

TEST(UndoRing, NeverRestoresOverAnotherPage) {
  EditedPage edited;
  edited.Run("EE");
  edited.other->ElemLeft[0] = 77;
  EXPECT_EQ(edited.ring.Undo(*edited.other, kOtherPage), UndoOutcome{});
  EXPECT_EQ(edited.other->ElemLeft[0], 77);
}

TEST(UndoRing, WithoutAnySnapshotThereIsNothingToBringBack) {
  UndoRing ring;
  auto page = std::make_unique<model::PageRecord>();
  page->ElemLeft[0] = 9;
  EXPECT_EQ(ring.Undo(*page, kPage), UndoOutcome{});
  EXPECT_EQ(ring.Redo(*page, kPage), UndoOutcome{});
  EXPECT_EQ(page->ElemLeft[0], 9);
}

TEST(UndoRing, AForgottenHistoryStartsAfreshOnTheSamePageNumber) {
  EditedPage edited;
  edited.Run("EE");
  edited.ring.Forget();
  EXPECT_FALSE(edited.ring.CanUndo());
  edited.ring.ActivationSnapshot(*edited.page, kPage);
  edited.Run("U");
  EXPECT_EQ(edited.State(), 2);
}

}  // namespace
}  // namespace dravik::editor
