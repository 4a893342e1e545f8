#include "emulators/panel_emulator.h"

#include "comm/download_session.h"
#include "comm/modbus_rtu.h"
#include "comm/serial_profile_table.h"

namespace dravik::test {

using namespace dravik::comm;

PanelEmulator::PanelEmulator(PanelOptions options) : options_(std::move(options)) {}

PanelFault PanelEmulator::FaultFor(const PanelRequest& request) const {
  return options_.fault ? options_.fault(request) : PanelFault::None;
}

Bytes PanelEmulator::Receive(std::span<const std::uint8_t> bytes, const LineInfo& line) {
  Bytes reply;
  for (std::uint8_t byte : bytes) TakeByte(byte, line, reply);
  if (options_.silent) reply.clear();
  return reply;
}

void PanelEmulator::TakeByte(std::uint8_t byte, const LineInfo& line, Bytes& reply) {
  const bool modbusLine = options_.modbusBaud == 0 || line.baud == options_.modbusBaud;
  if (pending_.empty()) {
    if (byte == kProbeByte) {
      const bool probeLine =
          options_.probeBauds.empty() || options_.probeBauds.count(line.baud) != 0;
      // At a foreign speed the characters arrive as garbage.
      if (!probeLine) return;
      if (++probeRun_ < kProbeLength) return;
      probeRun_ = 0;
      PanelRequest request{PanelRequest::Probe, 0, 0, probes_++, line.baud};
      probeBauds_.push_back(line.baud);
      PanelFault fault = FaultFor(request);
      if (fault == PanelFault::Drop) return;
      ++probesAnswered_;
      Bytes signature(ProbeSignature.begin(), ProbeSignature.end());
      if (fault == PanelFault::Corrupt) signature[2] ^= 0x01;
      reply.insert(reply.end(), signature.begin(), signature.end());
      return;
    }
    probeRun_ = 0;
    if (byte != kPanelSlave || !modbusLine) return;
  }
  pending_.push_back(byte);
  if (pending_.size() < 2) return;
  std::size_t length = 0;
  if (pending_[1] == kFnWriteMultipleRegisters) {
    if (pending_.size() < 7) return;
    length = 9 + static_cast<std::size_t>(pending_[6]);
  } else if (pending_[1] == kFnReadHoldingRegisters) {
    length = 8;
  } else {
    pending_.clear();  // not a frame for us: wait for the next slave address
    return;
  }
  if (pending_.size() < length) return;
  Bytes frame;
  frame.swap(pending_);
  const std::uint16_t crc = Crc16Modbus(std::span(frame).first(length - 2));
  if (frame[length - 2] != (crc & 0xFF) || frame[length - 1] != (crc >> 8))
    return;  // a slave stays quiet
  HandleFrame(frame, line, reply);
}

void PanelEmulator::HandleFrame(const Bytes& frame, const LineInfo& line, Bytes& reply) {
  const auto start = static_cast<std::uint16_t>((frame[2] << 8) | frame[3]);
  const auto count = static_cast<std::uint16_t>((frame[4] << 8) | frame[5]);
  Bytes answer;
  PanelFault fault = PanelFault::None;
  if (frame[1] == kFnWriteMultipleRegisters) {
    fault = FaultFor({PanelRequest::Write, start, count, writes_++, line.baud});
    if (fault == PanelFault::Drop) return;
    writeFrames_.push_back(frame);
    for (std::uint16_t i = 0; i < count; ++i) {
      registers_[static_cast<std::uint16_t>(start + i)] =
          static_cast<std::uint16_t>((frame[7 + 2 * i] << 8) | frame[8 + 2 * i]);
    }
    if (start == kRegKey1 && count == kHeaderRegisters) {
      const std::uint16_t command = registers_[kRegCommand];
      if (command == kCommandSync) {
        PanelSync sync;
        for (int i = 0; i < 10; ++i) sync.header[i] = registers_[kRegKey1 + i];
        sync.baud = line.baud;
        syncs_.push_back(sync);
        image_.clear();
        blocks_.clear();
      } else if (command == kCommandBlock) {
        const std::uint16_t number = registers_[kRegBlockNumber];
        blocks_.push_back({number, registers_[kRegLastBlock], registers_[kRegPercent], line.baud});
        if (number >= kFirstBlockNumber) {
          const std::size_t offset =
              static_cast<std::size_t>(number - kFirstBlockNumber) * kBlockSize;
          if (image_.size() < offset + kBlockSize) image_.resize(offset + kBlockSize);
          for (std::size_t k = 0; k < kDataWindowRegisters; ++k) {
            const std::uint16_t value = registers_[kRegDataWindow + k];
            image_[offset + 2 * k] = static_cast<std::uint8_t>(value & 0xFF);
            image_[offset + 2 * k + 1] = static_cast<std::uint8_t>(value >> 8);
          }
        }
        if (options_.acknowledge) registers_[kRegKey1] = 0;
      }
    }
    answer.assign(frame.begin(), frame.begin() + 6);
    AppendCrc(answer);
  } else {
    fault = FaultFor({PanelRequest::Read, start, count, reads_++, line.baud});
    if (fault == PanelFault::Drop) return;
    answer = {kPanelSlave, kFnReadHoldingRegisters, static_cast<std::uint8_t>(2 * count)};
    for (std::uint16_t i = 0; i < count; ++i) {
      const std::uint16_t value = registers_[static_cast<std::uint16_t>(start + i)];
      answer.push_back(static_cast<std::uint8_t>(value >> 8));
      answer.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    AppendCrc(answer);
  }
  if (fault == PanelFault::Corrupt) {
    // The echo's start address and the read's CRC are what the tool checks.
    answer[3] ^= 0x40;
  }
  reply.insert(reply.end(), answer.begin(), answer.end());
}

}  // namespace dravik::test
