#pragma once
// What the port dialog's "?" button shows in place of a device manager: the serial
// devices Linux sees, under their stable names, with the adapter behind each and whether
// this user may open it.

#include <string>
#include <vector>

#include "comm/com_port_map.h"
#include "platform/bilingual.h"
#include "platform/serial_devices.h"

namespace dravik::comm {

// What the platform sees of a device, under the name the report gives it.
struct SerialDeviceInfo : platform::SerialDeviceFacts {
  std::string path;   // as the COM position or the system names it (stable name first)
  int comIndex = -1;  // the COM position naming it, -1 when none does
};

// The devices of the COM positions first (COM1 ... COM8), then the other devices in
// `detected`.
std::vector<SerialDeviceInfo> DescribeSerialDevices(const ComPortMap& ports,
                                                    const std::vector<std::string>& detected);

// The report as the box shows it.
Bilingual SerialDeviceReport(const std::vector<SerialDeviceInfo>& devices);

}  // namespace dravik::comm
