#include "cli/cli_command.h"

#include <algorithm>
#include <ostream>

namespace dravik::cli {

const Bilingual kLanguageUsage{"--lang 取 zh (或 1) 或 en (或 2)",
                               "--lang takes zh (or 1) or en (or 2)"};

std::optional<bool> ParseLanguage(std::string_view text) {
  if (text == "zh" || text == "1") return true;
  if (text == "en" || text == "2") return false;
  return std::nullopt;
}

void CommandContext::Report(const Bilingual& message) const {
  Report(message.In(isChinese));
}

void CommandContext::Report(const Error& error) const {
  Report(error.In(isChinese));
}

void CommandContext::Report(const std::string& message) const {
  // Messages of the system use "\r" as their line break; a terminal wants "\n".
  std::string text = message;
  std::replace(text.begin(), text.end(), '\r', '\n');
  err << text << '\n';
}

ParsedArgs CommandContext::Parse(const std::vector<std::string>& valueFlags,
                                 const std::vector<std::string>& switches) const {
  ParsedArgs parsed = ParseArgs(args, valueFlags, switches);
  if (!parsed.error.empty()) Report(parsed.error);
  return parsed;
}

bool ParsedArgs::Has(const std::string& flag) const {
  return std::any_of(options.begin(), options.end(),
                     [&](const auto& o) { return o.first == flag; });
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
        parsed.error = {{"选项 " + arg + " 需要一个值", "option " + arg + " needs a value"}};
        return parsed;
      }
      parsed.options.emplace_back(arg, args[++i]);
    } else if (listed(switches, arg)) {
      parsed.options.emplace_back(arg, "");
    } else if (arg.size() > 1 && arg[0] == '-') {
      parsed.error = {{"未知选项 " + arg, "unknown option " + arg}};
      return parsed;
    } else {
      parsed.positional.push_back(arg);
    }
  }
  return parsed;
}

}  // namespace dravik::cli
