#pragma once
// Everything the shell asks of the desktop through a modal box or another process: the
// message boxes, the file dialogs, the welcome form and starting a second instance. The
// main window calls them through this table so tests can answer in place of a user.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

namespace dravik::app {

struct ShellHooks {
  // A message box with caption "Dravik " and the given icon.
  std::function<void(const QString& text, QMessageBox::Icon icon)> message;
  // A message box with a caption of its own (the device dialogs name the port or the
  // device list in it). Unset: `message`, under the program's caption.
  std::function<void(const QString& caption, const QString& text, QMessageBox::Icon icon)>
      captionedMessage;
  // A question box (question icon, caption "Dravik "); the button pressed.
  std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::StandardButtons)>
      question;
  // The open and save dialogs: the chosen path, empty when cancelled.
  std::function<QString(const QString& title, const QString& filter, const QString& preset)> openFile;
  std::function<QString(const QString& title, const QString& filter, const QString& preset)> saveFile;
  // Shows the welcome form (modal).
  std::function<void()> showWelcome;
  // Starts another instance of the program; false with the reason when it cannot.
  std::function<bool(QString* error)> startInstance;
  // Starts a desktop program (calculator, paint) or opens a help page.
  std::function<bool(const QString& program, const QStringList& arguments)> startProgram;
  std::function<bool(const QString& file)> openDocument;
  // Shows a modal dialog; its result code. Unset: the dialog's own exec().
  std::function<int(QDialog* dialog)> execDialog;
};

// The real ones, parented to `parent`.
ShellHooks DesktopHooks(QWidget* parent);

// A message text as a box shows it: the system's texts separate lines with "\r".
QString BoxText(const std::string& text);

}  // namespace dravik::app
