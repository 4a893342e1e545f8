// dravik-cli download, firmware and package: what goes to a panel or to its customer.

#include <filesystem>
#include <ostream>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "comm/download_session.h"
#include "comm/firmware_session.h"
#include "comm/update_package.h"
#include "compiler/compile_to_image.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::cli {

namespace fs = std::filesystem;

namespace {

bool IsProjectFile(const fs::path& file) {
  const std::string extension = file.extension().string();
  return extension == ".QX3" || extension == ".qx3" || extension == ".BAK";
}

// The image to send: a project is compiled first (with the check), a ".bin" is sent as is.
std::optional<std::vector<std::uint8_t>> ImageToSend(const CommandContext& context,
                                                     const fs::path& input) {
  if (IsProjectFile(input)) return CompileProjectFile(context, input.string(), true);
  Result<platform::Bytes> bytes = platform::ReadFileBytes(input);
  if (!bytes) {
    context.Report(bytes.message());
    return std::nullopt;
  }
  return std::move(*bytes);
}

// Prints a progress line whenever the label or the percentage changes.
class ProgressPrinter {
 public:
  explicit ProgressPrinter(const CommandContext& context) : context_(context) {}
  void Show(const std::string& label, int percent) {
    if (label == label_ && percent == percent_) return;
    label_ = label;
    percent_ = percent;
    context_.err << "[" << percent << "%] " << label << '\n';
  }

 private:
  const CommandContext& context_;
  std::string label_;
  int percent_ = -1;
};

}  // namespace

int RunDownload(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--port"}, {});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("--port").empty()) {
    context.Report("usage: dravik-cli download (PROJECT.QX3 | IMAGE.bin) --port DEVICE");
    return kExitUsage;
  }
  std::optional<std::vector<std::uint8_t>> image = ImageToSend(context, args.positional[0]);
  if (!image) return kExitRefused;

  ProgressPrinter printer(context);
  const comm::DownloadOutcome outcome = comm::DownloadImage(
      *image, args.Value("--port"),
      [&](const comm::DownloadProgress& p) { printer.Show(p.label, p.progressBar); });
  if (outcome.portError) context.Report(outcome.portError->message);
  if (outcome.message) context.Report(*outcome.message);
  if (!outcome.unacknowledgedBlocks.empty()) {
    context.Report(comm::UnacknowledgedBlocksWarning(outcome.unacknowledgedBlocks));
  }
  if (!outcome.ok()) {
    context.Report(outcome.label);
    return kExitRefused;
  }
  context.out << "downloaded " << image->size() << " bytes\n";
  return kExitOk;
}

int RunFirmware(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--port", "--image"}, {});
  if (!args.error.empty() || !args.positional.empty() || args.Value("--port").empty()) {
    context.Report("usage: dravik-cli firmware --port DEVICE [--image FIRMWARE.bin]");
    return kExitUsage;
  }
  fs::path file = args.Value("--image");
  if (file.empty()) {
    std::optional<fs::path> installed = comm::FindInstalledFirmware();
    if (!installed) {
      context.Report(Bilingual{"没有安装固件映像，请用 --image 指定固件文件。",
                               "No firmware image is installed: give one with --image."});
      return kExitRefused;
    }
    file = *installed;
  }
  Result<std::vector<std::uint8_t>> image = comm::LoadFirmwareImage(file);
  if (!image) {
    context.Report(image.message());
    return kExitRefused;
  }
  ProgressPrinter printer(context);
  const comm::FirmwareOutcome outcome = comm::UpgradeFirmware(
      *image, args.Value("--port"),
      [&](const comm::FirmwareProgress& p) { printer.Show(p.label, p.progressBar); });
  if (outcome.portError) context.Report(outcome.portError->message);
  if (outcome.message) context.Report(*outcome.message);
  if (!outcome.ok()) {
    context.Report(outcome.label);
    return kExitRefused;
  }
  context.out << "firmware written (" << image->size() << " bytes)\n";
  return kExitOk;
}

int RunPackage(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--out"}, {});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("--out").empty()) {
    context.Report("usage: dravik-cli package PROJECT.QX3 --out FOLDER");
    return kExitUsage;
  }
  std::optional<std::vector<std::uint8_t>> image =
      CompileProjectFile(context, args.positional[0], true);
  if (!image) return kExitRefused;
  Result<fs::path> work = platform::WorkDir();
  if (!work) {
    context.Report(work.message());
    return kExitRefused;
  }
  const fs::path compiled = *work / "QX.bin";
  if (Status written = compiler::WriteImageFile(compiled, *image); !written) {
    context.Report(written.message());
    return kExitRefused;
  }
  Result<comm::UpdatePackageResult> package =
      comm::BuildUpdatePackage(args.Value("--out"), comm::UpdaterSource(), compiled);
  if (!package) {
    context.Report(package.message());
    return kExitRefused;
  }
  for (const Bilingual& note : package->notes) context.Report(note);
  context.out << "package in " << args.Value("--out") << '\n';
  return kExitOk;
}

}  // namespace dravik::cli
