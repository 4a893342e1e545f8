#pragma once
// The Modbus RTU frames the download uses: write multiple registers (function 16) and
// read holding registers (function 3), always to slave 255.

#include <cstdint>
#include <span>
#include <vector>

#include "comm/register_mirror.h"

namespace dravik::comm {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kPanelSlave = 0xFF;
inline constexpr std::uint8_t kFnReadHoldingRegisters = 0x03;
inline constexpr std::uint8_t kFnWriteMultipleRegisters = 0x10;

// Modbus over serial line, 6.2.2: reflected polynomial 0xA001, start 0xFFFF, no final
// inversion; sent low byte first.
std::uint16_t Crc16Modbus(std::span<const std::uint8_t> bytes);

// Appends the CRC of `frame`, low byte first.
void AppendCrc(Bytes& frame);

// 0xFF 0x10 start(hi, lo) 0x00 n 2n registers(hi, lo)... CRC(lo, hi): 9 + 2n bytes.
Bytes WriteRegistersFrame(const RegisterMirror& mirror, std::uint16_t start, std::uint8_t count);

// 0xFF 0x03 start(hi, lo) count(hi, lo) CRC(lo, hi).
Bytes ReadRegistersFrame(std::uint16_t start, std::uint16_t count);

// A write is answered by the echo of its first six bytes (address, function, start,
// count). The CRC of the echo is not examined.
bool IsWriteEcho(std::span<const std::uint8_t> reply, std::span<const std::uint8_t> request);

// Takes a read reply into the mirror when enough bytes have arrived (2 * count + 5) and
// the CRC over all but the last two equals those two. Address, function and byte count
// are not examined. Returns whether the reply was taken.
bool TakeReadReply(std::span<const std::uint8_t> reply, std::uint16_t start, std::uint16_t count,
                   RegisterMirror& mirror);

}  // namespace dravik::comm
