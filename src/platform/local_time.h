#pragma once
// The machine's local time, as a clock on the wall shows it.

#include <chrono>

namespace dravik::platform {

// `at` moved by the local time zone's offset from UTC at that moment (summer time
// included), so that reading it as UTC gives the local date and time.
std::chrono::system_clock::time_point AsLocalWallClock(std::chrono::system_clock::time_point at);

}  // namespace dravik::platform
