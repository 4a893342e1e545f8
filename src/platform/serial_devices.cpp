#include "platform/serial_devices.h"

#include <fcntl.h>
#include <glob.h>
#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

namespace dravik::platform {
namespace {

namespace fs = std::filesystem;

// "ttyUSB10" sorts after "ttyUSB9".
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    std::size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
    long number = digits < s.size() ? std::stol(s.substr(digits, 9)) : -1;
    return std::pair(s.substr(0, digits), number);
  };
  return split(a) < split(b);
}

std::vector<std::string> EntriesOf(const fs::path& folder, const std::string& prefix) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

// Placeholder ttyS nodes exist for every possible 8250 port; only some have a UART.
bool HasUart(const std::string& name) {
  std::ifstream type("/sys/class/tty/" + name + "/type");
  int value = 0;
  if (type >> value) return value != PORT_UNKNOWN;
  int fd = ::open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct serial_struct serial {};
  bool real = ::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type != PORT_UNKNOWN;
  ::close(fd);
  return real;
}

std::string FirstLineOf(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// The adapter and driver behind a tty node, from sysfs: USB adapters name their product
// and maker a few levels up from the tty's device; built-in ports have only a driver.
void DescribeAdapter(const fs::path& ttyClass, SerialDeviceFacts& facts) {
  const std::string name = fs::path(facts.node).filename().string();
  std::error_code ec;
  const fs::path device = fs::canonical(ttyClass / name / "device", ec);
  if (ec) return;
  const fs::path driverLink = fs::read_symlink(device / "driver", ec);
  if (!ec) facts.driver = driverLink.filename().string();
  fs::path level = device;
  for (int up = 0; up < 5 && level.has_relative_path(); ++up, level = level.parent_path()) {
    if (!fs::exists(level / "product", ec)) continue;
    const std::string product = FirstLineOf(level / "product");
    const std::string maker = FirstLineOf(level / "manufacturer");
    facts.adapter = maker.empty() ? product : product + " (" + maker + ")";
    return;
  }
}

}  // namespace

std::vector<std::string> ListSerialDevices() {
  std::vector<std::string> devices;
  std::set<std::string> seen;
  auto add = [&](const fs::path& path) {
    if (seen.insert(SerialDeviceIdentity(path)).second) devices.push_back(path.string());
  };
  for (const std::string& name : EntriesOf("/dev/serial/by-id", ""))
    add(fs::path("/dev/serial/by-id") / name);
  for (const char* prefix : {"ttyUSB", "ttyACM"})
    for (const std::string& name : EntriesOf("/dev", prefix)) add(fs::path("/dev") / name);
  for (const std::string& name : EntriesOf("/dev", "ttyS"))
    if (HasUart(name)) add(fs::path("/dev") / name);
  return devices;
}

std::string SerialDeviceIdentity(const std::string& path) {
  std::error_code ec;
  const fs::path canonical = fs::canonical(path, ec);
  return ec ? path : canonical.string();
}

std::string GroupOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  const struct group* g = ::getgrgid(st.st_gid);
  return g != nullptr ? g->gr_name : std::string();
}

SerialDeviceFacts DescribeSerialDevice(const std::string& path, const std::string& ttyClass) {
  SerialDeviceFacts facts;
  std::error_code ec;
  const fs::path node = fs::canonical(path, ec);
  facts.exists = !ec;
  facts.node = ec ? path : node.string();
  if (!facts.exists) return facts;
  facts.pseudoTerminal = facts.node.rfind("/dev/pts/", 0) == 0;
  if (!facts.pseudoTerminal) DescribeAdapter(ttyClass, facts);
  facts.mayOpen = ::access(facts.node.c_str(), R_OK | W_OK) == 0;
  facts.group = GroupOf(facts.node);
  return facts;
}

std::vector<std::string> MatchingDevices(const std::string& pattern) {
  glob_t found{};
  std::vector<std::string> paths;
  if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
    paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
  }
  globfree(&found);
  std::sort(paths.begin(), paths.end());
  std::set<std::string> identities;
  std::erase_if(paths, [&](const std::string& path) {
    return !identities.insert(SerialDeviceIdentity(path)).second;
  });
  return paths;
}

}  // namespace dravik::platform
