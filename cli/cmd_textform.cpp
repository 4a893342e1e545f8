// dravik-cli export, import and diff: the text form of a project.

#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "macro/macro_database.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/heap.h"
#include "textform/project_diff.h"
#include "textform/project_document.h"

namespace dravik::cli {

namespace fs = std::filesystem;

namespace {

constexpr char kExportUsage[] = "usage: dravik-cli export PROJECT.QX3 [-o PROJECT.json]";
constexpr char kImportUsage[] = "usage: dravik-cli import [--force] PROJECT.json -o PROJECT.QX3";
constexpr char kDiffUsage[] = "usage: dravik-cli diff [--json] A.QX3 B.QX3";
// diff follows diff(1): 0 equal, 1 different, 2 trouble.
constexpr int kDiffTrouble = 2;
// A text form is a few hundred bytes per element; this leaves room for large pictures.
constexpr std::size_t kMaxDocumentBytes = std::size_t{1} << 30;

bool ProjectFileThere(const CommandContext& context, const fs::path& project) {
  std::error_code error;
  if (fs::is_regular_file(project, error)) return true;
  context.Report(Bilingual{"找不到工程文件 " + project.string(), "no project file " + project.string()});
  return false;
}

// The project with its macro and pictures; nothing when it cannot be read.
std::unique_ptr<textform::ProjectContent> ContentOf(const CommandContext& context, const fs::path& project) {
  if (!ProjectFileThere(context, project)) return nullptr;
  auto content = std::make_unique<textform::ProjectContent>();
  if (Status read = textform::ReadProjectContent(project, *content, context.isChinese); !read) {
    context.Report(read.error());
    return nullptr;
  }
  return content;
}

// The macro rows read as the editor shows them, with Link 1's first word kind.
textform::DocumentOptions OptionsFor(const textform::ProjectContent& content) {
  textform::DocumentOptions options;
  if (Result<params::DeviceLists> lists = ListsFor(content.image.Settings());
      lists && !lists->W_DeviceName.empty()) {
    options.macroRegisterName = lists->W_DeviceName.front();
  }
  return options;
}

}  // namespace

int RunExport(const CommandContext& context) {
  platform::KeepFreedHeapForReuse();
  ParsedArgs args = context.Parse({"-o"});
  if (!args.error.empty() || args.positional.size() != 1 || (args.Has("-o") && args.Value("-o").empty())) {
    context.Report(kExportUsage);
    return kExitUsage;
  }
  std::unique_ptr<textform::ProjectContent> content = ContentOf(context, args.positional[0]);
  if (!content) return kExitRefused;
  const textform::DocumentOptions options = OptionsFor(*content);
  Status written;
  if (!args.Has("-o")) {
    written = textform::WriteDocument(*content, options, [&context](std::string_view chunk) {
      context.out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      return context.out.good();
    });
  } else {
    written = platform::WriteFileAtomicStreamed(args.Value("-o"), [&](const platform::ByteSink& sink) {
      return textform::WriteDocument(*content, options, [&sink](std::string_view chunk) {
        return sink({reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size()});
      });
    });
  }
  if (!written) {
    context.Report(written.error());
    return kExitRefused;
  }
  return kExitOk;
}

int RunImport(const CommandContext& context) {
  platform::KeepFreedHeapForReuse();
  ParsedArgs args = context.Parse({"-o"}, {"--force"});
  if (!args.error.empty() || args.positional.size() != 1 || args.Value("-o").empty()) {
    context.Report(kImportUsage);
    return kExitUsage;
  }
  const fs::path source = args.positional[0], project = args.Value("-o");
  if (!args.Has("--force")) {
    bool inTheWay = false;
    for (const fs::path& file :
         {project, macro::MacroDatabasePath(project), pictures::PictureLibraryPath(project)}) {
      if (!platform::Exists(file)) continue;
      context.Report(Bilingual{file.string() + " 已经存在 ！加上 --force 才会替换它。",
                               file.string() + " exists already; --force replaces it."});
      inTheWay = true;
    }
    if (inTheWay) return kExitRefused;
  }
  Result<platform::Bytes> bytes = platform::ReadFileBytes(source, kMaxDocumentBytes);
  if (!bytes) {
    context.Report(bytes.error());
    return kExitRefused;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  auto content = std::make_unique<textform::ProjectContent>();
  if (Status read = textform::ReadDocument(text, *content); !read) {
    context.Report(read.error());
    return kExitRefused;
  }
  if (Status written = textform::WriteProjectContent(*content, project, context.isChinese); !written) {
    context.Report(written.error());
    return kExitRefused;
  }
  context.out << "imported " << project.string() << '\n';
  return kExitOk;
}

int RunDiff(const CommandContext& context) {
  platform::KeepFreedHeapForReuse();
  ParsedArgs args = context.Parse({}, {"--json"});
  if (!args.error.empty() || args.positional.size() != 2) {
    context.Report(kDiffUsage);
    return kDiffTrouble;
  }
  std::unique_ptr<textform::ProjectContent> before = ContentOf(context, args.positional[0]);
  if (!before) return kDiffTrouble;
  std::unique_ptr<textform::ProjectContent> after = ContentOf(context, args.positional[1]);
  if (!after) return kDiffTrouble;
  const std::vector<textform::Difference> differences =
      textform::DiffProjects(*before, *after, OptionsFor(*before));
  context.out << (args.Has("--json") ? textform::DifferencesAsJson(differences)
                                     : textform::DifferencesAsText(differences));
  return differences.empty() ? kExitOk : kExitRefused;
}

}  // namespace dravik::cli
