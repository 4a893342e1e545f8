#pragma once
// What every fuzz target shares: a check that stays on in optimised builds (assert does
// not), so a broken invariant is a crash libFuzzer reports with its input; and the check
// of a decoded picture the picture targets share.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/image_codec.h"

namespace dravik::fuzz {

[[noreturn]] inline void InvariantBroken(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

}  // namespace dravik::fuzz

#define FUZZ_CHECK(condition)         \
  ((condition) ? static_cast<void>(0) \
               : ::dravik::fuzz::InvariantBroken(#condition, __FILE__, __LINE__))

namespace dravik::fuzz {

// What a picture decoder hands back: a refusal names its reason and gives no pixels; a
// picture stays within the codec's limits with exactly its pixels' bytes. True when it
// decoded.
inline bool CheckDecodedPicture(const platform::DecodeResult& decoded) {
  if (!decoded.ok) {
    FUZZ_CHECK(!decoded.error.detail.empty());
    FUZZ_CHECK(decoded.image.rgb.empty());
    return false;
  }
  const platform::RgbImage& image = decoded.image;
  FUZZ_CHECK(image.width > 0 && image.width <= platform::kMaxPictureSide);
  FUZZ_CHECK(image.height > 0 && image.height <= platform::kMaxPictureSide);
  FUZZ_CHECK(static_cast<std::int64_t>(image.width) * image.height <= platform::kMaxPicturePixels);
  FUZZ_CHECK(image.rgb.size() == image.PixelOffset(0, image.height));
  return true;
}

}  // namespace dravik::fuzz
