// dravik-cli check and compile: the compile check, and the device image QX.bin.

#include <ostream>
#include <string>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "compiler/compile_project.h"

namespace dravik::cli {

int RunCheck(const CommandContext& context) {
  ParsedArgs args = context.Parse({}, {});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report("usage: dravik-cli check PROJECT.QX3");
    return kExitUsage;
  }
  model::ProjectImage image;
  if (!LoadProject(context, image, args.positional[0])) return kExitRefused;
  Result<params::DeviceLists> lists = ListsFor(image.Settings());
  if (!lists) {
    context.Report(lists.error().Text());
    return kExitRefused;
  }
  const compiler::CheckReport report = compiler::StartCheck(image, *lists, context.isChinese);
  PrintCheckRows(context, report);
  for (const auto& message : report.Messages()) context.Report(message.text);
  if (!report.Failed()) context.out << (context.isChinese ? "没有错误" : "no errors") << '\n';
  return report.Failed() ? kExitRefused : kExitOk;
}

int RunCompile(const CommandContext& context) {
  ParsedArgs args = context.Parse({"-o"}, {"--no-check"});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("-o").empty()) {
    context.Report("usage: dravik-cli compile [--no-check] PROJECT.QX3 -o QX.bin");
    return kExitUsage;
  }
  std::optional<std::vector<std::uint8_t>> image =
      CompileProjectFile(context, args.positional[0], !args.Has("--no-check"));
  if (!image) return kExitRefused;
  const Status written = compiler::WriteImageFile(args.Value("-o"), *image);
  if (!written) {
    context.Report(written.error());
    return kExitRefused;
  }
  context.out << "compiled " << args.Value("-o") << " (" << image->size() << " bytes)\n";
  return kExitOk;
}

}  // namespace dravik::cli
