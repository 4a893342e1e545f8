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
Status WriteFileAtomicStreamed(const std::filesystem::path& target,
                               const std::function<Status(const ByteSink&)>& produce);

Result<Bytes> ReadFileBytes(const std::filesystem::path& file);

// Copies source to target unless target exists. A missing source is no error; the
// result says whether a copy was made. The copy itself is crash-safe.
Result<bool> CopyFileNoOverwrite(const std::filesystem::path& source,
                                 const std::filesystem::path& target);

// Copies source over target crash-safely (target replaced only by a complete copy).
Status CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

// Removes a file; a missing file is no error.
Status RemoveFileIfPresent(const std::filesystem::path& file);

// The text of errno, for messages.
std::string ErrnoText(int error);

}  // namespace dravik::platform
