#include "comm/update_package.h"

#include <algorithm>
#include <cctype>

#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::comm {

namespace fs = std::filesystem;

std::string ProposedPackageName(const fs::path& projectFile) {
  std::string name = projectFile.filename().string();
  std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : "";
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return std::toupper(c); });
  if (tail == ".QX3") return name.substr(0, name.size() - 4);
  // Another extension: drop it as a whole rather than cutting into the name.
  return projectFile.stem().string();
}

std::string PortStatusText(int portIndex) {
  return " COM" + std::to_string(portIndex + 1);
}

fs::path UpdaterSource() {
  return platform::ExecutablePath().parent_path() / kUpdaterProgram;
}

Result<UpdatePackageResult> BuildUpdatePackage(const fs::path& folder, const fs::path& updater,
                                               std::span<const std::uint8_t> image) {
  if (Status made = platform::CreateFolders(folder); !made) {
    return Error{"Cannot create the package folder " + folder.string() + ": " + made.message()};
  }
  UpdatePackageResult result;
  const fs::path updaterTarget = folder / kUpdaterProgram;
  const fs::path imageTarget = folder / kPackageImage;
  const bool updaterThere = platform::Exists(updaterTarget);

  Result<bool> updaterCopied = platform::CopyFileNoOverwrite(updater, updaterTarget);
  if (!updaterCopied) return updaterCopied.error();
  result.updaterCopied = *updaterCopied;
  if (result.updaterCopied) {
    // The copy must stay a program.
    platform::CopyPermissions(updater, updaterTarget);
  } else if (!updaterThere) {
    result.notes.push_back(
        {"找不到更新程序 " + updater.string() + "，更新包中没有它。",
         "The updater " + updater.string() + " was not found; the package lacks it."});
  }

  Result<bool> imageCopied = platform::WriteFileNoOverwrite(imageTarget, image);
  if (!imageCopied) return imageCopied.error();
  result.imageCopied = *imageCopied;
  if (!result.imageCopied) {
    result.notes.push_back({"文件夹中已有 " + std::string(kPackageImage) + "，保留了原来的文件。",
                            "The folder already holds " + std::string(kPackageImage) +
                                "; the earlier file was kept."});
  }
  return result;
}

}  // namespace dravik::comm
