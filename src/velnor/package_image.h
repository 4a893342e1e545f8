#pragma once
// What the customer updater sends: the device image "Dat.bin" that the update package
// keeps beside the updater, read and checked before any port is opened, so a damaged or
// wrong file never reaches the panel's screens.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::velnor {

// "Dat.bin" in `programFolder`.
std::filesystem::path ImageBeside(const std::filesystem::path& programFolder);

// The image in `file`: refused, with the file and the reason in both languages, when it
// is missing, larger than the panel holds, or not a device image.
Result<std::vector<std::uint8_t>> LoadPackageImage(const std::filesystem::path& file);

// "Dat.bin, 25,805 bytes" as the window shows the image it will send.
Bilingual ImageSummary(const std::filesystem::path& file, std::size_t size);

}  // namespace dravik::velnor
