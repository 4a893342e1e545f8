// dravik-cli download, firmware and package: what goes to a panel or to its customer.

#include <atomic>
#include <filesystem>
#include <ostream>

#include "cli/cli_command.h"
#include "cli/progress_printer.h"
#include "cli/project_loader.h"
#include "comm/device_image_check.h"
#include "comm/device_jobs.h"
#include "comm/serial_profile_table.h"
#include "comm/update_package.h"
#include "compiler/compile_to_image.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::cli {

namespace fs = std::filesystem;

namespace {

const Bilingual kForceHint{"如果确实要发送，请加 --force。", "Add --force to send it anyway."};

bool IsProjectFile(const fs::path& file) {
  const std::string extension = file.extension().string();
  return extension == ".QX3" || extension == ".qx3" || extension == ".BAK";
}

// Refuses a file that fails `check`, unless --force was given.
bool PassesOrForced(const CommandContext& context, const Status& check, bool force) {
  if (check || force) return true;
  context.Report(check.error());
  context.Report(kForceHint);
  return false;
}

// The image to send: a project is compiled first (with the check); a file named as an
// image must be one, unless --force.
std::optional<std::vector<std::uint8_t>> ImageToSend(const CommandContext& context,
                                                     const fs::path& input, bool force) {
  if (IsProjectFile(input)) return CompileProjectFile(context, input.string(), true);
  Result<platform::Bytes> bytes = platform::ReadFileBytes(input, comm::kMaxImageSize);
  if (!bytes) {
    context.Report(bytes.error());
    return std::nullopt;
  }
  if (!PassesOrForced(context, comm::CheckDeviceImage(*bytes), force)) return std::nullopt;
  return std::move(*bytes);
}

// "9600 baud, 8E1".
Bilingual ProfileText(int profile) {
  const comm::SerialProfile& p = comm::SerialProfileTable[profile];
  const std::string baud = std::to_string(comm::BaudRateValue(p.baudRate));
  const std::string frame = std::to_string(comm::DataBitsValue(p.dataBits)) + "E1";
  return {baud + " 波特，" + frame, baud + " baud, " + frame};
}

void ShowDownloadProgress(ProgressPrinter& printer, const comm::DownloadProgress& view) {
  using comm::DownloadState;
  const int probes = static_cast<int>(comm::SerialProfileTable.size());
  switch (view.state) {
    case DownloadState::Searching: {
      // One step for the whole search, however many settings it tries.
      const std::string n = std::to_string(view.profile + 1), of = std::to_string(probes);
      printer.Step(comm::download_label::kSearching,
                   {"（第 " + n + " 组串口设置，共 " + of + " 组）",
                    "(serial setting " + n + " of " + of + ")"});
      break;
    }
    case DownloadState::Synchronising:
      if (view.label == comm::download_label::kSyncSucceeded) {
        printer.Step(view.label);
      } else if (view.profile >= 0) {
        const Bilingual setting = ProfileText(view.profile);
        printer.Step(
            {"找到面板（" + setting.chinese + "）", "Panel found (" + setting.english + ")"});
      }
      break;
    case DownloadState::Transferring:
      printer.Transfer(view.bytesSent, view.imageSize);
      break;
    default:
      // The end is told once, by the outcome.
      break;
  }
}

// What the user must know about a download that did not finish, said once.
Bilingual DownloadFailure(const comm::DownloadOutcome& outcome) {
  if (outcome.notice) return *outcome.notice;
  if (outcome.portError) return outcome.portError->Message();
  if (outcome.end == comm::DownloadEnd::Cancelled) return comm::SearchCancelledText();
  if (outcome.message) return *outcome.message;
  return outcome.label;
}

void ShowFirmwareProgress(ProgressPrinter& printer, const comm::FirmwareProgress& view) {
  if (view.bytesWritten > 0) {
    printer.Transfer(view.bytesWritten, view.imageSize);
    return;
  }
  // A failed attempt is said by the next one's number, or at the end by the outcome.
  if (view.label == comm::firmware_label::kConnectFailed) return;
  Bilingual step = view.label;
  if (view.attempt > 1) {
    const std::string n = std::to_string(view.attempt);
    step.chinese += "（第 " + n + " 次尝试，共 3 次）";
    step.english += " (attempt " + n + " of 3)";
  }
  printer.Step(step);
}

Bilingual FirmwareFailure(const comm::FirmwareOutcome& outcome) {
  if (outcome.portError) return outcome.portError->Message();
  if (outcome.end == comm::FirmwareEnd::Cancelled) return comm::FirmwareCancelledText();
  if (outcome.message) return *outcome.message;
  return outcome.label;
}

// Runs a device job with Ctrl+C as its Cancel and its progress on one line of the error
// stream; the line is ended before the job's outcome is reported.
template <class Job>
auto RunInterruptible(const CommandContext& context, Job job) {
  std::atomic<bool> cancel{false};
  const platform::InterruptRequest interrupt(cancel);
  ProgressPrinter printer(context.err, context.isChinese, platform::StderrIsTerminal());
  return job(printer, &cancel);
}

}  // namespace

int RunDownload(const CommandContext& context) {
  const ParsedArgs args = context.Parse({"--port"}, {"--force"});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("--port").empty()) {
    context.Report("usage: dravik-cli download [--force] (PROJECT.QX3 | IMAGE.bin) --port DEVICE");
    return kExitUsage;
  }
  std::optional<std::vector<std::uint8_t>> image =
      ImageToSend(context, args.positional[0], args.Has("--force"));
  if (!image) return kExitRefused;

  const comm::DownloadOutcome outcome =
      RunInterruptible(context, [&](ProgressPrinter& printer, std::atomic<bool>* cancel) {
        return comm::RunDownload(
            comm::DeviceLine::Named(args.Value("--port")), *image,
            [&](const comm::DownloadProgress& view) { ShowDownloadProgress(printer, view); }, cancel);
      });
  if (!outcome.ok()) {
    context.Report(DownloadFailure(outcome));
    return kExitRefused;
  }
  const std::string n = std::to_string(image->size());
  context.out << Bilingual{"已下载 " + n + " 字节", "downloaded " + n + " bytes"}.In(
                     context.isChinese)
              << '\n';
  return kExitOk;
}

int RunFirmware(const CommandContext& context) {
  const ParsedArgs args = context.Parse({"--port", "--image"}, {"--force"});
  if (!args.error.empty() || !args.positional.empty() || args.Value("--port").empty()) {
    context.Report("usage: dravik-cli firmware [--force] --port DEVICE [--image FIRMWARE.bin]");
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
    context.Report(image.error());
    return kExitRefused;
  }
  if (!PassesOrForced(context, comm::CheckFirmwareVectorTable(*image), args.Has("--force")))
    return kExitRefused;

  const comm::FirmwareOutcome outcome =
      RunInterruptible(context, [&](ProgressPrinter& printer, std::atomic<bool>* cancel) {
        return comm::RunFirmwareUpgrade(
            comm::DeviceLine::Named(args.Value("--port")), *image,
            [&](const comm::FirmwareProgress& view) { ShowFirmwareProgress(printer, view); }, cancel);
      });
  if (!outcome.ok()) {
    context.Report(FirmwareFailure(outcome));
    return kExitRefused;
  }
  const std::string n = std::to_string(image->size());
  context.out << Bilingual{"固件已写入（" + n + " 字节）", "firmware written (" + n + " bytes)"}.In(
                     context.isChinese)
              << '\n';
  return kExitOk;
}

int RunPackage(const CommandContext& context) {
  ParsedArgs args = context.Parse({"--out"}, {});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("--out").empty()) {
    context.Report("usage: dravik-cli package PROJECT.QX3 --out FOLDER");
    return kExitUsage;
  }
  std::optional<std::vector<std::uint8_t>> image =
      CompileProjectFile(context, args.positional[0], true);
  if (!image) return kExitRefused;
  Result<comm::UpdatePackageResult> package =
      comm::BuildUpdatePackage(args.Value("--out"), comm::UpdaterSource(), *image);
  if (!package) {
    context.Report(package.error());
    return kExitRefused;
  }
  for (const Bilingual& note : package->notes) context.Report(note);
  context.out << "package in " << args.Value("--out") << '\n';
  return kExitOk;
}

}  // namespace dravik::cli
