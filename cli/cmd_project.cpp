// dravik-cli new and info.

#include <filesystem>
#include <iomanip>
#include <ostream>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "elements/kind_name_table.h"
#include "macro/macro_database.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/gbk.h"
#include "textform/json_writer.h"

namespace dravik::cli {

using textform::JsonWriter;

namespace fs = std::filesystem;

namespace {

constexpr char kNewUsage[] = "usage: dravik-cli new [--force] PROJECT.QX3";
constexpr char kInfoUsage[] = "usage: dravik-cli info [--json] PROJECT.QX3";
// The page window draws the canvas 5 pixels into the window; positions are told as the
// dialogs and the panel know them.
constexpr int kCanvasOffset = 5;

int CountElements(const model::PageRecord& page) {
  int count = 0;
  for (int slot = 0; slot < model::kSlotCount; ++slot) count += page.ElemKind[slot] != 0;
  return count;
}

bool Exists(const fs::path& file) {
  std::error_code error;
  return fs::symlink_status(file, error).type() != fs::file_type::not_found;
}

// A file beside the project that belongs to it, and the empty form a new project gets
// (made in the project's folder, never copied from a shared place).
struct Companion {
  fs::path file;
  Result<platform::Bytes> (*makeEmpty)(const fs::path& folder);
  bool present = false;
  platform::Bytes empty;
};

Companion CompanionAt(const fs::path& file, Result<platform::Bytes> (*makeEmpty)(const fs::path&)) {
  return {file, makeEmpty, Exists(file), {}};
}

std::vector<Companion> CompanionsOf(const fs::path& project) {
  return {CompanionAt(pictures::PictureLibraryPath(project), pictures::NewPictureLibrary),
          CompanionAt(macro::MacroDatabasePath(project), macro::NewMacroDatabase)};
}

// Names every file of the project that is there already; true when there was none.
bool NothingInTheWay(const CommandContext& context, const fs::path& project,
                     const std::vector<Companion>& companions) {
  std::vector<fs::path> existing;
  if (Exists(project)) existing.push_back(project);
  for (const Companion& companion : companions) {
    if (companion.present) existing.push_back(companion.file);
  }
  for (const fs::path& file : existing) {
    context.Report(Bilingual{file.string() + " 已经存在 ！加上 --force 才会替换它。",
                             file.string() + " exists already; --force replaces it."});
  }
  return existing.empty();
}

platform::FileToWrite WholeFile(const fs::path& target, const platform::Bytes& bytes) {
  return {target, [&bytes](const platform::ByteSink& sink) { return platform::WriteWhole(bytes, sink); }};
}

// The new project file, and an empty form in place of each companion an old project
// left: all of them or, on any failure, none.
Status WriteNewProject(const fs::path& project, std::vector<Companion>& companions) {
  std::vector<platform::FileToWrite> files;
  for (Companion& companion : companions) {
    if (!companion.present) continue;
    Result<platform::Bytes> empty = companion.makeEmpty(companion.file.parent_path());
    if (!empty) return empty.error();
    companion.empty = std::move(*empty);
    files.push_back(WholeFile(companion.file, companion.empty));
  }
  model::ProjectImage image;
  model::InitializeNewProject(image);
  // The project file comes last: once it is the new one, so is everything beside it.
  files.push_back({project, [&image](const platform::ByteSink& sink) {
                     return model::CompressProjectTo(image, sink);
                   }});
  const Status written = platform::WriteFilesTogether(files);
  if (!written) return written;
  for (const Companion& companion : companions) {
    // The old database's rollback journal would be played into the new one.
    if (companion.present)
      (void)platform::RemoveFileIfPresent(companion.file.string() + "-journal");
  }
  return written;
}

}  // namespace

// New without the work parameters dialog, written to exactly the path given. A new
// project never inherits the picture library or clock macro an old one left beside it.
int RunNew(const CommandContext& context) {
  ParsedArgs args = context.Parse({}, {"--force"});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report(kNewUsage);
    return kExitUsage;
  }
  const fs::path project = args.positional[0];
  std::vector<Companion> companions = CompanionsOf(project);
  for (const Companion& companion : companions) {
    if (companion.file == project) {
      context.Report(
          Bilingual{"工程文件不能以 .PIC 或 .M 结尾", "a project file cannot end in .PIC or .M"});
      return kExitUsage;
    }
  }
  if (!args.Has("--force") && !NothingInTheWay(context, project, companions)) return kExitRefused;
  const Status written = WriteNewProject(project, companions);
  if (!written) {
    context.Report(written.error());
    return kExitRefused;
  }
  context.out << "created " << project.string() << '\n';
  for (const Companion& companion : companions) {
    if (companion.present) context.out << "emptied " << companion.file.string() << '\n';
  }
  return kExitOk;
}

namespace {

int PagesInUse(const model::ProjectImage& image) {
  int used = 0;
  for (int n = 1; n <= model::kMaxPage; ++n) used += image.IsPageUsed(n);
  return used;
}

void WriteElementJson(JsonWriter& json, const model::PageRecord& page, int slot) {
  const auto s = static_cast<std::size_t>(slot);
  const int kind = page.ElemKind[s];
  json.BeginObject()
      .Key("slot").Number(slot)
      .Key("kind").Number(kind)
      .Key("kindName").String(elements::KindNameOf(kind, false))
      .Key("left").Number(static_cast<int>(page.ElemLeft[s]) - kCanvasOffset)
      .Key("top").Number(static_cast<int>(page.ElemTop[s]) - kCanvasOffset)
      .Key("width").Number(static_cast<int>(page.ElemWidth[s]))
      .Key("height").Number(static_cast<int>(page.ElemHeight[s]))
      .Key("locked").Bool(page.ElemByteA[s] != 0)
      .EndObject();
}

// The summary with every element of every page in use, for scripts.
void WriteInfoJson(const CommandContext& context, const std::string& path, const model::ProjectImage& image) {
  const model::PageRecord& settings = image.Settings();
  JsonWriter json;
  json.BeginObject()
      .Key("project").String(path)
      .Key("panelModel").String(model::PanelModelName(settings))
      .Key("link1").String(Link1ProtocolText(settings))
      .Key("initialPage").Number(static_cast<std::int64_t>(model::At(settings, model::settings::kInitialPage)))
      .Key("pagesInUse").Number(PagesInUse(image))
      .Key("pages").BeginArray();
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (!image.IsPageUsed(n)) continue;
    const model::PageRecord& page = image.Page(n);
    json.BeginObject()
        .Key("page").Number(n)
        .Key("name").String(platform::GbkToUtf8(page.PageStrings[model::kPageName].View()))
        .Key("elements").BeginArray();
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      if (page.ElemKind[static_cast<std::size_t>(slot)] != 0) WriteElementJson(json, page, slot);
    }
    json.EndArray().EndObject();
  }
  json.EndArray().EndObject();
  context.out << json.Text() << '\n';
}

}  // namespace

int RunInfo(const CommandContext& context) {
  ParsedArgs args = context.Parse({}, {"--json"});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report(kInfoUsage);
    return kExitUsage;
  }
  model::ProjectImage image;
  if (!LoadProject(context, image, args.positional[0])) return kExitRefused;
  if (args.Has("--json")) {
    WriteInfoJson(context, args.positional[0], image);
    return kExitOk;
  }

  const model::PageRecord& settings = image.Settings();
  using namespace model::settings;
  std::ostream& out = context.out;
  out << "project:        " << args.positional[0] << '\n';
  out << "panel model:    " << model::PanelModelName(settings) << '\n';
  out << "link 1:         " << Link1ProtocolText(settings) << '\n';
  out << "initial page:   " << At(settings, kInitialPage) << '\n';
  out << "pages in use:   " << PagesInUse(image) << '\n';
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (!image.IsPageUsed(n)) continue;
    const model::PageRecord& page = image.Page(n);
    out << "  page " << std::setw(3) << n << "  "
        << platform::GbkToUtf8(page.PageStrings[model::kPageName].View()) << "  ("
        << CountElements(page) << " elements)\n";
  }
  return kExitOk;
}

}  // namespace dravik::cli
