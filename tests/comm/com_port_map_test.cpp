// COM positions: environment over configuration over the devices found, each device once.

#include "comm/com_port_map.h"

#include <gtest/gtest.h>

#include <map>

namespace dravik::comm {
namespace {

ComPortMap::EnvLookup Env(std::map<std::string, std::string> values) {
  return [values](const std::string& name) -> std::optional<std::string> {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(ComPortMap, DetectedDevicesFillThePositionsInOrder) {
  ComPortMap map =
      ComPortMap::Build({"/dev/serial/by-id/usb-FTDI-if00", "/dev/ttyACM0", "/dev/ttyS0"}, {}, {});
  EXPECT_EQ(map.Device(0), "/dev/serial/by-id/usb-FTDI-if00");
  EXPECT_EQ(map.Device(1), "/dev/ttyACM0");
  EXPECT_EQ(map.Device(2), "/dev/ttyS0");
  EXPECT_EQ(map.Device(3), "");
  EXPECT_EQ(map.DisplayText(1), "COM2 (/dev/ttyACM0)");
  EXPECT_EQ(map.DisplayText(7), "COM8");
  EXPECT_EQ(map.Device(8), "");
  EXPECT_EQ(map.Device(-1), "");
}

TEST(ComPortMap, EnvironmentOverridesConfigurationWhichOverridesDetection) {
  ComPortMap map = ComPortMap::Build({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2"},
                                     {{0, "/dev/ttyUSB1"}, {2, "/dev/ttyS4"}},
                                     Env({{"DRAVIK_COM3", "/dev/ttyACM7"}, {"DRAVIK_COM5", ""}}));
  EXPECT_EQ(map.Device(0), "/dev/ttyUSB1");  // configured
  EXPECT_EQ(map.Device(1), "/dev/ttyUSB0");  // detected, skipping the configured one
  EXPECT_EQ(map.Device(2), "/dev/ttyACM7");  // environment wins over configuration
  EXPECT_EQ(map.Device(3), "/dev/ttyUSB2");
  EXPECT_EQ(map.Device(4), "");  // an empty variable names nothing
}

TEST(ComPortMap, AtMostEightPositions) {
  std::vector<std::string> many;
  for (int i = 0; i < 12; ++i) many.push_back("/dev/ttyUSB" + std::to_string(i));
  ComPortMap map = ComPortMap::Build(many, {}, {});
  EXPECT_EQ(map.Device(7), "/dev/ttyUSB7");
  EXPECT_EQ(ComPortMap::PortName(7), "COM8");
}

TEST(ComPortMap, SingleDeviceIsCom1) {
  ComPortMap map = ComPortMap::Single("/dev/pts/4");
  EXPECT_EQ(map.Device(TComPortNumber::pnCOM1), "/dev/pts/4");
  EXPECT_EQ(map.Device(TComPortNumber::pnCOM2), "");
  EXPECT_EQ(map.DisplayText(0), "COM1 (/dev/pts/4)");
}

}  // namespace
}  // namespace dravik::comm
