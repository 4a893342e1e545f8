// dravik-cli dump: what a compiled image holds, as text and as JSON; files that are not
// images are refused with the reason.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "elements/element_kind.h"
#include "elements/placement.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

using test::RunCli;

class CliDump : public testing::Test {
 protected:
  // A project with a register on register 1234 and a lamp on page 1, and two alarms,
  // compiled to QX.bin.
  void CompileProject() {
    model::ProjectImage image;
    model::InitializeNewProject(image);
    auto reg = elements::PlaceElement(image.Page(1), image.Settings(),
                                      {elements::kKindRegister, 20, 20, 60, 24, 0xFFFF00});
    auto lamp = elements::PlaceElement(image.Page(1), image.Settings(),
                                       {elements::kKindLamp, 120, 20, 40, 40, 0xFFFF00});
    ASSERT_TRUE(reg.has_value() && lamp.has_value());
    image.Page(1).ElemWordA[*reg] = 1234;
    model::At(image.Settings(), model::settings::kAlarmCount) = 2;
    image.Settings().ElemTextA[model::settings::kAlarmTextFirst].Assign(
        "\xB9\xFD\xC8\xC8");  // 过热
    ASSERT_TRUE(model::WriteProjectFile(image, project()).ok());
    const test::CliRun compiled = RunCli({"compile", project(), "-o", bin()});
    ASSERT_EQ(compiled.status, 0) << compiled.err;
  }
  std::string project() const { return (dir / "p.QX3").string(); }
  std::string bin() const { return (dir / "QX.bin").string(); }
  test::TempDir dir;
};

TEST_F(CliDump, ShowsPagesElementsAndAlarmsAsTextAndJson) {
  CompileProject();
  const test::CliRun text = RunCli({"dump", bin()});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("1 pages, 2 alarms"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  page 1 at 801:"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("register (kind 2) at "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find(" register 1234 "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("id 2 offText \"OFF\" onText \"ON\"\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("1: \"过热\"\n  2: \".\"\n"), std::string::npos) << text.out;

  const test::CliRun json = RunCli({"dump", "--json", bin()});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.front(), '{');
  EXPECT_NE(json.out.find("\"name\":\"register\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"register\":1234"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"alarms\":[\"过热\",\".\"]"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"pictures\":[]"), std::string::npos) << json.out;
}

TEST_F(CliDump, UsageAndFilesThatAreNotImages) {
  EXPECT_EQ(RunCli({"dump"}).status, 2);
  EXPECT_EQ(RunCli({"dump", "--bogus", "x.bin"}).status, 2);
  EXPECT_EQ(RunCli({"dump", (dir / "missing.bin").string()}).status, 1);

  CompileProject();
  std::vector<std::uint8_t> bytes = test::ReadAll(bin());
  bytes[800] = 2;  // a page block that is not there
  test::WriteAll(dir / "damaged.bin", bytes);
  const test::CliRun damaged = RunCli({"dump", (dir / "damaged.bin").string()});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_TRUE(damaged.out.empty());
  EXPECT_NE(damaged.err.find("page block 2 at offset"), std::string::npos) << damaged.err;
  const test::CliRun chinese = RunCli({"--lang", "zh", "dump", (dir / "damaged.bin").string()});
  EXPECT_NE(chinese.err.find("第 2 个页面块"), std::string::npos) << chinese.err;
}

}  // namespace
}  // namespace dravik
