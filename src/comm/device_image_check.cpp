#include "comm/device_image_check.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "compiler/compile_to_image.h"
#include "platform/bilingual.h"

namespace dravik::comm {
namespace {

using namespace compiler;

// Header fields the compiler fills from counts it keeps.
constexpr std::size_t kAlarmCountField = 82;    // byte: number of alarm texts
constexpr std::size_t kMacroMarkerField = 150;  // 0x16 0xE9 n n 0xE9 0x16, or six zeros
constexpr int kMaxMacroLines = 80;
constexpr int kMaxPages = 240;
// Header, page count and the picture count byte of an image without pages or alarms.
constexpr std::size_t kSmallestImage = kPageCountField + 2;

Error NotAnImage(const Bilingual& reason) {
  return Error{Bilingual{
      "这不是编译器生成的画面数据文件（QX.bin）：" + reason.chinese + "。",
      "This is not a device image (QX.bin) as the compiler writes it: " + reason.english + "."}};
}

std::uint32_t U32le(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t U16le(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool MacroMarkerIntact(std::span<const std::uint8_t> image) {
  const auto marker = image.subspan(kMacroMarkerField, 6);
  const std::uint8_t lines = marker[2];
  if (std::all_of(marker.begin(), marker.end(), [](std::uint8_t b) { return b == 0; })) return true;
  return marker[0] == 0x16 && marker[1] == 0xE9 && marker[3] == lines && marker[4] == 0xE9 &&
         marker[5] == 0x16 && lines > 0 && lines <= kMaxMacroLines;
}

bool PagesFit(std::span<const std::uint8_t> image, std::size_t alarmTable) {
  const int pages = image[kPageCountField];
  const std::size_t first = kPageCountField + 1;
  if (pages == 0) return alarmTable == first;
  const std::size_t markerLength = std::size(kPageBlockMarker);
  return pages <= kMaxPages && alarmTable >= first + markerLength &&
         std::equal(std::begin(kPageBlockMarker), std::end(kPageBlockMarker),
                    image.begin() + static_cast<std::ptrdiff_t>(first));
}

// The length-prefixed texts from `at` on; where they end, or 0 past the end of `within`.
std::size_t EndOfTexts(std::span<const std::uint8_t> image, std::size_t at, int count,
                       std::size_t within) {
  for (int i = 0; i < count; ++i) {
    if (at >= within) return 0;
    at += 1 + image[at];
  }
  return at <= within ? at : 0;
}

// The picture section from `at` on: a count byte, then each picture's width and height and
// its RGB565 pixels; whether it ends exactly at the image's end.
bool PicturesFill(std::span<const std::uint8_t> image, std::size_t at) {
  const int count = image[at++];
  for (int i = 0; i < count; ++i) {
    if (image.size() - at < 4) return false;
    const std::size_t pixels = std::size_t{U16le(image, at)} * U16le(image, at + 2);
    at += 4;
    if ((image.size() - at) / 2 < pixels) return false;
    at += 2 * pixels;
  }
  return at == image.size();
}

}  // namespace

Status CheckDeviceImage(std::span<const std::uint8_t> image) {
  const std::string size = std::to_string(image.size());
  if (image.size() < kSmallestImage) {
    return NotAnImage({"它只有 " + size + " 字节，画面数据至少有 802 字节",
                       "it has " + size + " bytes, and a device image has at least 802"});
  }
  if (image.size() > kMaxImageSize) {
    return NotAnImage({"它有 " + size + " 字节，超过面板能容纳的 153600 字节",
                       "it has " + size + " bytes, more than the 153,600 bytes the panel holds"});
  }
  if (U16le(image, kImageMarkerField) != kImageMarker) {
    return NotAnImage(
        {"第 126 字节处没有标记 0xE916", "the marker 0xE916 at offset 126 is missing"});
  }
  const std::uint32_t alarmTable = U32le(image, kAlarmTableOffsetField);
  const std::uint32_t pictures = U32le(image, kPictureSectionOffsetField);
  if (alarmTable > image.size() || pictures >= image.size() || alarmTable > pictures) {
    return NotAnImage({"报警文字表和图片区的位置（第 122 和第 0 字节处）与文件长度不符",
                       "the offsets of the alarm texts and the pictures (at offsets 122 and 0) "
                       "do not fit its length"});
  }
  if (!PagesFit(image, alarmTable)) {
    return NotAnImage({"页面块与第 800 字节处的页面数不符",
                       "its page blocks do not match the page count at offset 800"});
  }
  if (EndOfTexts(image, alarmTable, image[kAlarmCountField], pictures) != pictures) {
    return NotAnImage({"报警文字与第 82 字节处的报警数量不符",
                       "its alarm texts do not match the alarm count at offset 82"});
  }
  if (!MacroMarkerIntact(image)) {
    return NotAnImage({"第 150 字节处的宏标记不完整", "the macro marker at offset 150 is damaged"});
  }
  if (!PicturesFill(image, pictures)) {
    return NotAnImage(
        {"图片区的图片没有在文件末尾结束", "its pictures do not end where the file ends"});
  }
  return {};
}

}  // namespace dravik::comm
