#include "ui/dialog_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace dravik::ui {

namespace {

QRect ScreenArea(QWidget* dialog) {
  QScreen* screen = dialog->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

}  // namespace

void PlaceAboveCentre(QWidget* dialog, int offsetAboveCentre) {
  const QRect area = ScreenArea(dialog);
  if (area.isEmpty()) return;
  const QSize size = dialog->frameSize();
  dialog->move(area.left() + (area.width() - size.width()) / 2,
               area.top() + (area.height() - size.height()) / 2 - offsetAboveCentre);
}

void PlaceFromTop(QWidget* dialog, int top) {
  const QRect area = ScreenArea(dialog);
  if (area.isEmpty()) return;
  dialog->move(area.left() + (area.width() - dialog->frameSize().width()) / 2, area.top() + top);
}

}  // namespace dravik::ui
