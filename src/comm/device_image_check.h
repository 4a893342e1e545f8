#pragma once
// Whether a file is a device image (QX.bin) as the compiler writes it, judged from the
// fields of its header that depend on its length. The download sends an image without
// looking inside it; this check, made before the port opens, keeps a bitmap or a firmware
// file from being written into the panel's screens.

#include <cstdint>
#include <span>

#include "platform/result.h"

namespace dravik::comm {

// Succeeds when the picture section's and the alarm table's offsets, the marker, the page
// count, the alarm texts, the macro marker and the pictures all fit the image's length;
// otherwise says which does not (in both languages).
Status CheckDeviceImage(std::span<const std::uint8_t> image);

}  // namespace dravik::comm
