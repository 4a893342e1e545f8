#pragma once
// The picture library as the command line uses it: one call per command on the library
// of a project file (add a file, list, export, delete). Adding attaches the library as
// opening the project would (creating it from the template when missing); the others
// only read or change a library that is there, and create nothing. Each closes the
// library again. Messages are in the language given.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/result.h"

namespace dravik::pictures {

struct PictureListRow {
  int id = 0;
  std::string name;      // UTF-8
  std::string sizeText;  // as the preview shows it; empty when there is no picture
  std::string problem;   // why there is no picture (a damaged or foreign record), else empty
};

// Adds `file` (".bmp" or ".jpg") under the next free ID and returns it.
Result<int> AddProjectPicture(const std::filesystem::path& projectFile,
                              const std::filesystem::path& file, bool isChinese);

// The pictures of the project's list, in stored order.
Result<std::vector<PictureListRow>> ListProjectPictures(const std::filesystem::path& projectFile,
                                                        bool isChinese);

// Writes picture `id` to exactly `target`, in the format its name asks for (see
// PictureLibrary::ExportPictureAs). Returns `target`.
Result<std::filesystem::path> ExportProjectPicture(const std::filesystem::path& projectFile, int id,
                                                   const std::filesystem::path& target,
                                                   bool isChinese);

// Deletes picture `id` (not 0) and compacts the library. A failed compaction (the picture
// is gone all the same) is reported as an error with the compaction messages.
Status DeleteProjectPicture(const std::filesystem::path& projectFile, int id, bool isChinese);

}  // namespace dravik::pictures
