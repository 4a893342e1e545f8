// The page window on a crowded page: opening it and redrawing it whole (PageRefresh),
// with and without font optimisation. Goal: each at most 30 ms.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <memory>

#include "all_kinds_page.h"
#include "editor/editor_state.h"
#include "editor/render/font_tables.h"
#include "editor/ui/structure_page.h"
#include "model/project_session.h"

namespace {

using namespace dravik;

struct Fixture {
  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
  editor::EditorState state;

  Fixture() {
    model::InitializeNewProject(*image);
    bench::FillMixedPage(*image, 1);
    state.CurrentPage = 1;
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_OpenPageWindow(benchmark::State& run) {
  Fixture& f = Shared();
  f.state.FontOptimisation = run.range(0) != 0;
  for (auto _ : run) {
    editor::TStructureP window(*f.image, f.state, 1);
    benchmark::DoNotOptimize(window.Scene().ElementCount());
  }
}
BENCHMARK(BM_OpenPageWindow)->ArgName("fontOptimisation")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_PageRefresh(benchmark::State& run) {
  Fixture& f = Shared();
  f.state.FontOptimisation = run.range(0) != 0;
  editor::TStructureP window(*f.image, f.state, 1);
  for (auto _ : run) {
    window.PageRefresh();
    benchmark::DoNotOptimize(window.Scene().ElementCount());
  }
  run.counters["elements"] = window.Scene().ElementCount();
}
BENCHMARK(BM_PageRefresh)->ArgName("fontOptimisation")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
