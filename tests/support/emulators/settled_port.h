#pragma once
// A real serial port on an emulated line that makes the exchange deterministic for a
// test clock: every write returns only once the emulator has read and answered it, and
// every read sees everything the emulator has sent so far. With it, a protocol running
// on virtual time gets each reply at its first poll, as if the panel answered at once.

#include "emulators/emulated_line.h"
#include "platform/serial_port_posix.h"

namespace dravik::test {

class SettledPort final : public platform::SerialPort {
 public:
  explicit SettledPort(EmulatedLine& line) : line_(line) {}

  std::optional<platform::PortOpenError> Open(const std::string& device) override {
    return port_.Open(device);
  }
  void Close() override { port_.Close(); }
  bool IsOpen() const override { return port_.IsOpen(); }
  Status Configure(const platform::SerialLineSettings& settings) override {
    return port_.Configure(settings);
  }
  Status Purge(bool input, bool output) override;
  Result<int> OutputQueueBytes() override { return port_.OutputQueueBytes(); }
  Status Drain() override { return port_.Drain(); }
  Status SetDtr(bool on) override { return port_.SetDtr(on); }
  Status SetRts(bool on) override { return port_.SetRts(on); }
  Result<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  Result<std::size_t> Write(std::span<const std::uint8_t> bytes) override;
  std::chrono::microseconds ReceiveLatency() const override { return port_.ReceiveLatency(); }

 private:
  // Waits until everything the emulator sent can be read here.
  void Settle();

  EmulatedLine& line_;
  platform::PosixSerialPort port_;
  std::uint64_t written_ = 0;
  std::uint64_t received_ = 0;  // read or purged
};

}  // namespace dravik::test
