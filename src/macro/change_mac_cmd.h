#pragma once
// The macro block of the device image (offsets 150..795), written by the compiler after
// the pages.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "platform/bilingual.h"

namespace dravik::macro {

struct MacroRow;

inline constexpr std::size_t kMacAreaStart = 150;  // the six-byte marker 0x16 0xE9 n n 0xE9 0x16
inline constexpr std::size_t kMacCodeStart = 156;  // instruction k at 156 + 8k
inline constexpr std::size_t kMacAreaEnd = 796;    // one past the area
inline constexpr std::size_t kMacInstructionSize = 8;
inline constexpr int kMacMaxInstructions = 80;

// Byte 1 of an instruction: the row's bit mode in bits 0..1 and, in bits 2..4, whether
// each operand names a register (else it is a constant).
inline constexpr std::uint8_t kMacBitModeMask = 0x03;
inline constexpr std::uint8_t kMacRegisterOperandFlags[3] = {0x04, 0x08, 0x10};

// The six bytes in front of `count` instructions.
constexpr std::array<std::uint8_t, 6> MacMarker(std::uint8_t count) {
  return {0x16, 0xE9, count, count, 0xE9, 0x16};
}

// Writes the instructions of `rows` into image[150..795]. Returns the warning to show when
// there are more than 80 instructions (nothing is written then).
// The area is cleared first, so it never keeps bytes of an earlier macro. An image too
// short to hold the area is left alone and reported.
std::optional<Bilingual> ChangeMacCmd(std::span<const MacroRow> rows,
                                      std::span<std::uint8_t> image);

// Reloads the rows from the project's macro database (".M") first. A database that cannot
// be read leaves the macro area as it is and compiling goes on.
std::optional<Bilingual> ChangeMacCmd(const std::filesystem::path& macroDatabase,
                                      std::span<std::uint8_t> image);

}  // namespace dravik::macro
