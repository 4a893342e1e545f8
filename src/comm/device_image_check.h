#pragma once
// Whether a file is a device image (QX.bin) as the compiler writes it: the image reader
// must decode all of it (header, page blocks with their element records, alarm texts,
// macro block, pictures). The download sends an image without looking inside it; this
// check, made before the port opens, keeps a bitmap, a firmware file or a damaged image
// from being written into the panel's screens.

#include <cstdint>
#include <span>

#include "platform/result.h"

namespace dravik::comm {

// Succeeds when the image decodes; otherwise says what does not fit and where (in both
// languages).
Status CheckDeviceImage(std::span<const std::uint8_t> image);

}  // namespace dravik::comm
