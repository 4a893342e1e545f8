// Writes a project whose page 1 shows every element kind under its name, with a picture
// library holding one picture for the picture element. scripts/render_docs_page.sh
// renders it for the documentation.

#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>

#include "all_kinds_page.h"
#include "model/project_session.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/image_codec.h"

namespace {

// A small picture with something to see in it: a colour wheel-ish gradient and a ring.
dravik::platform::RgbImage SamplePicture() {
  dravik::platform::RgbImage picture;
  picture.width = 64;
  picture.height = 64;
  picture.rgb.resize(64 * 64 * 3);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const double dx = x - 31.5;
      const double dy = y - 31.5;
      const double r = std::sqrt(dx * dx + dy * dy);
      const std::size_t at = picture.PixelOffset(x, y);
      const bool ring = r > 20 && r < 26;
      picture.rgb[at] = static_cast<std::uint8_t>(ring ? 250 : x * 4);
      picture.rgb[at + 1] = static_cast<std::uint8_t>(ring ? 200 : y * 4);
      picture.rgb[at + 2] = static_cast<std::uint8_t>(ring ? 0 : 255 - x * 2);
    }
  }
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace dravik;
  if (argc != 2) {
    std::cerr << "usage: dravik_make_all_kinds_project PROJECT.QX3\n";
    return 2;
  }
  const std::filesystem::path project = argv[1];
  auto image = std::make_unique<model::ProjectImage>();
  model::InitializeNewProject(*image);
  bench::FillAllKindsPage(*image, 1);
  if (Status written = model::WriteProjectFile(*image, project); !written) {
    std::cerr << written.message() << '\n';
    return 1;
  }

  const std::filesystem::path library = pictures::PictureLibraryPath(project);
  std::error_code ignored;
  std::filesystem::remove(library, ignored);
  if (Result<bool> made = pictures::CreatePictureDatabase(library); !made) {
    std::cerr << made.message() << '\n';
    return 1;
  }
  pictures::PictureLibrary pictures;
  if (Status attached = pictures.ADOConnected(project); !attached) {
    std::cerr << attached.message() << '\n';
    return 1;
  }
  const std::filesystem::path bmp = project.parent_path() / "all_kinds_sample.bmp";
  if (Status saved = platform::WriteFileAtomic(bmp, platform::EncodeBmp(SamplePicture())); !saved) {
    std::cerr << saved.message() << '\n';
    return 1;
  }
  Result<int> id = pictures.AddPicture(bmp);
  std::filesystem::remove(bmp, ignored);
  if (!id) {
    std::cerr << id.message() << '\n';
    return 1;
  }
  std::cout << "wrote " << project.string() << " (picture " << *id << ")\n";
  return 0;
}
