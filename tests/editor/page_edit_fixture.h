#pragma once
// What the page-window editing tests share: a new project whose page 1 is 240 x 320 on
// white, a window on it whose boxes and property dialogs are recorded, and mouse helpers.

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "editor/ui/structure_page.h"
#include "editor_test_support.h"
#include "elements/element_kind.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"

namespace dravik::test {

using editor::EditorState;
using editor::TStructureP;
using elements::kKindRectangle;

class PageEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    model::InitializeNewProject(*image);
    model::At(image->Settings(), model::settings::kPanelModel) = 0;  // 240 x 320
    page().PageStrings[model::kPageBackColorText] = "16777215";
  }

  model::PageRecord& page() { return image->Page(1); }
  std::uint16_t Left(int slot) { return page().ElemLeft[static_cast<std::size_t>(slot)]; }
  std::uint16_t Width(int slot) { return page().ElemWidth[static_cast<std::size_t>(slot)]; }

  // A rectangle in `slot` at window position (left, top).
  void PutRectangle(int slot, int left, int top, int width = 50, int height = 50) {
    const auto s = static_cast<std::size_t>(slot);
    PutElement(page(), slot, kKindRectangle, width, height);
    page().ElemLeft[s] = static_cast<std::uint16_t>(left);
    page().ElemTop[s] = static_cast<std::uint16_t>(top);
    page().ElemLongB[s] = 0x0000FF;
  }

  // The window, shown, with its boxes and property dialogs recorded.
  std::unique_ptr<TStructureP> Open() {
    auto window = std::make_unique<TStructureP>(*image, state, 1);
    hooks.message = [this](const QString& caption, const QString& text, QMessageBox::Icon icon) {
      messages.push_back(caption.toStdString() + "|" + text.toStdString());
      icons.push_back(icon);
    };
    hooks.isChinese = [this] { return state.IsChinese; };
    window->SetHooks(&hooks);
    window->openPropertyDialog = [this](int slot) {
      dialogs.push_back(slot);
      return dialogAnswer;
    };
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
  }

  void Drag(QWidget& window, QPoint from, QPoint to) {
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&window, (from + to) / 2);
    QTest::mouseMove(&window, to);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, to);
  }

  QAction* MenuItem(TStructureP& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
  }

  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
  EditorState state;
  ui::DesktopHooks hooks;
  std::vector<std::string> messages;
  std::vector<QMessageBox::Icon> icons;
  std::vector<int> dialogs;
  bool dialogAnswer = true;  // what the recorded dialogs answer: false is a Cancel
};

}  // namespace dravik::test
