// dravik-e2e-page-size: gives page 1 of a project its own size, so a journey has room for
// one element of every kind. Usage: dravik-e2e-page-size PROJECT.QX3 WIDTH HEIGHT

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "model/project_image.h"
#include "model/project_session.h"

int main(int argc, char** argv) {
  using namespace dravik;
  if (argc != 4) {
    std::cerr << "usage: dravik-e2e-page-size PROJECT.QX3 WIDTH HEIGHT\n";
    return 2;
  }
  const std::filesystem::path project = argv[1];
  auto image = std::make_unique<model::ProjectImage>();
  if (const std::optional<model::ReadFailure> failure = model::ReadProjectFile(*image, project)) {
    std::cerr << failure->message.english << '\n';
    return 1;
  }
  model::PageRecord& page = image->Page(1);
  page.PageStrings[model::kPageOwnSize] = "Y";
  page.PageStrings[model::kPageOwnWidth] = argv[2];
  page.PageStrings[model::kPageOwnHeight] = argv[3];
  if (const Status written = model::WriteProjectFile(*image, project); !written) {
    std::cerr << written.message() << '\n';
    return 1;
  }
  return 0;
}
