// dravik-cli search, stats and xref: the project tools' read-only views of a project.

#include <charconv>
#include <optional>
#include <ostream>
#include <variant>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "elements/kind_name_table.h"
#include "textform/json_writer.h"
#include "tools/address_xref.h"
#include "tools/device_tables.h"
#include "tools/element_statistics.h"
#include "tools/page_caption.h"
#include "tools/register_search.h"

namespace dravik::cli {

using textform::JsonWriter;

namespace {

using tools::SearchCategory;

constexpr char kSearchUsage[] =
    "usage: dravik-cli search PROJECT.QX3 (--word|--bit|--id) [--link 1|2] [--device INDEX] "
    "[--json] ADDRESS\n"
    "       ADDRESS is decimal, hexadecimal on bit devices numbered in hexadecimal;\n"
    "       --id searches station IDs on either link and takes no device";
constexpr char kStatsUsage[] = "usage: dravik-cli stats PROJECT.QX3 [--page N] [--json]";
constexpr char kXrefUsage[] = "usage: dravik-cli xref PROJECT.QX3 [--json | --csv]";

// Elements keep a device kind in three bits, so only the first eight of a list are theirs.
constexpr int kElementDeviceKinds = 8;

std::optional<int> DecimalIn(const std::string& text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

int Usage(const CommandContext& context, const Bilingual& problem, const char* usage) {
  context.Report(problem);
  context.Report(usage);
  return kExitUsage;
}

std::string KindName(const CommandContext& context, int kind) {
  return std::string(elements::KindNameOf(kind, context.isChinese));
}

// The register-kind lists of the project's protocols; a link whose table the device
// resources lack has no device names, which the user is told.
std::optional<params::DeviceLists> LoadLists(const CommandContext& context,
                                             const model::ProjectImage& image) {
  Result<params::DeviceLists> lists = ListsFor(image.Settings());
  if (!lists) {
    context.Report(lists.error());
    return std::nullopt;
  }
  if (lists->unknownLink1Protocol) {
    const std::string n = std::to_string(*lists->unknownLink1Protocol);
    context.Report(Bilingual{"未知的PLC协议 " + n + " (连接1): 没有设备名称",
                             "unknown PLC protocol " + n + " (Link 1): no device names"});
  }
  if (lists->unknownLink2Table) {
    const std::string n = std::to_string(*lists->unknownLink2Table);
    context.Report(Bilingual{"未知的设备表 " + n + " (连接2): 没有设备名称",
                             "unknown device table " + n + " (Link 2): no device names"});
  }
  return std::move(lists).value();
}

// ---- search ----

struct SearchOptions {
  std::string project;
  tools::SearchQuery query;
  std::string address;  // as typed
  bool json = false;
};

std::optional<SearchCategory> CategoryFlag(const ParsedArgs& args) {
  const std::pair<const char*, SearchCategory> flags[] = {{"--word", SearchCategory::kWord},
                                                          {"--bit", SearchCategory::kBit},
                                                          {"--id", SearchCategory::kOther}};
  std::optional<SearchCategory> chosen;
  for (const auto& [flag, category] : flags) {
    if (!args.Has(flag)) continue;
    if (chosen) return std::nullopt;
    chosen = category;
  }
  return chosen;
}

// The options of a search line, or the exit status of a usage error already reported.
std::variant<SearchOptions, int> ParseSearch(const CommandContext& context) {
  ParsedArgs args = context.Parse({"--link", "--device"}, {"--word", "--bit", "--id", "--json"});
  const std::optional<SearchCategory> category = CategoryFlag(args);
  if (!args.error.empty() || args.positional.size() != 2 || !category) {
    context.Report(kSearchUsage);
    return kExitUsage;
  }
  SearchOptions options{args.positional[0], {}, args.positional[1], args.Has("--json")};
  options.query.category = *category;
  const std::optional<int> link = args.Has("--link") ? DecimalIn(args.Value("--link"), 1, 2) : 1;
  if (!link) {
    return Usage(context, {"--link 取 1 或 2", "--link takes 1 or 2"}, kSearchUsage);
  }
  const std::optional<int> device =
      args.Has("--device") ? DecimalIn(args.Value("--device"), 0, kElementDeviceKinds - 1) : 0;
  if (!device) {
    return Usage(context, {"--device 取 0 ~ 7", "--device takes 0 ~ 7"}, kSearchUsage);
  }
  options.query.link = *link - 1;
  options.query.device = *device;
  return options;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(i) + " " + names[i];
  }
  return text.empty() ? "-" : text;
}

// Takes the typed address for the chosen device. A device the link does not have, or an
// address it cannot hold, is a usage error, whose exit status it gives once reported.
std::optional<int> CompleteQuery(const CommandContext& context, const params::DeviceLists& lists,
                                 SearchOptions& options) {
  tools::SearchQuery& query = options.query;
  const tools::AddressField field =
      tools::AddressFieldFor(lists, query.category, query.link, query.device);
  if (query.category != SearchCategory::kOther && field.device != query.device) {
    const std::string link = std::to_string(query.link + 1);
    const std::string listed = Joined(field.devices);
    return Usage(
        context,
        {"连接" + link + " 没有设备 " + std::to_string(query.device) + " (有: " + listed + ")",
         "Link " + link + " has no device " + std::to_string(query.device) + " (it has: " + listed +
             ")"},
        kSearchUsage);
  }
  const std::optional<std::int64_t> address =
      tools::ParseAddressNumber(options.address, field.hexadecimal);
  if (!address || *address > field.maximum) {
    const std::string device = query.category == SearchCategory::kOther
                                   ? "ID"
                                   : field.devices[static_cast<std::size_t>(field.device)];
    return Usage(
        context,
        {"地址 " + options.address + " 不在 " + device + " 的范围 " + field.hint + " 之内",
         "address " + options.address + " is not within " + device + "'s range " + field.hint},
        kSearchUsage);
  }
  query.address = *address;
  return std::nullopt;
}

void PrintMatches(const CommandContext& context, const std::vector<tools::SearchMatch>& matches) {
  for (const tools::SearchMatch& match : matches) {
    context.out << match.caption << '\t' << KindName(context, match.kind) << "\tslot " << match.slot
                << '\n';
  }
  context.out << tools::SearchCaption(matches.size()).In(context.isChinese) << '\n';
}

void PrintMatchesJson(const CommandContext& context,
                      const std::vector<tools::SearchMatch>& matches) {
  JsonWriter json;
  json.BeginObject().Key("matches").BeginArray();
  for (const tools::SearchMatch& match : matches) {
    // clang-format off
    json.BeginObject()
        .Key("page").Number(match.page)
        .Key("name").String(match.pageName)
        .Key("slot").Number(match.slot)
        .Key("kind").Number(match.kind)
        .Key("kindName").String(KindName(context, match.kind))
        .EndObject();
    // clang-format on
  }
  json.EndArray().EndObject();
  context.out << json.Text() << '\n';
}

// ---- stats ----

void PrintStatistics(const CommandContext& context, const tools::PageStatistics& statistics) {
  context.out << statistics.caption << '\n';
  for (const int kind : tools::ListedKinds()) {
    context.out << KindName(context, kind) << '\t' << statistics.counts[kind] << '\n';
  }
  context.out << "\nSum:\t" << statistics.sum << '\n';
}

void WriteStatisticsJson(JsonWriter& json, const tools::PageStatistics& statistics) {
  // clang-format off
  json.BeginObject()
      .Key("page").Number(statistics.page)
      .Key("name").String(statistics.pageName)
      .Key("counts").BeginObject();
  // clang-format on
  for (const int kind : tools::ListedKinds()) {
    json.Key(std::to_string(kind)).Number(statistics.counts[kind]);
  }
  json.EndObject().Key("sum").Number(statistics.sum).EndObject();
}

// ---- xref ----

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

std::string OptionalText(const std::optional<int>& value) {
  return value ? std::to_string(*value) : std::string();
}

void PrintRefs(const CommandContext& context, const model::ProjectImage& image,
               const std::vector<tools::AddressRef>& refs) {
  for (const tools::AddressRef& ref : refs) {
    const std::string link = ref.link ? "Link " + std::to_string(*ref.link + 1) : "-";
    context.out << link << '\t' << tools::AddressRefText(ref) << '\t'
                << tools::PageCaption(image.Page(ref.page)) << "\tslot " << ref.slot << '\t'
                << KindName(context, ref.kind) << '\n';
  }
}

void PrintRefsCsv(const CommandContext& context, const std::vector<tools::AddressRef>& refs) {
  context.out << "link,device,address,bit,page,slot,kind\n";
  for (const tools::AddressRef& ref : refs) {
    const std::optional<int> link = ref.link ? std::optional<int>(*ref.link + 1) : std::nullopt;
    context.out << OptionalText(link) << ',' << CsvField(ref.deviceName) << ',' << ref.address
                << ',' << OptionalText(ref.bit) << ',' << ref.page << ',' << ref.slot << ','
                << ref.kind << '\n';
  }
}

void PrintRefsJson(const CommandContext& context, const std::vector<tools::AddressRef>& refs) {
  JsonWriter json;
  json.BeginObject().Key("refs").BeginArray();
  for (const tools::AddressRef& ref : refs) {
    const std::optional<int> link = ref.link ? std::optional<int>(*ref.link + 1) : std::nullopt;
    // clang-format off
    json.BeginObject()
        .Key("link").Number(link)
        .Key("device").String(ref.deviceName)
        .Key("address").Number(ref.address)
        .Key("bit").Number(ref.bit)
        .Key("page").Number(ref.page)
        .Key("slot").Number(ref.slot)
        .Key("kind").Number(ref.kind)
        .EndObject();
    // clang-format on
  }
  json.EndArray().EndObject();
  context.out << json.Text() << '\n';
}

}  // namespace

int RunSearch(const CommandContext& context) {
  std::variant<SearchOptions, int> parsed = ParseSearch(context);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  SearchOptions& options = std::get<SearchOptions>(parsed);

  model::ProjectImage image;
  if (!LoadProject(context, image, options.project)) return kExitRefused;
  const std::optional<params::DeviceLists> lists = LoadLists(context, image);
  if (!lists) return kExitRefused;
  if (const std::optional<int> status = CompleteQuery(context, *lists, options)) return *status;

  const std::vector<tools::SearchMatch> matches = tools::RegisterSearch(image, options.query);
  if (options.json) {
    PrintMatchesJson(context, matches);
  } else {
    PrintMatches(context, matches);
  }
  return kExitOk;
}

int RunStats(const CommandContext& context) {
  ParsedArgs args = context.Parse({"--page"}, {"--json"});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report(kStatsUsage);
    return kExitUsage;
  }
  // 0: every used page; -1: a page number out of range.
  const int page =
      args.Has("--page") ? DecimalIn(args.Value("--page"), 1, model::kMaxPage).value_or(-1) : 0;
  if (page < 0) {
    return Usage(context, {"--page 取 1 ~ 240", "--page takes 1 ~ 240"}, kStatsUsage);
  }
  model::ProjectImage image;
  if (!LoadProject(context, image, args.positional[0])) return kExitRefused;
  if (page != 0 && !image.IsPageUsed(page)) {
    const std::string n = std::to_string(page);
    context.Report(Bilingual{"画面 " + n + " 没有使用", "page " + n + " is not in use"});
    return kExitRefused;
  }

  std::vector<tools::PageStatistics> pages;
  const int first = page != 0 ? page : 1;
  const int last = page != 0 ? page : model::kMaxPage;
  for (int n = first; n <= last; ++n) {
    if (image.IsPageUsed(n)) pages.push_back(tools::CountElements(image, n));
  }
  if (args.Has("--json")) {
    JsonWriter json;
    json.BeginObject().Key("pages").BeginArray();
    for (const tools::PageStatistics& statistics : pages) WriteStatisticsJson(json, statistics);
    json.EndArray().EndObject();
    context.out << json.Text() << '\n';
    return kExitOk;
  }
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) context.out << '\n';
    PrintStatistics(context, pages[i]);
  }
  return kExitOk;
}

int RunXref(const CommandContext& context) {
  ParsedArgs args = context.Parse({}, {"--json", "--csv"});
  if (!args.error.empty() || args.positional.size() != 1 ||
      (args.Has("--json") && args.Has("--csv"))) {
    context.Report(kXrefUsage);
    return kExitUsage;
  }
  model::ProjectImage image;
  if (!LoadProject(context, image, args.positional[0])) return kExitRefused;
  const std::optional<params::DeviceLists> lists = LoadLists(context, image);
  if (!lists) return kExitRefused;

  const std::vector<tools::AddressRef> refs = tools::CollectAddressRefs(image, *lists);
  if (args.Has("--json")) {
    PrintRefsJson(context, refs);
  } else if (args.Has("--csv")) {
    PrintRefsCsv(context, refs);
  } else {
    PrintRefs(context, image, refs);
  }
  return kExitOk;
}

}  // namespace dravik::cli
