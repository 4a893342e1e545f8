#pragma once
// COM1 ... COM8 are list positions; each names a Linux serial device. Positions come from
// the environment (DRAVIK_COM1 ... DRAVIK_COM8) first, then the configuration, and the
// rest are filled with the serial devices found on the machine, stable names first.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dravik::comm {

// The COM positions. Their ordinals are what settings store and what callers pass.
enum class TComPortNumber : std::uint8_t {
  pnCOM1,
  pnCOM2,
  pnCOM3,
  pnCOM4,
  pnCOM5,
  pnCOM6,
  pnCOM7,
  pnCOM8
};

inline constexpr int kComPortCount = 8;

class ComPortMap {
 public:
  using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

  ComPortMap() = default;

  // Every position assigned from `configured` (index 0 to 7 -> device), the environment
  // and the detected devices, in that order of precedence (environment first).
  static ComPortMap Build(const std::vector<std::string>& detected,
                          const std::map<int, std::string>& configured, const EnvLookup& env);
  // The same with this machine's devices and environment.
  static ComPortMap FromSystem(const std::map<int, std::string>& configured = {});
  // COM1 names `device`; the others nothing (a command line names one device).
  static ComPortMap Single(std::string device);

  // The device of position `index` (0 = COM1); empty when the position names none.
  const std::string& Device(int index) const;
  const std::string& Device(TComPortNumber port) const { return Device(static_cast<int>(port)); }
  // "COM1 (/dev/ttyUSB0)", or "COM1" alone when the position names no device.
  std::string DisplayText(int index) const;
  // "COM1" ... "COM8".
  static std::string PortName(int index);

 private:
  std::array<std::string, kComPortCount> devices_{};
};

}  // namespace dravik::comm
