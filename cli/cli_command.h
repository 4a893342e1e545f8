#pragma once
// What every dravik-cli subcommand gets and returns. Each subcommand lives in its own
// cmd_<name>.cpp as a function of its arguments; main.cpp only dispatches.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/bilingual.h"

namespace dravik::cli {

// Exit statuses: success, the work was refused (bad file, check errors), usage error.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

struct CommandContext {
  std::vector<std::string> args;  // the arguments after the subcommand's name
  bool isChinese = false;         // interface language for messages
  std::ostream& out;
  std::ostream& err;

  // Writes a message in the interface language to stderr, with a newline.
  void Report(const Bilingual& message) const;
  void Report(const std::string& message) const;
};

// Splits "--flag value" options from positional arguments. Flags listed in `valueFlags`
// take the next argument as their value; the others are switches.
struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // flag -> value ("" for switches)
  std::string error;                                         // set on a malformed line

  bool Has(const std::string& flag) const;
  std::string Value(const std::string& flag) const;  // "" when absent
};
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::vector<std::string>& valueFlags,
                     const std::vector<std::string>& switches);

// The subcommands. Each returns an exit status.
int RunNew(const CommandContext& context);
int RunInfo(const CommandContext& context);
int RunMacro(const CommandContext& context);
int RunPicture(const CommandContext& context);
int RunCheck(const CommandContext& context);
int RunCompile(const CommandContext& context);
int RunDownload(const CommandContext& context);
int RunFirmware(const CommandContext& context);
int RunPackage(const CommandContext& context);
#ifdef DRAVIK_HAS_RENDER
int RunRender(const CommandContext& context);
#endif

}  // namespace dravik::cli
