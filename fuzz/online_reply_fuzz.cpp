// The PLC's replies to the on-line simulation's Modbus master: a cycle of writes (a
// holding register run, a coil, a bit inside a word) and reads (every read function),
// each request answered by the next reply of a script (scripted_port.h). Whatever comes
// back, the cycle ends within its time-outs, and a value is kept only from a reply of the
// request's slave and function whose CRC holds, read from where the request put it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <tuple>
#include <vector>

#include "comm/modbus_rtu.h"
#include "online_cycle.h"
#include "fuzz_check.h"
#include "scripted_port.h"
#include "sim/online_master.h"

using namespace dravik;
using namespace dravik::sim;

namespace {

constexpr auto kTimeout = std::chrono::milliseconds(2);
// Far above a cycle's own time-outs on a loaded machine, far below a hang.
constexpr auto kTransactionBound = std::chrono::seconds(1);

using RequestKey = std::tuple<std::uint8_t, std::uint16_t, std::uint16_t>;  // function, start, count
using Frame = std::vector<std::uint8_t>;

std::uint16_t WordAt(const Frame& frame, std::size_t at) {
  return static_cast<std::uint16_t>(frame[at] << 8 | frame[at + 1]);
}

bool IsBitRead(std::uint8_t function) {
  return function == kFnReadCoils || function == kFnReadDiscreteInputs;
}

// The reply's frame when it is a sound answer to the read `written` asked for.
std::optional<Frame> SoundReadReply(std::span<const std::uint8_t> written, const Frame& reply) {
  const std::uint16_t count = static_cast<std::uint16_t>(written[4] << 8 | written[5]);
  const std::size_t dataBytes = IsBitRead(written[1]) ? (count + 7u) / 8u : 2u * count;
  const std::size_t length = 5 + dataBytes;
  if (reply.size() < length) return std::nullopt;
  const std::uint16_t crc = comm::Crc16Modbus(std::span(reply).first(length - 2));
  if (reply[length - 2] != (crc & 0xFF) || reply[length - 1] != (crc >> 8)) return std::nullopt;
  if (reply[0] != fuzz::kOnlineSlave || reply[1] != written[1] || reply[2] != dataBytes) return std::nullopt;
  return Frame(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(length));
}

std::uint16_t ValueIn(const Frame& reply, const ReadRequest& request, const ModbusPoint& point) {
  const std::size_t offset = point.address - request.start;
  if (IsBitRead(request.function)) return (reply[3 + offset / 8] >> (offset % 8)) & 1;
  const std::uint16_t word = WordAt(reply, 3 + 2 * offset);
  return point.bit ? (word >> *point.bit) & 1 : word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReplyScript replies(std::span(data, size));
  std::map<RequestKey, Frame> soundReplies;
  int transactions = 0;
  fuzz::ScriptedPort port([&](std::span<const std::uint8_t> written, const auto&) {
    ++transactions;
    Frame reply = replies.Next();
    if (written.size() < 8 || written[1] > kFnReadInput) return reply;
    const RequestKey key{written[1], static_cast<std::uint16_t>(written[2] << 8 | written[3]),
                         static_cast<std::uint16_t>(written[4] << 8 | written[5])};
    if (auto sound = SoundReadReply(written, reply)) soundReplies[key] = std::move(*sound);
    else soundReplies.erase(key);
    return reply;
  });
  (void)port.Open("/dev/scripted");
  OnlineMaster master(port, fuzz::OnlineKinds(), fuzz::OnlineLineSettings(kTimeout));

  const std::vector<PendingWrite> writes = fuzz::OnlineWrites();
  std::map<RegisterAddress, std::uint16_t> values;
  std::size_t writesTried = 0;
  const auto started = std::chrono::steady_clock::now();
  const Status cycled = master.Cycle(writes, fuzz::OnlineReads(), values, &writesTried);
  const auto took = std::chrono::steady_clock::now() - started;

  FUZZ_CHECK(took <= kTransactionBound * (transactions + 1));
  FUZZ_CHECK(writesTried <= writes.size());
  if (!cycled) FUZZ_CHECK(!cycled.message(false).empty() && !cycled.message(true).empty());
  for (const auto& [address, value] : values) {
    bool found = false;
    for (const ReadRequest& request : fuzz::OnlineReads()) {
      for (const auto& [target, point] : request.targets) {
        if (!(target == address)) continue;
        const auto sound = soundReplies.find({request.function, request.start, request.count});
        FUZZ_CHECK(sound != soundReplies.end());
        FUZZ_CHECK(ValueIn(sound->second, request, point) == value);
        found = true;
      }
    }
    FUZZ_CHECK(found);
  }
  return 0;
}
