#include "emulators/boot_loader_emulator.h"

#include <algorithm>

#include "comm/firmware_session.h"

namespace dravik::test {

using namespace dravik::comm;

namespace {

std::uint8_t Xor(std::span<const std::uint8_t> bytes) {
  std::uint8_t x = 0;
  for (std::uint8_t b : bytes) x ^= b;
  return x;
}

// The commands this boot loader lists in its Get reply (AN3155 v2.2 set).
constexpr std::uint8_t kCommandList[11] = {0x00, 0x01, 0x02, 0x11, 0x21, 0x31,
                                           0x43, 0x63, 0x73, 0x82, 0x92};

}  // namespace

BootLoaderEmulator::BootLoaderEmulator(BootLoaderOptions options)
    : options_(options),
      flash_(options.flashSize),
      erased_(options.flashSize / kFlashPageBytes, false) {
  // Old firmware: anything but the erased value.
  for (std::size_t i = 0; i < flash_.size(); ++i)
    flash_[i] = static_cast<std::uint8_t>(i * 7 + 3) & 0x7F;
}

Bytes BootLoaderEmulator::Receive(std::span<const std::uint8_t> bytes, const LineInfo&) {
  Bytes reply;
  if (options_.silent) return reply;
  if (options_.nackOnly) {
    reply.assign(bytes.size(), kBootNack);
    nacks_ += static_cast<int>(bytes.size());
    return reply;
  }
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  while (!pending_.empty() && Process(reply)) {
  }
  return reply;
}

void BootLoaderEmulator::Nack(Bytes& reply) {
  reply.push_back(kBootNack);
  ++nacks_;
  phase_ = Phase::Command;
}

void BootLoaderEmulator::Consume(std::size_t count) {
  if (!commands_.empty() && phase_ != Phase::WaitSync)
    commands_.back().insert(commands_.back().end(), pending_.begin(), pending_.begin() + count);
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
}

bool BootLoaderEmulator::Process(Bytes& reply) {
  switch (phase_) {
    case Phase::WaitSync:
      if (pending_[0] == kBootSync) {
        ++syncs_;
        reply.push_back(kBootAck);
        phase_ = Phase::Command;
      }
      pending_.erase(pending_.begin());
      return true;

    case Phase::Command: {
      // A new attempt starts with a lone sync byte (the reset lines do not exist here).
      if (pending_[0] == kBootSync) {
        ++syncs_;
        reply.push_back(kBootAck);
        pending_.erase(pending_.begin());
        return true;
      }
      if (pending_.size() < 2) return false;
      const std::uint8_t command = pending_[0];
      commands_.push_back({});
      Consume(2);
      if (static_cast<std::uint8_t>(commands_.back()[1] ^ command) != 0xFF) {
        Nack(reply);
        return true;
      }
      switch (command) {
        case kBootCmdGet:
          reply.push_back(kBootAck);
          reply.push_back(sizeof kCommandList);
          reply.push_back(options_.version);
          reply.insert(reply.end(), std::begin(kCommandList), std::end(kCommandList));
          reply.push_back(kBootAck);
          break;
        case kBootCmdGetId:
          reply.insert(reply.end(),
                       {kBootAck, 0x01, static_cast<std::uint8_t>(options_.productId >> 8),
                        static_cast<std::uint8_t>(options_.productId & 0xFF), kBootAck});
          break;
        case kBootCmdReadMemory:
          reply.push_back(kBootAck);
          phase_ = Phase::ReadAddress;
          break;
        case kBootCmdErase:
          reply.push_back(kBootAck);
          phase_ = Phase::EraseCount;
          break;
        case kBootCmdWriteMemory:
          reply.push_back(kBootAck);
          phase_ = Phase::WriteAddress;
          break;
        default:
          Nack(reply);
      }
      return true;
    }

    case Phase::ReadAddress:
    case Phase::WriteAddress: {
      if (pending_.size() < 5) return false;
      const std::span<const std::uint8_t> frame(pending_.data(), 5);
      address_ =
          static_cast<std::uint32_t>(frame[0] << 24 | frame[1] << 16 | frame[2] << 8 | frame[3]);
      const bool checksum = Xor(frame.first(4)) == frame[4];
      const Phase phase = phase_;
      Consume(5);
      if (!checksum) return Nack(reply), true;
      if (phase == Phase::WriteAddress &&
          (address_ < kFlashBase || address_ >= kFlashBase + flash_.size() || address_ % 4 != 0))
        return Nack(reply), true;
      reply.push_back(kBootAck);
      phase_ = phase == Phase::ReadAddress ? Phase::ReadLength : Phase::WriteData;
      return true;
    }

    case Phase::ReadLength: {
      if (pending_.size() < 2) return false;
      const std::uint8_t n = pending_[0];
      const bool ok = static_cast<std::uint8_t>(n ^ pending_[1]) == 0xFF;
      Consume(2);
      if (!ok) return Nack(reply), true;
      reply.push_back(kBootAck);
      for (int i = 0; i <= n; ++i) {
        const std::uint32_t at = address_ + static_cast<std::uint32_t>(i);
        std::uint8_t value = 0xFF;
        // The flash size register holds the size in KB, little-endian.
        const std::uint16_t kb = static_cast<std::uint16_t>(flash_.size() / 1024);
        if (at == kFlashSizeRegister) value = static_cast<std::uint8_t>(kb & 0xFF);
        if (at == kFlashSizeRegister + 1) value = static_cast<std::uint8_t>(kb >> 8);
        if (at >= kFlashBase && at < kFlashBase + flash_.size()) value = flash_[at - kFlashBase];
        reply.push_back(value);
      }
      phase_ = Phase::Command;
      return true;
    }

    case Phase::EraseCount:
    case Phase::ErasePages: {
      const std::uint8_t n = pending_[0];
      if (n == 0xFF) {  // global erase: 0xFF 0x00
        if (pending_.size() < 2) return false;
        const bool ok = pending_[1] == 0x00;
        Consume(2);
        if (!ok) return Nack(reply), true;
        std::fill(flash_.begin(), flash_.end(), 0xFF);
        std::fill(erased_.begin(), erased_.end(), true);
        reply.push_back(kBootAck);
        phase_ = Phase::Command;
        return true;
      }
      const std::size_t length = static_cast<std::size_t>(n) + 3;  // N, N + 1 pages, checksum
      if (pending_.size() < length) return false;
      Bytes list(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
      Consume(length);
      eraseLists_.push_back(list);
      if (Xor(std::span(list).first(length - 1)) != list.back()) return Nack(reply), true;
      for (std::size_t i = 1; i + 1 < length; ++i) {
        const std::size_t page = list[i];
        if (page >= erased_.size()) return Nack(reply), true;
        std::fill_n(flash_.begin() + static_cast<std::ptrdiff_t>(page * kFlashPageBytes),
                    kFlashPageBytes, 0xFF);
        erased_[page] = true;
      }
      reply.push_back(kBootAck);
      phase_ = Phase::Command;
      return true;
    }

    case Phase::WriteData: {
      const std::size_t count = static_cast<std::size_t>(pending_[0]) + 1;
      if (pending_.size() < count + 2) return false;
      Bytes frame(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count + 2));
      Consume(count + 2);
      const std::span<const std::uint8_t> data(frame.data() + 1, count);
      const std::size_t offset = address_ - kFlashBase;
      bool ok = Xor(std::span(frame).first(count + 1)) == frame.back() && count % 4 == 0 &&
                offset + count <= flash_.size();
      // Flash takes a write only where it was erased.
      for (std::size_t i = 0; ok && i < count; ++i) ok = erased_[(offset + i) / kFlashPageBytes];
      if (!ok) return Nack(reply), true;
      std::copy(data.begin(), data.end(), flash_.begin() + static_cast<std::ptrdiff_t>(offset));
      reply.push_back(kBootAck);
      phase_ = Phase::Command;
      return true;
    }
  }
  return false;
}

}  // namespace dravik::test
