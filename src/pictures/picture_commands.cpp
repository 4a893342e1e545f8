#include "pictures/picture_commands.h"

#include <optional>
#include <system_error>

#include "pictures/picture_library.h"
#include "platform/bilingual.h"

namespace dravik::pictures {

namespace fs = std::filesystem;

namespace {

const Bilingual kNoProject{"工程文件不存在 ！", "The project file does not exist!"};

enum class Creating { Yes, No };

// The project's library; nothing when it has none and `creating` is No.
Result<std::optional<PictureLibrary>> Attach(const fs::path& projectFile, bool isChinese,
                                             Creating creating) {
  std::error_code error;
  if (!fs::is_regular_file(projectFile, error)) {
    return Error{kNoProject.In(isChinese) + " (" + projectFile.string() + ")"};
  }
  if (creating == Creating::No && !fs::exists(PictureLibraryPath(projectFile), error)) {
    return std::optional<PictureLibrary>();
  }
  PictureLibrary library(isChinese);
  Status attached = library.ADOConnected(projectFile);
  if (!attached) return attached.error();
  return std::optional<PictureLibrary>(std::move(library));
}

// The library a command needs a picture from: a project without one has no pictures.
Result<PictureLibrary> AttachForPicture(const fs::path& projectFile, bool isChinese) {
  auto library = Attach(projectFile, isChinese, Creating::No);
  if (!library) return library.error();
  if (!library->has_value()) return Error{kPictureMissingMessage.In(isChinese)};
  return std::move(**library);
}

}  // namespace

Result<int> AddProjectPicture(const fs::path& projectFile, const fs::path& file, bool isChinese) {
  auto library = Attach(projectFile, isChinese, Creating::Yes);
  if (!library) return library.error();
  return (*library)->AddPicture(file);
}

Result<std::vector<PictureListRow>> ListProjectPictures(const fs::path& projectFile,
                                                        bool isChinese) {
  auto library = Attach(projectFile, isChinese, Creating::No);
  if (!library) return library.error();
  std::vector<PictureListRow> rows;
  if (!library->has_value()) return rows;
  for (const PictureEntry& entry : (*library)->Entries()) {
    PictureListRow row{entry.id, entry.name, {}, {}};
    auto preview = (*library)->showPic(entry.id);
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

Result<fs::path> ExportProjectPicture(const fs::path& projectFile, int id, const fs::path& target,
                                      bool isChinese) {
  // A name of no picture format is refused before anything is opened.
  if (PictureFormatForName(target).empty()) {
    return Error{kExportNames.In(isChinese) + " (" + target.string() + ")"};
  }
  auto library = AttachForPicture(projectFile, isChinese);
  if (!library) return library.error();
  Status exported = library->ExportPictureAs(id, target);
  if (!exported) return exported.error();
  return target;
}

Status DeleteProjectPicture(const fs::path& projectFile, int id, bool isChinese) {
  auto library = AttachForPicture(projectFile, isChinese);
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
