#pragma once
// The on-line simulation's cycle the online_reply target runs and its seed maker records:
// the master of Link 1 (Modbus RTU master) with its writes and the reads of its plan.

#include <chrono>
#include <cstdint>
#include <vector>

#include "device_kinds.h"
#include "sim/online_master.h"

namespace dravik::fuzz {

inline constexpr std::uint8_t kOnlineSlave = 7;
// Link 1 of the Modbus RTU master: words 4X 3X D T C, bits 4X.b 0X 1X X Y M S T.
inline const sim::RegisterKinds& OnlineKinds() {
  static const sim::RegisterKinds kinds = NamingOf(kModbusMaster, 1).kinds;
  return kinds;
}

inline sim::WordAddress OnlineWord(std::uint8_t kind, std::uint32_t number) {
  return {0, kind, number};
}
inline sim::BitAddress OnlineBit(std::uint8_t kind, std::uint32_t number, std::uint8_t bit = 0) {
  return {0, kind, number, bit};
}

inline const std::vector<sim::ReadRequest>& OnlineReads() {
  static const std::vector<sim::ReadRequest> reads = sim::PlanReads(
      OnlineKinds(),
      {OnlineWord(0, 0), OnlineWord(0, 1), OnlineWord(0, 3), OnlineWord(1, 5), OnlineWord(2, 10),
       OnlineWord(3, 2)},
      {OnlineBit(0, 1, 3), OnlineBit(1, 0), OnlineBit(1, 9), OnlineBit(2, 4), OnlineBit(3, 8),
       OnlineBit(5, 20)});
  return reads;
}

inline std::vector<sim::PendingWrite> OnlineWrites() {
  return {{OnlineWord(2, 100), 0x1234},
          {OnlineWord(2, 101), 0x5678},
          {OnlineBit(1, 5), 1},
          {OnlineBit(0, 2, 15), 1}};
}

inline sim::OnlineLine OnlineLineSettings(std::chrono::milliseconds timeout) {
  sim::OnlineLine line;
  line.settings.baudRate = platform::TComPortBaudRate::br115200;
  line.slave = kOnlineSlave;
  line.timeout = timeout;
  return line;
}

}  // namespace dravik::fuzz
