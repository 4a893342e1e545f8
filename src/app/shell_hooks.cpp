#include "app/shell_hooks.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>
#include <QUrl>
#include <QWidget>

#include "app/shell_texts.h"
#include "platform/paths.h"

namespace dravik::app {

QString BoxText(const std::string& text) {
  QString box = QString::fromStdString(text);
  box.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return box;
}

ShellHooks DesktopHooks(QWidget* parent) {
  ShellHooks hooks;
  hooks.message = [parent](const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, QString::fromLatin1(kProgramCaption), text, QMessageBox::Ok, parent);
    box.exec();
  };
  hooks.captionedMessage = [parent](const QString& caption, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
  };
  hooks.question = [parent](const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kProgramCaption), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
  };
  hooks.openFile = [parent](const QString& title, const QString& filter, const QString& preset) {
    return QFileDialog::getOpenFileName(parent, title, preset, filter);
  };
  hooks.saveFile = [parent](const QString& title, const QString& filter, const QString& preset) {
    return QFileDialog::getSaveFileName(parent, title, preset, filter);
  };
  hooks.startInstance = [](QString* error) {
    const QString program = QString::fromStdString(platform::ExecutablePath().string());
    if (QProcess::startDetached(program, {})) return true;
    if (error != nullptr) *error = program;
    return false;
  };
  hooks.startProgram = [](const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
  };
  hooks.openDocument = [](const QString& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
  };
  return hooks;
}

}  // namespace dravik::app
