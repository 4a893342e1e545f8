#include "platform/paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files.h"

namespace dravik::platform {

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

Result<fs::path> WorkDir() {
  fs::path dir;
  if (std::string explicitDir = Environment("DRAVIK_WORKDIR"); !explicitDir.empty()) {
    dir = explicitDir;
  } else if (std::string runtime = Environment("XDG_RUNTIME_DIR"); !runtime.empty()) {
    dir = fs::path(runtime) / "dravik";
  } else {
    dir = fs::path("/tmp") / ("dravik-" + std::to_string(::getuid()));
  }
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    return Error{"cannot create the work folder " + dir.string() + ": " + ErrnoText(errno)};
  }
  struct stat info {};
  if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return Error{"the work folder " + dir.string() + " is not a folder"};
  }
  return dir;
}

fs::path ExecutablePath() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : self;
}

fs::path ProgramDir() {
  if (std::string explicitDir = Environment("DRAVIK_PROGRAM_DIR"); !explicitDir.empty()) {
    return explicitDir;
  }
  const fs::path beside = ExecutablePath().parent_path();
  std::error_code error;
  if (fs::exists(beside / "QXRes.Dat", error)) return beside;
  return beside.parent_path() / "share" / "dravik";
}

fs::path ConfigFilePath() {
  fs::path base;
  if (std::string config = Environment("XDG_CONFIG_HOME"); !config.empty()) {
    base = config;
  } else {
    base = fs::path(Environment("HOME")) / ".config";
  }
  return base / "dravik" / "Dravik.ini";
}

Result<WorkDirLock> WorkDirLock::Acquire(const fs::path& workDir) {
  const fs::path file = workDir / "dravik.lock";
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Error{"cannot open " + file.string() + ": " + ErrnoText(errno)};
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      const int error = errno;
      ::close(fd);
      return Error{"cannot lock " + file.string() + ": " + ErrnoText(error)};
    }
  }
  return WorkDirLock(fd);
}

WorkDirLock::WorkDirLock(WorkDirLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

WorkDirLock& WorkDirLock::operator=(WorkDirLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

WorkDirLock::~WorkDirLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the lock
}

}  // namespace dravik::platform
