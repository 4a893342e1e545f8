#include "platform/files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

namespace {

struct ReadRules {
  bool followLinks = true;
  bool plainOnly = false;
  std::size_t maxSize = SIZE_MAX;
  const OverLimitText* overLimit = nullptr;
};

Error OverLimit(const fs::path& file, std::uintmax_t size, const ReadRules& rules) {
  if (rules.overLimit != nullptr && *rules.overLimit) return (*rules.overLimit)(size);
  const std::string n = std::to_string(size), most = std::to_string(rules.maxSize);
  return Error{Bilingual{
      file.string() + " 有 " + n + " 字节，超过了 " + most + " 字节的上限。",
      file.string() + " has " + n + " bytes, more than the limit of " + most + " bytes."}};
}

// Reads the open `fd` to its end; refuses to hold more than `rules.maxSize` bytes (a file
// may grow while it is read).
Result<Bytes> ReadToEnd(int fd, const fs::path& file, std::size_t expected,
                        const ReadRules& rules) {
  Bytes bytes;
  bytes.reserve(std::min(expected, rules.maxSize));
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return FileError(kReading, file, errno);
    }
    if (got == 0) return bytes;
    if (static_cast<std::size_t>(got) > rules.maxSize - bytes.size()) {
      return OverLimit(file, bytes.size() + static_cast<std::size_t>(got), rules);
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
}

Result<Bytes> ReadOpened(int fd, const fs::path& file, const ReadRules& rules) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return FileError(kReading, file, errno);
  if (S_ISDIR(info.st_mode)) return FileError(kReading, file, EISDIR);
  if (rules.plainOnly && !S_ISREG(info.st_mode)) {
    const std::string rest = " " + file.string();
    return Error{Bilingual{kReading.chinese + rest + "：不是普通文件",
                           kReading.english + rest + ": not a plain file"}};
  }
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  if (size > rules.maxSize) return OverLimit(file, size, rules);
  return ReadToEnd(fd, file, static_cast<std::size_t>(size), rules);
}

Result<Bytes> ReadFile(const fs::path& file, const ReadRules& rules) {
  // A pipe opened without O_NONBLOCK would wait for a writer before it could be refused.
  const int flags = O_RDONLY | O_CLOEXEC | (rules.followLinks ? 0 : O_NOFOLLOW) |
                    (rules.plainOnly ? O_NONBLOCK : 0);
  const int fd = ::open(file.c_str(), flags);
  if (fd < 0) return FileError(kReading, file, errno);
  Result<Bytes> bytes = ReadOpened(fd, file, rules);
  ::close(fd);
  return bytes;
}

}  // namespace

Result<Bytes> ReadFileBytes(const fs::path& file, Links links) {
  // A work file is only ever a plain file we wrote: a link or a pipe in its place is
  // refused (the pipe without waiting for a writer).
  const bool workFile = links == Links::Refuse;
  return ReadFile(
      file,
      {.followLinks = !workFile, .plainOnly = workFile, .maxSize = SIZE_MAX, .overLimit = nullptr});
}

Result<Bytes> ReadFileBytes(const fs::path& file, std::size_t maxSize,
                            const OverLimitText& overLimit, Links links) {
  return ReadFile(file, {.followLinks = links == Links::Follow,
                         .plainOnly = true,
                         .maxSize = maxSize,
                         .overLimit = &overLimit});
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

std::vector<fs::path> PlainFilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) files.push_back(it->path());
  }
  return files;
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

Status CreateFolders(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return Error{ec.message()};
  if (!fs::is_directory(folder, ec)) return Error{"a file of that name is in the way"};
  return {};
}

void CopyPermissions(const fs::path& source, const fs::path& target) {
  std::error_code ec;
  const fs::file_status status = fs::status(source, ec);
  if (!ec) fs::permissions(target, status.permissions(), ec);
}

Status RemoveFileIfPresent(const fs::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
    return FileError(kDeleting, file, errno);
  }
  return {};
}

}  // namespace dravik::platform
