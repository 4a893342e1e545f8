#include "tools/ui/bitmap_export.h"

#include <QFileInfo>

#include "editor/ui/structure_page.h"

namespace dravik::tools {

QString WithBitmapSuffix(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + QStringLiteral(".bmp");
}

bool SaveBitmapAs(const ui::DesktopHooks& hooks, QWidget* parent, const QString& defaultName,
                  const QImage& picture) {
  const editor::PictureExportTexts texts = editor::BitmapExportTexts(hooks.Chinese(), defaultName);
  const QString path =
      WithBitmapSuffix(hooks.SaveFile(parent, texts.title, texts.filter, texts.defaultName));
  if (path.isEmpty()) return false;
  const Status saved = editor::SaveBitmapFile(picture, path);
  if (!saved) {
    hooks.Show(parent, QString::fromUtf8(ui::kProgramCaption), QMessageBox::Warning,
               QString::fromStdString(saved.message()));
    return false;
  }
  return true;
}

}  // namespace dravik::tools
