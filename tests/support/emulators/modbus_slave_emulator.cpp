#include "emulators/modbus_slave_emulator.h"

#include "comm/modbus_rtu.h"

namespace dravik::test {

namespace {

std::uint16_t WordAt(const Bytes& frame, std::size_t offset) {
  return static_cast<std::uint16_t>(frame[offset] << 8 | frame[offset + 1]);
}

void PushWord(Bytes& frame, std::uint16_t value) {
  frame.push_back(static_cast<std::uint8_t>(value >> 8));
  frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

}  // namespace

ModbusSlaveEmulator::ModbusSlaveEmulator(ModbusSlaveOptions options) : options_(options) {}

std::size_t ModbusSlaveEmulator::FrameLength() const {
  if (pending_.size() < 2) return 0;
  const std::uint8_t function = pending_[1];
  if (function == 15 || function == 16)
    return pending_.size() < 7 ? 0 : 9 + std::size_t{pending_[6]};
  return 8;  // 1 to 6, and anything else is answered by its first eight bytes
}

Bytes ModbusSlaveEmulator::Receive(std::span<const std::uint8_t> bytes, const LineInfo&) {
  Bytes reply;
  for (std::uint8_t byte : bytes) {
    pending_.push_back(byte);
    const std::size_t length = FrameLength();
    if (length == 0 || pending_.size() < length) continue;
    Bytes frame;
    frame.swap(pending_);
    const std::uint16_t crc = comm::Crc16Modbus(std::span(frame).first(length - 2));
    if (frame[length - 2] != (crc & 0xFF) || frame[length - 1] != (crc >> 8)) continue;
    if (frame[0] != options_.slave || options_.silent) continue;
    Bytes answer = Answer(frame);
    comm::AppendCrc(answer);
    if (options_.corruptCrc) answer.back() ^= 0x5A;
    reply.insert(reply.end(), answer.begin(), answer.end());
  }
  return reply;
}

bool ModbusSlaveEmulator::InRange(std::uint32_t start, std::uint32_t count) const {
  return count > 0 && start + count <= options_.tableSize;
}

Bytes ModbusSlaveEmulator::Exception(std::uint8_t function, std::uint8_t code) const {
  return {options_.slave, static_cast<std::uint8_t>(function | 0x80), code};
}

Bytes ModbusSlaveEmulator::ReadBits(const std::vector<std::uint8_t>& table, std::uint16_t start,
                                    std::uint16_t count) {
  Bytes answer{options_.slave, 0, static_cast<std::uint8_t>((count + 7) / 8)};
  answer.resize(3 + answer[2], 0);
  for (std::uint16_t i = 0; i < count; ++i) {
    if (table[static_cast<std::size_t>(start) + i] != 0)
      answer[3 + i / 8] |= static_cast<std::uint8_t>(1 << (i % 8));
  }
  return answer;
}

Bytes ModbusSlaveEmulator::ReadWords(const std::vector<std::uint16_t>& table, std::uint16_t start,
                                     std::uint16_t count) {
  Bytes answer{options_.slave, 0, static_cast<std::uint8_t>(2 * count)};
  for (std::uint16_t i = 0; i < count; ++i)
    PushWord(answer, table[static_cast<std::size_t>(start) + i]);
  return answer;
}

Bytes ModbusSlaveEmulator::Answer(const Bytes& frame) {
  const std::uint8_t function = frame[1];
  const std::uint16_t start = WordAt(frame, 2);
  const std::uint16_t second = WordAt(frame, 4);
  const bool single = function == 5 || function == 6;
  requests_.push_back({function, start, single ? std::uint16_t{1} : second});
  const bool readsBits = function == 1 || function == 2;
  const bool readsWords = function == 3 || function == 4;
  if (function < 1 || (function > 6 && function != 15 && function != 16))
    return Exception(function, 1);
  if ((readsBits && second > 2000) || (readsWords && second > 125)) return Exception(function, 3);
  if (!InRange(start, single ? 1 : second)) return Exception(function, 2);
  Bytes answer;
  switch (function) {
    case 1:
      answer = ReadBits(coils_, start, second);
      break;
    case 2:
      answer = ReadBits(discrete_, start, second);
      break;
    case 3:
      answer = ReadWords(holding_, start, second);
      break;
    case 4:
      answer = ReadWords(input_, start, second);
      break;
    case 5:
      if (second != 0xFF00 && second != 0x0000) return Exception(function, 3);
      coils_[start] = second == 0xFF00 ? 1 : 0;
      answer.assign(frame.begin(), frame.begin() + 6);
      break;
    case 6:
      holding_[start] = second;
      answer.assign(frame.begin(), frame.begin() + 6);
      break;
    case 15:
      for (std::uint16_t i = 0; i < second; ++i) {
        coils_[static_cast<std::size_t>(start) + i] = (frame[7 + i / 8] >> (i % 8)) & 1;
      }
      answer.assign(frame.begin(), frame.begin() + 6);
      break;
    default:  // 16
      for (std::uint16_t i = 0; i < second; ++i) {
        holding_[static_cast<std::size_t>(start) + i] = WordAt(frame, 7 + 2 * std::size_t{i});
      }
      answer.assign(frame.begin(), frame.begin() + 6);
      break;
  }
  answer[1] = function;
  return answer;
}

}  // namespace dravik::test
