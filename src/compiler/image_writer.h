#pragma once
// The byte buffer the device image is built in: zero-filled, of fixed capacity, written
// little-endian at a moving position. A write that would pass the end writes nothing and
// marks the writer overflowed; every later write is ignored, so a writer can run to the
// end of a step and be checked once.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace dravik::compiler {

class ImageWriter {
 public:
  explicit ImageWriter(std::size_t capacity) : bytes_(capacity, 0) {}

  std::size_t Position() const { return position_; }
  std::size_t Capacity() const { return bytes_.size(); }
  bool Overflowed() const { return overflowed_; }

  // Moves the write position; a position past the end overflows.
  void Seek(std::size_t position);

  void PutU8(std::uint8_t value);
  void PutU16le(std::uint16_t value);
  void PutU32le(std::uint32_t value);
  void PutBytes(std::span<const std::uint8_t> bytes);
  // A text as its length byte followed by its bytes (at most 255).
  void PutText(std::string_view text);

  // Fixed-place writes that do not move the position (header fields, counts).
  void PatchU8(std::size_t offset, std::uint8_t value);
  void PatchU16le(std::size_t offset, std::uint16_t value);
  void PatchU32le(std::size_t offset, std::uint32_t value);
  std::uint8_t ByteAt(std::size_t offset) const;

  // Bytes [offset, offset + length) for a writer that fills them itself; empty when the
  // range does not fit.
  std::span<std::uint8_t> Region(std::size_t offset, std::size_t length);

  // The bytes written, up to the position.
  std::span<const std::uint8_t> Written() const { return {bytes_.data(), position_}; }
  std::vector<std::uint8_t> TakeWritten() &&;

 private:
  bool Reserve(std::size_t count);  // room for count more bytes at the position?

  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool overflowed_ = false;
};

}  // namespace dravik::compiler
