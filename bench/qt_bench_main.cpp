// The main of the benchmarks that paint widgets: a QApplication (offscreen unless a display
// is asked for) with the panel font, then Google Benchmark.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "editor/render/font_tables.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  char name[] = "dravik_bench";
  char* qtArgv[] = {name, nullptr};
  QApplication app(qtArgc, qtArgv);
  dravik::editor::InstallSongSubstitution();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
