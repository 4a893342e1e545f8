// BMP pictures as the picture library takes them from any file: every header kind, depth
// and compression. A decoded picture stays within the codec's limits and survives our
// own encoder unchanged; a refusal names its reason and hands back no pixels.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "platform/image_codec.h"

using namespace dravik::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const DecodeResult decoded = DecodeBmp(std::span(data, size));
  if (!dravik::fuzz::CheckDecodedPicture(decoded)) return 0;
  const RgbImage& image = decoded.image;

  const DecodeResult again = DecodeBmp(EncodeBmp(image));
  FUZZ_CHECK(again.ok);
  FUZZ_CHECK(again.image == image);
  return 0;
}
