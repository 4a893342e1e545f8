#include "comm/com_port_map.h"

#include <set>

#include "platform/paths.h"
#include "platform/serial_devices.h"

namespace dravik::comm {

ComPortMap ComPortMap::Build(const std::vector<std::string>& detected,
                             const std::map<int, std::string>& configured, const EnvLookup& env) {
  ComPortMap map;
  // Two names of one device (a by-id link and its ttyUSB node) count once.
  std::set<std::string> taken;
  for (int i = 0; i < kComPortCount; ++i) {
    std::optional<std::string> fromEnv =
        env ? env("DRAVIK_COM" + std::to_string(i + 1)) : std::nullopt;
    if (fromEnv && !fromEnv->empty()) {
      map.devices_[i] = *fromEnv;
    } else if (auto it = configured.find(i); it != configured.end() && !it->second.empty()) {
      map.devices_[i] = it->second;
    }
    if (!map.devices_[i].empty()) taken.insert(platform::SerialDeviceIdentity(map.devices_[i]));
  }
  auto next = detected.begin();
  for (int i = 0; i < kComPortCount; ++i) {
    if (!map.devices_[i].empty()) continue;
    while (next != detected.end() && taken.count(platform::SerialDeviceIdentity(*next)) != 0)
      ++next;
    if (next == detected.end()) break;
    map.devices_[i] = *next;
    taken.insert(platform::SerialDeviceIdentity(*next));
    ++next;
  }
  return map;
}

ComPortMap ComPortMap::FromSystem(const std::map<int, std::string>& configured) {
  return Build(platform::ListSerialDevices(), configured,
               [](const std::string& name) -> std::optional<std::string> {
                 // An empty variable names nothing, as an unset one.
                 std::string value = platform::Environment(name.c_str());
                 if (value.empty()) return std::nullopt;
                 return value;
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
