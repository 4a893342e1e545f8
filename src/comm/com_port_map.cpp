#include "comm/com_port_map.h"

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/serial_port_posix.h"

namespace dravik::comm {
namespace {

// Two names of one device (a by-id link and its ttyUSB node) count once.
std::string Identity(const std::string& device) {
  std::error_code ignored;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(device, ignored);
  return canonical.empty() ? device : canonical.string();
}

}  // namespace

ComPortMap ComPortMap::Build(const std::vector<std::string>& detected,
                             const std::map<int, std::string>& configured, const EnvLookup& env) {
  ComPortMap map;
  std::set<std::string> taken;
  for (int i = 0; i < kComPortCount; ++i) {
    std::optional<std::string> fromEnv =
        env ? env("DRAVIK_COM" + std::to_string(i + 1)) : std::nullopt;
    if (fromEnv && !fromEnv->empty()) {
      map.devices_[i] = *fromEnv;
    } else if (auto it = configured.find(i); it != configured.end() && !it->second.empty()) {
      map.devices_[i] = it->second;
    }
    if (!map.devices_[i].empty()) taken.insert(Identity(map.devices_[i]));
  }
  auto next = detected.begin();
  for (int i = 0; i < kComPortCount; ++i) {
    if (!map.devices_[i].empty()) continue;
    while (next != detected.end() && taken.count(Identity(*next)) != 0) ++next;
    if (next == detected.end()) break;
    map.devices_[i] = *next;
    taken.insert(Identity(*next));
    ++next;
  }
  return map;
}

ComPortMap ComPortMap::FromSystem(const std::map<int, std::string>& configured) {
  return Build(platform::ListSerialDevices(), configured,
               [](const std::string& name) -> std::optional<std::string> {
                 const char* value = std::getenv(name.c_str());
                 if (value == nullptr) return std::nullopt;
                 return std::string(value);
               });
}

ComPortMap ComPortMap::Single(std::string device) {
  ComPortMap map;
  map.devices_[0] = std::move(device);
  return map;
}

const std::string& ComPortMap::Device(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= kComPortCount) return kNone;
  return devices_[index];
}

std::string ComPortMap::DisplayText(int index) const {
  const std::string& device = Device(index);
  return device.empty() ? PortName(index) : PortName(index) + " (" + device + ")";
}

std::string ComPortMap::PortName(int index) {
  return "COM" + std::to_string(index + 1);
}

}  // namespace dravik::comm
