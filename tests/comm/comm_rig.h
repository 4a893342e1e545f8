#pragma once
// A driver on a pseudo-terminal with an emulator on the far side, on the test clock
// (exchanges settled, no real waiting) or on the real clock.

#include <memory>

#include "comm/vor_comm_driver.h"
#include "emulators/emulated_line.h"
#include "emulators/settled_port.h"
#include "emulators/test_clock.h"
#include "platform/serial_port_posix.h"

namespace dravik::test {

enum class Timing { TestClock, RealClock };

class CommRig {
 public:
  CommRig(ByteEmulator& emulator, Timing timing, EmulatedLineOptions lineOptions = {})
      : line(emulator, lineOptions) {
    if (!line.ok()) return;
    std::unique_ptr<comm::SerialPort> port;
    if (timing == Timing::TestClock) {
      auto clock = std::make_unique<TestClock>();
      testClock = clock.get();
      this->clock = std::move(clock);
      port = std::make_unique<SettledPort>(line);
    } else {
      clock = std::make_unique<comm::RealClock>();
      port = std::make_unique<platform::PosixSerialPort>();
    }
    driver = std::make_unique<comm::TVorCommDriver>(std::move(port), *clock,
                                                    comm::ComPortMap::Single(line.SlavePath()));
  }

  bool ok() const { return driver != nullptr; }

  EmulatedLine line;
  std::unique_ptr<comm::Clock> clock;
  TestClock* testClock = nullptr;
  std::unique_ptr<comm::TVorCommDriver> driver;
};

// Bytes that differ from block to block and within a block.
inline Bytes SampleImage(std::size_t size, std::uint32_t seed = 12345) {
  Bytes image(size);
  std::uint32_t x = seed;
  for (std::uint8_t& b : image) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return image;
}

}  // namespace dravik::test
