// dravik-cli export, import and diff.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "elements/element_kind.h"
#include "model/project_session.h"
#include "platform/image_codec.h"
#include "support/temp_dir.h"
#include "textform/project_document.h"

namespace dravik {
namespace {

using test::RunCli;
using test::TempDir;

// A project with a page of two elements, a macro row and a picture.
void WriteSampleProject(const std::filesystem::path& file) {
  auto project = std::make_unique<textform::ProjectContent>();
  model::InitializeNewProject(project->image);
  model::PageRecord& page = project->image.Page(1);
  page.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
  page.PageStrings[model::kPageName] = "One";
  page.PageStrings[model::kPageNumberText] = "1";
  page.ElemKind[0] = elements::kKindRectangle;
  page.ElemLeft[0] = 20;
  page.ElemTop[0] = 30;
  page.ElemWidth[0] = 100;
  page.ElemHeight[0] = 50;
  page.ElemLongB[0] = 0x00FF00;
  page.ElemKind[1] = elements::kKindPicture;
  page.ElemLeft[1] = 200;
  page.ElemTop[1] = 10;
  page.ElemWidth[1] = 4;
  page.ElemHeight[1] = 3;
  project->macro[0].OPt = 1;
  project->macro[0].A1t = 1;
  project->macro[0].A1v = 5;
  platform::RgbImage picture;
  picture.width = 4;
  picture.height = 3;
  picture.rgb.assign(36, 90);
  pictures::PictureRecord record;
  record.fileName = record.note = "p.bmp";
  record.ext = ".bmp";
  record.pic = platform::EncodeBmp(picture);
  project->pictures.push_back(record);
  const Status written = textform::WriteProjectContent(*project, file, false);
  ASSERT_TRUE(written.ok()) << written.message();
}

void Replace(std::string& text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

class CliTextForm : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "a");
    WriteSampleProject(dir / "a" / "A.QX3");
  }
  std::string path(const char* name) const { return (dir / name).string(); }
  TempDir dir;
};

TEST_F(CliTextForm, ExportImportExportGivesTheSameTextAndTheSameImage) {
  const test::CliRun toStdout = RunCli({"export", path("a/A.QX3")});
  ASSERT_EQ(toStdout.status, 0) << toStdout.err;
  ASSERT_EQ(RunCli({"export", path("a/A.QX3"), "-o", path("a.json")}).status, 0);
  EXPECT_EQ(test::ReadText(path("a.json")), toStdout.out);
  EXPECT_NE(toStdout.out.find("\"colour\": \"#00FF00\""), std::string::npos);

  std::filesystem::create_directory(path("b"));
  const test::CliRun imported = RunCli({"import", path("a.json"), "-o", path("b/B.QX3")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_TRUE(std::filesystem::exists(path("b/B.M")));
  EXPECT_TRUE(std::filesystem::exists(path("b/B.PIC")));
  EXPECT_EQ(RunCli({"export", path("b/B.QX3")}).out, toStdout.out);

  ASSERT_EQ(RunCli({"compile", "--no-check", path("a/A.QX3"), "-o", path("a.bin")}).status, 0);
  ASSERT_EQ(RunCli({"compile", "--no-check", path("b/B.QX3"), "-o", path("b.bin")}).status, 0);
  EXPECT_EQ(test::ReadAll(path("a.bin")), test::ReadAll(path("b.bin")));
  EXPECT_EQ(RunCli({"diff", path("a/A.QX3"), path("b/B.QX3")}).status, 0);
}

TEST_F(CliTextForm, ImportReplacesAProjectOnlyWithForce) {
  ASSERT_EQ(RunCli({"export", path("a/A.QX3"), "-o", path("a.json")}).status, 0);
  const auto before = test::ReadAll(path("a/A.QX3"));
  const test::CliRun refused = RunCli({"import", path("a.json"), "-o", path("a/A.QX3")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
  EXPECT_EQ(test::ReadAll(path("a/A.QX3")), before);
  const test::CliRun forced = RunCli({"import", "--force", path("a.json"), "-o", path("a/A.QX3")});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(RunCli({"import", path("a.json")}).status, 2);  // no -o
}

TEST_F(CliTextForm, ABadDocumentIsRefusedByItsJsonPathAndNothingIsWritten) {
  std::string text = RunCli({"export", path("a/A.QX3")}).out;
  Replace(text, "\"kind\": 20", "\"kind\": 99");
  test::WriteText(path("bad.json"), text);
  const test::CliRun refused = RunCli({"import", path("bad.json"), "-o", path("B.QX3")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("$.pages[0].elements[0].kind: unknown element kind 99"), std::string::npos)
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(path("B.QX3")));
  EXPECT_FALSE(std::filesystem::exists(path("B.M")));
  EXPECT_FALSE(std::filesystem::exists(path("B.PIC")));
}

TEST_F(CliTextForm, DiffSaysWhatChangedAndExitsByWhetherAnythingDid) {
  std::string text = RunCli({"export", path("a/A.QX3")}).out;
  Replace(text, "\"name\": \"One\"", "\"name\": \"Two\"");
  Replace(text, "\"left\": 20", "\"left\": 25");
  test::WriteText(path("b.json"), text);
  ASSERT_EQ(RunCli({"import", path("b.json"), "-o", path("B.QX3")}).status, 0);

  const test::CliRun diff = RunCli({"diff", path("a/A.QX3"), path("B.QX3")});
  EXPECT_EQ(diff.status, 1) << diff.err;
  EXPECT_EQ(diff.out,
            "page 1 name: \"One\" → \"Two\"\n"
            "page 1 slot 0 Rectangle fields left: 20 → 25\n");
  const test::CliRun json = RunCli({"diff", "--json", path("a/A.QX3"), path("B.QX3")});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"equal\": false"), std::string::npos) << json.out;
  EXPECT_EQ(RunCli({"diff", path("a/A.QX3"), path("missing.QX3")}).status, 2);
}

}  // namespace
}  // namespace dravik
