// dravik-shoot-dialogs: saves a picture of every element property dialog, as it opens on an
// element just placed on a new page of the bundled example project, with the captions of
// the chosen language file and the register kinds of the example's protocols. One picture
// per dialog, named after the dialog's object name; a dialog that serves several kinds
// under different captions (the drawing elements, the date and the time) gets one picture
// per caption, named after the kind as well. Usage:
//   dravik-shoot-dialogs zh|en OUTDIR [PROJECT.QX3]
// The screenshot script runs it on a virtual X server.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPixmap>
#include <QPushButton>
#include <QStyleFactory>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/page_commands.h"
#include "app/qt_translations.h"
#include "language_lines.h"
#include "editor/page_geometry.h"
#include "elements/bit_properties.h"
#include "elements/element_kinds.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "elements/ui/property_dialogs.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "params/work_parameters.h"
#include "platform/paths.h"
#include "platform/runtime_dir.h"

namespace {

using dravik::elements::KindDescriptor;
using dravik::elements::TElementDialog;

// Where the element goes, in window coordinates: a little in from the page's corner.
constexpr int kPlaceAt = 5 + 16;

// "Bit Ope.Switch" -> "bit_ope_switch": a kind's language-two name as part of a file name.
std::string FileWord(std::string_view name) {
  std::string word;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!word.empty() && word.back() != '_') {
      word += '_';
    }
  }
  while (!word.empty() && word.back() == '_') word.pop_back();
  return word;
}

// The first page number the project does not use, for a page of our own.
int FreePageNumber(const dravik::model::ProjectImage& image) {
  for (int number = 1; number <= dravik::model::kMaxPage; ++number) {
    if (!image.IsPageUsed(number)) return number;
  }
  return 0;
}

struct Shot {
  const KindDescriptor* kind;
  TElementDialog* dialog;
  QString caption;
  QPixmap picture;
};

class DialogShooter {
 public:
  DialogShooter(const dravik::model::ProjectImage& image, int freePage,
                const dravik::params::DeviceLists& lists, dravik::pictures::PictureLibrary* pictures,
                bool chinese)
      : image_(image), freePage_(freePage), lists_(lists), pictures_(pictures), chinese_(chinese) {
    hooks_.isChinese = [chinese] { return chinese; };
    hooks_.message = [](const QString&, const QString& text, QMessageBox::Icon) {
      std::fprintf(stderr, "message: %s\n", text.toStdString().c_str());
    };
  }

  // Places an element of `kind` on a copy of the new page and opens its dialog, which is
  // grabbed once laid out on the screen and then cancelled.
  Shot Take(const KindDescriptor& kind, TElementDialog& dialog) {
    const dravik::model::PageRecord& settings = image_.Settings();
    auto page = std::make_unique<dravik::model::PageRecord>(image_.Page(freePage_));
    const int font = static_cast<int>(dravik::model::At(settings, dravik::model::settings::kDefaultTextFont));
    const dravik::elements::GhostSize size = dravik::elements::GhostSizeTable(kind.code, font);
    const std::optional<int> slot = dravik::elements::PlaceElement(
        *page, settings,
        {kind.code, kPlaceAt, kPlaceAt, size.width, size.height, dravik::editor::PageBackground(*page)});
    Shot shot{&kind, &dialog, {}, {}};
    if (!slot) return shot;
    const dravik::editor::PageSize canvas = dravik::editor::PageCanvasSize(*page, settings);
    // A picture element shows the project's first picture rather than the placeholder.
    if (kind.code == dravik::elements::kKindPicture && pictures_ != nullptr &&
        !pictures_->Entries().empty()) {
      const int id = pictures_->Entries().front().id;
      const dravik::pictures::GainedImage gained = pictures_->GainImage(id);
      page->ElemWordE[*slot] = static_cast<std::uint16_t>(id);
      page->ElemWidth[*slot] = static_cast<std::uint16_t>(gained.picture.width);
      page->ElemHeight[*slot] = static_cast<std::uint16_t>(gained.picture.height);
    }
    dravik::editor::RepairGeometry(*page, *slot, canvas);

    hooks_.execDialog = [&shot, &dialog](QDialog* shown) {
      shown->show();
      // Twice: the first round lays the dialog out, the second paints what moved.
      for (int round = 0; round < 2; ++round) QApplication::processEvents();
      shot.caption = shown->windowTitle();
      shot.picture = shown->grab();
      dialog.CancelButton()->click();
      return shown->result();
    };
    dravik::elements::PropertyContext context;
    context.hooks = &hooks_;
    context.lists = &lists_;
    context.pageWidth = canvas.width;
    context.pageHeight = canvas.height;
    context.panelKeys = dravik::elements::PanelKeyItems(
        dravik::app::PanelKeyNames(dravik::model::At(settings, dravik::model::settings::kPanelModel)),
        dravik::app::PageKeyRowCount(settings), chinese_);
    context.jumpTargets = dravik::app::JumpTargetTexts(image_, chinese_);
    context.deviceHelp = [](int) {};
    context.pictures = pictures_;
    dialog.Edit(*page, *slot, context);
    return shot;
  }

 private:
  const dravik::model::ProjectImage& image_;
  int freePage_;
  const dravik::params::DeviceLists& lists_;
  dravik::pictures::PictureLibrary* pictures_;
  bool chinese_;
  dravik::ui::DesktopHooks hooks_;
};

}  // namespace

int main(int argc, char** argv) {
  (void)dravik::platform::PrepareRuntimeDir();
  QApplication application(argc, argv);
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: dravik-shoot-dialogs zh|en OUTDIR [PROJECT.QX3]\n");
    return 2;
  }
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
  const std::string language = argv[1];
  if (language != "zh" && language != "en") {
    std::fprintf(stderr, "the language is zh or en, not %s\n", argv[1]);
    return 2;
  }
  const bool chinese = language == "zh";
  dravik::app::UseQtTranslations(chinese);
  const QString outDir = QString::fromLocal8Bit(argv[2]);
  const std::filesystem::path project =
      argc == 4 ? std::filesystem::path(argv[3])
                : dravik::platform::ProgramDir() / "examples" / "茶叶整形机.QX3";

  auto image = std::make_unique<dravik::model::ProjectImage>();
  if (auto failed = dravik::model::ReadProjectFile(*image, project)) {
    std::fprintf(stderr, "%s: %s\n", project.string().c_str(), failed->message.english.c_str());
    return 1;
  }
  // The register kinds of the project's Link 1 and Link 2 protocols, as the main window
  // loads them when it opens a project.
  dravik::params::DeviceLists lists;
  std::vector<std::string> protocolNames;
  const auto initialized = dravik::params::ProInitialize(image->Settings(), lists, protocolNames, chinese);
  if (!initialized.loaded) {
    std::fprintf(stderr, "%s\n", initialized.loaded.message().c_str());
    return 1;
  }
  const int freePage = FreePageNumber(*image);
  if (freePage == 0 || !dravik::app::CreatePage(*image, freePage, "Dravik")) {
    std::fprintf(stderr, "the project has no page number left for a new page\n");
    return 1;
  }

  dravik::elements::PropertyDialogs dialogs(nullptr);
  QList<QObject*> forms;
  for (TElementDialog* dialog : dialogs.Dialogs()) forms << dialog;
  if (const QString failed = dravik::devtools::ApplyLanguageToForms(chinese, forms); !failed.isEmpty()) {
    std::fprintf(stderr, "%s\n", failed.toStdString().c_str());
    return 1;
  }

  // Every kind a command places (the others have no name and no command), by dialog.
  // The project's pictures, when it has any (a project never saved has none).
  dravik::pictures::PictureLibrary pictures(chinese);
  const bool withPictures = pictures.ADOConnected(project).ok();
  DialogShooter shooter(*image, freePage, lists, withPictures ? &pictures : nullptr, chinese);
  std::map<TElementDialog*, std::vector<Shot>> shotsByDialog;
  std::vector<TElementDialog*> order;
  for (const KindDescriptor& kind : dravik::elements::AllKinds()) {
    TElementDialog* dialog = dialogs.DialogFor(kind.code);
    if (dialog == nullptr || !kind.HasName()) continue;
    Shot shot = shooter.Take(kind, *dialog);
    if (shot.picture.isNull()) {
      std::fprintf(stderr, "the dialog of kind %d did not open\n", kind.code);
      return 1;
    }
    if (!shotsByDialog.contains(dialog)) order.push_back(dialog);
    shotsByDialog[dialog].push_back(std::move(shot));
  }

  if (!QDir().mkpath(outDir)) {
    std::fprintf(stderr, "cannot make %s\n", outDir.toStdString().c_str());
    return 1;
  }
  const QString suffix = QLatin1Char('_') + QString::fromStdString(language) + QStringLiteral(".png");
  for (TElementDialog* dialog : order) {
    const std::vector<Shot>& shots = shotsByDialog[dialog];
    std::set<QString> captions;
    for (const Shot& shot : shots) captions.insert(shot.caption);
    const bool byKind = captions.size() > 1;
    std::set<QString> saved;
    for (const Shot& shot : shots) {
      if (!saved.insert(shot.caption).second) continue;
      QString name = dialog->objectName();
      if (byKind) name += QLatin1Char('_') + QString::fromStdString(FileWord(shot.kind->name.english));
      const QString path = QDir(outDir).filePath(name + suffix);
      if (!shot.picture.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.toStdString().c_str());
        return 1;
      }
      std::printf("wrote %s\n", path.toStdString().c_str());
    }
  }
  return 0;
}
