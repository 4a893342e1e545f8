#pragma once
// What the settings dialog tests share: a fresh project with the settings defaults, the register-kind lists of a chosen
// protocol from the built QXRes.Dat, and dialog hooks that record what a user would have
// seen instead of showing it.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/project_image.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "params/ui/settings_dialog_hooks.h"
#include "params/work_parameters.h"
#include "support/qt_app.h"

// Failures show QStrings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace dravik::test {

struct Message {
  std::string text;
  QMessageBox::Icon icon;
};

// A project whose settings page holds the defaults of a new project, with the lists of
// its Link 1 protocol loaded.
struct SettingsProject {
  SettingsProject() {
    EnsureApplication();
    model::ApplySettingsDefaults(image->Settings());
  }

  model::PageRecord& settings() { return image->Settings(); }

  void LoadLists(int protocol) {
    model::At(settings(), model::settings::kLink1Protocol) = static_cast<std::uint16_t>(protocol);
    std::vector<std::string> names;
    const params::ProInitializeResult loaded =
        params::ProInitialize(settings(), lists, names, true);
    ASSERT_TRUE(loaded.loaded) << loaded.loaded.message();
  }

  // Hooks that record boxes, questions, Save and the status bar; questions are answered
  // with `answer`, colours come from `nextColour`.
  params::SettingsDialogHooks Hooks() {
    params::SettingsDialogHooks hooks;
    hooks.desktop.message = [this](const QString&, const QString& text, QMessageBox::Icon icon) {
      messages.push_back({text.toStdString(), icon});
    };
    hooks.desktop.question = [this](const QString&, const QString& text, QMessageBox::StandardButtons) {
      questions.push_back(text.toStdString());
      return answer ? QMessageBox::Yes : QMessageBox::No;
    };
    hooks.desktop.isChinese = [this] { return chinese; };
    hooks.enableSave = [this] { ++saveEnabled; };
    hooks.desktop.showStatus = [this](int panel, const QString& text) {
      status[panel] = text.toStdString();
    };
    hooks.refreshKeyNames = [this] { ++keyNamesRefreshed; };
    hooks.desktop.chooseColour = [this](std::uint32_t current,
                                QWidget* anchor) -> std::optional<std::uint32_t> {
      colourAnchors.push_back(anchor);
      chooserStartedFrom = current;
      return nextColour;
    };
    return hooks;
  }

  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
  params::DeviceLists lists;
  bool chinese = true;
  std::vector<Message> messages;
  std::vector<std::string> questions;
  bool answer = false;  // Yes when set
  int saveEnabled = 0;
  int keyNamesRefreshed = 0;
  std::map<int, std::string> status;
  std::vector<QWidget*> colourAnchors;
  std::uint32_t chooserStartedFrom = 0;
  std::optional<std::uint32_t> nextColour;
};

// The named child of a form, failing the test when it is missing (the language files
// address controls by these names).
template <class W>
W* Child(QObject* form, const char* name) {
  W* child = form->findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

}  // namespace dravik::test
