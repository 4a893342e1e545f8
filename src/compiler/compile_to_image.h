#pragma once
// The compiler: turns the whole project into the device image (QX.bin) the panel loads.
// The image is built in memory; writing the file is a separate, crash-safe step.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "compiler/compiler_message.h"
#include "model/project_image.h"
#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::compiler {

// The panel accepts images of at most 150 KB. The buffer is a little larger, because the
// limit is judged once the image is complete.
inline constexpr std::size_t kMaxImageSize = 153600;
inline constexpr std::size_t kImageBufferSize = 160004;

// Fixed places in the image.
inline constexpr std::size_t kPictureSectionOffsetField = 0;  // u32
inline constexpr std::size_t kAlarmTableOffsetField = 122;    // u32
inline constexpr std::size_t kImageMarkerField = 126;         // u16 0xE916
inline constexpr std::uint16_t kImageMarker = 0xE916;
inline constexpr std::size_t kHeaderSize = 800;  // header incl. the macro area
inline constexpr std::size_t kPageCountField = 800;
inline constexpr std::uint8_t kPageBlockMarker[6] = {0xEE, 0xEE, 0x11, 0x11, 0xEE, 0xEE};

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
