#include "tools/ui/preview_menu.h"

#include <QAction>
#include <QWidget>

namespace dravik::tools {

namespace {

QAction* MenuAction(QWidget* window, const char* name, const char* caption,
                    const QKeySequence& key) {
  auto* action = new QAction(QString::fromUtf8(caption), window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(key);
  action->setShortcutContext(Qt::WindowShortcut);
  window->addAction(action);
  return action;
}

}  // namespace

PreviewMenu AddPreviewMenu(QWidget* window, QKeySequence exitKey) {
  PreviewMenu menu;
  menu.exit = MenuAction(window, "ExitPreview1", "退出预览(&E)", exitKey);
  menu.save = MenuAction(window, "SaveBmp1", "保存为 *.BMP(&S)", QKeySequence(Qt::Key_F1));
  window->setContextMenuPolicy(Qt::ActionsContextMenu);
  return menu;
}

}  // namespace dravik::tools
