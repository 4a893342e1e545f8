// Writes a full project (240 pages x 200 elements) to the path given.

#include <iostream>

#include "bench_project.h"
#include "model/project_session.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: dravik_make_full_project PROJECT.QX3\n";
    return 2;
  }
  dravik::model::ProjectImage image;
  dravik::bench::FillFullProject(image);
  const dravik::Status written = dravik::model::WriteProjectFile(image, argv[1]);
  if (!written) {
    std::cerr << written.message() << '\n';
    return 1;
  }
  return 0;
}
