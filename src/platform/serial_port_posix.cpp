#include "platform/serial_port_posix.h"

// termios2 (asm/termbits.h) instead of <termios.h>: it takes any bit rate through BOTHER,
// which 14,400 and 56,000 baud need. The two headers cannot be mixed.
#include <asm/termbits.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/serial_devices.h"

namespace dravik::platform {
namespace {

namespace fs = std::filesystem;

std::string Errno(int error) {
  return std::strerror(error);
}

Error ErrorOf(const char* what, int error) {
  return Error{std::string(what) + ": " + Errno(error)};
}

// The group that may open `device` ("dialout" on Debian), for the permission hint.
std::string DeviceGroup(const std::string& device) {
  const std::string group = GroupOf(device);
  return group.empty() || group == "root" ? "dialout" : group;
}

PortOpenError OpenErrorFor(const std::string& device, int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return {PortOpenFailure::Missing, device, {}};
    case EACCES:
    case EPERM:
      return {PortOpenFailure::NoPermission, device, DeviceGroup(device)};
    case EBUSY:
    case EWOULDBLOCK: {
      std::string holders;
      for (const std::string& user : DeviceUsers(device))
        holders += (holders.empty() ? "" : ", ") + user;
      return {PortOpenFailure::Busy, device, holders};
    }
    default:
      return {PortOpenFailure::Other, device, Errno(error)};
  }
}

speed_t StandardSpeed(std::uint32_t rate) {
  switch (rate) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return BOTHER;
  }
}

// The fields of a termios2 that Configure sets, for comparing what the line holds.
bool SameLine(const struct termios2& a, const struct termios2& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && a.c_ospeed == b.c_ospeed &&
         std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

}  // namespace

PosixSerialPort::~PosixSerialPort() {
  Close();
}

std::optional<PortOpenError> PosixSerialPort::Open(const std::string& device) {
  if (IsOpen()) Close();
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return OpenErrorFor(device, errno);

  struct termios2 line {};
  if (::ioctl(fd, TCGETS2, &line) != 0) {
    ::close(fd);
    return PortOpenError{PortOpenFailure::NotSerial, device, {}};
  }
  // Other Dravik instances (and root, who passes TIOCEXCL) are kept out by the lock.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    ::close(fd);
    return OpenErrorFor(device, error == EWOULDBLOCK ? EBUSY : error);
  }
  (void)::ioctl(fd, TIOCEXCL);

  // USB adapters hold received bytes for their latency timer (16 ms by default), longer
  // than the panel's reply window; low latency hands every byte on at once.
  struct serial_struct serial {};
  if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 && (serial.flags & ASYNC_LOW_LATENCY) == 0) {
    int original = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) == 0) savedSerialFlags_ = original;
  }
  // Read after low latency was asked for: the timer the adapter runs with now.
  const std::optional<std::chrono::milliseconds> timer = UsbLatencyTimer(device);
  receiveLatency_ = timer ? std::chrono::microseconds(*timer) : kDefaultReceiveLatency;
  fd_ = fd;
  device_ = device;
  return std::nullopt;
}

void PosixSerialPort::Close() {
  if (fd_ < 0) return;
  if (savedSerialFlags_) {
    struct serial_struct serial {};
    if (::ioctl(fd_, TIOCGSERIAL, &serial) == 0) {
      serial.flags = *savedSerialFlags_;
      (void)::ioctl(fd_, TIOCSSERIAL, &serial);
    }
    savedSerialFlags_.reset();
  }
  (void)::ioctl(fd_, TIOCNXCL);
  ::close(fd_);  // also drops the flock
  fd_ = -1;
  device_.clear();
}

namespace {

// Turns `line` into the raw line `settings` describe.
Status SetLine(const SerialLineSettings& settings, struct termios2& line) {
  // Raw: no echo, no line editing, no signals, no translation of bytes, no parity check.
  line.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                    IXANY | INPCK | IGNPAR);
  line.c_oflag &= ~OPOST;
  line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  line.c_cflag &=
      ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
  line.c_cflag |= CLOCAL | CREAD;
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;

  switch (settings.dataBits) {
    case TComPortDataBits::db5BITS:
      line.c_cflag |= CS5;
      break;
    case TComPortDataBits::db6BITS:
      line.c_cflag |= CS6;
      break;
    case TComPortDataBits::db7BITS:
      line.c_cflag |= CS7;
      break;
    case TComPortDataBits::db8BITS:
      line.c_cflag |= CS8;
      break;
  }
  switch (settings.parity) {
    case TComPortParity::ptNONE:
      break;
    case TComPortParity::ptODD:
      line.c_cflag |= PARENB | PARODD;
      break;
    case TComPortParity::ptEVEN:
      line.c_cflag |= PARENB;
      break;
    case TComPortParity::ptMARK:
      line.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case TComPortParity::ptSPACE:
      line.c_cflag |= PARENB | CMSPAR;
      break;
  }
  switch (settings.stopBits) {
    case TComPortStopBits::sb1BITS:
      break;
    case TComPortStopBits::sb2BITS:
      line.c_cflag |= CSTOPB;
      break;
    case TComPortStopBits::sb1HALFBITS:
      // A UART sends 1.5 stop bits for 5-bit characters when asked for two; termios has no
      // other way to say 1.5.
      if (settings.dataBits != TComPortDataBits::db5BITS)
        return Error{"1.5 stop bits are possible with 5 data bits only"};
      line.c_cflag |= CSTOPB;
      break;
  }
  if (settings.hwHandshaking == TComPortHwHandshaking::hhRTSCTS) line.c_cflag |= CRTSCTS;
  if (settings.swHandshaking == TComPortSwHandshaking::shXONXOFF) line.c_iflag |= IXON | IXOFF;
  line.c_cc[VSTART] = 17;  // DC1
  line.c_cc[VSTOP] = 19;   // DC3

  const std::uint32_t rate = BaudRateValue(settings.baudRate);
  const speed_t code = StandardSpeed(rate);
  line.c_cflag |= code | (code << IBSHIFT);
  line.c_ispeed = rate;
  line.c_ospeed = rate;
  return {};
}

}  // namespace

Result<LineFlags> LineFlagsFor(const SerialLineSettings& settings, LineFlags current) {
  struct termios2 line {};
  line.c_iflag = current.iflag;
  line.c_oflag = current.oflag;
  line.c_cflag = current.cflag;
  line.c_lflag = current.lflag;
  line.c_ispeed = line.c_ospeed = current.speed;
  if (Status status = SetLine(settings, line); !status) return status.error();
  return LineFlags{line.c_iflag, line.c_oflag, line.c_cflag, line.c_lflag, line.c_ospeed};
}

Status PosixSerialPort::Configure(const SerialLineSettings& settings) {
  if (fd_ < 0) return Error{"the port is closed"};
  struct termios2 line {};
  if (::ioctl(fd_, TCGETS2, &line) != 0) return ErrorOf("reading the line settings", errno);
  if (Status status = SetLine(settings, line); !status) return status;
  if (::ioctl(fd_, TCSETS2, &line) != 0) {
    int error = errno;
    // Some lines (pseudo-terminals among them) answer EINVAL to a call that changes
    // nothing; that is no failure.
    struct termios2 now {};
    if (error == EINVAL && ::ioctl(fd_, TCGETS2, &now) == 0 && SameLine(now, line)) return {};
    return ErrorOf("setting the line", error);
  }
  return {};
}

Status PosixSerialPort::Purge(bool input, bool output) {
  if (fd_ < 0) return Error{"the port is closed"};
  int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
  if (!input && !output) return {};
  if (::ioctl(fd_, TCFLSH, which) != 0) return ErrorOf("purging", errno);
  return {};
}

Result<int> PosixSerialPort::OutputQueueBytes() {
  if (fd_ < 0) return Error{"the port is closed"};
  int queued = 0;
  if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) return ErrorOf("reading the output queue", errno);
  return queued;
}

Result<int> PosixSerialPort::InputQueueBytes() {
  if (fd_ < 0) return Error{"the port is closed"};
  int queued = 0;
  if (::ioctl(fd_, FIONREAD, &queued) != 0) return ErrorOf("reading the input queue", errno);
  return queued;
}

Status PosixSerialPort::Drain() {
  if (fd_ < 0) return Error{"the port is closed"};
  // TCSBRK with a non-zero argument is tcdrain.
  while (::ioctl(fd_, TCSBRK, 1) != 0) {
    if (errno != EINTR) return ErrorOf("waiting for the output", errno);
  }
  return {};
}

Status PosixSerialPort::SetModemLine(int line, bool on) {
  if (fd_ < 0) return Error{"the port is closed"};
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) != 0) {
    // Pseudo-terminals and some adapters have no modem lines.
    if (errno == ENOTTY || errno == EINVAL) return {};
    return ErrorOf("setting a modem line", errno);
  }
  return {};
}

Status PosixSerialPort::SetDtr(bool on) {
  return SetModemLine(TIOCM_DTR, on);
}
Status PosixSerialPort::SetRts(bool on) {
  return SetModemLine(TIOCM_RTS, on);
}

Result<std::size_t> PosixSerialPort::Read(std::span<std::uint8_t> buffer) {
  if (fd_ < 0) return Error{"the port is closed"};
  ssize_t n = ::read(fd_, buffer.data(), buffer.size());
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return std::size_t{0};
    return ErrorOf("reading", errno);
  }
  return static_cast<std::size_t>(n);
}

Result<std::size_t> PosixSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return Error{"the port is closed"};
  ssize_t n = ::write(fd_, bytes.data(), bytes.size());
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return std::size_t{0};
    return ErrorOf("writing", errno);
  }
  return static_cast<std::size_t>(n);
}

std::optional<std::chrono::milliseconds> UsbLatencyTimer(const std::string& device,
                                                         const std::filesystem::path& ttyClass) {
  // /dev/serial/by-id/... leads to /dev/ttyUSB0, whose sysfs entry is ttyUSB0.
  const std::string name = fs::path(SerialDeviceIdentity(device)).filename().string();
  std::ifstream file(ttyClass / name / "device" / "latency_timer");
  int milliseconds = -1;
  if (!(file >> milliseconds) || milliseconds < 0 || milliseconds > 255) return std::nullopt;
  return std::chrono::milliseconds(milliseconds);
}

std::vector<std::string> DeviceUsers(const std::string& device) {
  std::vector<std::string> users;
  const std::string target = SerialDeviceIdentity(device);
  std::error_code ec;
  for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
    const std::string pid = proc->path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    std::error_code fdError;
    for (fs::directory_iterator fd(proc->path() / "fd", fdError); !fdError && fd != end;
         fd.increment(fdError)) {
      std::error_code linkError;
      fs::path link = fs::read_symlink(fd->path(), linkError);
      if (linkError || link.string() != target) continue;
      std::string name;
      std::ifstream comm(proc->path() / "comm");
      std::getline(comm, name);
      users.push_back((name.empty() ? "?" : name) + " (pid " + pid + ")");
      break;
    }
  }
  return users;
}

}  // namespace dravik::platform
