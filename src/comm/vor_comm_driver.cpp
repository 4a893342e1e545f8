#include "comm/vor_comm_driver.h"

#include <algorithm>
#include <cstring>

namespace dravik::comm {

TVorCommDriver::TVorCommDriver(std::unique_ptr<SerialPort> port, Clock& clock, ComPortMap ports)
    : port_(std::move(port)), clock_(clock), ports_(std::move(ports)), pollBuffer_(inBufSize_) {}

TVorCommDriver::~TVorCommDriver() {
  ClosePort();
}

bool TVorCommDriver::IsOpen() const {
  return port_ && port_->IsOpen();
}

bool TVorCommDriver::OpenPort() {
  if (IsOpen()) return true;
  const int index = static_cast<int>(comPort_);
  const std::string& device = ports_.Device(index);
  if (device.empty()) {
    lastOpenError_ = PortOpenError{PortOpenFailure::NotMapped, ComPortMap::PortName(index), {}};
    return false;
  }
  if (std::optional<PortOpenError> error = port_->Open(device)) {
    lastOpenError_ = std::move(error);
    return false;
  }
  lastOpenError_.reset();
  if (!ApplySettings()) return false;
  // Reads return at once with what is there, so nothing else needs setting.
  StartPollTimer();
  return true;
}

void TVorCommDriver::ClosePort() {
  if (!IsOpen()) return;
  StopPollTimer();
  port_->Close();
}

bool TVorCommDriver::ApplySettings() {
  if (!IsOpen()) return false;
  settings_.xonLimit = static_cast<std::uint16_t>(inBufSize_ / 4);
  settings_.xoffLimit = 1;
  // A line that refuses a setting keeps its old ones and the port stays usable; the reason
  // is kept for whoever wants to show it.
  if (Status status = port_->Configure(settings_); !status) {
    lastSettingsError_ = status.message();
  } else {
    lastSettingsError_.reset();
  }
  // The modem lines follow the settings: DTR as asked for at open, RTS low unless it does
  // the handshaking. Lines without modem control (pseudo-terminals) simply have none.
  (void)port_->SetDtr(EnableDTROnOpen);
  if (settings_.hwHandshaking == TComPortHwHandshaking::hhNONE) (void)port_->SetRts(false);
  PurgeBuffers(true, true);
  // Queue sizes are the kernel's business here; there is nothing that could fail.
  return true;
}

void TVorCommDriver::PurgeBuffers(bool input, bool output) {
  if (!IsOpen() || (!input && !output)) return;
  (void)port_->Purge(input, output);
}

std::int16_t TVorCommDriver::OutputFreeSpace() {
  if (!IsOpen()) return -1;
  Result<int> queued = port_->OutputQueueBytes();
  int waiting = queued ? *queued : 0;
  return static_cast<std::int16_t>(static_cast<int>(outBufSize_) - waiting);
}

WriteResult TVorCommDriver::WriteBytes(std::span<const std::uint8_t> data) {
  if (!IsOpen()) return {WriteStatus::PortClosed, 0};
  Micros started = clock_.Now();
  std::int32_t total = 0;
  std::span<const std::uint8_t> remaining = data;
  while (!remaining.empty()) {
    // Only an exactly full queue waits; an over-full one (negative difference) does not.
    if (static_cast<std::uint16_t>(OutputFreeSpace()) != 0) {
      Result<std::size_t> written = port_->Write(remaining);
      if (!written) return {WriteStatus::Failed, total};
      if (*written > 0) {
        total += static_cast<std::int32_t>(*written);
        remaining = remaining.subspan(*written);
        started = clock_.Now();
        continue;
      }
      // The kernel's queue is full even though ours is not: wait like for a full queue.
    }
    if (clock_.Now() - started > Millis(OutputTimeout)) return {WriteStatus::TimedOut, total};
    clock_.Sleep(Millis(1));
  }
  // The protocols' reply windows start when the request has left the line, as with a
  // synchronous write; with flow control a stopped line could hold the wait forever.
  if (settings_.hwHandshaking == TComPortHwHandshaking::hhNONE &&
      settings_.swHandshaking == TComPortSwHandshaking::shNONE) {
    (void)port_->Drain();
  }
  return {WriteStatus::Written, total};
}

Micros TVorCommDriver::ReplyAllowance(std::size_t requestBytes, std::size_t replyBytes) const {
  const Micros latency = port_ ? port_->ReceiveLatency() : kDefaultReceiveLatency;
  return WireTime(requestBytes + replyBytes, settings_) + latency;
}

void TVorCommDriver::SetDtr(bool on) {
  if (IsOpen()) (void)port_->SetDtr(on);
}

void TVorCommDriver::SetRts(bool on) {
  if (IsOpen()) (void)port_->SetRts(on);
}

void TVorCommDriver::PollInput() {
  if (!IsOpen()) return;
  Result<std::size_t> read = port_->Read(std::span(pollBuffer_.data(), inBufSize_));
  if (!read || *read == 0) return;
  const std::size_t count = *read;
  if (RxCount + count >= kRxRestart) RxCount = 0;
  std::memcpy(RxBuffer.data() + RxCount, pollBuffer_.data(), count);
  RxCount = static_cast<std::uint16_t>(RxCount + count);
  if (OnReceiveData) OnReceiveData(*this, pollBuffer_.data(), static_cast<std::int32_t>(count));
}

void TVorCommDriver::SetComPort(TComPortNumber port) {
  if (!IsOpen()) comPort_ = port;
}

void TVorCommDriver::SettingChanged() {
  if (IsOpen()) ApplySettings();
}

void TVorCommDriver::SetComPortSpeed(TComPortBaudRate value) {
  settings_.baudRate = value;
  SettingChanged();
}
void TVorCommDriver::SetComPortDataBits(TComPortDataBits value) {
  settings_.dataBits = value;
  SettingChanged();
}
void TVorCommDriver::SetComPortStopBits(TComPortStopBits value) {
  settings_.stopBits = value;
  SettingChanged();
}
void TVorCommDriver::SetComPortParity(TComPortParity value) {
  settings_.parity = value;
  SettingChanged();
}
void TVorCommDriver::SetComPortHwHandshaking(TComPortHwHandshaking value) {
  settings_.hwHandshaking = value;
  SettingChanged();
}
void TVorCommDriver::SetComPortSwHandshaking(TComPortSwHandshaking value) {
  settings_.swHandshaking = value;
  SettingChanged();
}

void TVorCommDriver::SetLineSettings(TComPortBaudRate speed, TComPortDataBits dataBits,
                                     TComPortParity parity, TComPortStopBits stopBits) {
  settings_.baudRate = speed;
  settings_.dataBits = dataBits;
  settings_.parity = parity;
  settings_.stopBits = stopBits;
  SettingChanged();
}

void TVorCommDriver::SetComPortInBufSize(std::uint16_t value) {
  if (IsOpen()) return;
  // One poll must always fit the accumulator.
  inBufSize_ = std::clamp<std::uint16_t>(value, 1, kRxRestart);
  pollBuffer_.assign(inBufSize_, 0);
}

void TVorCommDriver::SetComPortPollingDelay(std::uint16_t value) {
  if (value == pollingDelay_) return;
  if (IsOpen()) {
    StopPollTimer();
    pollingDelay_ = value;
    StartPollTimer();
  } else {
    pollingDelay_ = value;
  }
}

void TVorCommDriver::StartPollTimer() {
  StopPollTimer();
  pollTimer_ = clock_.AttachPoll(Millis(pollingDelay_), [this] { PollInput(); });
}

void TVorCommDriver::StopPollTimer() {
  if (pollTimer_) clock_.DetachPoll(*pollTimer_);
  pollTimer_.reset();
}

}  // namespace dravik::comm
