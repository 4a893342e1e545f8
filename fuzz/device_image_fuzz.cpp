// Device images as the download check, `dravik-cli dump` and the simulator read them from
// any file: a decoded image stays within the image it came from (every picture's pixels,
// every record inside the bytes), and a refusal says what is wrong.

#include <cstddef>
#include <cstdint>
#include <span>

#include "compiler/image_layout.h"
#include "compiler/image_reader.h"
#include "fuzz_check.h"

using namespace dravik::compiler;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const dravik::Result<DecodedImage> read = ReadDeviceImage(std::span(data, size));
  if (!read) {
    FUZZ_CHECK(!read.message().empty());
    return 0;
  }
  const DecodedImage& image = *read;
  FUZZ_CHECK(size <= kMaxImageSize);
  FUZZ_CHECK(image.Size() == size);
  for (const ImagePage& page : image.Pages()) {
    for (const ImageRecord& record : page.records) {
      FUZZ_CHECK(record.offset + record.size <= size);
    }
  }
  for (const ImagePicture& picture : image.Pictures()) {
    const std::span<const std::uint8_t> pixels = image.PicturePixels(picture);
    FUZZ_CHECK(pixels.size() == static_cast<std::size_t>(picture.width) * picture.height * 2);
  }
  return 0;
}
