// dravik-cli download, firmware and package: what goes to a panel or to its customer.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <set>
#include <span>
#include <thread>

#include "cli/cli_command.h"
#include "cli/port_board.h"
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
#include "platform/serial_devices.h"

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

namespace {

constexpr const char* kDownloadUsage =
    "usage: dravik-cli download [--force] (PROJECT.QX3 | IMAGE.bin) "
    "(--port DEVICE... | --ports 'GLOB')";

// The devices named by every --port and by the --ports pattern, in that order, or the
// exit status of a line that names none to load: a usage error, or nothing matched.
struct DownloadPortList {
  std::vector<std::string> ports;
  int refused = kExitOk;
};

DownloadPortList DownloadPorts(const CommandContext& context, const ParsedArgs& args) {
  DownloadPortList list;
  for (const auto& [flag, value] : args.options) {
    if (flag == "--port") list.ports.push_back(value);
  }
  if (std::find(list.ports.begin(), list.ports.end(), std::string()) != list.ports.end()) {
    context.Report(kDownloadUsage);
    return {{}, kExitUsage};
  }
  const std::string pattern = args.Value("--ports");
  if (!pattern.empty()) {
    const std::vector<std::string> matched = platform::MatchingDevices(pattern);
    if (matched.empty()) {
      // No adapter plugged in is no panel to load, as a port that does not open is.
      context.Report(Bilingual{"没有与 " + pattern + " 相符的设备。",
                               "No device matches " + pattern + "."});
      return {{}, kExitRefused};
    }
    list.ports.insert(list.ports.end(), matched.begin(), matched.end());
  }
  // The same device twice would have two downloads fight over one line.
  std::set<std::string> seen;
  for (const std::string& port : list.ports) {
    if (!seen.insert(platform::SerialDeviceIdentity(port)).second) {
      context.Report(Bilingual{"端口 " + port + " 出现了不止一次。",
                               "The port " + port + " is named more than once."});
      return {{}, kExitUsage};
    }
  }
  return list;
}

int DownloadToOnePort(const CommandContext& context, const std::string& port,
                      std::span<const std::uint8_t> image) {
  const comm::DownloadOutcome outcome =
      RunInterruptible(context, [&](ProgressPrinter& printer, std::atomic<bool>* cancel) {
        return comm::RunDownload(
            comm::DeviceLine::Named(port), image,
            [&](const comm::DownloadProgress& view) { ShowDownloadProgress(printer, view); }, cancel);
      });
  if (!outcome.ok()) {
    context.Report(DownloadFailure(outcome));
    return kExitRefused;
  }
  const std::string n = std::to_string(image.size());
  context.out << Bilingual{"已下载 " + n + " 字节", "downloaded " + n + " bytes"}.In(
                     context.isChinese)
              << '\n';
  return kExitOk;
}

// A download's end in a word or two, for the table.
Bilingual DownloadResultWord(comm::DownloadEnd end) {
  switch (end) {
    case comm::DownloadEnd::Finished: return {"完成", "done"};
    case comm::DownloadEnd::Unconfirmed: return {"未确认", "not confirmed"};
    case comm::DownloadEnd::Cancelled: return {"已取消", "cancelled"};
    case comm::DownloadEnd::PortOpenFailed: return {"端口未打开", "port did not open"};
    case comm::DownloadEnd::SearchFailed: return {"未找到面板", "no panel found"};
    case comm::DownloadEnd::SyncFailed: return {"同步失败", "sync failed"};
    case comm::DownloadEnd::TransferFailed: return {"下载异常", "transfer failed"};
    case comm::DownloadEnd::ImageRefused: return {"映像被拒绝", "image refused"};
  }
  return {"?", "?"};
}

struct PortRun {
  comm::DownloadOutcome outcome;
  double seconds = 0;
};

// Columns a text takes on a terminal: Chinese characters take two.
std::size_t Columns(const std::string& text) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      ++columns;
    } else if ((byte & 0xC0) != 0x80) {
      columns += 2;  // the lead byte of a wide character; its other bytes take nothing
    }
  }
  return columns;
}

// The table after a production-line download: port, result, seconds.
void PrintPortTable(const CommandContext& context, const std::vector<std::string>& ports,
                    const std::vector<PortRun>& runs) {
  const Bilingual portHead{"端口", "port"}, resultHead{"结果", "result"},
      secondsHead{"秒", "seconds"};
  std::size_t portWidth = Columns(portHead.In(context.isChinese));
  for (const std::string& port : ports) portWidth = std::max(portWidth, Columns(port));
  std::size_t resultWidth = Columns(resultHead.In(context.isChinese));
  for (const PortRun& run : runs) {
    resultWidth =
        std::max(resultWidth, Columns(DownloadResultWord(run.outcome.end).In(context.isChinese)));
  }
  auto row = [&](const std::string& port, const std::string& result, const std::string& seconds) {
    context.out << port << std::string(portWidth - Columns(port) + 2, ' ') << result
                << std::string(resultWidth - Columns(result) + 2, ' ') << seconds << '\n';
  };
  row(portHead.In(context.isChinese), resultHead.In(context.isChinese),
      secondsHead.In(context.isChinese));
  for (std::size_t i = 0; i < ports.size(); ++i) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", runs[i].seconds);
    row(ports[i], DownloadResultWord(runs[i].outcome.end).In(context.isChinese), seconds);
  }
}

// The same image into every port at once, one thread per port; succeeds only when every
// panel took every block.
int DownloadToPorts(const CommandContext& context, const std::vector<std::string>& ports,
                    std::span<const std::uint8_t> image) {
  std::atomic<bool> cancel{false};
  const platform::InterruptRequest interrupt(cancel);
  std::vector<PortRun> runs(ports.size());
  {
    PortBoard board(context.err, ports, platform::StderrIsTerminal());
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
      threads.emplace_back([&, i] {
        const auto start = std::chrono::steady_clock::now();
        {
          ProgressPrinter printer(board.LinesOf(i), context.isChinese, false);
          runs[i].outcome = comm::RunDownload(
              comm::DeviceLine::Named(ports[i]), image,
              [&](const comm::DownloadProgress& view) { ShowDownloadProgress(printer, view); },
              &cancel);
        }
        runs[i].seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        board.Update(i, DownloadResultWord(runs[i].outcome.end).In(context.isChinese));
      });
    }
  }
  PrintPortTable(context, ports, runs);
  bool allDone = true;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (runs[i].outcome.ok()) continue;
    allDone = false;
    const Bilingual failure = DownloadFailure(runs[i].outcome);
    context.Report(Bilingual{ports[i] + "：" + failure.chinese, ports[i] + ": " + failure.english});
  }
  return allDone ? kExitOk : kExitRefused;
}

}  // namespace

int RunDownload(const CommandContext& context) {
  const ParsedArgs args = context.Parse({"--port", "--ports"}, {"--force"});
  if (!args.error.empty() || args.positional.size() != 1 ||
      (args.Value("--port").empty() && !args.Has("--ports"))) {
    context.Report(kDownloadUsage);
    return kExitUsage;
  }
  const DownloadPortList ports = DownloadPorts(context, args);
  if (ports.refused != kExitOk) return ports.refused;
  std::optional<std::vector<std::uint8_t>> image =
      ImageToSend(context, args.positional[0], args.Has("--force"));
  if (!image) return kExitRefused;
  if (ports.ports.size() == 1 && !args.Has("--ports")) {
    return DownloadToOnePort(context, ports.ports.front(), *image);
  }
  return DownloadToPorts(context, ports.ports, *image);
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
