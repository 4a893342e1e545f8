#pragma once
// Integers stored little-endian whatever the host is. They are plain byte arrays, so a
// struct made of them has no padding and reads the same bytes on every machine.

#include <array>
#include <cstdint>
#include <type_traits>

namespace dravik::model {

template <class T>
class LittleEndian {
  static_assert(std::is_integral_v<T>);
  using Unsigned = std::make_unsigned_t<T>;

 public:
  constexpr LittleEndian() = default;
  constexpr LittleEndian(T value) { *this = value; }

  constexpr LittleEndian& operator=(T value) {
    auto bits = static_cast<Unsigned>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      bytes_[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    return *this;
  }

  constexpr operator T() const {
    Unsigned bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      bits = static_cast<Unsigned>(bits | (static_cast<Unsigned>(bytes_[i]) << (8 * i)));
    }
    return static_cast<T>(bits);
  }

 private:
  std::array<std::uint8_t, sizeof(T)> bytes_{};
};

using U16le = LittleEndian<std::uint16_t>;
using I32le = LittleEndian<std::int32_t>;

static_assert(sizeof(U16le) == 2 && alignof(U16le) == 1);
static_assert(sizeof(I32le) == 4 && alignof(I32le) == 1);

}  // namespace dravik::model
