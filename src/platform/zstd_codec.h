#pragma once
// zstd frames for the project file: one standard frame with zstd's content checksum, so
// `zstd -d` restores it and damage is detected instead of half-loaded.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "platform/bilingual.h"
#include "platform/files.h"
#include "platform/result.h"

namespace dravik::platform {

inline constexpr int kZstdLevel = 3;

// The largest window a frame may make the reader keep: 64 MB (2^26). The decoder allocates
// the window the frame header names (or its content size, if smaller) before it has
// checked a single block, so this is what a few damaged or hostile header bytes can cost.
// No project file needs more: the record file is at most 241 records (47.5 MB), and an
// encoder never uses a window larger than the content it was given.
inline constexpr int kMaxZstdWindowLog = 26;

// Compresses `data` as one frame (content size and checksum in the frame) through `sink`.
Status ZstdCompressTo(std::span<const std::uint8_t> data, const ByteSink& sink,
                      int level = kZstdLevel);
Result<Bytes> ZstdCompress(std::span<const std::uint8_t> data, int level = kZstdLevel);

// Why a frame could not be read.
enum class ZstdFault { None, NotZstd, Damaged, Truncated, OutOfMemory };

// Reads one frame piece by piece into buffers the caller owns, so nothing larger than
// what the caller asks for is ever allocated, whatever the frame claims, besides the
// decoder's window (at most 2^kMaxZstdWindowLog bytes; a frame that asks for more is
// refused as damaged).
class ZstdReader {
 public:
  explicit ZstdReader(std::span<const std::uint8_t> frame);
  ~ZstdReader();
  ZstdReader(const ZstdReader&) = delete;
  ZstdReader& operator=(const ZstdReader&) = delete;

  // Fills `output` as far as the frame goes; returns the bytes written. After a fault
  // (see fault()) it writes nothing more.
  std::size_t Read(std::span<std::uint8_t> output);

  // Whether the frame ended (its checksum checked) with everything read.
  bool Finished();
  ZstdFault fault() const { return fault_; }
  // What exactly was wrong, in both languages (the English form for logs and tests).
  const Bilingual& detailText() const { return detail_; }
  const std::string& detail() const { return detail_.english; }

 private:
  void Fail(ZstdFault fault, Bilingual detail);

  struct State;
  State* state_;
  ZstdFault fault_ = ZstdFault::None;
  Bilingual detail_;
  bool finished_ = false;
};

}  // namespace dravik::platform
