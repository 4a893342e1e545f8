// dravik-cli macro import|export.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "macro/mac_file.h"
#include "macro/macro_rows.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

using namespace macro::fixture;
using test::RunCli;
using test::TempDir;

std::vector<std::uint8_t> SampleMacFile() {
  std::string gbk50;
  while (gbk50.size() < 50) gbk50 += "\xB2\xE8";  // 茶, 25 times
  std::vector<macro::MacroRow> rows(macro::kMacroRowCount);
  rows[0] = Comment(gbk50);
  rows[1] = Row(1, R(1), R(2), K(0x8000), macro::kMacSigned);
  rows[2] = Row(0);
  rows[3] = Row(29);
  return macro::MacFileBytes(rows);
}

class CliMacro : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli({"new", project()}).status, 0); }
  std::string project() const { return (dir / "p.QX3").string(); }
  std::string file(const char* name) const { return (dir / name).string(); }
  TempDir dir;
};

TEST_F(CliMacro, ImportThenExportGivesTheSameBytes) {
  const auto original = SampleMacFile();
  test::WriteAll(file("in.Mac"), original);
  test::CliRun imported = RunCli({"macro", "import", project(), file("in.Mac")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  test::CliRun exported = RunCli({"macro", "export", project(), file("out.Mac")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(test::ReadAll(file("out.Mac")), original);
}

TEST_F(CliMacro, AWrongHeaderIsRefusedAndTheStoredMacroStays) {
  const auto original = SampleMacFile();
  test::WriteAll(file("in.Mac"), original);
  ASSERT_EQ(RunCli({"macro", "import", project(), file("in.Mac")}).status, 0);

  auto damaged = original;
  damaged[4] ^= 0xFF;  // the version number in the header
  test::WriteAll(file("bad.Mac"), damaged);
  test::CliRun refused = RunCli({"--lang", "zh", "macro", "import", project(), file("bad.Mac")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("文件版本错误 ！"), std::string::npos) << refused.err;

  ASSERT_EQ(RunCli({"macro", "export", project(), file("out.Mac")}).status, 0);
  EXPECT_EQ(test::ReadAll(file("out.Mac")), original);
}

TEST_F(CliMacro, UsageAndMissingProject) {
  EXPECT_EQ(RunCli({"macro", "load", project(), file("x.Mac")}).status, 2);
  EXPECT_EQ(RunCli({"macro", "export", file("none.QX3"), file("x.Mac")}).status, 1);
}

}  // namespace
}  // namespace dravik
