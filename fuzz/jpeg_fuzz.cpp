// JPEG pictures through the TurboJPEG wrapper: a decoded picture stays within the codec's
// limits and is encoded and decoded again at its size; a refusal (a cut or corrupt
// stream included) names its reason and hands back no pixels.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "platform/image_codec.h"

using namespace dravik::platform;

namespace {

// Re-encoding costs far more than decoding; small pictures show the same faults.
constexpr std::int64_t kRoundTripPixels = 64 * 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const DecodeResult decoded = DecodeJpeg(std::span(data, size));
  if (!dravik::fuzz::CheckDecodedPicture(decoded)) return 0;
  const RgbImage& image = decoded.image;

  if (static_cast<std::int64_t>(image.width) * image.height <= kRoundTripPixels) {
    const auto encoded = EncodeJpeg(image);
    FUZZ_CHECK(encoded.ok());
    const DecodeResult again = DecodeJpeg(*encoded);
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(again.image.width == image.width && again.image.height == image.height);
  }
  return 0;
}
