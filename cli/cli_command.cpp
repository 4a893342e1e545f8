#include "cli/cli_command.h"

#include <algorithm>
#include <ostream>

namespace dravik::cli {

void CommandContext::Report(const Bilingual& message) const { Report(message.In(isChinese)); }

void CommandContext::Report(const std::string& message) const {
  // Messages of the system use "\r" as their line break; a terminal wants "\n".
  std::string text = message;
  std::replace(text.begin(), text.end(), '\r', '\n');
  err << text << '\n';
}

bool ParsedArgs::Has(const std::string& flag) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == flag; });
}

std::string ParsedArgs::Value(const std::string& flag) const {
  for (const auto& [name, value] : options) {
    if (name == flag) return value;
  }
  return {};
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::vector<std::string>& valueFlags,
                     const std::vector<std::string>& switches) {
  auto listed = [](const std::vector<std::string>& list, const std::string& flag) {
    return std::find(list.begin(), list.end(), flag) != list.end();
  };
  ParsedArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (listed(valueFlags, arg)) {
      if (i + 1 >= args.size()) {
        parsed.error = "option " + arg + " needs a value";
        return parsed;
      }
      parsed.options.emplace_back(arg, args[++i]);
    } else if (listed(switches, arg)) {
      parsed.options.emplace_back(arg, "");
    } else if (arg.size() > 1 && arg[0] == '-') {
      parsed.error = "unknown option " + arg;
      return parsed;
    } else {
      parsed.positional.push_back(arg);
    }
  }
  return parsed;
}

}  // namespace dravik::cli
