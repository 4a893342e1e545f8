// The picture library command of the main window: it waits for a project that has been
// saved (its pictures live beside the project file), then shows the project's library in
// the interface language.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app_fixture.h"
#include "app/main_frm.h"
#include "editor/ui/structure_page.h"
#include "elements/element_kind.h"
#include "elements/ui/group_box_bmp.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "pictures/picture_commands.h"
#include "pictures/ui/meta_file_frm.h"
#include "platform/files.h"
#include "platform/image_codec.h"
#include "platform/paths.h"

namespace dravik::app {
namespace {

using test::RecordingShell;
using test::TempDir;

class PictureLibraryCommand : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    (void)platform::RemoveFileIfPresent(platform::ConfigFilePath());
    test::SetClipboard("");
  }
};

TEST_F(PictureLibraryCommand, ANeverSavedProjectIsSavedFirst) {
  test::SetClipboard(model::kNewCommand);
  RecordingShell shell;
  shell->show();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  int shown = 0;
  shell.dialogAnswer = [&shown](QDialog* dialog) {
    if (qobject_cast<pictures::TMetaFileFrm*>(dialog) != nullptr) ++shown;
    return static_cast<int>(QDialog::Rejected);
  };
  QAction* command = shell->Command("PictureLibrary1");
  ASSERT_NE(command, nullptr);
  EXPECT_TRUE(command->isEnabled());
  command->trigger();
  EXPECT_EQ(shell.messages, std::vector<std::string>{" 请先保存此新工程 ！"});
  EXPECT_EQ(shell.savePresets.size(), 1u) << "Save runs (its dialog is cancelled here)";
  EXPECT_EQ(shown, 0);
}

TEST_F(PictureLibraryCommand, ShowsTheLibraryOfTheOpenProject) {
  TempDir dir;
  const std::filesystem::path project = dir / "p.QX3";
  {
    auto image = std::make_unique<model::ProjectImage>();
    model::InitializeNewProject(*image);
    ASSERT_TRUE(model::WriteProjectFile(*image, project));
  }
  test::WriteAll(dir / "lamp.bmp", platform::EncodeBmp({2, 2, std::vector<std::uint8_t>(12, 200)}));
  ASSERT_TRUE(pictures::AddProjectPicture(project, dir / "lamp.bmp", true).ok());

  RecordingShell shell;
  shell->show();
  shell.openPaths = {project.string()};
  shell->OpenProject();
  ASSERT_TRUE(shell->Session().ProjectOpen);
  QStringList seen;
  shell.dialogAnswer = [&seen](QDialog* dialog) {
    auto* library = qobject_cast<pictures::TMetaFileFrm*>(dialog);
    if (library == nullptr) return static_cast<int>(QDialog::Rejected);
    seen << library->windowTitle() << library->List()->headerItem()->text(1);
    for (int row = 0; row < library->List()->topLevelItemCount(); ++row) {
      seen << library->List()->topLevelItem(row)->text(1);
    }
    return static_cast<int>(QDialog::Accepted);
  };
  shell->Command("PictureLibrary1")->trigger();
  EXPECT_EQ(seen, (QStringList{"图形库", "图片名称", "lamp.bmp"}));

  seen.clear();
  shell->SetLanguage(false);
  shell->Command("PictureLibrary1")->trigger();
  EXPECT_EQ(seen, (QStringList{"Picture library", "Picture name", "lamp.bmp"}));
  EXPECT_EQ(shell->Dialog<pictures::TMetaFileFrm>()->Button("CompactButton")->text(),
            "Compression Library");
  EXPECT_TRUE(shell.messages.empty()) << shell.messages.front();
}

TEST_F(PictureLibraryCommand, APictureElementTakesThePictureChosenInTheLibrary) {
  TempDir dir;
  const std::filesystem::path project = dir / "p.QX3";
  {
    auto image = std::make_unique<model::ProjectImage>();
    model::InitializeNewProject(*image);
    ASSERT_TRUE(model::WriteProjectFile(*image, project));
  }
  test::WriteAll(dir / "valve.bmp", platform::EncodeBmp({12, 9, std::vector<std::uint8_t>(12 * 9 * 3, 90)}));
  ASSERT_TRUE(pictures::AddProjectPicture(project, dir / "valve.bmp", true).ok());

  RecordingShell shell;
  shell->show();
  shell.openPaths = {project.string()};
  shell->OpenProject();
  auto* window = qobject_cast<editor::TStructureP*>(shell->ActivePageWindowWidget());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

  // Place a picture: its dialog opens on the placeholder (no picture chosen yet); a double
  // click on the preview opens the library, whose first picture is taken.
  QStringList shown;
  shell.dialogAnswer = [&shown](QDialog* dialog) {
    shown << dialog->objectName();
    if (auto* library = qobject_cast<pictures::TMetaFileFrm*>(dialog)) {
      library->SelectRow(0);
      return static_cast<int>(QDialog::Accepted);
    }
    auto* element = qobject_cast<elements::TGroupBoxBmp*>(dialog);
    if (element == nullptr) return static_cast<int>(QDialog::Rejected);
    QTest::mouseDClick(element->Preview(), Qt::LeftButton);
    element->OkButton()->click();
    return element->result();
  };
  shell->Command("Picture1")->trigger();
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
  model::PageRecord& page = shell->Image().Page(window->PageNumber());
  ASSERT_EQ(page.ElemKind[0], elements::kKindPicture);
  EXPECT_EQ(shown, (QStringList{"GroupBoxBmp", "MetaFileFrm"}));
  EXPECT_EQ(page.ElemWordE[0], shell->Dialog<pictures::TMetaFileFrm>()->SelectedId());
  EXPECT_EQ(page.ElemWidth[0], 12);
  EXPECT_EQ(page.ElemHeight[0], 9);
}

}  // namespace
}  // namespace dravik::app
