#pragma once
// TVorCommDriver owns one serial port: it opens one of COM1 ... COM8, applies the line
// settings, writes byte blocks with an output time-out, and receives by polling: every
// ComPortPollingDelay milliseconds while the protocol thread waits (and whenever that
// thread pumps), whatever has arrived is appended to RxBuffer/RxCount, which the
// protocols read and reset directly. There is no reading thread; everything happens on
// the thread that runs the protocol.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "comm/clock.h"
#include "comm/com_port_map.h"
#include "platform/serial_port.h"

namespace dravik::comm {

// The line the driver talks through, its settings and why it did not open: the platform's
// serial port, named here as the protocols speak of them.
using platform::BaudRateValue;
using platform::DataBitsValue;
using platform::kBaudRateTable;
using platform::kDefaultReceiveLatency;
using platform::PortOpenError;
using platform::PortOpenFailure;
using platform::SerialLineSettings;
using platform::SerialPort;
using platform::TComPortBaudRate;
using platform::TComPortDataBits;
using platform::TComPortHwHandshaking;
using platform::TComPortParity;
using platform::TComPortStopBits;
using platform::TComPortSwHandshaking;
using platform::WireTime;

// How a WriteBytes call ended.
enum class WriteStatus {
  Written,     // every byte was handed to the line
  PortClosed,  // nothing was written
  TimedOut,    // the output queue stayed full for OutputTimeout ms
  Failed,      // the device refused the write (unplugged adapter, I/O error)
};

struct WriteResult {
  WriteStatus status = WriteStatus::PortClosed;
  std::int32_t written = 0;  // bytes handed to the line before the end
  bool ok() const { return status == WriteStatus::Written; }
};

class TVorCommDriver {
 public:
  using TComPortReceiveDataEvent = std::function<void(
      TVorCommDriver& sender, const std::uint8_t* dataPtr, std::int32_t dataSize)>;

  static constexpr std::size_t kRxBufferSize = 1026;
  // The accumulator restarts before it would hold this many bytes.
  static constexpr std::uint16_t kRxRestart = 1024;

  TVorCommDriver(std::unique_ptr<SerialPort> port, Clock& clock, ComPortMap ports);
  ~TVorCommDriver();
  TVorCommDriver(const TVorCommDriver&) = delete;
  TVorCommDriver& operator=(const TVorCommDriver&) = delete;

  // --- operations
  bool OpenPort();
  void ClosePort();
  bool IsOpen() const;
  bool ApplySettings();
  void PurgeBuffers(bool input, bool output);
  std::int16_t OutputFreeSpace();
  WriteResult WriteBytes(std::span<const std::uint8_t> data);
  void SetDtr(bool on);
  void SetRts(bool on);
  void PollInput();

  // What a reply window allows on top of the protocol's own pauses: the time a request of
  // `requestBytes` and its reply of `replyBytes` spend on the wire at the current line
  // settings, and the adapter's latency. The protocols' pauses were measured on a desktop
  // whose 1 ms sleep lasted up to a timer tick (about 15.6 ms); here a sleep lasts what it
  // says, so a panel at 9,600 baud, whose probe and reply alone take 22 ms on the wire,
  // would never be in time without this.
  Micros ReplyAllowance(std::size_t requestBytes, std::size_t replyBytes) const;

  // --- properties
  TComPortNumber ComPort() const { return comPort_; }
  void SetComPort(TComPortNumber port);  // taken only while closed
  TComPortBaudRate ComPortSpeed() const { return settings_.baudRate; }
  void SetComPortSpeed(TComPortBaudRate value);
  TComPortDataBits ComPortDataBits() const { return settings_.dataBits; }
  void SetComPortDataBits(TComPortDataBits value);
  TComPortStopBits ComPortStopBits() const { return settings_.stopBits; }
  void SetComPortStopBits(TComPortStopBits value);
  TComPortParity ComPortParity() const { return settings_.parity; }
  void SetComPortParity(TComPortParity value);
  TComPortHwHandshaking ComPortHwHandshaking() const { return settings_.hwHandshaking; }
  void SetComPortHwHandshaking(TComPortHwHandshaking value);
  TComPortSwHandshaking ComPortSwHandshaking() const { return settings_.swHandshaking; }
  void SetComPortSwHandshaking(TComPortSwHandshaking value);
  std::uint16_t ComPortInBufSize() const { return inBufSize_; }
  void SetComPortInBufSize(std::uint16_t value);  // taken only while closed; at most 1024
  std::uint16_t ComPortOutBufSize() const { return outBufSize_; }
  void SetComPortOutBufSize(std::uint16_t value) { outBufSize_ = value; }
  std::uint16_t ComPortPollingDelay() const { return pollingDelay_; }
  void SetComPortPollingDelay(std::uint16_t value);
  bool EnableDTROnOpen = false;
  std::uint16_t OutputTimeout = 4000;  // ms
  TComPortReceiveDataEvent OnReceiveData;

  // Sets every line setting at once (applied at once when open).
  void SetLineSettings(TComPortBaudRate speed, TComPortDataBits dataBits, TComPortParity parity,
                       TComPortStopBits stopBits);

  // --- the receive accumulator the protocols read and reset
  std::uint16_t RxCount = 0;
  std::array<std::uint8_t, kRxBufferSize> RxBuffer{};

  // Why the last OpenPort failed (nullopt after a successful one).
  const std::optional<PortOpenError>& LastOpenError() const { return lastOpenError_; }
  // Why the last line-settings call was refused (the driver goes on with the old ones).
  const std::optional<std::string>& LastSettingsError() const { return lastSettingsError_; }
  const ComPortMap& Ports() const { return ports_; }
  Clock& GetClock() { return clock_; }

 private:
  void SettingChanged();
  void StartPollTimer();
  void StopPollTimer();

  std::unique_ptr<SerialPort> port_;
  Clock& clock_;
  ComPortMap ports_;
  TComPortNumber comPort_ = TComPortNumber::pnCOM1;
  SerialLineSettings settings_;
  std::uint16_t inBufSize_ = 1024;
  std::uint16_t outBufSize_ = 512;
  std::uint16_t pollingDelay_ = 5;
  std::vector<std::uint8_t> pollBuffer_;
  std::optional<Clock::PollId> pollTimer_;
  std::optional<PortOpenError> lastOpenError_;
  std::optional<std::string> lastSettingsError_;
};

}  // namespace dravik::comm
