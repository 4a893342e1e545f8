// Save and Open of a full project, side by side with a bare zstd compression (plus the
// file write) and decompression of the same record file.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "bench_project.h"
#include "model/project_session.h"
#include "platform/files.h"
#include "platform/zstd_codec.h"

namespace {

namespace fs = std::filesystem;
using namespace dravik;

struct Fixture {
  Fixture() {
    bench::FillFullProject(image);
    folder = fs::temp_directory_path() / ("dravik-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    file = folder / "full.QX3";
    if (!model::WriteProjectFile(image, file).ok()) std::abort();
    records = image.RecordBytes(0, model::RecordCountToSave(image));
    frame = *platform::ZstdCompress(records);
  }
  ~Fixture() { fs::remove_all(folder); }

  model::ProjectImage image;
  fs::path folder, file;
  std::span<const std::uint8_t> records;
  platform::Bytes frame;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_Save(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    if (!model::WriteProjectFile(f.image, f.file).ok()) state.SkipWithError("save failed");
  }
  state.counters["file_MB"] = static_cast<double>(fs::file_size(f.file)) / 1e6;
}

void BM_BareCompressAndWrite(benchmark::State& state) {
  Fixture& f = Shared();
  const fs::path target = f.folder / "bare.zst";
  for (auto _ : state) {
    platform::Bytes frame = *platform::ZstdCompress(f.records);
    if (!platform::WriteFileAtomic(target, frame).ok()) state.SkipWithError("write failed");
  }
}

void BM_BareCompress(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(platform::ZstdCompress(f.records));
}

void BM_Open(benchmark::State& state) {
  Fixture& f = Shared();
  model::ProjectImage target;
  for (auto _ : state) {
    if (model::ReadProjectFile(target, f.file)) state.SkipWithError("open failed");
  }
}

void BM_BareDecompress(benchmark::State& state) {
  Fixture& f = Shared();
  platform::Bytes out(f.records.size());
  for (auto _ : state) {
    platform::ZstdReader reader(f.frame);
    benchmark::DoNotOptimize(reader.Read(out));
  }
}

BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCompressAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDecompress)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
