#pragma once
// Everything a window asks of the desktop through a modal box, a file or colour dialog,
// the status bar or another process. The main window fills one table; tests answer in
// place of a user through it. An unset entry falls back to the plain Qt way (a real box,
// exec(), the file dialogs, QColorDialog, QProcess, the desktop's file manager).

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "compiler/compiler_message.h"
#include "platform/bilingual.h"

class QDialog;
class QWidget;

namespace dravik::ui {

inline constexpr char kProgramCaption[] = "Dravik ";  // the caption of the program's own boxes

struct DesktopHooks {
  // A message box; most carry the program's caption, some name a port or the device list.
  std::function<void(const QString& caption, const QString& text, QMessageBox::Icon icon)> message;
  // A question box; the button pressed.
  std::function<QMessageBox::StandardButton(const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons)>
      question;
  // The open and save dialogs: the chosen path, empty when cancelled.
  std::function<QString(const QString& title, const QString& filter, const QString& preset)> openFile;
  std::function<QString(const QString& title, const QString& filter, const QString& preset)> saveFile;
  // Runs a dialog modally; its result code.
  std::function<int(QDialog* dialog)> execDialog;
  // Picks a colour (0x00BBGGRR) starting from `current`, placed below `anchor`; nothing
  // when cancelled.
  std::function<std::optional<std::uint32_t>(std::uint32_t current, QWidget* anchor)> chooseColour;
  // The interface language at the moment a text is shown; unset: Chinese.
  std::function<bool()> isChinese;
  // The main window's status panels; unset: nothing is shown, nothing is read.
  std::function<void(int panel, const QString& text)> showStatus;
  std::function<QString(int panel)> statusText;
  // Starts a program without waiting for it; false with the reason when it cannot.
  std::function<bool(const QString& program, const QStringList& arguments, const QString& workingDir,
                     QString* error)>
      startProgram;
  // Opens a file or a folder the desktop's way.
  std::function<bool(const QString& file)> openDocument;

  bool Chinese() const { return !isChinese || isChinese(); }
  // `text` in the interface language, as a box shows it.
  QString Text(const Bilingual& text) const;

  void Show(QWidget* parent, const QString& caption, QMessageBox::Icon icon, const QString& text) const;
  void Show(QWidget* parent, const compiler::CompilerMessage& message) const;
  // Under the program's caption, in the interface language.
  void Show(QWidget* parent, const Bilingual& text, QMessageBox::Icon icon) const;
  QMessageBox::StandardButton Ask(QWidget* parent, const QString& caption, const QString& text,
                                  QMessageBox::StandardButtons buttons,
                                  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) const;
  // Under the program's caption, in the interface language; true for Yes (No is the
  // default button).
  bool AskYesNo(QWidget* parent, const Bilingual& text) const;

  QString OpenFile(QWidget* parent, const QString& title, const QString& filter,
                   const QString& preset = {}) const;
  QString SaveFile(QWidget* parent, const QString& title, const QString& filter,
                   const QString& preset = {}) const;
  int Exec(QDialog* dialog) const;
  std::optional<std::uint32_t> ChooseColour(std::uint32_t current, QWidget* anchor) const;
  void ShowStatus(int panel, const QString& text) const;
  QString StatusText(int panel) const;
  bool StartProgram(const QString& program, const QStringList& arguments = {},
                    const QString& workingDir = {}, QString* error = nullptr) const;
  bool OpenDocument(const QString& file) const;
};

// A text as a widget shows it: the system's texts separate lines with "\r".
QString LineText(std::string_view text);
QMessageBox::Icon BoxIcon(compiler::MessageIcon icon);

}  // namespace dravik::ui
