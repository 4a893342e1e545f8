// dravik-cli render: one page drawn headless with the page window's renderers, written
// as a PNG of the page's own size (page pixel (0, 0) is the PNG's top-left pixel).

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "editor/page_geometry.h"
#include "editor/render/font_tables.h"
#include "editor/render/page_scene.h"
#include "model/project_image.h"
#include "pictures/picture_library.h"
#include "platform/files.h"

namespace dravik::cli {

namespace {

constexpr char kRenderUsage[] =
    "usage: dravik-cli render PROJECT.QX3 --page N -o FILE.png [--on] [--lang 1|2]";

struct RenderOptions {
  std::string project;
  int page = 0;
  std::string output;
  bool bitPreviewOn = false;
  int language = -1;  // -1 the project's own language switch, 0 language one, 1 language two
};

std::optional<RenderOptions> ParseRenderOptions(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--page", "-o", "--lang"}, {"--on"});
  if (!args.error.empty() || args.positional.size() != 1 || !args.Has("--page") || !args.Has("-o")) {
    if (!args.error.empty()) context.Report(args.error);
    return std::nullopt;
  }
  RenderOptions options;
  options.project = args.positional[0];
  options.output = args.Value("-o");
  options.bitPreviewOn = args.Has("--on");
  auto page = editor::ParseDecimal(args.Value("--page"));
  if (!page || *page < 1 || *page > model::kMaxPage) {
    context.Report("--page takes a page number from 1 to 240");
    return std::nullopt;
  }
  options.page = static_cast<int>(*page);
  if (args.Has("--lang")) {
    const std::string lang = args.Value("--lang");
    if (lang != "1" && lang != "2") {
      context.Report("--lang takes 1 (language one) or 2 (language two)");
      return std::nullopt;
    }
    options.language = lang == "1" ? 0 : 1;
  }
  if (options.output.empty()) return std::nullopt;
  return options;
}

// A GUI application for fonts and painting, on the offscreen platform unless the
// caller chose one.
std::unique_ptr<QGuiApplication> HeadlessApplication() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "dravik-cli";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QGuiApplication>(argc, argv);
  editor::InstallSongSubstitution();
  return app;
}

}  // namespace

int RunRender(const CommandContext& context) {
  const std::optional<RenderOptions> options = ParseRenderOptions(context);
  if (!options) {
    context.Report(kRenderUsage);
    return kExitUsage;
  }

  auto image = std::make_unique<model::ProjectImage>();
  if (!LoadProject(context, *image, options->project)) return kExitRefused;
  if (!image->IsPageUsed(options->page)) {
    const std::string n = std::to_string(options->page);
    context.Report(Bilingual{n + " 号画面不存在 ！", "Window" + n + " is not in use!"});
    return kExitRefused;
  }

  const std::unique_ptr<QGuiApplication> app = HeadlessApplication();

  // Pictures come from the project's library when it has one; without it every picture
  // element shows the missing-picture placeholder. Nothing is created beside the project.
  pictures::PictureLibrary library(context.isChinese);
  editor::RenderSettings settings;
  settings.isChinese = context.isChinese;
  settings.bitPreviewOn = options->bitPreviewOn;
  settings.languageOverride = options->language;
  std::error_code error;
  if (std::filesystem::exists(pictures::PictureLibraryPath(options->project), error)) {
    const Status attached = library.ADOConnected(options->project);
    if (attached) {
      settings.pictures = &library;
    } else {
      context.Report(attached.message());
    }
  }

  const QImage picture = editor::RenderPage(*image, options->page, settings);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (picture.isNull() || !picture.save(&buffer, "PNG")) {
    context.Report("the page picture could not be made");
    return kExitRefused;
  }
  const Status written = platform::WriteFileAtomic(
      options->output,
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                    static_cast<std::size_t>(png.size())));
  if (!written) {
    context.Report(written.message());
    return kExitRefused;
  }
  context.out << "rendered page " << options->page << " (" << picture.width() << " x "
              << picture.height() << ") to " << options->output << '\n';
  return kExitOk;
}

}  // namespace dravik::cli
