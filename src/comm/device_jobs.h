#pragma once
// The two jobs Dravik does on a panel, each from one call: the line is opened through the
// platform's serial port, the protocol runs on the real clock, and the outcome comes back.
// The download and firmware dialogs call these on their worker thread; the command line
// calls them directly. Progress arrives on the calling thread; `cancelFlag`, when given,
// is the flag the caller's Cancel sets (from any thread).

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

#include "comm/com_port_map.h"
#include "comm/download_session.h"
#include "comm/firmware_session.h"

namespace dravik::comm {

// Where a job runs: a COM position of a port map, as the dialogs choose it, or the one
// device the command line names.
struct DeviceLine {
  ComPortMap ports;
  TComPortNumber port = TComPortNumber::pnCOM1;

  // Position `index` of `ports` (0 = COM1); an index outside COM1 ... COM8 takes the
  // nearest.
  static DeviceLine At(ComPortMap ports, int index);
  // COM1 naming `device`.
  static DeviceLine Named(std::string device);
};

// Sends `image` to the panel with the register mirror of the line's device. Downloads to
// different devices may run at the same time, each on its own thread.
DownloadOutcome RunDownload(const DeviceLine& line, std::span<const std::uint8_t> image,
                            const DownloadProgressFn& progress = {},
                            std::atomic<bool>* cancelFlag = nullptr);

// Replaces the panel's firmware with `firmware` through the STM32 boot loader.
FirmwareOutcome RunFirmwareUpgrade(const DeviceLine& line, std::span<const std::uint8_t> firmware,
                                   const FirmwareProgressFn& progress = {},
                                   std::atomic<bool>* cancelFlag = nullptr);

}  // namespace dravik::comm
