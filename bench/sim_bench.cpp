// The panel simulator: a screen of a 200-element page built with its values (goal: well
// inside a 16 ms frame), and the start on the bundled example's image up to its first
// screen (goal: 0.5 s).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "all_kinds_page.h"
#include "compiler/compile_to_image.h"
#include "compiler/image_reader.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "sim/panel_session.h"

namespace {

using namespace dravik;

compiler::DecodedImage Decode(const std::vector<std::uint8_t>& bytes) {
  auto decoded = compiler::ReadDeviceImage(bytes);
  if (!decoded) std::abort();
  return std::move(*decoded);
}

// The image of a project whose initial page holds 200 elements of mixed kinds.
std::vector<std::uint8_t> MixedPageImage() {
  auto project = std::make_unique<model::ProjectImage>();
  model::InitializeNewProject(*project);
  bench::FillMixedPage(*project, 1);
  model::At(project->Settings(), model::settings::kInitialPage) = 1;
  const auto compiled = compiler::CompileToImage(*project, {});
  if (!compiled.ok) std::abort();
  return compiled.image;
}

// The bundled example's image (its macro and pictures included).
std::vector<std::uint8_t> ExampleImage() {
  const std::filesystem::path file =
      std::filesystem::path(DRAVIK_SOURCE_DIR) / "data" / "examples" / "茶叶整形机.QX3";
  auto project = std::make_unique<model::ProjectImage>();
  if (model::ReadProjectFile(*project, file).has_value()) std::abort();
  const auto compiled = compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(file));
  if (!compiled.ok) std::abort();
  return compiled.image;
}

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
