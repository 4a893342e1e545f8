// dravik-cli check and compile: the compile check, and the device image QX.bin.

#include <ostream>
#include <string>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "compiler/compile_project.h"
#include "model/settings_page.h"
#include "params/device_resources.h"

namespace dravik::cli {

namespace {

// The register-kind lists of the project's protocols, as the work parameters load them.
Result<params::DeviceLists> ListsFor(const model::PageRecord& settings) {
  using namespace model::settings;
  return params::LoadDeviceLists(params::DeviceResourcesPath(),
                                 model::At(settings, kLink1Protocol),
                                 model::At(settings, kLink2Table));
}

void PrintRows(const CommandContext& context, const compiler::CheckReport& report) {
  for (const compiler::CheckRow& row : report.rows) {
    context.out << row.caption << '\t' << row.kindName << '\t' << "slot " << row.slot << '\t'
                << row.message << '\n';
  }
}

void ReportMessages(const CommandContext& context,
                    const std::vector<compiler::CompilerMessage>& messages) {
  for (const auto& message : messages) context.Report(message.text);
}

}  // namespace

int RunCheck(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {}, {});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report("usage: dravik-cli check PROJECT.QX3");
    return kExitUsage;
  }
  model::ProjectImage image;
  if (!LoadProject(context, image, args.positional[0])) return kExitRefused;
  Result<params::DeviceLists> lists = ListsFor(image.Settings());
  if (!lists) {
    context.Report(lists.message());
    return kExitRefused;
  }
  const compiler::CheckReport report = compiler::StartCheck(image, *lists, context.isChinese);
  PrintRows(context, report);
  ReportMessages(context, report.Messages());
  return report.Failed() ? kExitRefused : kExitOk;
}

int RunCompile(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"-o"}, {"--no-check"});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("-o").empty()) {
    context.Report("usage: dravik-cli compile [--no-check] PROJECT.QX3 -o QX.bin");
    return kExitUsage;
  }
  const std::string& projectFile = args.positional[0];
  model::ProjectImage image;
  if (!LoadProject(context, image, projectFile)) return kExitRefused;
  Result<params::DeviceLists> lists = ListsFor(image.Settings());
  if (!lists) {
    context.Report(lists.message());
    return kExitRefused;
  }
  compiler::CompileProjectOptions options;
  options.runCheck = !args.Has("--no-check");
  options.isChinese = context.isChinese;
  const compiler::ProjectCompileResult result =
      compiler::CompileProject(image, projectFile, *lists, options);
  PrintRows(context, result.check);
  ReportMessages(context, result.messages);
  if (!result.ok()) {
    if (!result.failure.english.empty()) context.Report(result.failure);
    return kExitRefused;
  }
  const Status written = compiler::WriteImageFile(args.Value("-o"), result.image);
  if (!written) {
    context.Report(written.message());
    return kExitRefused;
  }
  context.out << "compiled " << args.Value("-o") << " (" << result.image.size() << " bytes)\n";
  return kExitOk;
}

}  // namespace dravik::cli
