// The shipped example projects open, use what they promise and pass the compile check.

#include <gtest/gtest.h>

#include <set>

#include "compiler/compile_project.h"
#include "elements/element_kind.h"
#include "macro/macro_database.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace dravik::app {
namespace {

namespace fs = std::filesystem;

// A copy of the shipped examples, so nothing the test opens touches the program folder.
fs::path CopyOfExamples(const test::TempDir& dir) {
  const fs::path examples = platform::ProgramDir() / "examples";
  fs::copy(examples, dir / "examples", fs::copy_options::recursive);
  return dir / "examples";
}

TEST(Examples, TheTeaShapingMachineUsesEveryElementKindAlarmsAndAClockMacro) {
  test::TempDir dir;
  const fs::path project = CopyOfExamples(dir) / "茶叶整形机.QX3";
  auto image = std::make_unique<model::ProjectImage>();
  ASSERT_FALSE(model::ReadProjectFile(*image, project).has_value());

  std::set<int> kinds;
  int pages = 0;
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (!image->IsPageUsed(n)) continue;
    ++pages;
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      if (image->Page(n).ElemKind[slot] != 0) kinds.insert(image->Page(n).ElemKind[slot]);
    }
  }
  EXPECT_GE(pages, 4);
  const std::set<int> every{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 20, 25, 26, 27, 34};
  EXPECT_EQ(kinds, every);
  EXPECT_GT(At(image->Settings(), model::settings::kAlarmCount), 0);
  EXPECT_EQ(At(image->Settings(), model::settings::kClockMacroEnabled), 1);

  macro::MacroRows rows{};
  ASSERT_TRUE(macro::ADOLoadFile(macro::MacroDatabasePath(project), rows, true));
  EXPECT_GT(macro::LastUsedRow(rows), 3);

  pictures::PictureLibrary library(true);
  ASSERT_TRUE(library.ADOConnected(project));
  EXPECT_FALSE(library.Entries().empty());
}

TEST(Examples, EveryExamplePassesTheCompileCheckAndCompiles) {
  test::TempDir dir;
  const fs::path folder = CopyOfExamples(dir);
  int projects = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".QX3") continue;
    ++projects;
    auto image = std::make_unique<model::ProjectImage>();
    ASSERT_FALSE(model::ReadProjectFile(*image, entry.path()).has_value()) << entry.path();
    model::RepairSettingsOnOpen(image->Settings());
    auto lists = params::LoadDeviceLists(params::DeviceResourcesPath(),
                                         At(image->Settings(), model::settings::kLink1Protocol),
                                         At(image->Settings(), model::settings::kLink2Table));
    ASSERT_TRUE(lists) << lists.message();
    const compiler::ProjectCompileResult result =
        compiler::CompileProject(*image, entry.path(), *lists, {true, false});
    std::string rows;
    for (const auto& row : result.check.rows) {
      rows += row.caption + " slot " + std::to_string(row.slot) + " " + row.kindName + ": " + row.message + "\n";
    }
    EXPECT_TRUE(result.ok()) << entry.path() << "\n" << rows << result.failure.english;
    EXPECT_FALSE(result.image.empty());
  }
  EXPECT_GE(projects, 2);
}

}  // namespace
}  // namespace dravik::app
