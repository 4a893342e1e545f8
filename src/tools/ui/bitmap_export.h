#pragma once
// Saving a tool window's picture as a bitmap: the program's bitmap save dialog (through the
// desktop hooks, so tests answer it) with the window's own default name, then the file
// written crash-safely. A cancelled dialog writes nothing.

#include <QImage>
#include <QString>

#include "ui/desktop_hooks.h"

class QWidget;

namespace dravik::tools {

// A chosen name without an extension gets ".bmp", the dialog's default extension.
QString WithBitmapSuffix(const QString& path);

// Asks for a file name starting from `defaultName` and writes `picture` there; a failure
// is shown in a box. True when a file was written.
bool SaveBitmapAs(const ui::DesktopHooks& hooks, QWidget* parent, const QString& defaultName,
                  const QImage& picture);

}  // namespace dravik::tools
