#include "platform/port_open_error.h"

namespace dravik::platform {

Bilingual MissingDeviceHint() {
  return {"不存在（适配器是否已插好？）", "does not exist (is the adapter plugged in?)"};
}

Bilingual JoinGroupHint(const std::string& group) {
  const std::string command = "sudo usermod -aG " + group + " $USER";
  return {"请把用户加入 " + group + " 组（" + command + "），然后重新登录",
          "add your user to the " + group + " group (" + command + ") and log in again"};
}

Bilingual PortOpenError::Message() const {
  const std::string& d = device;
  switch (kind) {
    case PortOpenFailure::NotMapped:
      return {d + " 没有对应的串口设备。", d + " is not mapped to any serial device."};
    case PortOpenFailure::Missing: {
      const Bilingual hint = MissingDeviceHint();
      return {"串口设备 " + d + " " + hint.chinese + "。",
              "The serial device " + d + " " + hint.english + "."};
    }
    case PortOpenFailure::Busy:
      if (detail.empty()) {
        return {"串口 " + d + " 已被其它程序占用。",
                "The serial port " + d + " is in use by another program."};
      }
      return {"串口 " + d + " 已被占用：" + detail + "。",
              "The serial port " + d + " is in use by " + detail + "."};
    case PortOpenFailure::NoPermission: {
      const Bilingual hint = JoinGroupHint(detail.empty() ? "dialout" : detail);
      return {"没有打开 " + d + " 的权限：" + hint.chinese + "。",
              "No permission to open " + d + ": " + hint.english + "."};
    }
    case PortOpenFailure::NotSerial:
      return {d + " 不是串口设备。", d + " is not a serial device."};
    case PortOpenFailure::Other:
      break;
  }
  return {"无法打开串口 " + d + "：" + detail + "。",
          "Cannot open the serial port " + d + ": " + detail + "."};
}

}  // namespace dravik::platform
