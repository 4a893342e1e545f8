#pragma once
// A PLC as a Modbus RTU slave: coils, discrete inputs, holding and input registers,
// answering functions 1, 2, 3, 4, 5, 6, 15 and 16, exception 1 for any other function and
// exception 2 for addresses past its tables. Faults on request: silence, a bad CRC.

#include <cstdint>
#include <vector>

#include "emulators/emulated_line.h"

namespace dravik::test {

struct ModbusSlaveOptions {
  std::uint8_t slave = 1;
  std::uint32_t tableSize = 0x10000;  // addresses 0 .. tableSize - 1 exist in each table
  bool silent = false;                // answers nothing
  bool corruptCrc = false;            // every reply's CRC is wrong
};

// One request the slave took (its CRC was good and it was addressed to this slave).
struct ModbusRequest {
  std::uint8_t function = 0;
  std::uint16_t start = 0;
  std::uint16_t count = 0;  // 1 for the single writes
};

class ModbusSlaveEmulator final : public ByteEmulator {
 public:
  explicit ModbusSlaveEmulator(ModbusSlaveOptions options = {});

  Bytes Receive(std::span<const std::uint8_t> bytes, const LineInfo& line) override;

  // Lock the line's mutex around these while the line runs.
  ModbusSlaveOptions& Options() { return options_; }
  std::uint16_t& Holding(std::uint16_t address) { return holding_[address]; }
  std::uint16_t& Input(std::uint16_t address) { return input_[address]; }
  bool Coil(std::uint16_t address) const { return coils_[address] != 0; }
  void SetCoil(std::uint16_t address, bool on) { coils_[address] = on ? 1 : 0; }
  void SetDiscreteInput(std::uint16_t address, bool on) { discrete_[address] = on ? 1 : 0; }
  const std::vector<ModbusRequest>& Requests() const { return requests_; }

 private:
  // The length of the frame that starts `pending_`, 0 while it cannot yet be told.
  std::size_t FrameLength() const;
  Bytes Answer(const Bytes& frame);
  Bytes ReadBits(const std::vector<std::uint8_t>& table, std::uint16_t start, std::uint16_t count);
  Bytes ReadWords(const std::vector<std::uint16_t>& table, std::uint16_t start,
                  std::uint16_t count);
  Bytes Exception(std::uint8_t function, std::uint8_t code) const;
  bool InRange(std::uint32_t start, std::uint32_t count) const;

  ModbusSlaveOptions options_;
  std::vector<std::uint8_t> coils_ = std::vector<std::uint8_t>(0x10000, 0);
  std::vector<std::uint8_t> discrete_ = std::vector<std::uint8_t>(0x10000, 0);
  std::vector<std::uint16_t> holding_ = std::vector<std::uint16_t>(0x10000, 0);
  std::vector<std::uint16_t> input_ = std::vector<std::uint16_t>(0x10000, 0);
  std::vector<ModbusRequest> requests_;
  Bytes pending_;
};

}  // namespace dravik::test
