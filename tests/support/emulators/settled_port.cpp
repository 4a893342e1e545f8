#include "emulators/settled_port.h"

#include <chrono>
#include <thread>

namespace dravik::test {
namespace {
constexpr auto kPatience = std::chrono::seconds(5);
}

Result<std::size_t> SettledPort::Write(std::span<const std::uint8_t> bytes) {
  Result<std::size_t> written = port_.Write(bytes);
  if (written) {
    written_ += *written;
    line_.WaitConsumed(written_, std::chrono::duration_cast<std::chrono::milliseconds>(kPatience));
  }
  return written;
}

void SettledPort::Settle() {
  // The pty hands bytes on through a work queue; wait until they have all come through.
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    Result<int> queued = port_.InputQueueBytes();
    if (!queued || received_ + static_cast<std::uint64_t>(*queued) >= line_.Sent()) return;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
}

Result<std::size_t> SettledPort::Read(std::span<std::uint8_t> buffer) {
  if (port_.IsOpen()) Settle();
  Result<std::size_t> read = port_.Read(buffer);
  if (read) received_ += *read;
  return read;
}

Status SettledPort::Purge(bool input, bool output) {
  if (input && port_.IsOpen()) {
    Settle();
    Result<int> queued = port_.InputQueueBytes();
    if (queued) received_ += static_cast<std::uint64_t>(*queued);
  }
  return port_.Purge(input, output);
}

}  // namespace dravik::test
