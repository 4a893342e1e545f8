// dravik-shoot-macro-editor: saves a picture of the clock macro editor showing a project's
// macro, with the input panel open on its second row, under whatever platform Qt runs on
// (the screenshot script uses the offscreen one). Usage:
//   dravik-shoot-macro-editor PROJECT.QX3 zh|en OUT.png

#include <QApplication>
#include <QFont>
#include <QPixmap>
#include <QStyleFactory>
#include <cstdio>
#include <memory>
#include <string>

#include "language_lines.h"
#include "macro/mac_operand.h"
#include "macro/ui/macro_edit_frm.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "params/work_parameters.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: dravik-shoot-macro-editor PROJECT.QX3 zh|en OUT.png\n");
    return 2;
  }
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
  const std::filesystem::path project = argv[1];
  const bool chinese = std::string(argv[2]) != "en";

  // The register operands are shown with the name of the project's own register kind.
  auto image = std::make_unique<dravik::model::ProjectImage>();
  if (auto failed = dravik::model::ReadProjectFile(*image, project)) {
    std::fprintf(stderr, "%s\n", failed->message.english.c_str());
    return 1;
  }
  dravik::params::DeviceLists lists;
  std::vector<std::string> protocolNames;
  const auto initialized =
      dravik::params::ProInitialize(image->Settings(), lists, protocolNames, chinese);
  if (!initialized.loaded) {
    std::fprintf(stderr, "%s\n", initialized.loaded.message().c_str());
    return 1;
  }

  dravik::macro::TMacroEditFrm editor;
  dravik::ui::DesktopHooks hooks;
  hooks.isChinese = [chinese] { return chinese; };
  hooks.message = [](const QString&, const QString& text, QMessageBox::Icon) {
    std::fprintf(stderr, "%s\n", text.toStdString().c_str());
  };
  editor.SetHooks(hooks);
  if (!chinese) {
    if (const QString failed = dravik::devtools::ApplyLanguageToForms(false, {&editor}); !failed.isEmpty()) {
      std::fprintf(stderr, "%s\n", failed.toStdString().c_str());
      return 1;
    }
  }
  if (!editor.ShowFor(project,
                      dravik::macro::MacRegisterAreaFrom(lists.W_DeviceName, lists.W_DeviceMax))) {
    return 1;
  }
  editor.SelectRow(1);
  QApplication::processEvents();
  if (!editor.grab().save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
