// dravik-cli picture add|list|export|delete: the project's picture library.

#include <charconv>
#include <iomanip>
#include <ostream>

#include "cli/cli_command.h"
#include "pictures/picture_commands.h"
#include "pictures/picture_library.h"

namespace dravik::cli {

namespace {

constexpr char kUsage[] =
    "usage: dravik-cli picture add PROJECT.QX3 FILE.bmp|FILE.jpg\n"
    "       dravik-cli picture list PROJECT.QX3\n"
    "       dravik-cli picture export PROJECT.QX3 ID FILE.bmp|FILE.jpg\n"
    "       dravik-cli picture delete PROJECT.QX3 ID";

bool ParseId(const std::string& text, int& id) {
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, id);
  return error == std::errc() && ptr == end && id >= 0;
}

int Refused(const CommandContext& context, const Error& error) {
  context.Report(error);
  return kExitRefused;
}

}  // namespace

int RunPicture(const CommandContext& context) {
  ParsedArgs args = context.Parse({});
  const auto& words = args.positional;
  const std::size_t expected = words.empty()          ? 0
                               : words[0] == "add"    ? 3
                               : words[0] == "list"   ? 2
                               : words[0] == "export" ? 4
                               : words[0] == "delete" ? 3
                                                      : 0;
  int id = 0;
  const bool needsId = expected == 4 || (expected == 3 && words[0] == "delete");
  if (!args.error.empty() || expected == 0 || words.size() != expected ||
      (needsId && !ParseId(words[2], id))) {
    context.Report(kUsage);
    return kExitUsage;
  }
  if (words[0] == "export" && pictures::PictureFormatForName(words[3]).empty()) {
    context.Report(pictures::kExportNames);
    context.Report(kUsage);
    return kExitUsage;
  }
  const std::string& project = words[1];
  const bool chinese = context.isChinese;

  if (words[0] == "add") {
    Result<int> added = pictures::AddProjectPicture(project, words[2], chinese);
    if (!added) return Refused(context, added.error());
    context.out << "added picture " << *added << '\n';
  } else if (words[0] == "list") {
    auto rows = pictures::ListProjectPictures(project, chinese);
    if (!rows) return Refused(context, rows.error());
    for (const auto& row : *rows) {
      context.out << std::setw(4) << row.id << "  " << row.name << "  "
                  << (row.problem.empty() ? row.sizeText : row.problem) << '\n';
    }
  } else if (words[0] == "export") {
    auto written = pictures::ExportProjectPicture(project, id, words[3], chinese);
    if (!written) return Refused(context, written.error());
    context.out << "exported " << written->string() << '\n';
  } else {
    const Status deleted = pictures::DeleteProjectPicture(project, id, chinese);
    if (!deleted) return Refused(context, deleted.error());
    context.out << "deleted picture " << id << '\n';
  }
  return kExitOk;
}

}  // namespace dravik::cli
