#include "ui/desktop_hooks.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QProcess>
#include <QUrl>

#include "editor/render/system_colour_table.h"

namespace dravik::ui {

QString LineText(std::string_view text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QMessageBox::Icon BoxIcon(compiler::MessageIcon icon) {
  switch (icon) {
    case compiler::MessageIcon::Information:
      return QMessageBox::Information;
    case compiler::MessageIcon::Warning:
      return QMessageBox::Warning;
    case compiler::MessageIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::Warning;
}

QString DesktopHooks::Text(const Bilingual& text) const {
  return LineText(text.In(Chinese()));
}

void DesktopHooks::Show(QWidget* parent, const QString& caption, QMessageBox::Icon icon,
                        const QString& text) const {
  if (message) {
    message(caption, text, icon);
    return;
  }
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

void DesktopHooks::Show(QWidget* parent, const compiler::CompilerMessage& shown) const {
  Show(parent, QString::fromStdString(shown.caption), BoxIcon(shown.icon), Text(shown.text));
}

void DesktopHooks::Show(QWidget* parent, const Bilingual& text, QMessageBox::Icon icon) const {
  Show(parent, QString::fromUtf8(kProgramCaption), icon, Text(text));
}

QMessageBox::StandardButton DesktopHooks::Ask(QWidget* parent, const QString& caption,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) const {
  if (question) return question(caption, text, buttons);
  QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool DesktopHooks::AskYesNo(QWidget* parent, const Bilingual& text) const {
  return Ask(parent, QString::fromUtf8(kProgramCaption), Text(text), QMessageBox::Yes | QMessageBox::No,
             QMessageBox::No) == QMessageBox::Yes;
}

QString DesktopHooks::OpenFile(QWidget* parent, const QString& title, const QString& filter,
                               const QString& preset) const {
  if (openFile) return openFile(title, filter, preset);
  return QFileDialog::getOpenFileName(parent, title, preset, filter);
}

QString DesktopHooks::SaveFile(QWidget* parent, const QString& title, const QString& filter,
                               const QString& preset) const {
  if (saveFile) return saveFile(title, filter, preset);
  return QFileDialog::getSaveFileName(parent, title, preset, filter);
}

int DesktopHooks::Exec(QDialog* dialog) const {
  return execDialog ? execDialog(dialog) : dialog->exec();
}

std::optional<std::uint32_t> DesktopHooks::ChooseColour(std::uint32_t current, QWidget* anchor) const {
  if (chooseColour) return chooseColour(current, anchor);
  const QColor picked = QColorDialog::getColor(editor::ResolveQColor(current), anchor);
  if (!picked.isValid()) return std::nullopt;
  return editor::ToStoredRgb(picked.rgb());
}

void DesktopHooks::ShowStatus(int panel, const QString& text) const {
  if (showStatus) showStatus(panel, text);
}

QString DesktopHooks::StatusText(int panel) const {
  return statusText ? statusText(panel) : QString();
}

bool DesktopHooks::StartProgram(const QString& program, const QStringList& arguments,
                                const QString& workingDir, QString* error) const {
  if (startProgram) return startProgram(program, arguments, workingDir, error);
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(workingDir);
  if (process.startDetached()) return true;
  if (error != nullptr) *error = process.errorString();
  return false;
}

bool DesktopHooks::OpenDocument(const QString& file) const {
  if (openDocument) return openDocument(file);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace dravik::ui
