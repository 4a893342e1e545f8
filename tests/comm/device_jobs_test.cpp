// The one call per device job, on the real port, clock and driver: the download and the
// firmware upgrade against the emulators on pseudo-terminals, the line chosen by COM
// position or by device name, progress and Cancel passed through.

#include "comm/device_jobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "comm/comm_rig.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"

namespace dravik::comm {
namespace {

using test::BootLoaderEmulator;
using test::Bytes;
using test::EmulatedLine;
using test::PanelEmulator;
using test::SampleImage;

TEST(DeviceLine, PositionsOutsideTheEightTakeTheNearest) {
  const ComPortMap ports = ComPortMap::Build({}, {{2, "/dev/ttyUSB2"}}, {});
  EXPECT_EQ(DeviceLine::At(ports, 2).port, TComPortNumber::pnCOM3);
  EXPECT_EQ(DeviceLine::At(ports, 2).ports.Device(2), "/dev/ttyUSB2");
  EXPECT_EQ(DeviceLine::At(ports, -1).port, TComPortNumber::pnCOM1);
  EXPECT_EQ(DeviceLine::At(ports, 12).port, TComPortNumber::pnCOM8);
  const DeviceLine named = DeviceLine::Named("/dev/pts/4");
  EXPECT_EQ(named.port, TComPortNumber::pnCOM1);
  EXPECT_EQ(named.ports.Device(0), "/dev/pts/4");
}

TEST(DeviceJobs, DownloadReachesThePanelOnTheNamedDevice) {
  PanelEmulator panel;
  EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const Bytes image = SampleImage(1500, 7);
  int views = 0;
  const DownloadOutcome outcome = RunDownload(DeviceLine::Named(line.SlavePath()), image,
                                              [&](const DownloadProgress&) { ++views; });
  ASSERT_TRUE(outcome.ok()) << outcome.label.english;
  EXPECT_EQ(outcome.bytesSent, image.size());
  EXPECT_GT(views, 0);
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), panel.Image().begin()));
}

TEST(DeviceJobs, CancelDuringTheSearchStopsTheDownload) {
  PanelEmulator panel;
  EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  std::atomic<bool> cancel{false};
  const DownloadOutcome outcome = RunDownload(
      DeviceLine::Named(line.SlavePath()), SampleImage(1500),
      [&](const DownloadProgress& view) {
        if (view.state == DownloadState::Searching) cancel = true;
      },
      &cancel);
  EXPECT_EQ(outcome.end, DownloadEnd::Cancelled);
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(panel.Blocks().empty());
}

TEST(DeviceJobs, FirmwareUpgradeOnTheChosenComPosition) {
  BootLoaderEmulator boot;
  EmulatedLine line(boot);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const ComPortMap ports = ComPortMap::Build({}, {{3, line.SlavePath()}}, {});
  const Bytes firmware = SampleImage(3000, 11);
  const FirmwareOutcome outcome = RunFirmwareUpgrade(DeviceLine::At(ports, 3), firmware);
  ASSERT_TRUE(outcome.ok()) << outcome.label.english;
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), boot.Flash().begin()));
}

TEST(DeviceJobs, APositionWithoutADeviceIsNamedInTheRefusal) {
  const FirmwareOutcome outcome =
      RunFirmwareUpgrade(DeviceLine::At(ComPortMap(), 2), SampleImage(10));
  EXPECT_EQ(outcome.end, FirmwareEnd::PortOpenFailed);
  ASSERT_TRUE(outcome.portError);
  EXPECT_EQ(outcome.portError->kind, PortOpenFailure::NotMapped);
  EXPECT_EQ(outcome.portError->device, "COM3");
}

// Panels loaded at the same time keep apart: each device has its own register mirror, so
// each panel gets its own image and the next download to a device carries on from that
// device's last header, whatever the other devices were sent.
TEST(DeviceJobs, PanelsOnSeveralDevicesLoadAtTheSameTime) {
  PanelEmulator first, second;
  EmulatedLine firstLine(first), secondLine(second);
  if (!firstLine.ok() || !secondLine.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  const Bytes big = SampleImage(5000, 3), small = SampleImage(1500, 4);
  DownloadOutcome firstOutcome, secondOutcome;
  {
    std::jthread a([&] { firstOutcome = RunDownload(DeviceLine::Named(firstLine.SlavePath()), big); });
    std::jthread b(
        [&] { secondOutcome = RunDownload(DeviceLine::Named(secondLine.SlavePath()), small); });
  }
  ASSERT_TRUE(firstOutcome.ok()) << firstOutcome.label.english;
  ASSERT_TRUE(secondOutcome.ok()) << secondOutcome.label.english;
  {
    std::lock_guard lock(firstLine.Mutex());
    EXPECT_TRUE(std::equal(big.begin(), big.end(), first.Image().begin()));
  }
  {
    std::lock_guard lock(secondLine.Mutex());
    EXPECT_TRUE(std::equal(small.begin(), small.end(), second.Image().begin()));
  }

  ASSERT_TRUE(RunDownload(DeviceLine::Named(secondLine.SlavePath()), small).ok());
  std::lock_guard lock(secondLine.Mutex());
  ASSERT_EQ(second.Syncs().size(), 2u);
  // The one block of the first download to this device: number 51, the last.
  EXPECT_EQ(second.Syncs()[1].header[3], kFirstBlockNumber);
  EXPECT_EQ(second.Syncs()[1].header[5], kLastBlockFlag);
}

}  // namespace
}  // namespace dravik::comm
