#include "comm/device_image_check.h"

#include "compiler/image_reader.h"

namespace dravik::comm {

Status CheckDeviceImage(std::span<const std::uint8_t> image) {
  Result<compiler::DecodedImage> decoded = compiler::ReadDeviceImage(image);
  if (!decoded) return decoded.error();
  return {};
}

}  // namespace dravik::comm
