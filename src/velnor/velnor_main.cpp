// velnor: the customer updater. It sends the device image "Dat.bin" found beside it to the
// panel: in a window where the customer picks the serial port, or without one when a port
// is given on the command line (for scripts).

#include <QApplication>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "comm/com_port_map.h"
#include "dravik_version.h"
#include "platform/console.h"
#include "platform/paths.h"
#include "ui/desktop_hooks.h"
#include "velnor/headless_update.h"
#include "velnor/package_image.h"
#include "velnor/ui/velnor_window.h"

namespace {

namespace fs = std::filesystem;
using namespace dravik;

void Usage(std::ostream& out, bool isChinese) {
  if (isChinese) {
    out << "用法: velnor [--port 设备] [--image 文件]\n"
           "把本程序旁边的画面数据 Dat.bin 下载到操作面板。\n"
           "  --port 设备   不开窗口，直接下载到该串口（例如 /dev/ttyUSB0），供脚本使用\n"
           "  --image 文件  下载这个画面数据文件，而不是本程序旁边的 Dat.bin\n"
           "  --help        显示本说明\n"
           "  --version     显示版本\n"
           "退出码: 0 面板收下了全部数据块，1 失败，2 命令行错误。\n";
    return;
  }
  out << "usage: velnor [--port DEVICE] [--image FILE]\n"
         "Downloads the device image Dat.bin found beside this program into the operator panel.\n"
         "  --port DEVICE  no window: download to the panel on DEVICE (e.g. /dev/ttyUSB0), for "
         "scripts\n"
         "  --image FILE   send FILE instead of the Dat.bin beside this program\n"
         "  --help         show this text\n"
         "  --version      show the version\n"
         "Exit status: 0 when the panel took every block, 1 on failure, 2 on a usage error.\n";
}

struct Options {
  std::string port;
  fs::path image;
  bool headless = false;
};

// The command line; false on a usage error (already reported).
bool ParseOptions(const std::vector<std::string>& args, Options& options, bool isChinese) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "--port" || arg == "--image") && i + 1 < args.size()) {
      if (arg == "--port") {
        options.port = args[++i];
        options.headless = true;
      } else {
        options.image = args[++i];
      }
      continue;
    }
    std::cerr << (isChinese ? "无法理解的参数: " : "unknown or incomplete argument: ") << arg
              << "\n";
    Usage(std::cerr, isChinese);
    return false;
  }
  if (options.headless && options.port.empty()) {
    Usage(std::cerr, isChinese);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool isChinese = platform::LocaleIsChinese();
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      Usage(std::cout, isChinese);
      return velnor::kExitUpdated;
    }
    if (arg == "--version") {
      std::cout << "velnor " << DRAVIK_VERSION << '\n';
      return velnor::kExitUpdated;
    }
  }
  Options options;
  if (!ParseOptions(args, options, isChinese)) return velnor::kExitUsage;
  if (options.image.empty()) {
    options.image = velnor::ImageBeside(platform::ExecutablePath().parent_path());
  }

  if (options.headless) {
    Result<std::vector<std::uint8_t>> image = velnor::LoadPackageImage(options.image);
    if (!image) {
      std::cerr << image.error().In(isChinese) << '\n';
      return velnor::kExitFailed;
    }
    std::atomic<bool> cancel{false};
    const platform::InterruptRequest interrupt(cancel);
    return velnor::UpdateHeadless(options.port, *image, isChinese, std::cout, std::cerr, &cancel);
  }

  QApplication app(argc, argv);
  ui::DesktopHooks desktop;
  desktop.isChinese = [isChinese] { return isChinese; };
  velnor::TVelnorForm window(comm::ComPortMap::FromSystem(), options.image, desktop);
  window.show();
  return app.exec();
}
