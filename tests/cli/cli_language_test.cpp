// The interface language of dravik-cli: --lang anywhere on the line, else the locale.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

using test::CliEnvironment;
using test::RunCli;
using test::TempDir;

struct LanguageCase {
  const char* name;
  std::vector<std::string> args;  // "MISSING" stands for a project file that does not exist
  CliEnvironment environment;
  const char* expected;  // in the message on stderr
};

void PrintTo(const LanguageCase& c, std::ostream* out) {
  *out << c.name;
}

const CliEnvironment kChineseLocale{{{"LANG", "zh_CN.UTF-8"}}, {"LC_ALL", "LC_MESSAGES"}};

const LanguageCase kLanguageCases[] = {
    {"zh before the command", {"--lang", "zh", "info", "MISSING"}, {}, "无法读取 "},
    {"1 is zh", {"--lang", "1", "info", "MISSING"}, {}, "无法读取 "},
    {"after the command", {"info", "MISSING", "--lang", "zh"}, {}, "无法读取 "},
    {"from LANG", {"info", "MISSING"}, kChineseLocale, "无法读取 "},
    {"en", {"--lang", "en", "info", "MISSING"}, kChineseLocale, "cannot read "},
    {"2 is en", {"info", "MISSING", "--lang", "2"}, kChineseLocale, "cannot read "},
    {"the picture library",
     {"--lang", "zh", "picture", "export", "MISSING", "0", "x.bmp"},
     {},
     "工程文件不存在"},
    {"usage errors", {"--lang", "zh", "info", "MISSING", "--foo"}, {}, "未知选项 --foo"},
};

class CliLanguage : public testing::TestWithParam<LanguageCase> {};

TEST_P(CliLanguage, MessagesFollowTheInterfaceLanguage) {
  TempDir dir;
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "MISSING") arg = (dir / "none.QX3").string();
  }
  test::CliRun run = RunCli(args, GetParam().environment);
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find(GetParam().expected), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Cases, CliLanguage, testing::ValuesIn(kLanguageCases),
                         [](const testing::TestParamInfo<LanguageCase>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(CliLanguageOption, OnlyTheKnownSpellings) {
  for (const char* wrong : {"fr", "3", "", "ZH"}) {
    test::CliRun run = RunCli({"--lang", wrong, "info", "x.QX3"});
    EXPECT_EQ(run.status, 2) << wrong;
    EXPECT_NE(run.err.find("--lang"), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunCli({"info", "x.QX3", "--lang"}).status, 2);
}

}  // namespace
}  // namespace dravik
