#include "platform/files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace dravik::platform {

namespace fs = std::filesystem;

namespace {

Error FileError(const std::string& what, const fs::path& file, int error) {
  return Error{what + " " + file.string() + ": " + ErrnoText(error)};
}

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

}  // namespace

std::string ErrnoText(int error) { return std::strerror(error); }

namespace {

enum class Placement { Replace, KeepExisting };

// Writes a complete, flushed temporary file beside `target` and only then puts it in
// place: renamed over the target, or linked to the target's name only if that is free.
Status WriteViaTemp(const fs::path& target, const std::function<Status(const ByteSink&)>& produce,
                    Placement placement) {
  const fs::path folder = target.parent_path();
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return FileError("cannot write", target, errno);

  int writeError = 0;
  const ByteSink sink = [&](std::span<const std::uint8_t> bytes) {
    if (writeError != 0) return false;
    if (!WriteAllTo(fd, bytes)) writeError = errno;
    return writeError == 0;
  };
  Status produced = produce(sink);
  // Keep the permissions an ordinary new file would get, not mkstemp's 0600.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat existing {};
  const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                               : (0666 & ~mask);
  ::fchmod(fd, mode);
  if (writeError == 0 && produced.ok() && ::fsync(fd) != 0) writeError = errno;
  if (::close(fd) != 0 && writeError == 0) writeError = errno;

  if (writeError == 0 && produced.ok()) {
    const int placed = placement == Placement::Replace ? ::rename(temp.c_str(), target.c_str())
                                                       : ::link(temp.c_str(), target.c_str());
    if (placed != 0) writeError = errno;
  }
  if (placement == Placement::KeepExisting || writeError != 0 || !produced.ok()) {
    ::unlink(temp.c_str());
  }
  if (!produced.ok() && writeError == 0) return produced;
  if (writeError != 0) return FileError("cannot write", target, writeError);
  SyncFolder(folder);
  return {};
}

}  // namespace

Status WriteFileAtomicStreamed(const fs::path& target,
                               const std::function<Status(const ByteSink&)>& produce) {
  return WriteViaTemp(target, produce, Placement::Replace);
}

Status WriteFileAtomic(const fs::path& target, std::span<const std::uint8_t> bytes) {
  return WriteFileAtomicStreamed(target, [&](const ByteSink& sink) -> Status {
    if (!sink(bytes)) return Error{"write failed"};
    return {};
  });
}

Result<Bytes> ReadFileBytes(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileError("cannot read", file, errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return FileError("cannot read", file, error);
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
      return FileError("cannot read", file, error);
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

Result<bool> CopyFileNoOverwrite(const fs::path& source, const fs::path& target) {
  std::error_code error;
  if (!fs::exists(source, error) || fs::exists(target, error)) return false;
  Result<Bytes> bytes = ReadFileBytes(source);
  if (!bytes) return bytes.error();
  Status copied = WriteViaTemp(
      target,
      [&](const ByteSink& sink) -> Status {
        if (!sink(*bytes)) return Error{"write failed"};
        return {};
      },
      Placement::KeepExisting);
  // A target that appeared meanwhile is kept, as if it had been there before.
  if (!copied) return fs::exists(target, error) ? Result<bool>(false) : Result<bool>(copied.error());
  return true;
}

Status RemoveFileIfPresent(const fs::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
    return FileError("cannot delete", file, errno);
  }
  return {};
}

}  // namespace dravik::platform
