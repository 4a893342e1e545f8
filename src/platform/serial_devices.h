#pragma once
// The serial devices of this machine as Linux shows them: which there are, the stable name
// and the node behind each, the adapter and driver sysfs names, and whether this user may
// open them. Nothing here opens a line; the port itself is platform/serial_port_posix.h.

#include <string>
#include <vector>

namespace dravik::platform {

// The serial devices of this machine in the order COM positions take them: the stable
// /dev/serial/by-id/ names, then /dev/ttyUSB*, /dev/ttyACM*, then the /dev/ttyS* ports
// that have a UART behind them. A device reachable by two names is listed once.
std::vector<std::string> ListSerialDevices();

// The paths matching the shell pattern `pattern` ("/dev/ttyUSB*"), sorted; a device that
// two of them lead to is kept once, under the name that sorts first.
std::vector<std::string> MatchingDevices(const std::string& pattern);

// The node `path` leads to (a by-id link and its ttyUSB node give the same); `path` itself
// when it leads nowhere.
std::string SerialDeviceIdentity(const std::string& path);

// The name of the group owning `path` (usually dialout); empty when it cannot be told.
std::string GroupOf(const std::string& path);

// What Linux says about one serial device.
struct SerialDeviceFacts {
  std::string node;  // the device node `path` leads to, e.g. /dev/ttyUSB0
  bool exists = false;
  bool pseudoTerminal = false;
  std::string adapter;   // e.g. "FT232R USB UART (FTDI)"; empty when unknown
  std::string driver;    // the kernel driver, e.g. ftdi_sio
  bool mayOpen = false;  // this user may read and write it
  std::string group;     // the group owning the node
};

// The facts of the device at `path`, the adapter and driver from `ttyClass` (sysfs).
SerialDeviceFacts DescribeSerialDevice(const std::string& path,
                                       const std::string& ttyClass = "/sys/class/tty");

}  // namespace dravik::platform
