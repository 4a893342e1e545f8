// The project tools over a full project (240 pages of 200 elements, every address flag
// set, so texts, pictures and drawing elements count their addresses too): the register
// search, the statistics of every page and the address cross-reference. Goal: each at
// most 20 ms. Also a 10 x 10 multiple copy on one page (goal with the redraw: 50 ms; this
// is the core alone) and a batch modify of every register of the full project, with the
// copy of the touched pages that its undo keeps.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_project.h"
#include "elements/element_kind.h"
#include "model/project_image.h"
#include "params/device_resources.h"
#include "tools/address_xref.h"
#include "tools/batch_modify.h"
#include "tools/element_statistics.h"
#include "tools/multiple_copy.h"
#include "tools/register_search.h"

namespace {

using namespace dravik;

struct Fixture {
  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
  params::DeviceLists lists;

  Fixture() {
    bench::FillFullProject(*image);
    for (int n = 1; n <= model::kMaxPage; ++n) {
      model::PageRecord& page = image->Page(n);
      page.ElemByteC.fill(1);
      page.ElemByteD.fill(1);
      page.ElemByteE.fill(1);
    }
    // The panel's own protocol and Modbus RTU Master, as a new project has them.
    Result<params::DeviceLists> loaded =
        params::LoadDeviceLists(params::DeviceResourcesPath(), 0, 1);
    if (loaded) lists = std::move(loaded).value();
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_RegisterSearch(benchmark::State& state) {
  Fixture& f = Shared();
  std::size_t found = 0;
  for (auto _ : state) {
    const auto matches = tools::RegisterSearch(*f.image, {tools::SearchCategory::kWord, 0, 0, 100});
    found = matches.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK(BM_RegisterSearch)->Unit(benchmark::kMillisecond);

void BM_StatisticsOfEveryPage(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    int sum = 0;
    for (int n = 1; n <= model::kMaxPage; ++n) sum += tools::CountElements(*f.image, n).sum;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_StatisticsOfEveryPage)->Unit(benchmark::kMillisecond);

void BM_AddressXref(benchmark::State& state) {
  Fixture& f = Shared();
  std::size_t refs = 0;
  for (auto _ : state) {
    refs = tools::CollectAddressRefs(*f.image, f.lists).size();
    benchmark::DoNotOptimize(refs);
  }
  state.counters["refs"] = static_cast<double>(refs);
  if (f.lists.W_DeviceName.empty()) state.SetLabel("without device resources");
}
BENCHMARK(BM_AddressXref)->Unit(benchmark::kMillisecond);

void BM_MultipleCopy10x10(benchmark::State& state) {
  Fixture& f = Shared();
  // One register on an otherwise empty page, copied 99 times with rising addresses.
  model::RecordStore records(3);  // the page as copied, the page worked on, the clipboard
  constexpr int kSource = 0;
  records[0].ElemKind[kSource] = elements::kKindRegister;
  records[0].ElemLeft[kSource] = 5;
  records[0].ElemTop[kSource] = 5;
  records[0].ElemWidth[kSource] = 40;
  records[0].ElemHeight[kSource] = 20;
  tools::MultipleCopyOptions options;
  options.perRow = 10;
  options.perColumn = 10;
  const tools::AddressStepRules rules{&f.lists, {0, 1}};
  std::size_t made = 0;
  for (auto _ : state) {
    records[1] = records[0];
    records[2] = records[0];
    made = tools::RunMultipleCopy(options, rules, records[2], kSource, records[1], {480, 320})
               .created.size();
    benchmark::DoNotOptimize(made);
  }
  state.counters["copies"] = static_cast<double>(made);
}
BENCHMARK(BM_MultipleCopy10x10)->Unit(benchmark::kMillisecond);

void BM_BatchModifyFullProject(benchmark::State& state) {
  Fixture& f = Shared();
  tools::BatchOptions options;
  options.mode = tools::BatchMode::kRegister;
  options.use.fill(true);
  options.firstPage = 1;
  options.lastPage = model::kMaxPage;
  int pages = 0;
  for (auto _ : state) {
    tools::BatchUndo undo = tools::RunBatchModify(*f.image, options);
    pages = undo.PageCount();
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_BatchModifyFullProject)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
