#include "comm/ui/serial_device_report.h"

#include <set>

#include "platform/port_open_error.h"

namespace dravik::comm {

namespace {

SerialDeviceInfo Describe(const std::string& path, int comIndex) {
  return {platform::DescribeSerialDevice(path), path, comIndex};
}

}  // namespace

std::vector<SerialDeviceInfo> DescribeSerialDevices(const ComPortMap& ports,
                                                    const std::vector<std::string>& detected) {
  std::vector<SerialDeviceInfo> devices;
  std::set<std::string> seen;
  for (int i = 0; i < kComPortCount; ++i) {
    const std::string& device = ports.Device(i);
    if (device.empty()) continue;
    devices.push_back(Describe(device, i));
    seen.insert(platform::SerialDeviceIdentity(device));
  }
  for (const std::string& device : detected) {
    if (!seen.insert(platform::SerialDeviceIdentity(device)).second) continue;
    devices.push_back(Describe(device, -1));
  }
  return devices;
}

Bilingual SerialDeviceReport(const std::vector<SerialDeviceInfo>& devices) {
  if (devices.empty()) {
    return {
        "Linux 没有看到串口设备（/dev/ttyUSB*、/dev/ttyACM*、带 UART 的 /dev/ttyS*）。\r"
        "USB 串口适配器是否已插好？",
        "Linux sees no serial device (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* with a "
        "UART).\rIs the USB serial adapter plugged in?"};
  }
  Bilingual text{"Linux 看到的串口设备：\r", "The serial devices Linux sees:\r"};
  auto add = [&](const std::string& chinese, const std::string& english) {
    text.chinese += chinese;
    text.english += english;
  };
  for (const SerialDeviceInfo& d : devices) {
    const std::string position = d.comIndex >= 0 ? ComPortMap::PortName(d.comIndex) : "—";
    add("\r" + position + "  " + d.path + "\r", "\r" + position + "  " + d.path + "\r");
    if (!d.exists) {
      const Bilingual missing = platform::MissingDeviceHint();
      add("      " + missing.chinese + "\r", "      " + missing.english + "\r");
      continue;
    }
    if (d.node != d.path) add("      设备 " + d.node + "\r", "      device " + d.node + "\r");
    if (d.pseudoTerminal) {
      add("      伪终端（模拟器或测试线路）\r",
          "      pseudo-terminal (an emulator or test line)\r");
    } else if (!d.adapter.empty() || !d.driver.empty()) {
      const std::string driver = d.driver.empty() ? "" : "，驱动 " + d.driver;
      const std::string driverEn = d.driver.empty() ? "" : ", driver " + d.driver;
      add("      适配器：" + (d.adapter.empty() ? "内置串口" : d.adapter) + driver + "\r",
          "      adapter: " + (d.adapter.empty() ? "built-in port" : d.adapter) + driverEn + "\r");
    }
    if (d.mayOpen) {
      add("      当前用户可以打开\r", "      this user may open it\r");
    } else {
      const Bilingual join = platform::JoinGroupHint(d.group.empty() ? "dialout" : d.group);
      add("      当前用户无权打开：" + join.chinese + "\r",
          "      this user may not open it: " + join.english + "\r");
    }
  }
  add("\r环境变量 DRAVIK_COM1 … DRAVIK_COM8 可以指定各 COM 号的设备。",
      "\rSet DRAVIK_COM1 … DRAVIK_COM8 to choose the device of a COM position.");
  return text;
}

}  // namespace dravik::comm
