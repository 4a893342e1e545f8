// The POSIX serial port on pseudo-terminals: line settings as the far side sees them,
// exclusive opening, the reasons a port does not open, and the device list.

#include "platform/serial_port_posix.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace dravik::platform {
namespace {

// A bare pseudo-terminal whose master the test reads the line settings from.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) == 0) path_ = name;
    // Held open like an emulator does, so the line survives the port's closing.
    keep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  ~Pty() {
    if (keep_ >= 0) ::close(keep_);
    if (master_ >= 0) ::close(master_);
  }
  const std::string& path() const { return path_; }
  int master() const { return master_; }
  struct termios2 Line() const {
    struct termios2 line {};
    ::ioctl(master_, TCGETS2, &line);
    return line;
  }

 private:
  int master_ = -1;
  int keep_ = -1;
  std::string path_;
};

class PosixSerialPortTest : public testing::Test {
 protected:
  void SetUp() override {
    if (pty.path().empty()) GTEST_SKIP() << "no pseudo-terminals here";
    ASSERT_FALSE(port.Open(pty.path()).has_value());
  }
  Pty pty;
  PosixSerialPort port;
};

TEST_F(PosixSerialPortTest, EveryBaudRateReachesTheLine) {
  for (int i = 0; i < 13; ++i) {
    SerialLineSettings settings;
    settings.baudRate = static_cast<TComPortBaudRate>(i);
    ASSERT_TRUE(port.Configure(settings)) << kBaudRateTable[i];
    EXPECT_EQ(pty.Line().c_ospeed, kBaudRateTable[i]);
  }
}

TEST_F(PosixSerialPortTest, LineIsRawAndReadsReturnAtOnce) {
  ASSERT_TRUE(port.Configure({}));
  struct termios2 line = pty.Line();
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  EXPECT_EQ(line.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
  EXPECT_EQ(line.c_cc[VMIN], 0);
  std::uint8_t buffer[8];
  Result<std::size_t> read = port.Read(buffer);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, 0u);

  const std::uint8_t bytes[] = {0x0D, 0x0A, 0x11, 0x13, 0xFF};  // survive unchanged
  ASSERT_TRUE(port.Write(bytes));
  std::uint8_t received[8] = {};
  ssize_t n = 0;
  for (int tries = 0; tries < 200 && n < 5; ++tries) {
    ssize_t got = ::read(pty.master(), received + n, sizeof received - n);
    if (got > 0)
      n += got;
    else
      ::usleep(1000);
  }
  ASSERT_EQ(n, 5);
  EXPECT_EQ(std::vector<std::uint8_t>(received, received + 5),
            std::vector<std::uint8_t>(bytes, bytes + 5));
}

TEST_F(PosixSerialPortTest, StopBitsAndTheOneAndAHalfRule) {
  SerialLineSettings settings;
  settings.stopBits = TComPortStopBits::sb2BITS;
  ASSERT_TRUE(port.Configure(settings));
  EXPECT_NE(pty.Line().c_cflag & CSTOPB, 0u);

  settings.stopBits = TComPortStopBits::sb1BITS;
  settings.baudRate = TComPortBaudRate::br19200;
  ASSERT_TRUE(port.Configure(settings));
  // 1.5 stop bits exist for 5-bit characters only; otherwise the line keeps its settings.
  settings.stopBits = TComPortStopBits::sb1HALFBITS;
  settings.baudRate = TComPortBaudRate::br38400;
  EXPECT_FALSE(port.Configure(settings));
  EXPECT_EQ(pty.Line().c_ospeed, 19200u);
  EXPECT_EQ(pty.Line().c_cflag & CSTOPB, 0u);
  settings.dataBits = TComPortDataBits::db5BITS;
  ASSERT_TRUE(port.Configure(settings));
  EXPECT_NE(pty.Line().c_cflag & CSTOPB, 0u);
}

TEST(PosixLineFlags, DataBitsParityAndStopBits) {
  // Pseudo-terminals report 8N1 whatever is set, so the mapping is checked on its own.
  struct Case {
    TComPortDataBits bits;
    TComPortParity parity;
    TComPortStopBits stop;
    tcflag_t expected;  // size, parity and stop flags
  };
  const Case cases[] = {
      {TComPortDataBits::db5BITS, TComPortParity::ptNONE, TComPortStopBits::sb1HALFBITS,
       CS5 | CSTOPB},
      {TComPortDataBits::db6BITS, TComPortParity::ptODD, TComPortStopBits::sb1BITS,
       CS6 | PARENB | PARODD},
      {TComPortDataBits::db7BITS, TComPortParity::ptEVEN, TComPortStopBits::sb2BITS,
       CS7 | PARENB | CSTOPB},
      {TComPortDataBits::db8BITS, TComPortParity::ptMARK, TComPortStopBits::sb1BITS,
       CS8 | PARENB | PARODD | CMSPAR},
      {TComPortDataBits::db8BITS, TComPortParity::ptSPACE, TComPortStopBits::sb1BITS,
       CS8 | PARENB | CMSPAR},
  };
  const tcflag_t mask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
  // Start from a line with every flag of the mask set: the mapping must clear what it
  // does not want.
  LineFlags dirty;
  dirty.cflag = mask | CRTSCTS;
  dirty.iflag = ICRNL | IXON | INPCK | ISTRIP;
  dirty.lflag = ICANON | ECHO | ISIG;
  dirty.oflag = OPOST;
  for (const Case& c : cases) {
    SerialLineSettings settings;
    settings.dataBits = c.bits;
    settings.parity = c.parity;
    settings.stopBits = c.stop;
    Result<LineFlags> flags = LineFlagsFor(settings, dirty);
    ASSERT_TRUE(flags) << flags.message();
    EXPECT_EQ(flags->cflag & mask, c.expected);
    EXPECT_EQ(flags->cflag & CRTSCTS, 0u);
    EXPECT_NE(flags->cflag & (CLOCAL | CREAD), 0u);
    EXPECT_EQ(flags->iflag, 0u);
    EXPECT_EQ(flags->lflag, 0u);
    EXPECT_EQ(flags->oflag, 0u);
  }
  SerialLineSettings handshake;
  handshake.hwHandshaking = TComPortHwHandshaking::hhRTSCTS;
  handshake.swHandshaking = TComPortSwHandshaking::shXONXOFF;
  handshake.baudRate = TComPortBaudRate::br56000;
  Result<LineFlags> flags = LineFlagsFor(handshake);
  ASSERT_TRUE(flags);
  EXPECT_NE(flags->cflag & CRTSCTS, 0u);
  EXPECT_EQ(flags->iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_EQ(flags->cflag & CBAUD, static_cast<tcflag_t>(BOTHER)) << "56,000 is no standard rate";
  EXPECT_EQ(flags->speed, 56000u);
  SerialLineSettings halfWithEight;
  halfWithEight.stopBits = TComPortStopBits::sb1HALFBITS;
  EXPECT_FALSE(LineFlagsFor(halfWithEight));
}

TEST_F(PosixSerialPortTest, ModemLinesAndQueuesOnALineWithoutThem) {
  EXPECT_TRUE(port.SetDtr(true));
  EXPECT_TRUE(port.SetRts(false));
  Result<int> queued = port.OutputQueueBytes();
  ASSERT_TRUE(queued);
  EXPECT_EQ(*queued, 0);
  EXPECT_TRUE(port.Purge(true, true));
  EXPECT_TRUE(port.Drain());
}

TEST_F(PosixSerialPortTest, SecondOpenIsBusyAndNamesTheHolder) {
  PosixSerialPort second;
  std::optional<PortOpenError> error = second.Open(pty.path());
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->kind, PortOpenFailure::Busy);
  EXPECT_NE(error->Message().english.find("(pid " + std::to_string(::getpid()) + ")"),
            std::string::npos)
      << error->Message().english;
  port.Close();
  EXPECT_FALSE(second.Open(pty.path()).has_value());
}

TEST(PosixSerialPortOpen, ReasonsAreTyped) {
  test::TempDir dir;
  PosixSerialPort port;

  std::optional<PortOpenError> missing = port.Open((dir / "ttyUSB9").string());
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->kind, PortOpenFailure::Missing);
  EXPECT_EQ(missing->device, (dir / "ttyUSB9").string());

  const std::filesystem::path plain = dir / "plain";
  test::WriteText(plain, "not a line");
  std::optional<PortOpenError> notSerial = port.Open(plain.string());
  ASSERT_TRUE(notSerial);
  EXPECT_EQ(notSerial->kind, PortOpenFailure::NotSerial);

  if (::geteuid() == 0) GTEST_SKIP() << "root opens everything: no permission case";
  ::chmod(plain.c_str(), 0);
  std::optional<PortOpenError> denied = port.Open(plain.string());
  ASSERT_TRUE(denied);
  EXPECT_EQ(denied->kind, PortOpenFailure::NoPermission);
  EXPECT_FALSE(denied->detail.empty()) << "the group that may open it";
}

TEST(PosixSerialPortOpen, LatencyTimerOfUsbAdaptersFromSysfs) {
  test::TempDir sysfs;
  std::filesystem::create_directories(sysfs / "ttyUSB7" / "device");
  test::WriteText(sysfs / "ttyUSB7" / "device" / "latency_timer", "16\n");
  std::filesystem::create_directories(sysfs / "ttyS0" / "device");
  EXPECT_EQ(UsbLatencyTimer("/dev/ttyUSB7", sysfs.path()), std::chrono::milliseconds(16));
  EXPECT_EQ(UsbLatencyTimer("/dev/ttyS0", sysfs.path()), std::nullopt) << "a UART has none";
  EXPECT_EQ(UsbLatencyTimer("/dev/ttyACM3", sysfs.path()), std::nullopt);
}

TEST_F(PosixSerialPortTest, PseudoTerminalsGetTheDefaultLatency) {
  EXPECT_EQ(port.ReceiveLatency(), kDefaultReceiveLatency);
}

}  // namespace
}  // namespace dravik::platform
