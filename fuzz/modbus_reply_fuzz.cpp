// The panel's replies during a download: the probe signature, the write echoes and the
// read replies that acknowledge each block, from a script of replies (scripted_port.h).
// Whatever comes back, the download ends, never claims more than it sent, and names only
// blocks it sent as unconfirmed. The read-reply parser alone is fed the same bytes too.

#include <cstddef>
#include <cstdint>
#include <span>

#include "comm/download_session.h"
#include "comm/modbus_rtu.h"
#include "comm_session.h"
#include "fuzz_check.h"

using namespace dravik;
using namespace dravik::comm;

namespace {

void CheckReadReply(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 3) return;
  static RegisterMirror mirror;
  const auto start = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
  const std::uint16_t count = bytes[2];
  const std::span<const std::uint8_t> reply = bytes.subspan(3);
  if (!TakeReadReply(reply, start, count, mirror)) return;
  for (std::uint16_t i = 0; i < count; ++i) {
    const auto value = static_cast<std::uint16_t>(reply[3 + 2 * i] << 8 | reply[4 + 2 * i]);
    FUZZ_CHECK(mirror[static_cast<std::uint16_t>(start + i)] == value);
  }
}

void CheckDownload(std::span<const std::uint8_t> script) {
  fuzz::ReplyScript replies(script);
  fuzz::ScriptedLine line([&](auto, const auto&) { return replies.Next(); });
  static RegisterMirror mirror;
  const fuzz::Bytes image = fuzz::SampleImage(fuzz::kDownloadImageSize);
  DownloadSession session(line.driver, line.clock, mirror, image, TComPortNumber::pnCOM1);
  const DownloadOutcome outcome = session.Run();

  FUZZ_CHECK(IsFinal(session.State()));
  FUZZ_CHECK(!line.driver.IsOpen());
  FUZZ_CHECK(line.driver.RxCount <= TVorCommDriver::kRxBufferSize);
  FUZZ_CHECK(outcome.bytesSent <= image.size());
  if (outcome.ok()) FUZZ_CHECK(outcome.bytesSent == image.size());
  const int blocks = BlockCount(image.size());
  for (int block : outcome.unacknowledgedBlocks) {
    FUZZ_CHECK(block >= kFirstBlockNumber && block < kFirstBlockNumber + blocks);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CheckReadReply(bytes);
  CheckDownload(bytes);
  return 0;
}
