#pragma once
// The on-line simulation: the simulator as a Modbus RTU master on a serial line, reading
// the registers the current page uses from a real PLC and writing what the panel writes.
// Only for images whose Link 1 protocol is "Modbus RTU Master"; the PLC's registers are
// reached through an FX-like Modbus map (docs/simulator.md):
//
//   4X n    holding register n            (read 3, write 6 / 16)
//   3X n    input register n              (read 4, read-only)
//   D n     holding register n            (read 3, write 6 / 16)
//   T n     holding register 0xA000 + n   (word, the timer's value)
//   C n     holding register 0xC000 + n
//   4X.b n.b  bit b of holding register n (read 3, written as its whole word: 3 then 6)
//   0X n    coil n                        (read 1, write 5)
//   1X n    discrete input n              (read 2, read-only)
//   X n     discrete input n read in octal digits (X10 is input 8)
//   Y n     coil n read in octal digits
//   M n     coil 0x2000 + n
//   S n     coil 0xE000 + n
//   T n     coil 0xA000 + n               (bit, the timer's contact)
//
// Link 2's registers stay the simulator's own.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"
#include "platform/serial_port.h"
#include "sim/register_memory.h"
#include "sim/register_names.h"

namespace dravik::compiler {
class DecodedImage;
}

namespace dravik::sim {

inline constexpr int kModbusRtuMasterProtocol = 1;

inline constexpr std::uint8_t kFnReadCoils = 1;
inline constexpr std::uint8_t kFnReadDiscreteInputs = 2;
inline constexpr std::uint8_t kFnReadHolding = 3;
inline constexpr std::uint8_t kFnReadInput = 4;
inline constexpr std::uint8_t kFnWriteCoil = 5;
inline constexpr std::uint8_t kFnWriteRegister = 6;
inline constexpr std::uint8_t kFnWriteRegisters = 16;

// Modbus's limits per request, and the gaps a read takes along rather than asking twice:
// a few unused registers cost less than another request's turn-around on the line.
inline constexpr int kMaxReadRegisters = 125;
inline constexpr int kMaxReadBits = 2000;
inline constexpr int kMaxWriteRegisters = 123;
inline constexpr int kRegisterGapFilled = 8;
inline constexpr int kBitGapFilled = 64;

// Where a register lives on the PLC: the read function of its table and its address
// there; for a bit inside a holding register, the bit.
struct ModbusPoint {
  std::uint8_t readFunction = 0;
  std::uint16_t address = 0;
  std::optional<std::uint8_t> bit;
  bool writable = false;

  bool IsBitTable() const {
    return readFunction == kFnReadCoils || readFunction == kFnReadDiscreteInputs;
  }
};

// The register's place on the PLC; nothing for Link 2, kinds the map lacks, and numbers
// beyond the Modbus table.
std::optional<ModbusPoint> ModbusPointOf(const RegisterKinds& kinds,
                                         const RegisterAddress& address);

// One read request and the registers it brings.
struct ReadRequest {
  std::uint8_t function = 0;
  std::uint16_t start = 0;
  std::uint16_t count = 0;
  std::vector<std::pair<RegisterAddress, ModbusPoint>> targets;

  bool operator==(const ReadRequest& other) const {
    return function == other.function && start == other.start && count == other.count;
  }
};

// The reads that bring `words` and `bits`: per function, neighbouring addresses merged into
// as few requests as the limits allow, gaps up to kRegisterGapFilled / kBitGapFilled read
// along. In function and address order.
std::vector<ReadRequest> PlanReads(const RegisterKinds& kinds,
                                   const std::vector<WordAddress>& words,
                                   const std::vector<BitAddress>& bits);

// Whether the image can run on-line: its Link 1 protocol is the Modbus RTU master.
Status OnlineSupported(const compiler::DecodedImage& image);

// The line the image's Link 1 settings describe (speed, parity, data and stop bits), and
// its slave address and reply time-out.
struct OnlineLine {
  platform::SerialLineSettings settings;
  std::uint8_t slave = 1;
  std::chrono::milliseconds timeout{200};
};
OnlineLine LineOfImage(const compiler::DecodedImage& image);

// A write the panel made, waiting to go to the PLC.
struct PendingWrite {
  RegisterAddress address;
  std::uint16_t value = 0;  // a bit: 0 or 1
};

// The master over an open port: one request at a time, each answered within the time-out
// or reported. It never waits longer than the time-out plus the reply's wire time.
class OnlineMaster {
 public:
  OnlineMaster(platform::SerialPort& port, RegisterKinds kinds, OnlineLine line);

  // Sends the writes (in order; neighbouring holding registers together as one 16),
  // then the reads, and puts what was read into `values`. Stops at the first failure and
  // says what it was; what was read before it is kept, and `writesTried` tells how many
  // writes were sent or failed (the rest were not tried).
  Status Cycle(const std::vector<PendingWrite>& writes, const std::vector<ReadRequest>& reads,
               std::map<RegisterAddress, std::uint16_t>& values,
               std::size_t* writesTried = nullptr);

  // One read, its registers into `values`.
  Status Read(const ReadRequest& request, std::map<RegisterAddress, std::uint16_t>& values);
  Status Write(const PendingWrite& write);

 private:
  Result<std::vector<std::uint8_t>> Transact(std::vector<std::uint8_t> request,
                                             std::size_t replyLength);
  Status WriteRegisters(std::uint16_t start, const std::vector<std::uint16_t>& values);

  platform::SerialPort& port_;
  RegisterKinds kinds_;
  OnlineLine line_;
};

// Puts read values into the memory: words as words, bits inside words through their
// word, plain bits as bits.
void StoreValues(const std::map<RegisterAddress, std::uint16_t>& values, RegisterMemory& memory);

// The master on a thread of its own, for the window: it reads what it is told to watch
// over and over, sends queued writes first, and hands over what it read.
class OnlineRunner {
 public:
  // Opens `device` with `line`'s settings; says why when it cannot.
  static Result<std::unique_ptr<OnlineRunner>> Start(const std::string& device, RegisterKinds kinds,
                                                     OnlineLine line);
  ~OnlineRunner();

  void Watch(const std::vector<WordAddress>& words, const std::vector<BitAddress>& bits);
  void QueueWrite(const WordAddress& address, std::uint16_t value);
  void QueueWrite(const BitAddress& address, bool on);
  // What was read since the last call, latest value per register.
  std::map<RegisterAddress, std::uint16_t> TakeValues();
  // The last cycle's failure, or nothing after a cycle that went through.
  std::optional<Bilingual> LastError() const;
  std::uint64_t CyclesDone() const { return cycles_.load(); }
  void Stop();

 private:
  OnlineRunner(std::unique_ptr<platform::SerialPort> port, RegisterKinds kinds, OnlineLine line);
  void Loop();

  std::unique_ptr<platform::SerialPort> port_;
  OnlineMaster master_;
  RegisterKinds kinds_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<ReadRequest> plan_;
  std::vector<PendingWrite> writes_;
  std::map<RegisterAddress, std::uint16_t> values_;
  std::optional<Bilingual> lastError_;
  std::atomic<std::uint64_t> cycles_{0};
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace dravik::sim
