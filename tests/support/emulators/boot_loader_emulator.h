#pragma once
// The panel's STM32 in boot mode: the part of the AN3155 USART boot loader that the
// firmware upgrade uses (sync, Get, Get ID, Read Memory, Erase, Write Memory), with a
// flash that must be erased before it can be written.

#include <cstdint>
#include <vector>

#include "emulators/emulated_line.h"

namespace dravik::test {

struct BootLoaderOptions {
  bool silent = false;    // answers nothing
  bool nackOnly = false;  // answers every byte with NACK
  std::uint8_t version = 0x22;
  std::uint16_t productId = 0x0410;
  std::size_t flashSize = 256 * 1024;
};

class BootLoaderEmulator final : public ByteEmulator {
 public:
  explicit BootLoaderEmulator(BootLoaderOptions options = {});

  Bytes Receive(std::span<const std::uint8_t> bytes, const LineInfo& line) override;

  // The flash from 0x08000000; unwritten bytes hold the old firmware or, once erased, 0xFF.
  const Bytes& Flash() const { return flash_; }
  // Each command as received: its two command bytes followed by everything it took.
  const std::vector<Bytes>& Commands() const { return commands_; }
  // The erase lists received (count byte, pages, checksum).
  const std::vector<Bytes>& EraseLists() const { return eraseLists_; }
  int Syncs() const { return syncs_; }
  int Nacks() const { return nacks_; }

 private:
  enum class Phase {
    WaitSync,
    Command,
    ReadAddress,
    ReadLength,
    EraseCount,
    ErasePages,
    WriteAddress,
    WriteData
  };
  bool Process(Bytes& reply);  // one step; false when more bytes are needed
  void Nack(Bytes& reply);
  void Consume(std::size_t count);

  BootLoaderOptions options_;
  Bytes flash_;
  std::vector<bool> erased_;
  Bytes pending_;
  Phase phase_ = Phase::WaitSync;
  std::uint32_t address_ = 0;
  std::vector<Bytes> commands_;
  std::vector<Bytes> eraseLists_;
  int syncs_ = 0;
  int nacks_ = 0;
};

}  // namespace dravik::test
