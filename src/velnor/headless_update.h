#pragma once
// The customer updater without a window, for scripts: `velnor --port DEVICE` checks the
// image, downloads it to the panel on DEVICE, writes each step and every tenth of the
// transfer as a line on `err` and the result on `out`, and says by its exit status
// whether the panel took every block.

#include <atomic>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>

#include "comm/download_session.h"

namespace dravik::velnor {

inline constexpr int kExitUpdated = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The line that tells how a download ended, in the chosen language.
Bilingual DownloadResultText(const comm::DownloadOutcome& outcome, std::size_t imageSize);

// Sends `image` to the panel on `device`; Ctrl+C (through `cancel`) stops between blocks.
int UpdateHeadless(const std::string& device, std::span<const std::uint8_t> image, bool isChinese,
                   std::ostream& out, std::ostream& err, std::atomic<bool>* cancel = nullptr);

}  // namespace dravik::velnor
