// dravik-cli: the headless face of Dravik. Usage errors exit 2, refused work 1.

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"

namespace {

using dravik::cli::CommandContext;

struct Subcommand {
  std::string_view name;
  int (*run)(const CommandContext&);
  std::string_view usage;
};

constexpr Subcommand kSubcommands[] = {
    {"new", dravik::cli::RunNew, "new PROJECT.QX3                create a project with the defaults"},
    {"info", dravik::cli::RunInfo, "info PROJECT.QX3               pages, elements, settings summary"},
    {"check", dravik::cli::RunCheck, "check PROJECT.QX3              compile check, one line per failing element"},
    {"compile", dravik::cli::RunCompile, "compile [--no-check] PROJECT.QX3 -o QX.bin   the device image"},
#ifdef DRAVIK_HAS_RENDER
    {"render", dravik::cli::RunRender, "render PROJECT.QX3 --page N -o PAGE.png [--on] [--lang 1|2]   draw a page"},
#endif
    {"download", dravik::cli::RunDownload, "download (PROJECT.QX3 | IMAGE.bin) --port DEVICE   send the image to a panel"},
    {"firmware", dravik::cli::RunFirmware, "firmware --port DEVICE [--image FIRMWARE.bin]   upgrade the panel's firmware"},
    {"package", dravik::cli::RunPackage, "package PROJECT.QX3 --out FOLDER   customer update package"},
    {"macro", dravik::cli::RunMacro, "macro import|export PROJECT.QX3 FILE.Mac   the clock macro to or from a file"},
    {"picture", dravik::cli::RunPicture, "picture add|list|export|delete PROJECT.QX3 ...   the picture library"},
};

void PrintUsage(std::ostream& out) {
  out << "usage: dravik-cli [--lang en|zh] COMMAND ARGS...\n\ncommands:\n";
  for (const auto& command : kSubcommands) out << "  " << command.usage << '\n';
}

// The interface language: --lang wins, else LANG (a Chinese locale gives Chinese).
bool ChineseFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return std::strncmp(value, "zh", 2) == 0;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool isChinese = ChineseFromEnvironment();
  if (args.size() >= 2 && args[0] == "--lang") {
    if (args[1] != "en" && args[1] != "zh") {
      std::cerr << "--lang takes en or zh\n";
      return dravik::cli::kExitUsage;
    }
    isChinese = args[1] == "zh";
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(args.empty() ? std::cerr : std::cout);
    return args.empty() ? dravik::cli::kExitUsage : dravik::cli::kExitOk;
  }
  for (const auto& command : kSubcommands) {
    if (args[0] == command.name) {
      CommandContext context{{args.begin() + 1, args.end()}, isChinese, std::cout, std::cerr};
      return command.run(context);
    }
  }
  std::cerr << "unknown command: " << args[0] << "\n\n";
  PrintUsage(std::cerr);
  return dravik::cli::kExitUsage;
}
