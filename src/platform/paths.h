#pragma once
// Where Dravik keeps things on this desktop: the shared work folder, the program's own
// data folder and the per-user configuration file.

#include <filesystem>
#include <string>

#include "platform/result.h"

namespace dravik::platform {

// An environment variable's value; "" when it is not set.
std::string Environment(const char* name);

// The work folder shared by every running instance: $DRAVIK_WORKDIR, else
// $XDG_RUNTIME_DIR/dravik, else /tmp/dravik-<uid>. Created (mode 0700) when missing, and
// used only when TrustedWorkFolder accepts it.
Result<std::filesystem::path> WorkDir();

// Accepts `dir` as a work folder only when no one else can have put anything in it: a
// real folder (not a link), owned by this user, writable by no one else. A folder of ours
// that others may only read or enter is made private (0700). The refusal names the
// folder, the reason and the way out.
Result<std::filesystem::path> TrustedWorkFolder(const std::filesystem::path& dir);

// The program's folder (device resources, language files, help, examples, firmware):
// $DRAVIK_PROGRAM_DIR, else beside the executable when QXRes.Dat is there (a build tree),
// else <prefix>/share/dravik.
std::filesystem::path ProgramDir();

// "Dravik.ini": $XDG_CONFIG_HOME/dravik/Dravik.ini, default ~/.config/dravik/Dravik.ini.
std::filesystem::path ConfigFilePath();

// The user's own copies of the shipped examples, where they can be edited and saved:
// $DRAVIK_EXAMPLES_DIR, else ~/Dravik/examples.
std::filesystem::path UserExamplesDir();

// Copies the shipped examples (the files of `shipped`) into UserExamplesDir(), never
// replacing a file the user already has there. The folder, or why it could not be made.
Result<std::filesystem::path> CopyExamplesForUser(const std::filesystem::path& shipped);

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
