#pragma once
// The encodings the text form carries pictures in: SHA-256 (FIPS 180-4) as lower-case hex
// and Base64 (RFC 4648, with padding).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::textform {

std::string Sha256Hex(std::span<const std::uint8_t> bytes);
std::string Base64Encode(std::span<const std::uint8_t> bytes);
// Nothing for text that is not padded Base64.
std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text);

}  // namespace dravik::textform
