#pragma once
// The menu the statistics window and the used-data preview share: "退出预览(&E)" on the
// window's own key and "保存为 *.BMP(&S)" on F1, shown by a right-click; the keys work
// while the window is the active one.

#include <QKeySequence>

class QAction;
class QWidget;

namespace dravik::tools {

struct PreviewMenu {
  QAction* exit = nullptr;  // ExitPreview1
  QAction* save = nullptr;  // SaveBmp1
};

PreviewMenu AddPreviewMenu(QWidget* window, QKeySequence exitKey);

}  // namespace dravik::tools
