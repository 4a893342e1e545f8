#pragma once
// What the device-dialog tests share: desktop hooks that record boxes instead of showing
// them, and a project with the device lists of its protocol.

#include <QMessageBox>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "elements/placement.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "ui/desktop_hooks.h"

namespace dravik::test {

struct Box {
  std::string caption;
  QMessageBox::Icon icon;
  std::string text;
};

// Records every box and answers questions from a queue (Yes when it is empty).
struct RecordingSink {
  std::vector<Box> boxes;
  std::vector<std::string> questions;
  std::deque<QMessageBox::StandardButton> answers;
  bool chinese = true;

  ui::DesktopHooks Sink() {
    ui::DesktopHooks sink;
    sink.message = [this](const QString& caption, const QString& text, QMessageBox::Icon icon) {
      boxes.push_back({caption.toStdString(), icon, text.toStdString()});
    };
    sink.question = [this](const QString&, const QString& text, QMessageBox::StandardButtons) {
      questions.push_back(text.toStdString());
      if (answers.empty()) return QMessageBox::Yes;
      const QMessageBox::StandardButton answer = answers.front();
      answers.pop_front();
      return answer;
    };
    sink.isChinese = [this] { return chinese; };
    return sink;
  }
};

// A fresh project ("Window1" as page 1) saved under a name in a temporary folder, with
// the register lists of its protocol from QXRes.Dat.
struct ProjectFixture {
  ProjectFixture() : image(std::make_unique<model::ProjectImage>()), session(*image) {
    model::InitializeNewProject(*image);
    session.ProjectFileName = (dir / "line1.QX3").string();
    session.ProjectOpen = true;
    using namespace model::settings;
    Result<params::DeviceLists> loaded = params::LoadDeviceLists(
        params::DeviceResourcesPath(), At(image->Settings(), kLink1Protocol),
        At(image->Settings(), kLink2Table));
    if (loaded) lists = std::move(*loaded);
    loadError = loaded ? std::string() : loaded.message();
  }

  // The highest register number of the first word kind.
  int WordMax() const { return params::ListNumber(params::ListEntry(lists.W_DeviceMax, 0)); }

  // Places an element of `kind` on `page` (made a page in use when it is not) and returns
  // its slot.
  int Place(int page, int kind, int x = 20, int y = 20) {
    model::PageRecord& record = image->Page(page);
    if (!image->IsPageUsed(page)) {
      record.PageStrings[model::kPageName] = "Window" + std::to_string(page);
      record.PageStrings[model::kPageNumberText] = std::to_string(page);
      record.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
    }
    elements::Placement placement;
    placement.kind = kind;
    placement.x = x;
    placement.y = y;
    placement.width = 40;
    placement.height = 20;
    return elements::PlaceElement(record, image->Settings(), placement).value_or(-1);
  }

  TempDir dir;
  std::unique_ptr<model::ProjectImage> image;
  model::ProjectSession session;
  params::DeviceLists lists;
  std::string loadError;
};

}  // namespace dravik::test
