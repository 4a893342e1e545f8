#include "comm/device_jobs.h"

#include <algorithm>
#include <memory>

#include "comm/clock.h"
#include "comm/register_mirror.h"
#include "comm/vor_comm_driver.h"
#include "platform/serial_port_posix.h"

namespace dravik::comm {
namespace {

// The machine's serial line and clock, and the driver over them, for one job.
struct DeviceLink {
  explicit DeviceLink(const DeviceLine& line)
      : driver(std::make_unique<platform::PosixSerialPort>(), clock, line.ports) {}

  RealClock clock;
  TVorCommDriver driver;
};

}  // namespace

DeviceLine DeviceLine::At(ComPortMap ports, int index) {
  return {std::move(ports), static_cast<TComPortNumber>(std::clamp(index, 0, kComPortCount - 1))};
}

DeviceLine DeviceLine::Named(std::string device) {
  return {ComPortMap::Single(std::move(device)), TComPortNumber::pnCOM1};
}

DownloadOutcome RunDownload(const DeviceLine& line, std::span<const std::uint8_t> image,
                            const DownloadProgressFn& progress, std::atomic<bool>* cancelFlag) {
  DeviceLink link(line);
  RegisterMirror& mirror = PanelRegisterMirror(line.ports.Device(line.port));
  DownloadSession session(link.driver, link.clock, mirror, image, line.port, progress, cancelFlag);
  return session.Run();
}

FirmwareOutcome RunFirmwareUpgrade(const DeviceLine& line, std::span<const std::uint8_t> firmware,
                                   const FirmwareProgressFn& progress,
                                   std::atomic<bool>* cancelFlag) {
  DeviceLink link(line);
  FirmwareSession session(link.driver, link.clock, firmware, line.port, progress, cancelFlag);
  return session.Run();
}

}  // namespace dravik::comm
