// One run of the clock macro as the simulator runs it every 100 ms: 80 instructions (the
// most an image holds) of every family on the panel's registers, most of them double
// words. Goal: at most 1 ms. Also the worst run: an endless loop stopped by the guard.

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "sim/macro_runner.h"

namespace {

using namespace dravik;
using compiler::ImageMacroInstruction;

constexpr std::uint8_t kA1Register = 0x04;
constexpr std::uint8_t kA2Register = 0x08;
constexpr std::uint8_t kA3Register = 0x10;

ImageMacroInstruction Instruction(std::uint8_t code, std::uint8_t flags, std::uint16_t a1,
                                  std::uint16_t a2, std::uint16_t a3) {
  ImageMacroInstruction instruction;
  instruction.code = code;
  instruction.flags = flags;
  instruction.operands = {a1, a2, a3};
  return instruction;
}

// 80 rows: 19 blocks of three computing rows and a forward compare, then LABELs and END.
std::vector<ImageMacroInstruction> EightyRows() {
  std::vector<ImageMacroInstruction> program;
  constexpr std::uint8_t kRegisters = kA1Register | kA2Register | kA3Register;
  for (std::uint16_t block = 0; block < 19; ++block) {
    const auto base = static_cast<std::uint16_t>(100 + 10 * block);
    const auto code = static_cast<std::uint8_t>(1 + block % 11);
    program.push_back(Instruction(code, kRegisters | 0x01, base, base + 2, base + 4));
    program.push_back(Instruction(1, kA1Register | kA2Register | 0x03, base + 6, base + 6, 1));
    program.push_back(Instruction(4, kRegisters | 0x02, base + 8, base + 2, base + 9));
    // A compare of a register with itself that never holds (!=, >, <): every row runs.
    constexpr std::array<std::uint8_t, 3> kNeverHolds{16, 17, 19};
    program.push_back(Instruction(kNeverHolds[block % 3], kA1Register | kA2Register | 0x01, base,
                                  base, block % 3));
  }
  for (std::uint16_t label = 0; label < 3; ++label)
    program.push_back(Instruction(26, 0, label, 0, 0));
  program.push_back(Instruction(29, 0, 0, 0, 0));
  return program;
}

sim::RegisterMemory PreparedMemory() {
  sim::RegisterKinds kinds;
  kinds.links[0].words = {{"D", 65000}};
  sim::RegisterMemory memory(kinds);
  for (std::uint32_t number = 100; number < 300; ++number) {
    memory.SetWord({0, 0, number}, static_cast<std::uint16_t>(number * 7 + 3));
  }
  return memory;
}

void BM_MacroRunOf80Instructions(benchmark::State& state) {
  const std::vector<ImageMacroInstruction> program = EightyRows();
  sim::RegisterMemory memory = PreparedMemory();
  int executed = 0;
  for (auto _ : state) {
    const sim::MacroRun run = sim::RunClockMacro(program, memory);
    executed = run.executed;
    benchmark::DoNotOptimize(run);
  }
  state.counters["instructions"] = executed;
}
BENCHMARK(BM_MacroRunOf80Instructions)->Unit(benchmark::kMicrosecond);

void BM_MacroRunStoppedByTheLoopGuard(benchmark::State& state) {
  const std::vector<ImageMacroInstruction> program{
      Instruction(26, 0, 1, 0, 0),
      Instruction(1, kA1Register | kA2Register, 100, 100, 1),
      Instruction(25, 0, 1, 0, 0),
  };
  sim::RegisterMemory memory = PreparedMemory();
  for (auto _ : state) {
    const sim::MacroRun run = sim::RunClockMacro(program, memory);
    benchmark::DoNotOptimize(run);
  }
}
BENCHMARK(BM_MacroRunStoppedByTheLoopGuard)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
