// dravik-cli render: one page drawn headless with the page window's renderers, written
// as a PNG or JPEG (as the output's name says) of the page's own size (page pixel (0, 0)
// is the picture's top-left pixel).

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "editor/page_geometry.h"
#include "editor/render/font_tables.h"
#include "editor/render/page_scene.h"
#include "model/project_image.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/image_codec.h"
#include "platform/runtime_dir.h"

namespace dravik::cli {

namespace {

constexpr char kRenderUsage[] =
    "usage: dravik-cli render PROJECT.QX3 --page N -o FILE.png|FILE.jpg [--on] [--lang zh|en]";

enum class PictureFormat { Png, Jpeg };

// What the output's name asks for: ".png", or ".jpg"/".jpeg", in any case.
std::optional<PictureFormat> FormatForName(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".png") return PictureFormat::Png;
  if (extension == ".jpg" || extension == ".jpeg") return PictureFormat::Jpeg;
  return std::nullopt;
}

struct RenderOptions {
  std::string project;
  int page = 0;
  std::string output;
  PictureFormat format = PictureFormat::Png;
  bool bitPreviewOn = false;
  int language = -1;  // -1 the project's own language switch, 0 language one, 1 language two
};

std::optional<RenderOptions> ParseRenderOptions(const CommandContext& context) {
  ParsedArgs args = context.Parse({"--page", "-o"}, {"--on"});
  if (!args.error.empty() || args.positional.size() != 1 || !args.Has("--page") ||
      args.Value("-o").empty()) {
    return std::nullopt;
  }
  RenderOptions options;
  options.project = args.positional[0];
  options.output = args.Value("-o");
  options.bitPreviewOn = args.Has("--on");
  auto page = editor::ParseDecimal(args.Value("--page"));
  if (!page || *page < 1 || *page > model::kMaxPage) {
    context.Report(
        Bilingual{"--page 取 1 到 240 的画面号", "--page takes a page number from 1 to 240"});
    return std::nullopt;
  }
  options.page = static_cast<int>(*page);
  const std::optional<PictureFormat> format = FormatForName(options.output);
  if (!format) {
    context.Report(
        Bilingual{"只能输出 PNG (.png) 或 JPEG (.jpg, .jpeg) 文件: " + options.output,
                  "render writes PNG (.png) or JPEG (.jpg, .jpeg) files: " + options.output});
    return std::nullopt;
  }
  options.format = *format;
  // Language one is the Chinese one, language two the English one.
  if (context.languageChosen) options.language = context.isChinese ? 0 : 1;
  return options;
}

// The file bytes of the drawn page in the format asked for; nothing when it cannot be made.
std::optional<std::vector<std::uint8_t>> Encode(const QImage& picture, PictureFormat format) {
  if (picture.isNull()) return std::nullopt;
  if (format == PictureFormat::Jpeg) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    platform::RgbImage image{rgb.width(), rgb.height(), {}};
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y) {
      const auto* row = rgb.constScanLine(y);
      image.rgb.insert(image.rgb.end(), row, row + rowBytes);
    }
    Result<std::vector<std::uint8_t>> jpeg = platform::EncodeJpeg(image);
    if (!jpeg) return std::nullopt;
    return std::move(*jpeg);
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "PNG")) return std::nullopt;
  return std::vector<std::uint8_t>(png.begin(), png.end());
}

// A GUI application for fonts and painting, on the offscreen platform unless the
// caller chose one.
std::unique_ptr<QGuiApplication> HeadlessApplication() {
  platform::PrepareHeadlessQt();
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
      context.Report(attached.error());
    }
  }

  const QImage picture = editor::RenderPage(*image, options->page, settings);
  const std::optional<std::vector<std::uint8_t>> bytes = Encode(picture, options->format);
  if (!bytes) {
    context.Report(Bilingual{"无法生成画面图片", "the page picture could not be made"});
    return kExitRefused;
  }
  const Status written = platform::WriteFileAtomic(options->output, *bytes);
  if (!written) {
    context.Report(written.error());
    return kExitRefused;
  }
  context.out << "rendered page " << options->page << " (" << picture.width() << " x "
              << picture.height() << ") to " << options->output << '\n';
  return kExitOk;
}

}  // namespace dravik::cli
