#include "comm/modbus_rtu.h"

#include <algorithm>

namespace dravik::comm {

std::uint16_t Crc16Modbus(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

void AppendCrc(Bytes& frame) {
  std::uint16_t crc = Crc16Modbus(frame);
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

Bytes WriteRegistersFrame(const RegisterMirror& mirror, std::uint16_t start, std::uint8_t count) {
  Bytes frame;
  frame.reserve(9 + 2 * count);
  frame.push_back(kPanelSlave);
  frame.push_back(kFnWriteMultipleRegisters);
  frame.push_back(static_cast<std::uint8_t>(start >> 8));
  frame.push_back(static_cast<std::uint8_t>(start & 0xFF));
  frame.push_back(0x00);
  frame.push_back(count);
  frame.push_back(static_cast<std::uint8_t>(2 * count));
  for (int i = 0; i < count; ++i) {
    std::uint16_t value = mirror[static_cast<std::uint16_t>(start + i)];
    frame.push_back(static_cast<std::uint8_t>(value >> 8));
    frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
  }
  AppendCrc(frame);
  return frame;
}

Bytes ReadRegistersFrame(std::uint16_t start, std::uint16_t count) {
  Bytes frame{kPanelSlave,
              kFnReadHoldingRegisters,
              static_cast<std::uint8_t>(start >> 8),
              static_cast<std::uint8_t>(start & 0xFF),
              static_cast<std::uint8_t>(count >> 8),
              static_cast<std::uint8_t>(count & 0xFF)};
  AppendCrc(frame);
  return frame;
}

bool IsWriteEcho(std::span<const std::uint8_t> reply, std::span<const std::uint8_t> request) {
  // All six bytes must have arrived: the bytes after a short reply are left over from an
  // earlier exchange and may well look like the right echo.
  if (reply.size() < 6 || request.size() < 6) return false;
  return std::equal(reply.begin(), reply.begin() + 6, request.begin());
}

bool TakeReadReply(std::span<const std::uint8_t> reply, std::uint16_t start, std::uint16_t count,
                   RegisterMirror& mirror) {
  if (reply.size() < 2u * count + 5u) return false;
  const std::size_t body = reply.size() - 2;
  const std::uint16_t crc = Crc16Modbus(reply.first(body));
  if (reply[body] != (crc & 0xFF) || reply[body + 1] != (crc >> 8)) return false;
  for (std::uint16_t i = 0; i < count; ++i) {
    mirror[static_cast<std::uint16_t>(start + i)] =
        static_cast<std::uint16_t>((reply[3 + 2 * i] << 8) | reply[4 + 2 * i]);
  }
  return true;
}

}  // namespace dravik::comm
