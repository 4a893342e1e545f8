// The serial devices as Linux shows them: the device list, and what the port dialog's
// report says of one device (its node, adapter and driver from sysfs, whether it opens).

#include "platform/serial_devices.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "support/temp_dir.h"

namespace dravik::platform {
namespace {

namespace fs = std::filesystem;

TEST(SerialDeviceList, NamesEachDeviceOnceAndOnlyExistingOnes) {
  std::vector<std::string> devices = ListSerialDevices();
  std::set<std::string> targets;
  for (const std::string& device : devices) {
    EXPECT_TRUE(fs::exists(device)) << device;
    EXPECT_TRUE(targets.insert(fs::canonical(device).string()).second) << device;
    EXPECT_EQ(device.find("/dev/pts/"), std::string::npos);
  }
}

TEST(SerialDeviceFacts, UsbAdapterNamedFromSysfsUnderItsStableName) {
  test::TempDir dir;
  // A node and a stable name leading to it, and the sysfs of a USB adapter: the tty's
  // device is an interface whose parent names product and maker.
  const fs::path node = dir / "ttyUSB7";
  test::WriteText(node, "");
  fs::create_symlink(node, dir / "usb-FTDI-if00");
  const fs::path usb = dir / "sys" / "usb1" / "1-1";
  fs::create_directories(usb / "1-1:1.0" / "ttyUSB7");
  fs::create_directories(dir / "sys" / "drivers" / "ftdi_sio");
  fs::create_directory_symlink(dir / "sys" / "drivers" / "ftdi_sio",
                               usb / "1-1:1.0" / "ttyUSB7" / "driver");
  test::WriteText(usb / "product", "FT232R USB UART\n");
  test::WriteText(usb / "manufacturer", "FTDI\n");
  fs::create_directories(dir / "class" / "ttyUSB7");
  fs::create_directory_symlink(usb / "1-1:1.0" / "ttyUSB7", dir / "class" / "ttyUSB7" / "device");

  const SerialDeviceFacts facts =
      DescribeSerialDevice((dir / "usb-FTDI-if00").string(), (dir / "class").string());
  EXPECT_TRUE(facts.exists);
  EXPECT_EQ(facts.node, fs::canonical(node).string());
  EXPECT_FALSE(facts.pseudoTerminal);
  EXPECT_EQ(facts.adapter, "FT232R USB UART (FTDI)");
  EXPECT_EQ(facts.driver, "ftdi_sio");
  EXPECT_TRUE(facts.mayOpen);
  EXPECT_FALSE(facts.group.empty());
  EXPECT_EQ(SerialDeviceIdentity((dir / "usb-FTDI-if00").string()), facts.node);
}

TEST(SerialDeviceFacts, PseudoTerminalAndMissingDevice) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) GTEST_SKIP() << "no pseudo-terminals here";
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const SerialDeviceFacts pty = DescribeSerialDevice(::ptsname(master));
  ::close(master);
  EXPECT_TRUE(pty.exists);
  EXPECT_TRUE(pty.pseudoTerminal);
  EXPECT_TRUE(pty.adapter.empty());

  test::TempDir dir;
  const std::string missing = (dir / "ttyUSB9").string();
  const SerialDeviceFacts gone = DescribeSerialDevice(missing);
  EXPECT_FALSE(gone.exists);
  EXPECT_EQ(gone.node, missing);
  EXPECT_FALSE(gone.mayOpen);
  EXPECT_EQ(SerialDeviceIdentity(missing), missing);
}

}  // namespace
}  // namespace dravik::platform
