// dravik-cli: the headless face of Dravik. Usage errors exit 2, refused work 1.

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"
#include "platform/console.h"
#include "dravik_version.h"

namespace {

using dravik::cli::CommandContext;

struct Subcommand {
  std::string_view name;
  int (*run)(const CommandContext&);
  std::string_view usage;
};

constexpr Subcommand kSubcommands[] = {
    {"new", dravik::cli::RunNew, "new [--force] PROJECT.QX3      create a project with the defaults"},
    {"info", dravik::cli::RunInfo, "info [--json] PROJECT.QX3      pages, elements, settings summary (--json: every element)"},
    {"check", dravik::cli::RunCheck, "check PROJECT.QX3              compile check, one line per failing element"},
    {"compile", dravik::cli::RunCompile, "compile [--no-check] PROJECT.QX3 -o QX.bin   the device image"},
    {"dump", dravik::cli::RunDump, "dump [--json] QX.bin            what a device image holds: settings, macro, pages with their element records, alarms, pictures"},
#ifdef DRAVIK_HAS_RENDER
    {"render", dravik::cli::RunRender, "render PROJECT.QX3 --page N -o PAGE.png|PAGE.jpg [--on]   draw a page"},
#endif
    {"download", dravik::cli::RunDownload, "download [--force] (PROJECT.QX3 | IMAGE.bin) (--port DEVICE... | --ports GLOB)   send the image to one panel or to several at once"},
    {"firmware", dravik::cli::RunFirmware, "firmware [--force] --port DEVICE [--image FIRMWARE.bin]   upgrade the panel's firmware"},
    {"package", dravik::cli::RunPackage, "package PROJECT.QX3 --out FOLDER   customer update package"},
    {"macro", dravik::cli::RunMacro, "macro import|export PROJECT.QX3 FILE.Mac   the clock macro to or from a file"},
    {"picture", dravik::cli::RunPicture, "picture add|list|export|delete PROJECT.QX3 ...   the picture library"},
    {"search", dravik::cli::RunSearch, "search PROJECT.QX3 (--word|--bit|--id) [--link 1|2] [--device INDEX] [--json] ADDRESS   elements using an address"},
    {"stats", dravik::cli::RunStats, "stats PROJECT.QX3 [--page N] [--json]   elements per kind on each used page"},
    {"export", dravik::cli::RunExport, "export PROJECT.QX3 [-o PROJECT.json]   the project as readable, stable JSON (stdout without -o)"},
    {"import", dravik::cli::RunImport, "import [--force] PROJECT.json -o PROJECT.QX3   the project, its .M and .PIC from that JSON"},
    {"diff", dravik::cli::RunDiff, "diff [--json] A.QX3 B.QX3      what changed between two projects (exit 0 equal, 1 different)"},
    {"xref", dravik::cli::RunXref, "xref PROJECT.QX3 [--json | --csv]   every address the project uses, by link, device, address"},
};

void PrintUsage(std::ostream& out) {
  out << "usage: dravik-cli [--lang zh|en] COMMAND ARGS...\n\ncommands:\n";
  for (const auto& command : kSubcommands) out << "  " << command.usage << '\n';
  out << "\n--lang (anywhere on the line; 1 is zh, 2 is en) chooses the language of the messages\n"
         "and, for render, the page's language (else the project's own start language).\n";
}

struct Language {
  bool isChinese = false;
  bool chosen = false;  // by --lang
};

// Takes every "--lang X" out of the line; the last one counts. Nothing when one is wrong.
std::optional<Language> TakeLanguage(std::vector<std::string>& args, Language language) {
  for (std::size_t i = 0; i < args.size();) {
    if (args[i] != "--lang") {
      ++i;
      continue;
    }
    const std::optional<bool> chinese =
        i + 1 < args.size() ? dravik::cli::ParseLanguage(args[i + 1]) : std::nullopt;
    if (!chinese) return std::nullopt;
    language = {*chinese, true};
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + 2));
  }
  return language;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const Language fromEnvironment{dravik::platform::LocaleIsChinese(), false};
  const std::optional<Language> language = TakeLanguage(args, fromEnvironment);
  if (!language) {
    std::cerr << dravik::cli::kLanguageUsage.In(fromEnvironment.isChinese) << '\n';
    return dravik::cli::kExitUsage;
  }
  if (!args.empty() && args[0] == "--version") {
    std::cout << "dravik-cli " << DRAVIK_VERSION << '\n';
    return dravik::cli::kExitOk;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(args.empty() ? std::cerr : std::cout);
    return args.empty() ? dravik::cli::kExitUsage : dravik::cli::kExitOk;
  }
  for (const auto& command : kSubcommands) {
    if (args[0] == command.name) {
      CommandContext context{{args.begin() + 1, args.end()}, language->isChinese, std::cout,
                             std::cerr, language->chosen};
      return command.run(context);
    }
  }
  const dravik::Bilingual unknown{"未知命令: " + args[0], "unknown command: " + args[0]};
  std::cerr << unknown.In(language->isChinese) << "\n\n";
  PrintUsage(std::cerr);
  return dravik::cli::kExitUsage;
}
