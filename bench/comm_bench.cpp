// How close the download and the firmware upgrade come to the waits their protocols
// prescribe. Each benchmark runs the protocol once on the test clock against a settled
// emulator (every reply there at the first poll), which sums exactly the sleeps and
// polls the protocol asks for, then for real over a pseudo-terminal against the same
// emulator with the real clock. Counters: prescribed_s, real_s and ratio (target <= 1.05).

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "comm/download_session.h"
#include "comm/firmware_session.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"
#include "emulators/settled_port.h"
#include "emulators/test_clock.h"
#include "platform/serial_port_posix.h"

namespace {

using namespace dravik;

test::Bytes Image(std::size_t size) {
  test::Bytes image(size);
  std::uint32_t x = 77;
  for (auto& b : image) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return image;
}

// Runs `protocol` (a function of driver and clock returning success) once on the test
// clock and once for real; reports both durations.
template <class Emulator, class Protocol>
void Measure(benchmark::State& state, Protocol protocol) {
  double prescribed = 0;
  {
    Emulator emulator;
    test::EmulatedLine line(emulator);
    if (!line.ok()) return state.SkipWithError("no pseudo-terminals");
    test::TestClock clock;
    comm::TVorCommDriver driver(std::make_unique<test::SettledPort>(line), clock,
                                comm::ComPortMap::Single(line.SlavePath()));
    if (!protocol(driver, clock)) return state.SkipWithError("the settled run failed");
    prescribed = std::chrono::duration<double>(clock.Slept()).count();
  }
  double real = 0;
  for (auto _ : state) {
    Emulator emulator;
    test::EmulatedLine line(emulator);
    comm::RealClock clock;
    comm::TVorCommDriver driver(std::make_unique<platform::PosixSerialPort>(), clock,
                                comm::ComPortMap::Single(line.SlavePath()));
    const auto start = std::chrono::steady_clock::now();
    const bool ok = protocol(driver, clock);
    const auto end = std::chrono::steady_clock::now();
    if (!ok) return state.SkipWithError("the real run failed");
    real = std::chrono::duration<double>(end - start).count();
    state.SetIterationTime(real);
  }
  state.counters["prescribed_s"] = prescribed;
  state.counters["real_s"] = real;
  state.counters["ratio"] = real / prescribed;
}

void BM_Download153600(benchmark::State& state) {
  const test::Bytes image = Image(comm::kMaxImageSize);
  Measure<test::PanelEmulator>(state, [&](comm::TVorCommDriver& driver, comm::Clock& clock) {
    comm::RegisterMirror mirror;
    comm::DownloadSession session(driver, clock, mirror, image, comm::TComPortNumber::pnCOM1);
    comm::DownloadOutcome outcome = session.Run();
    return outcome.ok() && outcome.unacknowledgedBlocks.empty();
  });
}

void BM_Firmware100224(benchmark::State& state) {
  const test::Bytes image = Image(100224);
  Measure<test::BootLoaderEmulator>(state, [&](comm::TVorCommDriver& driver, comm::Clock& clock) {
    comm::FirmwareSession session(driver, clock, image, comm::TComPortNumber::pnCOM1);
    return session.Run().ok();
  });
}

BENCHMARK(BM_Download153600)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Firmware100224)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
