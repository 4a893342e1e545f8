#pragma once
// Serial lines on Linux: termios2 and the tty ioctls behind SerialPort.
// The device is opened exclusively (TIOCEXCL against other programs, flock against other
// Dravik instances and root, whom TIOCEXCL does not stop), in raw mode.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace dravik::platform {

class PosixSerialPort final : public SerialPort {
 public:
  PosixSerialPort() = default;
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  std::optional<PortOpenError> Open(const std::string& device) override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  Status Configure(const SerialLineSettings& settings) override;
  Status Purge(bool input, bool output) override;
  Result<int> OutputQueueBytes() override;
  Status Drain() override;
  Status SetDtr(bool on) override;
  Status SetRts(bool on) override;
  Result<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  Result<std::size_t> Write(std::span<const std::uint8_t> bytes) override;
  std::chrono::microseconds ReceiveLatency() const override { return receiveLatency_; }

  // Bytes received and not yet read (for test harnesses that must know what is in flight).
  Result<int> InputQueueBytes();
  const std::string& Device() const { return device_; }

 private:
  Status SetModemLine(int line, bool on);

  int fd_ = -1;
  std::string device_;
  // The adapter's serial flags before we set low latency, restored at close.
  std::optional<int> savedSerialFlags_;
  std::chrono::microseconds receiveLatency_ = kDefaultReceiveLatency;
};

// The termios2 flags Configure gives a line for `settings`, starting from `current`
// (exposed so the mapping can be checked where no device shows it: pseudo-terminals
// report 8N1 whatever is set).
struct LineFlags {
  std::uint32_t iflag = 0;
  std::uint32_t oflag = 0;
  std::uint32_t cflag = 0;
  std::uint32_t lflag = 0;
  std::uint32_t speed = 0;
};
Result<LineFlags> LineFlagsFor(const SerialLineSettings& settings, LineFlags current = {});

// The latency timer of the USB serial adapter behind `device` (how long it holds received
// bytes before sending them to the host: 1 to 16 ms, from its sysfs entry under
// `ttyClass`); nothing for lines that have none (built-in UARTs, pseudo-terminals).
std::optional<std::chrono::milliseconds> UsbLatencyTimer(
    const std::string& device, const std::filesystem::path& ttyClass = "/sys/class/tty");

// The programs that hold `device` open, as "name (pid N)", as far as /proc lets us see.
std::vector<std::string> DeviceUsers(const std::string& device);

}  // namespace dravik::platform
