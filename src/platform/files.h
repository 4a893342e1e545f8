#pragma once
// File operations with the guarantees the user's files need: a write either replaces the
// target completely or leaves it as it was.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "platform/result.h"

namespace dravik::platform {

using Bytes = std::vector<std::uint8_t>;

// Writes a temporary file in the target's folder, flushes it to disk and renames it over
// the target. On any failure the target is untouched and the temporary file is gone.
Status WriteFileAtomic(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The same, with the content produced by `produce`, which writes through `sink` (a
// function that appends bytes and returns false once writing has failed).
using ByteSink = std::function<bool(std::span<const std::uint8_t>)>;
// Produces `bytes` through `sink` in one piece ("write failed" when the sink refuses).
Status WriteWhole(std::span<const std::uint8_t> bytes, const ByteSink& sink);
Status WriteFileAtomicStreamed(const std::filesystem::path& target,
                               const std::function<Status(const ByteSink&)>& produce);

// Whether reading follows a symbolic link: files the user names do, the files Dravik
// keeps in its work folder do not (nor do they read anything but a plain file).
enum class Links { Follow, Refuse };
Result<Bytes> ReadFileBytes(const std::filesystem::path& file, Links links = Links::Follow);

// A reader's own words for a file over its size limit, from the file's size.
using OverLimitText = std::function<Error(std::uintmax_t size)>;
// Reads a plain file of at most `maxSize` bytes. A larger one is refused without being
// read (a wrong file may be huge), by default naming the file, its size and the limit;
// a pipe or a device is refused too (it could wait, or never end).
Result<Bytes> ReadFileBytes(const std::filesystem::path& file, std::size_t maxSize,
                            const OverLimitText& overLimit = {}, Links links = Links::Follow);

// One file of a set written together: where it goes and what it holds.
struct FileToWrite {
  std::filesystem::path target;
  std::function<Status(const ByteSink&)> produce;
};

// Writes several files as one change. Each is first written whole to a flushed temporary
// file beside its target; only then are they renamed over their targets, in the order
// given, so the last one is the one that completes the change. A failure before the
// renames leaves every target as it was; a failure during them puts back what was
// already replaced (the old contents stay linked under a temporary name until the end).
Status WriteFilesTogether(std::span<const FileToWrite> files);

// Writes `bytes` to target unless something is there already (a link counts), crash-safely
// and without a moment where another writer's file could be replaced. The new file gets the
// permissions of `permissionsOf` when that exists (a project's companion those of the
// project), else those of an ordinary new file. The result says whether it was written.
Result<bool> WriteFileNoOverwrite(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                                  const std::filesystem::path& permissionsOf = {});

// Copies source to target unless target exists. A missing source is no error; the
// result says whether a copy was made. The copy itself is crash-safe.
Result<bool> CopyFileNoOverwrite(const std::filesystem::path& source,
                                 const std::filesystem::path& target);

// Copies source over target crash-safely (target replaced only by a complete copy).
Status CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

// The plain files in `folder` (a link counts as what it leads to), in no particular order;
// none when the folder is missing or cannot be read.
std::vector<std::filesystem::path> PlainFilesIn(const std::filesystem::path& folder);

// Whether anything is at `path` (a link counts as what it leads to; a dangling one does
// not).
bool Exists(const std::filesystem::path& path);

// Makes `folder` and the folders above it that are missing; an existing folder is no
// error, a file in its place is (the error's text is the reason alone).
Status CreateFolders(const std::filesystem::path& folder);

// Gives `target` the permissions `source` has (a copied program stays a program); nothing
// changes when either cannot be examined.
void CopyPermissions(const std::filesystem::path& source, const std::filesystem::path& target);

// Removes a file; a missing file is no error.
Status RemoveFileIfPresent(const std::filesystem::path& file);

// The text of errno, for messages.
std::string ErrnoText(int error);

}  // namespace dravik::platform
