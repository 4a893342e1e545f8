#pragma once
// The tool's copy of the panel's 16-bit holding registers, indexed by register address.
// A mirror lives for the whole run and is never cleared between downloads: a download
// sends header registers that the previous one left behind. Each device has its own, so
// panels loaded at the same time on several ports never share one.

#include <array>
#include <cstdint>
#include <string>

namespace dravik::comm {

class RegisterMirror {
 public:
  static constexpr std::size_t kRegisterCount = 65536;

  std::uint16_t& operator[](std::uint16_t address) { return registers_[address]; }
  std::uint16_t operator[](std::uint16_t address) const { return registers_[address]; }

  void SetLowByte(std::uint16_t address, std::uint8_t value) {
    registers_[address] = static_cast<std::uint16_t>((registers_[address] & 0xFF00) | value);
  }
  void SetHighByte(std::uint16_t address, std::uint8_t value) {
    registers_[address] = static_cast<std::uint16_t>((registers_[address] & 0x00FF) | (value << 8));
  }

 private:
  std::array<std::uint16_t, kRegisterCount> registers_{};
};

// The mirror of `device` for this run (made on first use; safe from any thread). Only
// one job at a time may use a device's mirror, as only one can hold the device open.
RegisterMirror& PanelRegisterMirror(const std::string& device);

}  // namespace dravik::comm
