// The simulator's frame: the screen of a 200-element page built with the values of the
// moment and painted by the page renderers in the panel's 16-bit colours (goal: one frame
// <= 16 ms); the same for the bundled example's first page, and the window's x2 picture.

#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdlib>

#include "sim/panel_session.h"
#include "sim/render/headless_run.h"
#include "sim/render/screen_painter.h"
#include "sim_bench_images.h"

namespace {

using namespace dravik;

sim::PanelSession StartOn(const std::vector<std::uint8_t>& bytes) {
  auto session = sim::PanelSession::Start(bench::Decode(bytes), {});
  if (!session) std::abort();
  return std::move(*session);
}

// One frame as the window makes it when a register has changed.
void Frame(benchmark::State& state, sim::PanelSession& session) {
  sim::ScreenPainter painter(session.Image());
  std::uint16_t value = 0;
  for (auto _ : state) {
    // A changing value, as a running PLC gives, so nothing can be kept from the last frame.
    session.Memory().SetWord({0, 0, 0}, ++value);
    sim::Screen screen = session.BuildScreen();
    const QImage picture = painter.Paint(screen);
    benchmark::DoNotOptimize(picture.constBits());
  }
}

void BM_FrameOf200Elements(benchmark::State& state) {
  sim::PanelSession session = StartOn(bench::MixedPageImage());
  Frame(state, session);
}
BENCHMARK(BM_FrameOf200Elements)->Unit(benchmark::kMillisecond);

void BM_FrameOfTheExamplesFirstPage(benchmark::State& state) {
  sim::PanelSession session = StartOn(bench::ExampleImage());
  Frame(state, session);
}
BENCHMARK(BM_FrameOfTheExamplesFirstPage)->Unit(benchmark::kMillisecond);

// The headless run's screenshot at x2: a new painter each time, pictures made afresh.
void BM_ScreenshotAtTwiceOf200Elements(benchmark::State& state) {
  sim::PanelSession session = StartOn(bench::MixedPageImage());
  for (auto _ : state) {
    const QImage picture = sim::ScreenShot(session, 2);
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(BM_ScreenshotAtTwiceOf200Elements)->Unit(benchmark::kMillisecond);

}  // namespace
