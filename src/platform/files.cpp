#include "platform/files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <set>
#include <string>

namespace dravik::platform {

namespace fs = std::filesystem;

namespace {

// What was being done to a file, in both languages.
struct FileAction {
  const char* chinese;
  const char* english;
};
constexpr FileAction kReading{"无法读取", "cannot read"};
constexpr FileAction kWriting{"无法写入", "cannot write"};
constexpr FileAction kDeleting{"无法删除", "cannot delete"};

// "cannot read <file>: <the system's reason>"; the reason stays as the system gives it.
Error FileError(const FileAction& action, const fs::path& file, int error) {
  const std::string rest = " " + file.string() + ": " + ErrnoText(error);
  return Error{Bilingual{action.chinese + rest, action.english + rest}};
}

const Bilingual kWriteFailed{"写入失败", "write failed"};

bool WriteAllTo(int fd, std::span<const std::uint8_t> bytes) {
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// Makes a rename inside `folder` survive a crash.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}


// A complete, flushed file beside `target` under a temporary name, with the permissions
// the target has, or those of `permissionsOf` when given (or an ordinary new file would
// get, not mkstemp's 0600). On failure nothing is left behind.
Result<fs::path> WriteTemporaryBeside(const fs::path& target,
                                      const std::function<Status(const ByteSink&)>& produce,
                                      const fs::path& permissionsOf = {}) {
  std::string temp =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return FileError(kWriting, target, errno);

  int writeError = 0;
  const ByteSink sink = [&](std::span<const std::uint8_t> bytes) {
    if (writeError != 0) return false;
    if (!WriteAllTo(fd, bytes)) writeError = errno;
    return writeError == 0;
  };
  Status produced = produce(sink);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat existing {};
  const fs::path& model = permissionsOf.empty() ? target : permissionsOf;
  const mode_t mode =
      ::stat(model.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~mask);
  ::fchmod(fd, mode);
  if (writeError == 0 && produced.ok() && ::fsync(fd) != 0) writeError = errno;
  if (::close(fd) != 0 && writeError == 0) writeError = errno;
  if (writeError == 0 && produced.ok()) return fs::path(temp);

  ::unlink(temp.c_str());
  if (writeError != 0) return FileError(kWriting, target, writeError);
  return produced.error();
}

enum class Placement { Replace, KeepExisting };

// Puts a complete temporary file in place: renamed over the target, or linked to the
// target's name only if that is free.
Status WriteViaTemp(const fs::path& target, const std::function<Status(const ByteSink&)>& produce,
                    Placement placement, const fs::path& permissionsOf = {}) {
  Result<fs::path> temp = WriteTemporaryBeside(target, produce, permissionsOf);
  if (!temp) return temp.error();
  const int placed = placement == Placement::Replace ? ::rename(temp->c_str(), target.c_str())
                                                     : ::link(temp->c_str(), target.c_str());
  const int placeError = placed != 0 ? errno : 0;
  if (placement == Placement::KeepExisting || placeError != 0) ::unlink(temp->c_str());
  if (placeError != 0) return FileError(kWriting, target, placeError);
  SyncFolder(target.parent_path());
  return {};
}

// The content a target had before a change, kept under a second name so that it can be
// put back. Without `kept` the target was missing, or the file system cannot link (the
// change then goes ahead without a way back for this file).
struct OldContent {
  bool existed = false;
  std::optional<fs::path> kept;
};

OldContent KeepOldContent(const fs::path& target) {
  OldContent old;
  struct stat info {};
  old.existed = ::lstat(target.c_str(), &info) == 0;
  if (!old.existed) return old;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path name =
        target.parent_path() / ("." + target.filename().string() + ".old-" +
                                std::to_string(::getpid()) + "-" + std::to_string(attempt));
    if (::link(target.c_str(), name.c_str()) == 0) {
      old.kept = name;
      break;
    }
    if (errno != EEXIST) break;
  }
  return old;
}

// Puts back what a target held before it was replaced.
void Restore(const fs::path& target, OldContent& old) {
  if (old.kept) {
    ::rename(old.kept->c_str(), target.c_str());
    old.kept.reset();
  } else if (!old.existed) {
    ::unlink(target.c_str());
  }
}

}  // namespace

Status WriteWhole(std::span<const std::uint8_t> bytes, const ByteSink& sink) {
  if (!sink(bytes)) return Error{kWriteFailed};
  return {};
}

std::string ErrnoText(int error) {
  return std::strerror(error);
}

Status WriteFileAtomicStreamed(const fs::path& target,
                               const std::function<Status(const ByteSink&)>& produce) {
  return WriteViaTemp(target, produce, Placement::Replace);
}

Status WriteFileAtomic(const fs::path& target, std::span<const std::uint8_t> bytes) {
  return WriteFileAtomicStreamed(target,
                                 [&](const ByteSink& sink) { return WriteWhole(bytes, sink); });
}

Status WriteFilesTogether(std::span<const FileToWrite> files) {
  std::vector<fs::path> temps;
  const auto removeTemps = [&](std::size_t from) {
    for (std::size_t i = from; i < temps.size(); ++i) ::unlink(temps[i].c_str());
  };
  for (const FileToWrite& file : files) {
    Result<fs::path> temp = WriteTemporaryBeside(file.target, file.produce);
    if (!temp) {
      removeTemps(0);
      return temp.error();
    }
    temps.push_back(std::move(*temp));
  }

  std::vector<OldContent> olds;
  for (const FileToWrite& file : files) olds.push_back(KeepOldContent(file.target));
  const auto removeOlds = [&] {
    for (const OldContent& old : olds) {
      if (old.kept) ::unlink(old.kept->c_str());
    }
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (::rename(temps[i].c_str(), files[i].target.c_str()) == 0) continue;
    const int error = errno;
    for (std::size_t j = 0; j < i; ++j) Restore(files[j].target, olds[j]);
    removeTemps(i);
    removeOlds();
    return FileError(kWriting, files[i].target, error);
  }
  removeOlds();
  std::set<fs::path> folders;
  for (const FileToWrite& file : files) folders.insert(file.target.parent_path());
  for (const fs::path& folder : folders) SyncFolder(folder);
  return {};
}

Result<Bytes> ReadFileBytes(const fs::path& file, Links links) {
  // A work file is only ever a plain file we wrote: a link or a pipe in its place is
  // refused (the pipe without waiting for a writer).
  const bool plainOnly = links == Links::Refuse;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | (plainOnly ? O_NOFOLLOW | O_NONBLOCK : 0));
  if (fd < 0) return FileError(kReading, file, errno);
  struct stat info {};
  int refusal = ::fstat(fd, &info) != 0 ? errno : 0;
  if (refusal == 0 && S_ISDIR(info.st_mode)) refusal = EISDIR;
  if (refusal == 0 && plainOnly && !S_ISREG(info.st_mode)) refusal = EINVAL;
  if (refusal != 0) {
    ::close(fd);
    return FileError(kReading, file, refusal);
  }
  Bytes bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return FileError(kReading, file, error);
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  ::close(fd);
  return bytes;
}

Status CopyFileReplacing(const fs::path& source, const fs::path& target) {
  Result<Bytes> bytes = ReadFileBytes(source);
  if (!bytes) return bytes.error();
  return WriteFileAtomic(target, *bytes);
}

Result<bool> WriteFileNoOverwrite(const fs::path& target, std::span<const std::uint8_t> bytes,
                                  const fs::path& permissionsOf) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error))) return false;
  Status written = WriteViaTemp(
      target, [&](const ByteSink& sink) { return WriteWhole(bytes, sink); }, Placement::KeepExisting,
      permissionsOf);
  // A target that appeared meanwhile is kept, as if it had been there before.
  if (!written) {
    return fs::exists(fs::symlink_status(target, error)) ? Result<bool>(false) : Result<bool>(written.error());
  }
  return true;
}

Result<bool> CopyFileNoOverwrite(const fs::path& source, const fs::path& target) {
  std::error_code error;
  if (!fs::exists(source, error) || fs::exists(target, error)) return false;
  Result<Bytes> bytes = ReadFileBytes(source);
  if (!bytes) return bytes.error();
  return WriteFileNoOverwrite(target, *bytes);
}

Status RemoveFileIfPresent(const fs::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
    return FileError(kDeleting, file, errno);
  }
  return {};
}

}  // namespace dravik::platform
