#pragma once
// The device images the simulator's benchmarks run: a page of 200 mixed elements, and the
// bundled example with its macro and pictures.

#include <cstdint>
#include <vector>

#include "compiler/image_reader.h"

namespace dravik::bench {

// The image of a project whose initial page holds 200 elements of mixed kinds.
std::vector<std::uint8_t> MixedPageImage();
// The bundled example's image (its macro and pictures included).
std::vector<std::uint8_t> ExampleImage();
// `bytes` read back; aborts on an image that does not read.
compiler::DecodedImage Decode(const std::vector<std::uint8_t>& bytes);

}  // namespace dravik::bench
