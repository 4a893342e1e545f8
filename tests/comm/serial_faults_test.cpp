// The line going wrong under a device job, on real pseudo-terminals and the real clock: the
// device vanishing mid-transfer, a device that answers garbage, replies arriving a byte
// at a time. Each job must end with its own message within a bounded time, never hang.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <random>

#include "comm/comm_rig.h"
#include "comm/device_jobs.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"

namespace dravik::comm {
namespace {

using namespace std::chrono_literals;
using test::BootLoaderEmulator;
using test::Bytes;
using test::EmulatedLine;
using test::EmulatedLineOptions;
using test::PanelEmulator;
using test::SampleImage;

// Far longer than any job below needs, even on a loaded machine; a job still running
// then is taken as hung.
constexpr auto kJobBound = 120s;

// A device that answers every chunk it receives with a run of random bytes.
class GarbageEmulator final : public test::ByteEmulator {
 public:
  Bytes Receive(std::span<const std::uint8_t>, const test::LineInfo&) override {
    Bytes reply(64);
    for (std::uint8_t& byte : reply) byte = static_cast<std::uint8_t>(random_());
    return reply;
  }

 private:
  std::mt19937 random_{20240611};
};

// Runs `job` on its own thread and waits for it at most kJobBound.
template <typename Job>
auto Bounded(Job job) {
  auto future = std::async(std::launch::async, std::move(job));
  EXPECT_EQ(future.wait_for(kJobBound), std::future_status::ready) << "the job hangs";
  return future.get();
}

// Hangs the line up once the device has taken `bytes` bytes, from another thread.
std::future<void> HangUpAfter(EmulatedLine& line, std::uint64_t bytes) {
  return std::async(std::launch::async, [&line, bytes] {
    if (line.WaitConsumed(bytes, std::chrono::duration_cast<std::chrono::milliseconds>(kJobBound)))
      line.HangUp();
  });
}

TEST(SerialFaults, PortVanishingMidDownloadEndsTheTransferWithItsMessage) {
  PanelEmulator panel;
  EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const Bytes image = SampleImage(30 * 2048, 5);
  std::future<void> hangUp = HangUpAfter(line, 4 * 2048);
  const auto started = std::chrono::steady_clock::now();
  const DownloadOutcome outcome =
      Bounded([&] { return RunDownload(DeviceLine::Named(line.SlavePath()), image); });
  hangUp.get();
  EXPECT_EQ(outcome.end, DownloadEnd::TransferFailed) << outcome.label.english;
  EXPECT_EQ(outcome.label.chinese, download_label::kTransferFailed.chinese);
  EXPECT_LT(outcome.bytesSent, image.size());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 60s);
}

TEST(SerialFaults, PortVanishingMidFirmwareUpgradeEndsWithTheConnectionMessage) {
  BootLoaderEmulator boot;
  EmulatedLine line(boot);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const Bytes firmware = SampleImage(64 * 1024, 9);
  std::future<void> hangUp = HangUpAfter(line, 8 * 1024);
  const FirmwareOutcome outcome =
      Bounded([&] { return RunFirmwareUpgrade(DeviceLine::Named(line.SlavePath()), firmware); });
  hangUp.get();
  EXPECT_FALSE(outcome.ok());
  EXPECT_TRUE(outcome.end == FirmwareEnd::ConnectFailed ||
              outcome.end == FirmwareEnd::PortOpenFailed)
      << outcome.label.english;
  if (outcome.end == FirmwareEnd::ConnectFailed) {
    EXPECT_EQ(outcome.label.chinese, firmware_label::kConnectFailed.chinese);
  }
}

TEST(SerialFaults, APanelAnsweringGarbageIsNotFound) {
  GarbageEmulator garbage;
  EmulatedLine line(garbage);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const DownloadOutcome outcome = Bounded(
      [&] { return RunDownload(DeviceLine::Named(line.SlavePath()), SampleImage(3000)); });
  EXPECT_EQ(outcome.end, DownloadEnd::SearchFailed) << outcome.label.english;
  EXPECT_EQ(outcome.label.chinese, download_label::kSearchFailed.chinese);
  EXPECT_EQ(outcome.bytesSent, 0u);
}

TEST(SerialFaults, ABootLoaderAnsweringGarbageFailsTheConnection) {
  GarbageEmulator garbage;
  EmulatedLine line(garbage);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const FirmwareOutcome outcome = Bounded([&] {
    return RunFirmwareUpgrade(DeviceLine::Named(line.SlavePath()), SampleImage(4096));
  });
  EXPECT_EQ(outcome.end, FirmwareEnd::ConnectFailed) << outcome.label.english;
  EXPECT_EQ(outcome.label.chinese, firmware_label::kConnectFailed.chinese);
}

// Each reply byte comes on its own, so the tool gathers every reply from many reads.
constexpr EmulatedLineOptions kByteByByte{.replyBytePause = 150us};

TEST(SerialFaults, DownloadGathersRepliesSplitAcrossManyReads) {
  PanelEmulator panel;
  EmulatedLine line(panel, kByteByByte);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const Bytes image = SampleImage(5000, 17);
  const DownloadOutcome outcome =
      Bounded([&] { return RunDownload(DeviceLine::Named(line.SlavePath()), image); });
  ASSERT_TRUE(outcome.ok()) << outcome.label.english;
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), panel.Image().begin()));
}

TEST(SerialFaults, FirmwareUpgradeGathersRepliesSplitAcrossManyReads) {
  BootLoaderEmulator boot;
  EmulatedLine line(boot, kByteByByte);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const Bytes firmware = SampleImage(3000, 23);
  const FirmwareOutcome outcome = Bounded(
      [&] { return RunFirmwareUpgrade(DeviceLine::Named(line.SlavePath()), firmware); });
  ASSERT_TRUE(outcome.ok()) << outcome.label.english;
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), boot.Flash().begin()));
}

}  // namespace
}  // namespace dravik::comm
