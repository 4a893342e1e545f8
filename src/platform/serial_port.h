#pragma once
// The one transport the serial protocols talk through. The POSIX implementation lives in
// platform/serial_port_posix.h; tests put fakes and pseudo-terminals behind the same
// interface. Which device a COM position names is the comm room's business, not the port's.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/bilingual.h"
#include "platform/port_open_error.h"
#include "platform/result.h"

namespace dravik::platform {

// The line settings of the driver. Their ordinals are what settings store and what callers
// pass.
enum class TComPortBaudRate : std::uint8_t {
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
};

enum class TComPortDataBits : std::uint8_t { db5BITS, db6BITS, db7BITS, db8BITS };
enum class TComPortStopBits : std::uint8_t { sb1BITS, sb1HALFBITS, sb2BITS };
enum class TComPortParity : std::uint8_t { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum class TComPortHwHandshaking : std::uint8_t { hhNONE, hhRTSCTS };
enum class TComPortSwHandshaking : std::uint8_t { shNONE, shXONXOFF };

// Bits per second, indexed by the TComPortBaudRate ordinal.
inline constexpr std::uint32_t kBaudRateTable[13] = {110,   300,   600,   1200,  2400,  4800,  9600,
                                                     14400, 19200, 38400, 56000, 57600, 115200};

inline constexpr std::uint32_t BaudRateValue(TComPortBaudRate rate) {
  return kBaudRateTable[static_cast<int>(rate)];
}
inline constexpr int DataBitsValue(TComPortDataBits bits) {
  return static_cast<int>(bits) + 5;
}

// Everything a line needs besides its device.
struct SerialLineSettings {
  TComPortBaudRate baudRate = TComPortBaudRate::br9600;
  TComPortDataBits dataBits = TComPortDataBits::db8BITS;
  TComPortStopBits stopBits = TComPortStopBits::sb1BITS;
  TComPortParity parity = TComPortParity::ptNONE;
  TComPortHwHandshaking hwHandshaking = TComPortHwHandshaking::hhNONE;
  TComPortSwHandshaking swHandshaking = TComPortSwHandshaking::shNONE;
  std::uint16_t xonLimit = 256;  // input queue size div 4
  std::uint16_t xoffLimit = 1;
  bool operator==(const SerialLineSettings&) const = default;
};

// How long the line takes to carry `bytes` characters at `line`'s speed and framing: a
// start bit, the data bits, the parity bit and the stop bits each (1.5 stop bits exist).
inline std::chrono::microseconds WireTime(std::size_t bytes, const SerialLineSettings& line) {
  const int parity = line.parity == TComPortParity::ptNONE ? 0 : 1;
  const int stopHalves = line.stopBits == TComPortStopBits::sb1BITS       ? 2
                         : line.stopBits == TComPortStopBits::sb1HALFBITS ? 3
                                                                          : 4;
  const std::uint64_t halfBits =
      bytes *
      static_cast<std::uint64_t>(2 * (1 + DataBitsValue(line.dataBits) + parity) + stopHalves);
  const std::uint64_t halfBitsPerSecond = 2ull * BaudRateValue(line.baudRate);
  // Rounded up: a window is never shorter than the characters it waits for.
  return std::chrono::microseconds((halfBits * 1'000'000 + halfBitsPerSecond - 1) /
                                   halfBitsPerSecond);
}

// How long an adapter may hold received bytes before it hands them on, when it does not
// say: a built-in UART or a pseudo-terminal passes them on at once, a little slack covers
// the scheduler.
inline constexpr std::chrono::microseconds kDefaultReceiveLatency{2000};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the device for reading and writing, exclusively, in raw mode. nullopt = open.
  virtual std::optional<PortOpenError> Open(const std::string& device) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Applies the line settings. A line that cannot take a setting says so; the port stays
  // as it was.
  virtual Status Configure(const SerialLineSettings& settings) = 0;
  // Discards what waits in the input and/or output queue.
  virtual Status Purge(bool input, bool output) = 0;
  // Bytes written but not yet sent.
  virtual Result<int> OutputQueueBytes() = 0;
  // Returns once everything written has left the line (or the line cannot tell).
  virtual Status Drain() = 0;
  virtual Status SetDtr(bool on) = 0;
  virtual Status SetRts(bool on) = 0;

  // Returns at once with what has arrived (possibly nothing).
  virtual Result<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
  // Writes what the output queue takes now; 0 when it is full.
  virtual Result<std::size_t> Write(std::span<const std::uint8_t> bytes) = 0;

  // How long the open line's adapter may hold a received byte before the next Read sees
  // it (a USB adapter's latency timer).
  virtual std::chrono::microseconds ReceiveLatency() const { return kDefaultReceiveLatency; }
};

}  // namespace dravik::platform
