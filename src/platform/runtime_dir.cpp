#include "platform/runtime_dir.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::platform {

namespace fs = std::filesystem;

namespace {

// What the freedesktop.org base directory rules ask of a runtime folder, and Qt checks:
// a folder owned by this user that no one else may enter. A folder of our own making
// must not be a symbolic link either (someone else could have put the link there).
bool IsPrivateFolder(const fs::path& folder, bool followLinks) {
  struct stat info {};
  const int found = followLinks ? ::stat(folder.c_str(), &info) : ::lstat(folder.c_str(), &info);
  return found == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & 07777) == 0700;
}

fs::path TemporaryFilesFolder() {
  const fs::path tmpdir = Environment("TMPDIR");
  return tmpdir.is_absolute() ? tmpdir : fs::path("/tmp");
}

Error CannotCreate(const fs::path& folder, int error) {
  const std::string rest = " " + folder.string() + ": " + ErrnoText(error);
  return Error{Bilingual{"无法建立运行文件夹" + rest, "cannot create the runtime folder" + rest}};
}

Result<fs::path> MakePrivateFolder() {
  const fs::path folder =
      TemporaryFilesFolder() / ("dravik-runtime-" + std::to_string(::geteuid()));
  if (::mkdir(folder.c_str(), 0700) == 0) {
    ::chmod(folder.c_str(), 0700);  // whatever the umask took away
  } else if (errno != EEXIST) {
    return CannotCreate(folder, errno);
  }
  if (IsPrivateFolder(folder, false)) return folder;
  // The name is taken by something that is not ours alone: a fresh folder of our own.
  std::string unique = folder.string() + "-XXXXXX";
  if (::mkdtemp(unique.data()) == nullptr) return CannotCreate(unique, errno);
  ::chmod(unique.c_str(), 0700);
  return fs::path(unique);
}

}  // namespace

Result<fs::path> PrepareRuntimeDir() {
  const fs::path current = Environment("XDG_RUNTIME_DIR");
  if (!current.empty() && IsPrivateFolder(current, true)) return current;
  if (Environment("DRAVIK_WORKDIR").empty()) {
    // A work folder that cannot be used stays the one that is refused, not a new one.
    Result<fs::path> work = WorkDir();
    if (!work) return work.error();
    ::setenv("DRAVIK_WORKDIR", work->c_str(), 1);
  }
  Result<fs::path> runtime = MakePrivateFolder();
  if (!runtime) return runtime.error();
  ::setenv("XDG_RUNTIME_DIR", runtime->c_str(), 1);
  return runtime;
}

void PrepareHeadlessQt() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  (void)PrepareRuntimeDir();
}

}  // namespace dravik::platform
