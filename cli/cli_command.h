#pragma once
// What every dravik-cli subcommand gets and returns. Each subcommand lives in its own
// cmd_<name>.cpp as a function of its arguments; main.cpp only dispatches.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::cli {

// Exit statuses: success, the work was refused (bad file, check errors), usage error.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// "--lang": "zh" or "1" (language one, Chinese), "en" or "2" (language two, English).
// Gives whether the language is Chinese; nothing for any other text.
std::optional<bool> ParseLanguage(std::string_view text);
extern const Bilingual kLanguageUsage;  // what --lang takes

// Why a command line could not be parsed; empty when it could.
struct ArgError : Bilingual {
  bool empty() const { return english.empty(); }
};

// Splits "--flag value" options from positional arguments. Flags listed in `valueFlags`
// take the next argument as their value; the others are switches.
struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // flag -> value ("" for switches)
  ArgError error;                                            // set on a malformed line

  bool Has(const std::string& flag) const;
  std::string Value(const std::string& flag) const;  // "" when absent
};
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::vector<std::string>& valueFlags,
                     const std::vector<std::string>& switches);

struct CommandContext {
  std::vector<std::string> args;  // the arguments after the subcommand's name
  bool isChinese = false;         // interface language for messages
  std::ostream& out;
  std::ostream& err;
  bool languageChosen = false;  // --lang was given (render then draws the page in it)

  // Writes a message in the interface language to stderr, with a newline.
  void Report(const Bilingual& message) const;
  void Report(const Error& error) const;
  void Report(const std::string& message) const;

  // ParseArgs on `args`, reporting what is wrong with the line (the caller adds its usage).
  ParsedArgs Parse(const std::vector<std::string>& valueFlags,
                   const std::vector<std::string>& switches = {}) const;
};

// The subcommands. Each returns an exit status.
int RunNew(const CommandContext& context);
int RunInfo(const CommandContext& context);
int RunMacro(const CommandContext& context);
int RunPicture(const CommandContext& context);
int RunCheck(const CommandContext& context);
int RunCompile(const CommandContext& context);
int RunDump(const CommandContext& context);
int RunDownload(const CommandContext& context);
int RunFirmware(const CommandContext& context);
int RunPackage(const CommandContext& context);
int RunSearch(const CommandContext& context);
int RunStats(const CommandContext& context);
int RunXref(const CommandContext& context);
int RunExport(const CommandContext& context);
int RunImport(const CommandContext& context);
int RunDiff(const CommandContext& context);
#ifdef DRAVIK_HAS_RENDER
int RunRender(const CommandContext& context);
#endif

}  // namespace dravik::cli
