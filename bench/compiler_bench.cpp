// Compile times of the device image: a full project (240 pages of 200 elements), which the
// size limit refuses once its pages pass the image buffer, and a project just inside the
// 150 KB limit, which runs every step including the macro block and the picture section,
// and reading that image back.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench_project.h"
#include "compiler/compile_check.h"
#include "compiler/compile_to_image.h"
#include "compiler/image_reader.h"
#include "macro/change_mac_cmd.h"
#include "model/project_image.h"
#include "pictures/picture_section.h"

namespace {

using namespace dravik;

std::filesystem::path g_folder;  // a private work folder and project folder

std::filesystem::path ProjectFile() {
  return g_folder / "Bench.QX3";
}

// The full project with only its first `pages` pages in use.
std::unique_ptr<model::ProjectImage> ProjectWithPages(int pages) {
  auto project = std::make_unique<model::ProjectImage>();
  bench::FillFullProject(*project);
  for (int n = pages + 1; n <= model::kMaxPage; ++n) {
    project->Page(n).PageStrings[model::kPageInUse].ClearLength();
  }
  return project;
}

// The most pages of the full project that still compile within the limit.
int PagesAtTheLimit() {
  int pages = 0;
  auto project = ProjectWithPages(model::kMaxPage);
  for (int n = 1; n <= model::kMaxPage; ++n) {
    for (int m = n + 1; m <= model::kMaxPage; ++m)
      project->Page(m).PageStrings[model::kPageInUse].ClearLength();
    project->Page(n).PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
    if (!compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(ProjectFile())).ok)
      break;
    pages = n;
  }
  return pages;
}

void BM_CompileFullProjectUntilRefused(benchmark::State& state) {
  auto project = ProjectWithPages(model::kMaxPage);
  const auto files = compiler::CompanionFiles::Beside(ProjectFile());
  for (auto _ : state) {
    compiler::CompileResult result = compiler::CompileToImage(*project, files);
    if (result.ok) state.SkipWithError("the full project should not fit");
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_CompileFullProjectUntilRefused)->Unit(benchmark::kMillisecond);

void BM_CompileProjectAtTheLimit(benchmark::State& state) {
  static const int pages = PagesAtTheLimit();
  auto project = ProjectWithPages(pages);
  const auto files = compiler::CompanionFiles::Beside(ProjectFile());
  std::size_t size = 0;
  for (auto _ : state) {
    compiler::CompileResult result = compiler::CompileToImage(*project, files);
    if (!result.ok) state.SkipWithError("the project should fit");
    size = result.image.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["pages"] = pages;
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_CompileProjectAtTheLimit)->Unit(benchmark::kMillisecond);

// The same without companion files (they lie in a folder that does not exist, so both
// steps give up at once): the compiler's own work.
void BM_CompileProjectAtTheLimitWithoutCompanions(benchmark::State& state) {
  static const int pages = PagesAtTheLimit();
  auto project = ProjectWithPages(pages);
  const auto files = compiler::CompanionFiles::Beside(g_folder / "missing" / "Bench.QX3");
  for (auto _ : state) {
    compiler::CompileResult result = compiler::CompileToImage(*project, files);
    if (!result.ok) state.SkipWithError("the project should fit");
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_CompileProjectAtTheLimitWithoutCompanions)->Unit(benchmark::kMillisecond);

// Reading back the largest image the panel takes, every record of every page: what
// dump and the check before a download cost.
void BM_ReadImageAtTheLimit(benchmark::State& state) {
  static const int pages = PagesAtTheLimit();
  auto project = ProjectWithPages(pages);
  const auto files = compiler::CompanionFiles::Beside(g_folder / "missing" / "Bench.QX3");
  const compiler::CompileResult compiled = compiler::CompileToImage(*project, files);
  if (!compiled.ok) state.SkipWithError("the project should fit");
  std::size_t records = 0;
  for (auto _ : state) {
    Result<compiler::DecodedImage> image = compiler::ReadDeviceImage(compiled.image);
    if (!image) {
      state.SkipWithError("the image should read back");
      break;
    }
    records = 0;
    for (const compiler::ImagePage& page : image->Pages()) records += page.records.size();
    benchmark::DoNotOptimize(image);
  }
  state.counters["bytes"] = static_cast<double>(compiled.image.size());
  state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_ReadImageAtTheLimit)->Unit(benchmark::kMillisecond);

// The two steps the compiler hands to the macro and picture rooms, on their own: each opens
// a password-protected database.
void BM_MacroBlockStep(benchmark::State& state) {
  std::vector<std::uint8_t> header(compiler::kHeaderSize);
  const auto files = compiler::CompanionFiles::Beside(ProjectFile());
  for (auto _ : state) benchmark::DoNotOptimize(macro::ChangeMacCmd(files.macroDatabase, header));
}
BENCHMARK(BM_MacroBlockStep)->Unit(benchmark::kMillisecond);

void BM_PictureSectionStep(benchmark::State& state) {
  const auto files = compiler::CompanionFiles::Beside(ProjectFile());
  for (auto _ : state) {
    benchmark::DoNotOptimize(pictures::BuildPictureSection(files.pictureLibrary));
  }
}
BENCHMARK(BM_PictureSectionStep)->Unit(benchmark::kMillisecond);

void BM_CompileCheckFullProject(benchmark::State& state) {
  auto project = ProjectWithPages(model::kMaxPage);
  params::DeviceLists lists;
  lists.W_DeviceName = {"D", "R"};
  lists.W_DeviceMax = {"9999", "500"};
  lists.B_DeviceName = {"X", "M"};
  lists.B_DeviceBit = {"8", "16"};
  lists.B_DeviceMax = {"377", "999"};
  for (auto _ : state) {
    benchmark::DoNotOptimize(compiler::StartCheck(*project, lists, false));
  }
}
BENCHMARK(BM_CompileCheckFullProject)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::string folder = (std::filesystem::temp_directory_path() / "dravik-bench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 3;
  g_folder = folder;
  setenv("DRAVIK_WORKDIR", folder.c_str(), 1);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::error_code ignored;
  std::filesystem::remove_all(g_folder, ignored);
  return 0;
}
