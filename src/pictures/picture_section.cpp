#include "pictures/picture_section.h"

#include <string>

#include "pictures/picture_library.h"
#include "platform/desktop_db.h"

namespace dravik::pictures {

void AppendPicture(std::vector<std::uint8_t>& section, const platform::RgbImage& image) {
  auto put16 = [&section](unsigned value) {
    section.push_back(static_cast<std::uint8_t>(value));
    section.push_back(static_cast<std::uint8_t>(value >> 8));
  };
  put16(static_cast<unsigned>(image.width));
  put16(static_cast<unsigned>(image.height));
  section.reserve(section.size() + image.rgb.size() / 3 * 2);
  for (std::size_t at = 0; at + 3 <= image.rgb.size(); at += 3) {
    put16(PackRgb565(image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]));
  }
}

std::vector<std::uint8_t> BuildPictureSection(const std::filesystem::path& pictureLibrary) {
  std::vector<std::uint8_t> section{0};
  auto db =
      platform::DesktopDb::Open(pictureLibrary, kPicturePassword, platform::OpenMode::ReadOnly);
  if (!db) return section;
  auto rows =
      db->Query("select ID, Ext, Pic from PData where PID=" + std::to_string(kProjectGroup) +
                " and ID<" + std::to_string(kSectionIdLimit));
  if (!rows) return section;
  for (; !rows->Eof(); rows->Next()) {
    if (section[0] == 255) break;  // the count is one byte
    std::vector<std::uint8_t> pic = rows->Bytes("Pic");
    platform::DecodeResult decoded = DecodeStoredPicture(rows->Text("Ext"), pic, false);
    if (!decoded.ok) continue;
    AppendPicture(section, decoded.image);
    ++section[0];
    if (section.size() > kSectionStopBytes) break;
  }
  return section;
}

}  // namespace dravik::pictures
