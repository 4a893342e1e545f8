// The work folder on a machine shared with others: files someone planted there never
// reach a project.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "macro/macro_rows.h"
#include "macro/mac_file.h"
#include "pictures/picture_fixtures.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using test::CliEnvironment;
using test::RunCli;
using test::TempDir;

CliEnvironment WorkIn(const fs::path& work) { return {{{"DRAVIK_WORKDIR", work.string()}}, {}}; }

TEST(CliWorkFolder, PlantedTemplatesAreNeverUsed) {
  TempDir dir;
  const fs::path work = dir / "work";
  fs::create_directory(work);
  fs::permissions(work, fs::perms::owner_all);

  // What a stranger would plant: a macro database with rows and a library with a picture,
  // under the names of the old templates.
  const std::string planted = (dir / "planted.QX3").string();
  ASSERT_EQ(RunCli({"new", planted}).status, 0);
  std::vector<macro::MacroRow> rows(macro::kMacroRowCount);
  rows[0] = macro::fixture::Row(1, macro::fixture::R(7), macro::fixture::R(8));
  test::WriteAll(dir / "evil.Mac", macro::MacFileBytes(rows));
  ASSERT_EQ(RunCli({"macro", "import", planted, (dir / "evil.Mac").string()}).status, 0);
  test::WriteAll(dir / "evil.bmp", test::MakeBmp({.bits = 24}, 31, 17));
  ASSERT_EQ(RunCli({"picture", "add", planted, (dir / "evil.bmp").string()}).status, 0);
  fs::copy_file(dir / "planted.M", work / "MacroDat.M");
  fs::copy_file(dir / "planted.PIC", work / "TPicData.pdb");

  const std::string project = (dir / "p.QX3").string();
  ASSERT_EQ(RunCli({"new", project}, WorkIn(work)).status, 0);
  const std::string exported = (dir / "out.Mac").string();
  test::CliRun macroExport = RunCli({"macro", "export", project, exported}, WorkIn(work));
  ASSERT_EQ(macroExport.status, 0) << macroExport.err;
  EXPECT_EQ(test::ReadAll(exported), macro::MacFileBytes(std::vector<macro::MacroRow>(macro::kMacroRowCount)))
      << "the new project's macro is empty";

  test::WriteAll(dir / "mine.bmp", test::MakeBmp({.bits = 24}, 5, 3));
  ASSERT_EQ(RunCli({"picture", "add", project, (dir / "mine.bmp").string()}, WorkIn(work)).status, 0);
  test::CliRun list = RunCli({"picture", "list", project}, WorkIn(work));
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("5(W)*3(H)"), std::string::npos) << list.out;
  EXPECT_EQ(list.out.find("31(W)*17(H)"), std::string::npos) << "the planted picture: " << list.out;
}

}  // namespace
}  // namespace dravik
