#include "pictures/picture_commands.h"

#include <system_error>

#include "pictures/picture_library.h"
#include "platform/bilingual.h"

namespace dravik::pictures {

namespace {

const Bilingual kNoProject{"工程文件不存在 ！", "The project file does not exist!"};

Result<PictureLibrary> Attach(const std::filesystem::path& projectFile, bool isChinese) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(projectFile, error)) {
    return Error{kNoProject.In(isChinese) + " (" + projectFile.string() + ")"};
  }
  PictureLibrary library(isChinese);
  Status attached = library.ADOConnected(projectFile);
  if (!attached) return attached.error();
  return library;
}

}  // namespace

Result<int> AddProjectPicture(const std::filesystem::path& projectFile,
                              const std::filesystem::path& file, bool isChinese) {
  auto library = Attach(projectFile, isChinese);
  if (!library) return library.error();
  return library->AddPicture(file);
}

Result<std::vector<PictureListRow>> ListProjectPictures(const std::filesystem::path& projectFile,
                                                        bool isChinese) {
  auto library = Attach(projectFile, isChinese);
  if (!library) return library.error();
  std::vector<PictureListRow> rows;
  for (const PictureEntry& entry : library->Entries()) {
    PictureListRow row{entry.id, entry.name, {}, {}};
    auto preview = library->showPic(entry.id);
    if (!preview) {
      row.problem = preview.message();
    } else if (preview->hasPicture) {
      row.sizeText = preview->sizeText;
    } else if (preview->error) {
      row.problem = preview->error->In(isChinese);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

Result<std::filesystem::path> ExportProjectPicture(const std::filesystem::path& projectFile, int id,
                                                   const std::filesystem::path& target,
                                                   bool isChinese) {
  auto library = Attach(projectFile, isChinese);
  if (!library) return library.error();
  return library->ExportPicture(id, target);
}

Status DeleteProjectPicture(const std::filesystem::path& projectFile, int id, bool isChinese) {
  auto library = Attach(projectFile, isChinese);
  if (!library) return library.error();
  Status deleted = library->DeletePicture(id);
  if (!deleted) return deleted;
  Status compacted = library->CompactLibrary();
  if (!compacted) {
    return Error{compacted.message() + "\n" + kCompactFailedNotice.In(isChinese)};
  }
  return Status::Ok();
}

}  // namespace dravik::pictures
