// dravik-cli check and compile.

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

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

class CliCompile : public testing::Test {
 protected:
  // A new project with a register element on page 1 whose register is `reg`, its Link 1
  // on protocol `protocol` and its Link 2 on device table `table`.
  void MakeProject(int reg, int initialPage = 1, int protocol = 0, int table = 1) {
    model::ProjectImage image;
    model::InitializeNewProject(image);
    auto slot = elements::PlaceElement(image.Page(1), image.Settings(),
                                       {elements::kKindRegister, 20, 20, 60, 24, 0xFFFF00});
    ASSERT_TRUE(slot.has_value());
    image.Page(1).ElemWordA[*slot] = static_cast<std::uint16_t>(reg);
    model::At(image.Settings(), model::settings::kInitialPage) = initialPage;
    model::At(image.Settings(), model::settings::kLink1Protocol) =
        static_cast<std::uint16_t>(protocol);
    model::At(image.Settings(), model::settings::kLink2Table) = static_cast<std::uint16_t>(table);
    ASSERT_TRUE(model::WriteProjectFile(image, project()).ok());
  }
  std::string project() const { return (dir / "p.QX3").string(); }
  std::string file(const char* name) const { return (dir / name).string(); }
  TempDir dir;
};

TEST_F(CliCompile, AGoodProjectChecksAndCompilesWithoutTouchingItsFiles) {
  MakeProject(100);
  const auto before = test::ReadAll(project());
  test::CliRun check = RunCli({"check", project()});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.out, "no errors\n");
  EXPECT_EQ(RunCli({"--lang", "zh", "check", project()}).out, "没有错误\n");

  test::CliRun compiled = RunCli({"compile", project(), "-o", file("QX.bin")});
  ASSERT_EQ(compiled.status, 0) << compiled.err;
  EXPECT_GT(fs::file_size(file("QX.bin")), 800u);
  EXPECT_EQ(test::ReadAll(project()), before) << "the project is never written back";
  EXPECT_FALSE(fs::exists(file("p.M"))) << "compiling creates no companion files";

  // Compiling again gives the same image.
  const auto first = test::ReadAll(file("QX.bin"));
  ASSERT_EQ(RunCli({"compile", project(), "-o", file("QX.bin")}).status, 0);
  EXPECT_EQ(test::ReadAll(file("QX.bin")), first);
}

TEST_F(CliCompile, CheckErrorsStopTheCompileUnlessSkipped) {
  MakeProject(65001);  // above the maximum (65000) of the panel's register area
  test::CliRun check = RunCli({"check", project()});
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("Register setting error!"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("slot 0"), std::string::npos) << check.out;
  test::CliRun chinese = RunCli({"--lang", "zh", "check", project()});
  EXPECT_NE(chinese.out.find("寄存器号设置错误 ！"), std::string::npos) << chinese.out;

  test::CliRun refused = RunCli({"compile", project(), "-o", file("QX.bin")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_FALSE(fs::exists(file("QX.bin")));

  test::CliRun forced = RunCli({"compile", "--no-check", project(), "-o", file("QX.bin")});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_TRUE(fs::exists(file("QX.bin")));
}

TEST_F(CliCompile, TheInitialPageMustBeInUse) {
  MakeProject(100, 5);
  test::CliRun refused = RunCli({"compile", project(), "-o", file("QX.bin")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_FALSE(refused.err.empty());
  EXPECT_FALSE(fs::exists(file("QX.bin")));
  EXPECT_EQ(RunCli({"compile", "--no-check", project(), "-o", file("QX.bin")}).status, 0);
}

// Projects from elsewhere may name any protocol or device table. The image does not depend
// on them: such a project opens, shows and compiles unchecked; the check says in one row
// why it cannot judge, and refuses.
TEST_F(CliCompile, AProtocolOrTableTheResourcesLackIsOneCheckRowAndCompilesUnchecked) {
  struct Case {
    int protocol;
    int table;
    const char* english;
    const char* chinese;
    const char* info;
  };
  const Case cases[] = {
      {12, 1, "unknown PLC protocol 12 (Link 1)", "未知的PLC协议 12 (连接1)", "unknown (12)"},
      {0, 40, "unknown device table 40 (Link 2)", "未知的设备表 40 (连接2)",
       "Modbus RTU Slave (Panel) (0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    MakeProject(65001, 1, c.protocol, c.table);  // the register would fail a known check
    test::CliRun check = RunCli({"check", project()});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, std::string("System Setup\t") + (c.protocol == 12 ? "Link 1" : "Link 2") +
                             "\t-\t" + c.english + "\n");
    test::CliRun chinese = RunCli({"--lang", "zh", "check", project()});
    EXPECT_NE(chinese.out.find(c.chinese), std::string::npos) << chinese.out;

    fs::remove(file("QX.bin"));
    EXPECT_EQ(RunCli({"compile", project(), "-o", file("QX.bin")}).status, 1);
    EXPECT_FALSE(fs::exists(file("QX.bin")));
    test::CliRun forced = RunCli({"compile", "--no-check", project(), "-o", file("QX.bin")});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(fs::exists(file("QX.bin")));

    test::CliRun info = RunCli({"info", project()});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find(c.info), std::string::npos) << info.out;
#ifdef DRAVIK_HAS_RENDER
    test::CliRun render = RunCli({"render", project(), "--page", "1", "-o", file("p.png")}, 60);
    EXPECT_EQ(render.status, 0) << render.err;
#endif
  }
}

TEST_F(CliCompile, UsageAndBadFiles) {
  EXPECT_EQ(RunCli({"compile", project()}).status, 2);
  EXPECT_EQ(RunCli({"check"}).status, 2);
  test::WriteText(file("bad.QX3"), "garbage");
  EXPECT_EQ(RunCli({"compile", file("bad.QX3"), "-o", file("QX.bin")}).status, 1);
  EXPECT_EQ(RunCli({"check", file("bad.QX3")}).status, 1);
}

}  // namespace
}  // namespace dravik
