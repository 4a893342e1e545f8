// The project tools over a full project (240 pages of 200 elements, every address flag
// set, so texts, pictures and drawing elements count their addresses too): the register
// search, the statistics of every page and the address cross-reference. Goal: each at
// most 20 ms.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_project.h"
#include "model/project_image.h"
#include "params/device_resources.h"
#include "tools/address_xref.h"
#include "tools/element_statistics.h"
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

}  // namespace

BENCHMARK_MAIN();
