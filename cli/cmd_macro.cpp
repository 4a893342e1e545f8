// dravik-cli macro import|export PROJECT.QX3 FILE.Mac: the project's clock macro to and
// from an exported macro file.

#include <filesystem>
#include <ostream>

#include "cli/cli_command.h"
#include "macro/mac_file.h"

namespace dravik::cli {

int RunMacro(const CommandContext& context) {
  ParsedArgs args = context.Parse({});
  const auto& words = args.positional;
  if (!args.error.empty() || words.size() != 3 || (words[0] != "import" && words[0] != "export")) {
    context.Report("usage: dravik-cli macro import|export PROJECT.QX3 FILE.Mac");
    return kExitUsage;
  }
  const std::filesystem::path project = words[1], macFile = words[2];
  std::error_code error;
  if (!std::filesystem::is_regular_file(project, error)) {
    context.Report(
        Bilingual{"找不到工程文件 " + project.string(), "no project file " + project.string()});
    return kExitRefused;
  }
  const bool importing = words[0] == "import";
  const Status done = importing ? macro::ImportMacFile(project, macFile, context.isChinese)
                                : macro::ExportMacFile(project, macFile, context.isChinese);
  if (!done) {
    context.Report(done.error());
    return kExitRefused;
  }
  context.out << (importing ? "imported " : "exported ") << macFile.string() << '\n';
  return kExitOk;
}

}  // namespace dravik::cli
