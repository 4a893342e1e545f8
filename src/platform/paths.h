#pragma once
// Where Dravik keeps things on this desktop: the shared work folder, the program's own
// data folder and the per-user configuration file.

#include <filesystem>

#include "platform/result.h"

namespace dravik::platform {

// The work folder shared by every running instance: $DRAVIK_WORKDIR, else
// $XDG_RUNTIME_DIR/dravik, else /tmp/dravik-<uid>. Created (mode 0700) when missing.
Result<std::filesystem::path> WorkDir();

// The program's folder (device resources, language files, help, examples, firmware):
// $DRAVIK_PROGRAM_DIR, else beside the executable when QXRes.Dat is there (a build tree),
// else <prefix>/share/dravik.
std::filesystem::path ProgramDir();

// "Dravik.ini": $XDG_CONFIG_HOME/dravik/Dravik.ini, default ~/.config/dravik/Dravik.ini.
std::filesystem::path ConfigFilePath();

// The running program's own executable.
std::filesystem::path ExecutablePath();

// Holds an exclusive lock on the work folder's lock file while alive, so that the
// instances sharing the work folder never use its work files at the same time.
class WorkDirLock {
 public:
  static Result<WorkDirLock> Acquire(const std::filesystem::path& workDir);
  WorkDirLock(WorkDirLock&& other) noexcept;
  WorkDirLock& operator=(WorkDirLock&& other) noexcept;
  WorkDirLock(const WorkDirLock&) = delete;
  WorkDirLock& operator=(const WorkDirLock&) = delete;
  ~WorkDirLock();

 private:
  explicit WorkDirLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace dravik::platform
