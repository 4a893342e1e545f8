#pragma once
// A serial port in memory: records what the driver asks of it and delivers queued input,
// for the driver behaviour a pseudo-terminal cannot show (queue levels, settings history,
// write splitting).

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace dravik::test {

struct FakeLineLog {
  int opens = 0;
  std::vector<platform::SerialLineSettings> configured;
  int inputPurges = 0;
  int outputPurges = 0;
  int writeCalls = 0;
  int drains = 0;
  std::vector<std::uint8_t> written;
  std::deque<std::uint8_t> input;
  int outputQueue = 0;  // what OutputQueueBytes reports
  std::size_t acceptPerWrite = static_cast<std::size_t>(-1);
  bool failWrites = false;
  std::optional<platform::PortOpenError> openError;
  std::vector<std::pair<char, bool>> modemLines;            // ('D' or 'R', on)
  std::optional<std::chrono::microseconds> receiveLatency;  // unset: the default
};

class FakeSerialPort final : public platform::SerialPort {
 public:
  explicit FakeSerialPort(std::shared_ptr<FakeLineLog> log) : log_(std::move(log)) {}

  std::optional<platform::PortOpenError> Open(const std::string& device) override {
    if (log_->openError) return log_->openError;
    ++log_->opens;
    device_ = device;
    open_ = true;
    return std::nullopt;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  Status Configure(const platform::SerialLineSettings& settings) override {
    log_->configured.push_back(settings);
    return {};
  }
  Status Purge(bool input, bool output) override {
    if (input) {
      ++log_->inputPurges;
      log_->input.clear();
    }
    if (output) ++log_->outputPurges;
    return {};
  }
  Result<int> OutputQueueBytes() override { return log_->outputQueue; }
  Status Drain() override {
    ++log_->drains;
    return {};
  }
  Status SetDtr(bool on) override {
    log_->modemLines.emplace_back('D', on);
    return {};
  }
  Status SetRts(bool on) override {
    log_->modemLines.emplace_back('R', on);
    return {};
  }
  Result<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    std::size_t n = 0;
    while (n < buffer.size() && !log_->input.empty()) {
      buffer[n++] = log_->input.front();
      log_->input.pop_front();
    }
    return n;
  }
  Result<std::size_t> Write(std::span<const std::uint8_t> bytes) override {
    ++log_->writeCalls;
    if (log_->failWrites) return Error{"writing: Input/output error"};
    std::size_t n = std::min(bytes.size(), log_->acceptPerWrite);
    log_->written.insert(log_->written.end(), bytes.begin(), bytes.begin() + static_cast<long>(n));
    return n;
  }
  std::chrono::microseconds ReceiveLatency() const override {
    return log_->receiveLatency.value_or(platform::kDefaultReceiveLatency);
  }

  const std::string& device() const { return device_; }

 private:
  std::shared_ptr<FakeLineLog> log_;
  std::string device_;
  bool open_ = false;
};

}  // namespace dravik::test
