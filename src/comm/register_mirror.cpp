#include "comm/register_mirror.h"

#include <map>
#include <memory>
#include <mutex>

namespace dravik::comm {

RegisterMirror& PanelRegisterMirror(const std::string& device) {
  static std::mutex guard;
  static std::map<std::string, std::unique_ptr<RegisterMirror>> mirrors;
  const std::lock_guard lock(guard);
  std::unique_ptr<RegisterMirror>& mirror = mirrors[device];
  if (!mirror) mirror = std::make_unique<RegisterMirror>();
  return *mirror;
}

}  // namespace dravik::comm
