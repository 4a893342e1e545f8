#pragma once
// The macro block of the device image (offsets 150..795), written by the compiler after
// the pages.

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
