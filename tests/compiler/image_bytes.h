#pragma once
// Expected image bytes written the way the layout tables read: one field after another.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace dravik::compiler::test {

class ImageBytes {
 public:
  ImageBytes& u8(unsigned value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    return *this;
  }
  ImageBytes& u16(unsigned value) { return u8(value & 0xFF).u8((value >> 8) & 0xFF); }
  ImageBytes& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
  ImageBytes& raw(std::initializer_list<unsigned> values) {
    for (unsigned v : values) u8(v);
    return *this;
  }
  ImageBytes& text(std::string_view gbk) {
    u8(static_cast<unsigned>(gbk.size()));
    for (char c : gbk) u8(static_cast<std::uint8_t>(c));
    return *this;
  }
  ImageBytes& append(const std::vector<std::uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  operator std::vector<std::uint8_t>() const { return bytes_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace dravik::compiler::test
