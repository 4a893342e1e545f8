#include "platform/local_time.h"

#include <ctime>

namespace dravik::platform {

std::chrono::system_clock::time_point AsLocalWallClock(std::chrono::system_clock::time_point at) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return at;
  return at + std::chrono::seconds(local.tm_gmtoff);
}

}  // namespace dravik::platform
