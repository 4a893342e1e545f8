#include "platform/zstd_codec.h"

#include <zstd.h>

#include <algorithm>

namespace dravik::platform {

namespace {

constexpr std::uint32_t kZstdMagic = 0xFD2FB528;

const Bilingual kOutOfMemory{"zstd: 内存不足", "zstd: out of memory"};
const Bilingual kNotZstd{"不是 zstd 数据", "not a zstd frame"};
const Bilingual kCutShort{"zstd: 文件在数据帧中间结束",
                          "zstd: the file ends in the middle of the frame"};

// The library's own name for an error, the same in both languages.
Bilingual LibraryError(size_t code) {
  return Both(std::string("zstd: ") + ZSTD_getErrorName(code));
}

bool StartsWithZstdMagic(std::span<const std::uint8_t> frame) {
  if (frame.size() < 4) return false;
  const std::uint32_t magic =
      frame[0] | (frame[1] << 8) | (frame[2] << 16) | (static_cast<std::uint32_t>(frame[3]) << 24);
  return magic == kZstdMagic;
}

}  // namespace

Status ZstdCompressTo(std::span<const std::uint8_t> data, const ByteSink& sink, int level) {
  ZSTD_CCtx* context = ZSTD_createCCtx();
  if (context == nullptr) return Error{kOutOfMemory};
  ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, level);
  ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
  ZSTD_CCtx_setPledgedSrcSize(context, data.size());

  Bytes chunk(ZSTD_CStreamOutSize());
  ZSTD_inBuffer input{data.data(), data.size(), 0};
  Status status;
  for (;;) {
    ZSTD_outBuffer output{chunk.data(), chunk.size(), 0};
    const size_t remaining = ZSTD_compressStream2(context, &output, &input, ZSTD_e_end);
    if (ZSTD_isError(remaining)) {
      status = Error{LibraryError(remaining)};
      break;
    }
    if (output.pos > 0 && !sink({chunk.data(), output.pos})) {
      status = Error{Bilingual{"写入失败", "write failed"}};
      break;
    }
    if (remaining == 0) break;
  }
  ZSTD_freeCCtx(context);
  return status;
}

Result<Bytes> ZstdCompress(std::span<const std::uint8_t> data, int level) {
  Bytes out;
  out.reserve(ZSTD_compressBound(data.size()));
  Status status = ZstdCompressTo(
      data,
      [&](std::span<const std::uint8_t> piece) {
        out.insert(out.end(), piece.begin(), piece.end());
        return true;
      },
      level);
  if (!status) return status.error();
  return out;
}

struct ZstdReader::State {
  ZSTD_DCtx* context = nullptr;
  ZSTD_inBuffer input{};
};

ZstdReader::ZstdReader(std::span<const std::uint8_t> frame) : state_(new State) {
  state_->input = {frame.data(), frame.size(), 0};
  if (!StartsWithZstdMagic(frame)) {
    Fail(ZstdFault::NotZstd, kNotZstd);
    return;
  }
  state_->context = ZSTD_createDCtx();
  if (state_->context == nullptr) {
    Fail(ZstdFault::OutOfMemory, kOutOfMemory);
    return;
  }
  ZSTD_DCtx_setParameter(state_->context, ZSTD_d_windowLogMax, kMaxZstdWindowLog);
}

ZstdReader::~ZstdReader() {
  if (state_->context != nullptr) ZSTD_freeDCtx(state_->context);
  delete state_;
}

void ZstdReader::Fail(ZstdFault fault, Bilingual detail) {
  fault_ = fault;
  detail_ = std::move(detail);
}

std::size_t ZstdReader::Read(std::span<std::uint8_t> output) {
  std::size_t produced = 0;
  while (fault_ == ZstdFault::None && !finished_ && produced < output.size()) {
    ZSTD_outBuffer out{output.data() + produced, output.size() - produced, 0};
    const std::size_t inputBefore = state_->input.pos;
    const size_t hint = ZSTD_decompressStream(state_->context, &out, &state_->input);
    produced += out.pos;
    if (ZSTD_isError(hint)) {
      Fail(ZstdFault::Damaged, LibraryError(hint));
      break;
    }
    if (hint == 0) {
      finished_ = true;
      break;
    }
    const bool stalled = out.pos == 0 && state_->input.pos == inputBefore;
    if (state_->input.pos == state_->input.size && (stalled || out.pos < out.size)) {
      // All input used, the frame wants more: the file was cut short.
      Fail(ZstdFault::Truncated, kCutShort);
      break;
    }
  }
  return produced;
}

bool ZstdReader::Finished() {
  if (finished_ || fault_ != ZstdFault::None) return finished_;
  // The output may have filled up exactly at the end of the content: let the decoder
  // take the frame's epilogue (its checksum) with no room to write.
  std::uint8_t probe = 0;
  const std::size_t extra = Read({&probe, 1});
  return extra == 0 && finished_;
}

}  // namespace dravik::platform
