#pragma once
// What the main-window tests share: a main window whose desktop hooks record what would
// have been shown.

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "params/ui/system_set_for.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace dravik::test {

// A main window whose message boxes, dialogs and second instances are answered by the
// test: boxes are recorded, questions take the queued answers (Yes when none is queued),
// and file dialogs the queued paths.
struct RecordingShell {
  explicit RecordingShell(std::vector<std::string> parameters = {}) {
    EnsureApplication();
    app::StartOptions options;
    options.parameters = std::move(parameters);
    window = std::make_unique<app::TMainFrm>(std::move(options));
    app::ShellHooks& shell = window->Hooks();
    ui::DesktopHooks& hooks = shell.desktop;
    // The program's own boxes are recorded by their text; a box that names something else
    // (a port, the device list) with its caption in front.
    hooks.message = [this](const QString& caption, const QString& text, QMessageBox::Icon icon) {
      const bool own = caption.trimmed() == QString::fromLatin1(ui::kProgramCaption).trimmed();
      messages.push_back(own ? text.toStdString() : caption.toStdString() + ": " + text.toStdString());
      icons.push_back(icon);
    };
    hooks.question = [this](const QString&, const QString& text, QMessageBox::StandardButtons) {
      questions.push_back(text.toStdString());
      if (answers.empty()) return QMessageBox::Yes;
      const QMessageBox::StandardButton answer = answers.front();
      answers.pop_front();
      return answer;
    };
    hooks.openFile = [this](const QString& title, const QString&, const QString& preset) {
      openTitles.push_back(title.toStdString());
      openPresets.push_back(preset.toStdString());
      if (openPaths.empty()) return QString();
      const std::string path = openPaths.front();
      openPaths.pop_front();
      return QString::fromStdString(path);
    };
    hooks.saveFile = [this](const QString&, const QString&, const QString& preset) {
      savePresets.push_back(preset.toStdString());
      if (savePaths.empty()) return QString();
      const std::string path = savePaths.front();
      savePaths.pop_front();
      return QString::fromStdString(path);
    };
    shell.showWelcome = [this] { ++welcomeShown; };
    shell.startInstance = [this](QString*) {
      ++instancesStarted;
      return true;
    };
    hooks.startProgram = [](const QString&, const QStringList&, const QString&, QString*) { return true; };
    hooks.openDocument = [this](const QString& file) {
      documents.push_back(file.toStdString());
      return true;
    };
    hooks.execDialog = [this](QDialog* dialog) {
      // New goes through the work parameters: they are confirmed unless a test answers.
      if (auto* form = qobject_cast<params::TSystemSetFor*>(dialog)) {
        ++workParametersShown;
        if (workParametersAnswer) return workParametersAnswer(form);
        return static_cast<int>(form->ConfirmClick() ? QDialog::Accepted : QDialog::Rejected);
      }
      if (dialogAnswer) return dialogAnswer(dialog);
      return static_cast<int>(QDialog::Rejected);
    };
  }

  ~RecordingShell() {
    // Leave without the exit questions: the tests that ask them close on their own.
    window->Hooks().desktop.question = [](const QString&, const QString&, QMessageBox::StandardButtons) {
      return QMessageBox::Yes;
    };
    window->Session().Modified = false;
    window->close();
  }

  app::TMainFrm& operator*() { return *window; }
  app::TMainFrm* operator->() { return window.get(); }

  std::unique_ptr<app::TMainFrm> window;
  std::vector<std::string> messages;
  std::vector<QMessageBox::Icon> icons;
  std::vector<std::string> questions;
  std::deque<QMessageBox::StandardButton> answers;
  std::vector<std::string> openTitles, openPresets, savePresets, documents;
  std::deque<std::string> openPaths, savePaths;
  std::function<int(QDialog*)> dialogAnswer;
  std::function<int(params::TSystemSetFor*)> workParametersAnswer;
  int workParametersShown = 0;
  int welcomeShown = 0;
  int instancesStarted = 0;
};

inline void SetClipboard(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}
inline std::string ClipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

}  // namespace dravik::test
