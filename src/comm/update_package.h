#pragma once
// The customer update package: a folder holding the updater program and the compiled
// image under the names the updater expects, so an end customer can load the image into
// the panel without Dravik. Also the small texts of the port and package commands.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::comm {

// Names inside a package folder.
inline constexpr const char* kUpdaterProgram = "velnor";
inline constexpr const char* kPackageImage = "Dat.bin";

namespace package_text {
inline constexpr const char* kSaveDialogTitle = "保存项目文件";
inline constexpr const char* kSaveDialogFilter = "Dat文件 (*.Dat)|*.Dat|All Files (*.*)|*.*";
inline constexpr const char* kPortDialogCaption = "下载端口设置";
inline constexpr const char* kPortLabel = "下载端口:";
}  // namespace package_text

// The name the save dialog proposes: the project file's name without folder and without
// its ".QX3" ("line1.QX3" -> "line1").
std::string ProposedPackageName(const std::filesystem::path& projectFile);

// The status bar's port panel: " COM" + (index + 1).
std::string PortStatusText(int portIndex);

// The updater that comes with the program: beside the running executable.
std::filesystem::path UpdaterSource();

struct UpdatePackageResult {
  bool updaterCopied = false;  // false: missing updater, or one was there already
  bool imageCopied = false;    // false: one was there already
  // What the user may want to know: a missing updater, files kept from an earlier package.
  std::vector<Bilingual> notes;
};

// Creates `folder` (an existing one is fine), copies `updater` into it and writes `image`.
// Files already in the folder are kept, never replaced. Fails only when the folder
// cannot be made or a copy fails half-way (nothing half-written is left).
Result<UpdatePackageResult> BuildUpdatePackage(const std::filesystem::path& folder,
                                               const std::filesystem::path& updater,
                                               std::span<const std::uint8_t> image);

}  // namespace dravik::comm
