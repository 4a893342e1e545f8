// tolvesk: the panel simulator. It runs a compiled device image (QX.bin) as the panel
// would: in a window with the panel's keys and LEDs, or without one for scripts, ending
// in a screenshot and the register listing.

#include <QApplication>
#include <QGuiApplication>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "dravik_version.h"
#include "editor/render/font_tables.h"
#include "params/device_resources.h"
#include "platform/console.h"
#include "platform/runtime_dir.h"
#include "sim/panel_keys.h"
#include "sim/render/headless_run.h"
#include "sim/simulator_start.h"
#include "sim/ui/tolvesk_window.h"
#include "ui/desktop_hooks.h"

namespace {

namespace fs = std::filesystem;
using namespace dravik;

constexpr int kExitUsage = 2;

void Usage(std::ostream& out, bool isChinese) {
  if (isChinese) {
    out << "用法: tolvesk [--image QX.bin] [--online [--port 设备] [--baud 波特率]]\n"
           "      tolvesk --image QX.bin --headless [--page N] [--set D100=42 ...] [--key F1 ...]\n"
           "              [--touch X,Y ...] [--after-ms T] [--screenshot OUT.png [--scale 1|2|3]]\n"
           "              [--dump-registers]\n"
           "在电脑上运行编译好的画面数据，如同操作面板一样。\n"
           "  --image 文件      要运行的画面数据（默认: 工作文件夹中的 QX.bin）\n"
           "  --online          在线模拟: 作为 Modbus RTU 主站读写 PLC 的寄存器\n"
           "  --port 设备       在线模拟所用的串口（例如 /dev/ttyUSB0）\n"
           "  --baud 波特率     覆盖画面数据中连接 1 的波特率\n"
           "  --headless        不开窗口，按顺序执行下面的步骤\n"
           "  --page N          显示第 N 号画面\n"
           "  --set 名称=值     设定寄存器，名称按设备资源的写法（D100、M5、D.b100.A）\n"
           "  --key 键          按下并松开面板按键（F1..F6、UP、DOWN、LEFT、RIGHT、0..9、ENT、ESC …）\n"
           "  --touch X,Y       触摸画面上的一点\n"
           "  --after-ms T      再运行 T 毫秒（时钟、宏、趋势图）\n"
           "  --screenshot 文件 把画面保存为 PNG\n"
           "  --scale N         截图放大倍数 1、2 或 3\n"
           "  --dump-registers  列出所有非零寄存器（名称=值）\n"
           "  --help            显示本说明\n"
           "  --version         显示版本\n"
           "退出码: 0 成功，1 失败，2 命令行错误。\n";
    return;
  }
  out << "usage: tolvesk [--image QX.bin] [--online [--port DEVICE] [--baud RATE]]\n"
         "       tolvesk --image QX.bin --headless [--page N] [--set D100=42 ...] [--key F1 ...]\n"
         "               [--touch X,Y ...] [--after-ms T] [--screenshot OUT.png [--scale 1|2|3]]\n"
         "               [--dump-registers]\n"
         "Runs a compiled device image on the desktop as the operator panel would.\n"
         "  --image FILE      the image to run (default: QX.bin in the work folder)\n"
         "  --online          on-line simulation: a Modbus RTU master reading and writing the "
         "PLC\n"
         "  --port DEVICE     the serial port of the on-line simulation (e.g. /dev/ttyUSB0)\n"
         "  --baud RATE       overrides the image's Link 1 speed\n"
         "  --headless        no window: run the steps below in order\n"
         "  --page N          show page N\n"
         "  --set NAME=VALUE  set a register, named as the device resources spell it (D100, M5, "
         "D.b100.A)\n"
         "  --key KEY         press and release a panel key (F1..F6, UP, DOWN, LEFT, RIGHT, 0..9, "
         "ENT, ESC, ...)\n"
         "  --touch X,Y       touch a point of the screen\n"
         "  --after-ms T      let T milliseconds pass (clock, macro, trend charts)\n"
         "  --screenshot FILE write the screen as PNG\n"
         "  --scale N         the screenshot's scale: 1, 2 or 3\n"
         "  --dump-registers  list every register that is not 0 (NAME=VALUE)\n"
         "  --help            show this text\n"
         "  --version         show the version\n"
         "Exit status: 0 on success, 1 on failure, 2 on a usage error.\n";
}

struct Options {
  fs::path image;
  bool headless = false;
  sim::WindowOptions window;
  sim::HeadlessPlan plan;
  std::vector<std::string> keys;  // resolved once the image names the panel model
};

std::optional<int> Number(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::pair<int, int>> Point(const std::string& text) {
  const auto comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto x = Number(text.substr(0, comma));
  const auto y = Number(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return std::pair{*x, *y};
}

// The command line; false on a usage error (already reported).
bool ParseOptions(const std::vector<std::string>& args, Options& options, bool isChinese) {
  const auto bad = [&](const std::string& arg) {
    std::cerr << (isChinese ? "无法理解的参数: " : "unknown or incomplete argument: ") << arg
              << "\n";
    Usage(std::cerr, isChinese);
    return false;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--headless") {
      options.headless = true;
      continue;
    }
    if (arg == "--online") {
      options.window.online = true;
      continue;
    }
    if (arg == "--dump-registers") {
      options.plan.dumpRegisters = true;
      continue;
    }
    if (i + 1 >= args.size()) return bad(arg);
    const std::string& value = args[++i];
    if (arg == "--image") {
      options.image = value;
    } else if (arg == "--port") {
      options.window.port = value;
    } else if (arg == "--baud") {
      const auto baud = Number(value);
      if (!baud || *baud <= 0) return bad(arg + " " + value);
      options.window.baud = *baud;
    } else if (arg == "--page") {
      const auto page = Number(value);
      if (!page) return bad(arg + " " + value);
      options.plan.page = *page;
    } else if (arg == "--set") {
      options.plan.assignments.push_back(value);
    } else if (arg == "--key") {
      options.keys.push_back(value);
      options.plan.steps.push_back({sim::HeadlessStep::Kind::Key});
    } else if (arg == "--touch") {
      const auto point = Point(value);
      if (!point) return bad(arg + " " + value);
      options.plan.steps.push_back(
          {sim::HeadlessStep::Kind::Touch, 0, point->first, point->second});
    } else if (arg == "--after-ms") {
      const auto ms = Number(value);
      if (!ms || *ms < 0) return bad(arg + " " + value);
      options.plan.after = std::chrono::milliseconds(*ms);
    } else if (arg == "--screenshot") {
      options.plan.screenshot = value;
    } else if (arg == "--scale") {
      const auto scale = Number(value);
      if (!scale || *scale < 1 || *scale > 3) return bad(arg + " " + value);
      options.plan.scale = *scale;
    } else {
      return bad(arg);
    }
  }
  return true;
}

// The keys named with --key, in the order given, for the image's panel model.
bool ResolveKeys(Options& options, int panelModel, bool isChinese) {
  std::size_t next = 0;
  for (sim::HeadlessStep& step : options.plan.steps) {
    if (step.kind != sim::HeadlessStep::Kind::Key) continue;
    const std::string& name = options.keys[next++];
    const auto key = sim::PanelKeyFromName(name, panelModel);
    if (!key) {
      std::cerr << (isChinese ? "没有这个面板按键: " : "no such panel key: ") << name << '\n';
      return false;
    }
    step.key = *key;
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
      return 0;
    }
    if (arg == "--version") {
      std::cout << "tolvesk " << DRAVIK_VERSION << '\n';
      return 0;
    }
  }
  Options options;
  if (!ParseOptions(args, options, isChinese)) return kExitUsage;
  if (options.image.empty()) {
    Result<fs::path> image = sim::DefaultImagePath();
    if (!image) {
      std::cerr << image.error().In(isChinese) << '\n';
      return 1;
    }
    options.image = *image;
  }
  Result<sim::PanelSession> session =
      sim::StartFromFile(options.image, params::DeviceResourcesPath());

  if (options.headless) {
    if (!session) {
      std::cerr << session.error().In(isChinese) << '\n';
      return 1;
    }
    const int model = session->Image().Setting(compiler::image_field::kPanelModel);
    if (!ResolveKeys(options, model, isChinese)) return kExitUsage;
    platform::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    editor::InstallSongSubstitution();
    return sim::RunHeadless(*session, options.plan, isChinese, std::cout, std::cerr);
  }

  QApplication app(argc, argv);
  editor::InstallSongSubstitution();
  ui::DesktopHooks desktop;
  desktop.isChinese = [isChinese] { return isChinese; };
  sim::TTolveskForm window(desktop, options.window);
  if (session) {
    window.Run(options.image, std::move(*session));
  } else {
    window.ShowStartFailure(options.image, session.error());
  }
  window.show();
  return app.exec();
}
