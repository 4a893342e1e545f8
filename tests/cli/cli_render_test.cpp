// dravik-cli render: exit statuses and the PNG it writes.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

using test::RunCli;
using test::TempDir;

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

TEST(CliRender, WritesAPngOfThePageSize) {
  TempDir dir;
  const auto project = dir / "demo.QX3";
  ASSERT_EQ(RunCli({"new", project.string()}).status, 0);
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, {"--on"}, {"--lang", "2"}, {"--lang", "1", "--on"}}) {
    const auto png = dir / "page.png";
    std::vector<std::string> args{"render", project.string(), "--page", "1", "-o", png.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    test::CliRun run = RunCli(args, 60);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::uint8_t> bytes = test::ReadAll(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes[1], 'P');
    EXPECT_EQ(bytes[2], 'N');
    EXPECT_EQ(bytes[3], 'G');
    // A new project's panel model is 1: 320 x 240.
    EXPECT_EQ(BigEndian32(bytes, 16), 320u);
    EXPECT_EQ(BigEndian32(bytes, 20), 240u);
  }
}

TEST(CliRender, RefusesAndUsageErrors) {
  TempDir dir;
  const auto project = dir / "demo.QX3";
  ASSERT_EQ(RunCli({"new", project.string()}).status, 0);
  const std::string png = (dir / "x.png").string();
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  for (const Case& c : {Case{{"render", project.string(), "--page", "2", "-o", png}, 1},
                        Case{{"render", (dir / "missing.QX3").string(), "--page", "1", "-o", png}, 1},
                        Case{{"render", project.string(), "--page", "0", "-o", png}, 2},
                        Case{{"render", project.string(), "--page", "x", "-o", png}, 2},
                        Case{{"render", project.string(), "--page", "1"}, 2},
                        Case{{"render", project.string(), "--page", "1", "-o", png, "--lang", "3"}, 2},
                        Case{{"render", project.string(), "-o", png}, 2}}) {
    EXPECT_EQ(RunCli(c.args, 60).status, c.status) << c.args[3];
  }
  EXPECT_FALSE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace dravik
