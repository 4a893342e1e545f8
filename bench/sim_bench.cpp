// The panel simulator: a screen of a 200-element page built with its values (goal: well
// inside a 16 ms frame), and the start on the bundled example's image up to its first
// screen (goal: 0.5 s).

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "sim/panel_session.h"
#include "sim_bench_images.h"

namespace {

using namespace dravik;
using bench::Decode;
using bench::ExampleImage;
using bench::MixedPageImage;

void BM_BuildScreenOf200Elements(benchmark::State& state) {
  auto session = sim::PanelSession::Start(Decode(MixedPageImage()), {});
  if (!session) std::abort();
  std::uint16_t value = 0;
  for (auto _ : state) {
    // A changing value, as a running PLC gives, so nothing can be kept from the last frame.
    session->Memory().SetWord({0, 0, 0}, ++value);
    sim::Screen screen = session->BuildScreen();
    benchmark::DoNotOptimize(screen.page.get());
  }
}
BENCHMARK(BM_BuildScreenOf200Elements)->Unit(benchmark::kMillisecond);

void BM_StartToFirstScreenOnTheExample(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = ExampleImage();
  for (auto _ : state) {
    auto session = sim::PanelSession::Start(Decode(bytes), {});
    if (!session) std::abort();
    sim::Screen screen = session->BuildScreen();
    benchmark::DoNotOptimize(screen.page.get());
  }
}
BENCHMARK(BM_StartToFirstScreenOnTheExample)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
