#pragma once
// What the main-window tests share: one QApplication for the test program, a main window
// whose desktop hooks record what would have been shown, and small helpers to let its
// timers run.

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "params/ui/system_set_for.h"
#include "support/temp_dir.h"

namespace dravik::test {

// The test program's QApplication, made on first use: on QT_QPA_PLATFORM when it is set,
// else offscreen, so the tests never need a display.
inline QApplication& EnsureApplication() {
  static int argc = 1;
  static char name[] = "dravik_app_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* app = new QApplication(argc, argv);
    return app;
  }();
  return *application;
}

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

// A main window whose message boxes, dialogs and second instances are answered by the
// test: boxes are recorded, questions take the queued answers (Yes when none is queued),
// and file dialogs the queued paths.
struct RecordingShell {
  explicit RecordingShell(std::vector<std::string> parameters = {}) {
    EnsureApplication();
    app::StartOptions options;
    options.parameters = std::move(parameters);
    window = std::make_unique<app::TMainFrm>(std::move(options));
    app::ShellHooks& hooks = window->Hooks();
    hooks.message = [this](const QString& text, QMessageBox::Icon icon) {
      messages.push_back(text.toStdString());
      icons.push_back(icon);
    };
    hooks.captionedMessage = [this](const QString& caption, const QString& text, QMessageBox::Icon icon) {
      messages.push_back(caption.toStdString() + ": " + text.toStdString());
      icons.push_back(icon);
    };
    hooks.question = [this](const QString& text, QMessageBox::StandardButtons) {
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
    hooks.showWelcome = [this] { ++welcomeShown; };
    hooks.startInstance = [this](QString*) {
      ++instancesStarted;
      return true;
    };
    hooks.startProgram = [](const QString&, const QStringList&) { return true; };
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
    window->Hooks().question = [](const QString&, QMessageBox::StandardButtons) { return QMessageBox::Yes; };
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
