// Editing a crowded page (200 elements) with real Qt events on the offscreen platform,
// each step with the window's redraw: one pointer step dragging one element and one
// dragging a group of 50 (goal: at most 8 ms each), Undo and Redo of a whole page (at
// most 15 ms each), pasting an area of 50 elements (at most 30 ms) and a multiple copy of
// a 10 x 10 array (at most 50 ms).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "all_kinds_page.h"
#include "editor/editor_state.h"
#include "editor/element_clipboard.h"
#include "editor/render/font_tables.h"
#include "editor/ui/structure_page.h"
#include "editor/undo_ring.h"
#include "elements/element_kind.h"
#include "model/project_session.h"
#include "tools/multiple_copy.h"

namespace {

using namespace dravik;

constexpr int kGroupSize = 50;

struct Fixture {
  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
  editor::EditorState state;
  std::unique_ptr<model::PageRecord> crowded = std::make_unique<model::PageRecord>();

  Fixture() {
    model::InitializeNewProject(*image);
    bench::FillMixedPage(*image, 1);
    *crowded = image->Page(1);
    state.CurrentPage = 1;
  }

  // Page 1 as the fixture made it, for a benchmark that changed it.
  void Restore() { image->Page(1) = *crowded; }

  std::unique_ptr<editor::TStructureP> OpenWindow(int page) {
    state.CurrentPage = page;
    auto window = std::make_unique<editor::TStructureP>(*image, state, page);
    window->show();
    QApplication::processEvents();
    return window;
  }

  // The first `count` occupied slots of page 1.
  std::vector<int> Slots(int count) const {
    std::vector<int> found;
    const model::PageRecord& page = image->Page(1);
    for (int slot = 0; slot < model::kSlotCount && static_cast<int>(found.size()) < count; ++slot) {
      if (page.ElemKind[static_cast<std::size_t>(slot)] != 0) found.push_back(slot);
    }
    return found;
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// The pointer goes back and forth by 4 pixels with the button held; each step is one
// move event and the repaint it asks for.
void DragSteps(benchmark::State& run, editor::TStructureP& window, QPoint pressAt) {
  QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, pressAt);
  int step = 0;
  for (auto _ : run) {
    const int away = ++step % 2 == 0 ? 0 : 4;
    QTest::mouseMove(&window, pressAt + QPoint(away, away));
    window.repaint();
  }
  QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, pressAt);
}

void BM_DragOneElementStep(benchmark::State& run) {
  Fixture& f = Shared();
  f.Restore();
  auto window = f.OpenWindow(1);
  // The element on top at the page's middle: the press selects it and starts its drag.
  const QPoint at(window->CanvasWidth() / 2, window->CanvasHeight() / 2);
  const int slot = window->SlotAt(at);
  DragSteps(run, *window, at);
  run.counters["slot"] = slot;
  run.counters["elements"] = window->Scene().ElementCount();
}
BENCHMARK(BM_DragOneElementStep)->Unit(benchmark::kMillisecond);

void BM_DragGroupStep(benchmark::State& run) {
  Fixture& f = Shared();
  f.Restore();
  auto window = f.OpenWindow(1);
  f.state.PickList = f.Slots(kGroupSize);
  window->WholePasteFinish();
  const QRect frame = window->AreaFrameRect();
  DragSteps(run, *window, frame.center());
  run.counters["members"] = window->Group().SelCount();
}
BENCHMARK(BM_DragGroupStep)->Unit(benchmark::kMillisecond);

// One edit (the group moved by the arrow keys) is the step Undo takes back and Redo does
// again; each is followed by what the main window does then: the page drawn anew and
// nothing selected.
struct UndoSetup {
  std::unique_ptr<editor::TStructureP> window;
  editor::UndoRing ring;
};

std::unique_ptr<UndoSetup> PrepareUndo(Fixture& f) {
  f.Restore();
  auto setup = std::make_unique<UndoSetup>();
  setup->window = f.OpenWindow(1);
  setup->ring.ActivationSnapshot(f.image->Page(1), 1);
  f.state.PickList = f.Slots(kGroupSize);
  setup->window->WholePasteFinish();
  QTest::keyClick(setup->window.get(), Qt::Key_Right);
  setup->ring.EditFileBackup(f.image->Page(1), 1);
  return setup;
}

void RedrawAfterStep(editor::TStructureP& window) {
  window.PageRefresh();
  window.Deselect();
  window.repaint();
}

void BM_UndoWithRedraw(benchmark::State& run) {
  Fixture& f = Shared();
  auto setup = PrepareUndo(f);
  for (auto _ : run) {
    setup->ring.Undo(f.image->Page(1), 1);
    RedrawAfterStep(*setup->window);
    run.PauseTiming();
    setup->ring.Redo(f.image->Page(1), 1);
    run.ResumeTiming();
  }
}
BENCHMARK(BM_UndoWithRedraw)->Unit(benchmark::kMillisecond);

void BM_RedoWithRedraw(benchmark::State& run) {
  Fixture& f = Shared();
  auto setup = PrepareUndo(f);
  for (auto _ : run) {
    run.PauseTiming();
    setup->ring.Undo(f.image->Page(1), 1);
    run.ResumeTiming();
    setup->ring.Redo(f.image->Page(1), 1);
    RedrawAfterStep(*setup->window);
  }
}
BENCHMARK(BM_RedoWithRedraw)->Unit(benchmark::kMillisecond);

// 50 elements of the crowded page copied as an area and pasted into an empty page of the
// same size, as the main window's Paste does it: the elements written and drawn, the
// pasted group selected, the undo snapshot, the repaint.
void BM_PasteArea(benchmark::State& run) {
  Fixture& f = Shared();
  f.Restore();
  model::PageRecord& target = f.image->Page(2);
  target = f.image->Page(1);
  target.ElemKind.fill(0);
  auto window = f.OpenWindow(2);

  editor::ClipboardState clipboard;
  const std::vector<int> copied = f.Slots(kGroupSize);
  const editor::AreaMarker area{{5, 5, window->CanvasWidth() - 20, window->CanvasHeight() - 20}, copied};
  const auto readPage = [&f](model::PageRecord& page) -> Status {
    page = f.image->Page(1);
    return {};
  };
  if (!clipboard.Receive(editor::MarkerText(area), readPage)) {
    run.SkipWithError("the area marker was not taken");
    return;
  }
  editor::UndoRing ring;
  ring.ActivationSnapshot(target, 2);
  int pasted = 0;
  for (auto _ : run) {
    window->Deselect();
    const editor::PasteOutcome outcome = clipboard.Paste(target, {window->CanvasWidth(), window->CanvasHeight()});
    for (const int slot : outcome.PickList) {
      f.state.CurrentSlot = slot;
      window->OrganEstablish();
    }
    f.state.PickList = outcome.PickList;
    window->WholePasteFinish();
    ring.EditFileBackup(target, 2);
    window->repaint();
    pasted = static_cast<int>(outcome.PickList.size());

    run.PauseTiming();
    window->Deselect();
    target.ElemKind.fill(0);
    window->PageRefresh();
    run.ResumeTiming();
  }
  run.counters["pasted"] = pasted;
}
BENCHMARK(BM_PasteArea)->Unit(benchmark::kMillisecond);

// A multiple copy of a 10 x 10 array on an empty page: 99 copies, each with its own
// widget, then the undo snapshot and the repaint, as the dialog's run does.
void BM_MultipleCopy10x10(benchmark::State& run) {
  Fixture& f = Shared();
  model::PageRecord& target = f.image->Page(2);
  target = f.image->Page(1);
  target.ElemKind.fill(0);
  constexpr std::size_t kSource = 0;
  target.ElemKind[kSource] = elements::kKindRectangle;
  target.ElemLeft[kSource] = 10;
  target.ElemTop[kSource] = 10;
  target.ElemWidth[kSource] = 16;
  target.ElemHeight[kSource] = 10;
  const model::PageRecord source = target;
  auto window = f.OpenWindow(2);
  auto clipboardPage = std::make_unique<model::PageRecord>();
  tools::MultipleCopyOptions options;
  options.perRow = 10;
  options.perColumn = 10;
  options.horizontalGap = 2;
  options.verticalGap = 2;
  editor::UndoRing ring;
  ring.ActivationSnapshot(target, 2);
  int created = 0;
  for (auto _ : run) {
    *clipboardPage = source;
    const tools::MultipleCopyOutcome outcome =
        tools::RunMultipleCopy(options, {}, *clipboardPage, static_cast<int>(kSource), target,
                               {window->CanvasWidth(), window->CanvasHeight()});
    for (const int slot : outcome.created) {
      f.state.CurrentSlot = slot;
      window->OrganEstablish();
    }
    ring.EditFileBackup(target, 2);
    window->repaint();
    created = static_cast<int>(outcome.created.size());

    run.PauseTiming();
    target = source;
    window->PageRefresh();
    run.ResumeTiming();
  }
  run.counters["copies"] = created;
}
BENCHMARK(BM_MultipleCopy10x10)->Unit(benchmark::kMillisecond);

}  // namespace
