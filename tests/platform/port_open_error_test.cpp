// What a user reads when a port does not open: the device they named, the reason and what
// to do, in both languages.

#include "platform/port_open_error.h"

#include <gtest/gtest.h>

namespace dravik::platform {
namespace {

TEST(PortOpenError, EachReasonNamesTheDeviceAndWhatToDo) {
  struct Case {
    PortOpenFailure kind;
    const char* detail;
    const char* english;  // parts of the English text
    const char* chinese;
  };
  const Case cases[] = {
      {PortOpenFailure::Missing, "", "does not exist (is the adapter plugged in?)", "不存在"},
      {PortOpenFailure::Busy, "", "in use by another program", "已被其它程序占用"},
      {PortOpenFailure::Busy, "minicom (pid 42)", "in use by minicom (pid 42)", "minicom (pid 42)"},
      {PortOpenFailure::NoPermission, "dialout", "sudo usermod -aG dialout $USER", "dialout 组"},
      {PortOpenFailure::NoPermission, "uucp", "the uucp group", "uucp 组"},
      {PortOpenFailure::NotSerial, "", "is not a serial device", "不是串口设备"},
      {PortOpenFailure::Other, "Input/output error", "Input/output error", "Input/output error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    const Bilingual message = PortOpenError{c.kind, "/dev/ttyNOPE", c.detail}.Message();
    EXPECT_NE(message.english.find("/dev/ttyNOPE"), std::string::npos) << message.english;
    EXPECT_NE(message.chinese.find("/dev/ttyNOPE"), std::string::npos) << message.chinese;
    EXPECT_NE(message.english.find(c.english), std::string::npos) << message.english;
    EXPECT_NE(message.chinese.find(c.chinese), std::string::npos) << message.chinese;
    EXPECT_EQ(message.english.find("COM1"), std::string::npos) << "no invented port name";
  }
}

TEST(PortOpenError, PermissionHintIsTheOneTheDeviceReportGives) {
  const Bilingual message =
      PortOpenError{PortOpenFailure::NoPermission, "/dev/ttyUSB0", "dialout"}.Message();
  EXPECT_NE(message.english.find(JoinGroupHint("dialout").english), std::string::npos);
  EXPECT_NE(message.chinese.find(JoinGroupHint("dialout").chinese), std::string::npos);
  const PortOpenError missing{PortOpenFailure::Missing, "/dev/ttyUSB0", {}};
  EXPECT_NE(missing.Message().english.find(MissingDeviceHint().english), std::string::npos);
}

}  // namespace
}  // namespace dravik::platform
