#pragma once
// A length byte followed by N character bytes (GBK). Storing a shorter text leaves the
// bytes after it as they were: files carry them, and copies must reproduce them.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dravik::model {

template <std::size_t N>
class ShortString {
  static_assert(N > 0 && N < 256);

 public:
  static constexpr std::size_t kCapacity = N;

  // The text: the first L bytes, L clamped to the capacity (a damaged file may carry a
  // length byte above it).
  std::string_view View() const {
    return {reinterpret_cast<const char*>(chars_.data()), Length()};
  }
  std::string Str() const { return std::string(View()); }
  std::size_t Length() const { return std::min<std::size_t>(length_, N); }
  std::uint8_t LengthByte() const { return length_; }
  bool Empty() const { return Length() == 0; }

  // Stores text cut to N bytes (a double-byte character may be cut in half).
  void Assign(std::string_view text) {
    const std::size_t n = std::min(text.size(), N);
    std::copy_n(text.data(), n, reinterpret_cast<char*>(chars_.data()));
    length_ = static_cast<std::uint8_t>(n);
  }
  ShortString& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

  // Empties the text without touching the character bytes.
  void ClearLength() { length_ = 0; }

  bool operator==(std::string_view text) const { return View() == text; }
  bool operator==(const ShortString& other) const { return View() == other.View(); }

  const std::array<std::uint8_t, N>& RawChars() const { return chars_; }

 private:
  std::uint8_t length_ = 0;
  std::array<std::uint8_t, N> chars_{};
};

using ShortString20 = ShortString<20>;
using ShortString30 = ShortString<30>;
using ShortString50 = ShortString<50>;

static_assert(sizeof(ShortString20) == 21 && alignof(ShortString20) == 1);
static_assert(sizeof(ShortString30) == 31);
static_assert(sizeof(ShortString50) == 51);

}  // namespace dravik::model
