#include "platform/paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files.h"

namespace dravik::platform {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

namespace {

fs::path HomeDir() {
  if (std::string home = Environment("HOME"); !home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? fs::path(entry->pw_dir) : fs::current_path();
}

}  // namespace

namespace {

Error UntrustedWorkDir(const fs::path& dir, const Bilingual& why) {
  const std::string folder = dir.string();
  return Error{Bilingual{
      "不能使用工作文件夹 " + folder + "：" + why.chinese +
          "。\r其他用户可能在其中放入文件。请删除该文件夹（或请管理员删除），或用环境变量 DRAVIK_WORKDIR "
          "指定一个只属于您的文件夹。",
      "Cannot use the work folder " + folder + ": " + why.english +
          ".\rAnother user could plant files in it. Remove the folder (or ask an administrator to), "
          "or set DRAVIK_WORKDIR to a folder only you can use."}};
}

}  // namespace

Result<fs::path> TrustedWorkFolder(const fs::path& dir) {
  // Everything below works on the opened folder itself, so it cannot be swapped for a
  // link between the checks.
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    struct stat link {};
    if ((error == ELOOP || error == ENOTDIR) && ::lstat(dir.c_str(), &link) == 0) {
      if (S_ISLNK(link.st_mode)) return UntrustedWorkDir(dir, {"它是一个符号链接", "it is a symbolic link"});
      return UntrustedWorkDir(dir, {"它不是文件夹", "it is not a folder"});
    }
    return Error{Bilingual{"无法打开工作文件夹 " + dir.string() + "：" + ErrnoText(error),
                           "Cannot open the work folder " + dir.string() + ": " + ErrnoText(error)}};
  }
  struct stat info {};
  Status verdict;
  if (::fstat(fd, &info) != 0) {
    verdict = Error{"cannot examine the work folder " + dir.string() + ": " + ErrnoText(errno)};
  } else if (info.st_uid != ::geteuid()) {
    const std::string owner = std::to_string(info.st_uid);
    verdict = UntrustedWorkDir(dir, {"它属于另一个用户（uid " + owner + "）", "it belongs to another user (uid " + owner + ")"});
  } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    // Others could already have put files in it: tightening it now would come too late.
    verdict = UntrustedWorkDir(dir, {"其他用户可以写入它", "other users can write to it"});
  } else if ((info.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0) {
    verdict = Error{"cannot make the work folder " + dir.string() + " private: " + ErrnoText(errno)};
  }
  ::close(fd);
  if (!verdict) return verdict.error();
  return dir;
}

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
    const int error = errno;
    return Error{Bilingual{"无法创建工作文件夹 " + dir.string() + "：" + ErrnoText(error),
                           "Cannot create the work folder " + dir.string() + ": " + ErrnoText(error)}};
  }
  return TrustedWorkFolder(dir);
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

fs::path UserExamplesDir() {
  if (std::string explicitDir = Environment("DRAVIK_EXAMPLES_DIR"); !explicitDir.empty()) return explicitDir;
  return HomeDir() / "Dravik" / "examples";
}

Result<fs::path> CopyExamplesForUser(const fs::path& shipped) {
  const fs::path target = UserExamplesDir();
  std::error_code error;
  fs::create_directories(target, error);
  if (error) return Error{"cannot create " + target.string() + ": " + error.message()};
  for (fs::directory_iterator it(shipped, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    Result<bool> copied = CopyFileNoOverwrite(it->path(), target / it->path().filename());
    if (!copied) return Error{copied.message()};
  }
  if (error) return Error{"cannot read " + shipped.string() + ": " + error.message()};
  return target;
}

Result<WorkDirLock> WorkDirLock::Acquire(const fs::path& workDir) {
  const fs::path file = workDir / "dravik.lock";
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
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
