#pragma once
// The driver, clock and image the two protocol targets and their seed maker share: a
// driver on a scripted line, on a clock that moves only when the protocol waits.

#include <memory>

#include "comm/vor_comm_driver.h"
#include "emulators/test_clock.h"
#include "scripted_port.h"

namespace dravik::fuzz {

struct ScriptedLine {
  explicit ScriptedLine(LineAnswer answer)
      : driver(std::make_unique<ScriptedPort>(std::move(answer)), clock,
               comm::ComPortMap::Single("/dev/scripted")) {}

  test::TestClock clock;
  comm::TVorCommDriver driver;
};

// Two blocks for the download (the second one short), eleven write cycles for the
// firmware: every kind of step runs, and a run stays short.
inline Bytes SampleImage(std::size_t size) {
  Bytes image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 131 + 7);
  return image;
}
inline constexpr std::size_t kDownloadImageSize = 3000;
inline constexpr std::size_t kFirmwareImageSize = 2600;

}  // namespace dravik::fuzz
