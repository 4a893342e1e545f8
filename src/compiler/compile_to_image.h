#pragma once
// The compiler: turns the whole project into the device image (QX.bin) the panel loads.
// The image is built in memory; writing the file is a separate, crash-safe step.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "compiler/compiler_message.h"
#include "compiler/image_layout.h"
#include "model/project_image.h"
#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::compiler {

extern const Bilingual kImageTooLargeMessage;    // shown by the compiler, caption "Build"
extern const Bilingual kCompilerFailedMessage;   // shown by callers when a compile fails
extern const Bilingual kCompileSucceededStatus;  // status bar text after a good compile

// The project's companion files, beside the project file with the same name.
struct CompanionFiles {
  std::filesystem::path macroDatabase;   // ".M"
  std::filesystem::path pictureLibrary;  // ".PIC"

  static CompanionFiles Beside(const std::filesystem::path& projectFile);
};

struct CompileResult {
  bool ok = false;
  std::vector<std::uint8_t> image;        // the whole file when ok
  std::vector<CompilerMessage> messages;  // shown during the compile, in order
  // Why a compile failed that has no message of its own (a page number or key jump text
  // that is not a number, too many records of one kind in a page); callers report it
  // after kCompilerFailedMessage.
  Bilingual failure;
  bool projectChanged = false;  // a lamp received its "0"/"1" state texts
};

// Compiles the project. Lamps with empty state texts get "0" and "1" in the project; no
// other change is made to it. The macro block comes from `files.macroDatabase` and the
// picture section from `files.pictureLibrary`; either may be missing.
CompileResult CompileToImage(model::ProjectImage& project, const CompanionFiles& files);

// Writes a compiled image to `path`: the file is replaced whole or not at all, so a
// failed write never leaves a partial QX.bin behind.
Status WriteImageFile(const std::filesystem::path& path, std::span<const std::uint8_t> image);

}  // namespace dravik::compiler
