#pragma once
// Writes the element records of one page block and keeps its kind count table: every
// record starts with its kind byte, and starting a record of kind k counts it in byte k-1
// of the table.

#include <array>
#include <cstddef>
#include <cstdint>

#include "compiler/image_layout.h"
#include "compiler/image_writer.h"

namespace dravik::compiler {

class PageBlockWriter {
 public:
  // `kindCountOffset` is where the page's 50-byte count table sits in the image.
  PageBlockWriter(ImageWriter& image, std::size_t kindCountOffset)
      : image_(image), kindCountOffset_(kindCountOffset) {}

  ImageWriter& Image() { return image_; }

  void BeginRecord(int kind);

  // A kind with more than 255 records in this page cannot be counted in its byte.
  bool CountOverflowed() const { return countOverflowed_; }
  int Count(int kind) const {
    return kind >= 1 && kind <= kKindCountTableSize ? counts_[kind - 1] : 0;
  }

 private:
  ImageWriter& image_;
  std::size_t kindCountOffset_;
  std::array<int, kKindCountTableSize> counts_{};
  bool countOverflowed_ = false;
};

inline void PageBlockWriter::BeginRecord(int kind) {
  image_.PutU8(static_cast<std::uint8_t>(kind));
  if (kind < 1 || kind > kKindCountTableSize) return;
  const int count = ++counts_[kind - 1];
  if (count > 255) countOverflowed_ = true;
  image_.PatchU8(kindCountOffset_ + kind - 1, static_cast<std::uint8_t>(count));
}

}  // namespace dravik::compiler
