#include "compiler/image_writer.h"

#include <algorithm>
#include <utility>

namespace dravik::compiler {

bool ImageWriter::Reserve(std::size_t count) {
  if (overflowed_ || count > bytes_.size() - position_) {
    overflowed_ = true;
    return false;
  }
  return true;
}

void ImageWriter::Seek(std::size_t position) {
  if (overflowed_) return;
  if (position > bytes_.size()) {
    overflowed_ = true;
    return;
  }
  position_ = position;
}

void ImageWriter::PutU8(std::uint8_t value) {
  if (!Reserve(1)) return;
  bytes_[position_++] = value;
}

void ImageWriter::PutU16le(std::uint16_t value) {
  if (!Reserve(2)) return;
  bytes_[position_++] = static_cast<std::uint8_t>(value);
  bytes_[position_++] = static_cast<std::uint8_t>(value >> 8);
}

void ImageWriter::PutU32le(std::uint32_t value) {
  if (!Reserve(4)) return;
  for (int i = 0; i < 4; ++i) bytes_[position_++] = static_cast<std::uint8_t>(value >> (8 * i));
}

void ImageWriter::PutBytes(std::span<const std::uint8_t> bytes) {
  if (!Reserve(bytes.size())) return;
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
  position_ += bytes.size();
}

void ImageWriter::PutText(std::string_view text) {
  const std::size_t length = std::min<std::size_t>(text.size(), 255);
  if (!Reserve(1 + length)) return;
  bytes_[position_++] = static_cast<std::uint8_t>(length);
  std::copy_n(reinterpret_cast<const std::uint8_t*>(text.data()), length,
              bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
  position_ += length;
}

void ImageWriter::PatchU8(std::size_t offset, std::uint8_t value) {
  if (offset >= bytes_.size()) {
    overflowed_ = true;
    return;
  }
  bytes_[offset] = value;
}

void ImageWriter::PatchU16le(std::size_t offset, std::uint16_t value) {
  PatchU8(offset, static_cast<std::uint8_t>(value));
  PatchU8(offset + 1, static_cast<std::uint8_t>(value >> 8));
}

void ImageWriter::PatchU32le(std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) PatchU8(offset + i, static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint8_t ImageWriter::ByteAt(std::size_t offset) const {
  return offset < bytes_.size() ? bytes_[offset] : 0;
}

std::span<std::uint8_t> ImageWriter::Region(std::size_t offset, std::size_t length) {
  if (offset > bytes_.size() || length > bytes_.size() - offset) return {};
  return {bytes_.data() + offset, length};
}

std::vector<std::uint8_t> ImageWriter::TakeWritten() && {
  bytes_.resize(position_);
  return std::move(bytes_);
}

}  // namespace dravik::compiler
