#pragma once
// The preamble every consumer of QX.bin runs (download, simulation, update package, the
// command line's compile): the compile check, the initial-page test, then the compile.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "compiler/compile_check.h"
#include "compiler/compile_to_image.h"
#include "compiler/compiler_message.h"
#include "model/project_image.h"
#include "platform/bilingual.h"

namespace dravik::compiler {

// The compiled image in the work folder, which the simulator runs by default.
inline constexpr char kCompiledImageName[] = "QX.bin";

// The message when the initial page is not a page in use, or nothing when it is.
std::optional<Bilingual> InitialPageMissing(const model::ProjectImage& project);
Bilingual InitialPageMessage(std::int32_t pageNumber);

struct CompileProjectOptions {
  bool runCheck = true;    // false skips the compile check and the initial-page test (--no-check)
  bool isChinese = false;  // language of the check rows
};

enum class CompileStage {
  kCompiled,
  kCheckFailed,    // the check listed errors: `check.rows`
  kNoInitialPage,  // the initial page is not in use; the caller opens the work parameters
  kCompileFailed,  // the compiler refused or failed
};

struct ProjectCompileResult {
  CompileStage stage = CompileStage::kCompileFailed;
  CheckReport check;
  // Everything to show, in the order the program shows it; when the compile failed, the
  // last one is kCompilerFailedMessage.
  std::vector<CompilerMessage> messages;
  Bilingual failure;  // the compiler's reason when it has no message of its own
  std::vector<std::uint8_t> image;
  bool projectChanged = false;  // the check lowered settings or a lamp got its texts

  bool ok() const { return stage == CompileStage::kCompiled; }
};

// Check, initial-page test and compile of a project saved at `projectFile` (its companion
// files lie beside it). Writes nothing to disk; see WriteImageFile.
ProjectCompileResult CompileProject(model::ProjectImage& project,
                                    const std::filesystem::path& projectFile,
                                    const params::DeviceLists& lists,
                                    const CompileProjectOptions& options);

}  // namespace dravik::compiler
