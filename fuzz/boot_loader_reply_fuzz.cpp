// The STM32 boot loader's replies during a firmware upgrade (ACK, NACK, the command list,
// the product id, the flash size) from a script of replies (scripted_port.h). Whatever
// comes back, the upgrade ends within its three attempts, leaves the port closed, and
// never reports more written than the image holds.

#include <cstddef>
#include <cstdint>
#include <span>

#include "comm/firmware_session.h"
#include "comm_session.h"
#include "fuzz_check.h"

using namespace dravik;
using namespace dravik::comm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReplyScript replies(std::span(data, size));
  fuzz::ScriptedLine line([&](auto, const auto&) { return replies.Next(); });
  const fuzz::Bytes image = fuzz::SampleImage(fuzz::kFirmwareImageSize);
  FirmwareSession session(line.driver, line.clock, image, TComPortNumber::pnCOM1);
  const FirmwareOutcome outcome = session.Run();

  FUZZ_CHECK(!session.Active());
  FUZZ_CHECK(!line.driver.IsOpen());
  FUZZ_CHECK(line.driver.RxCount <= TVorCommDriver::kRxBufferSize);
  FUZZ_CHECK(outcome.attempts >= 1 && outcome.attempts <= 3);
  FUZZ_CHECK(session.Progress().bytesWritten <= image.size());
  if (outcome.ok()) FUZZ_CHECK(session.Progress().bytesWritten == image.size());
  return 0;
}
