// dravik-cli render: exit statuses and the picture file it writes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>

#include "cli_runner.h"
#include "platform/image_codec.h"
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
  for (const Case& c :
       {Case{{"render", project.string(), "--page", "2", "-o", png}, 1},
        Case{{"render", (dir / "missing.QX3").string(), "--page", "1", "-o", png}, 1},
        Case{{"render", project.string(), "--page", "0", "-o", png}, 2},
        Case{{"render", project.string(), "--page", "x", "-o", png}, 2},
        Case{{"render", project.string(), "--page", "1"}, 2},
        Case{{"render", project.string(), "--page", "1", "-o", png, "--lang", "3"}, 2},
        Case{{"render", project.string(), "-o", png}, 2},
        Case{{"render", project.string(), "--page", "1", "-o", png, "--foo"}, 2}}) {
    EXPECT_EQ(RunCli(c.args, 60).status, c.status) << c.args[3];
  }
  EXPECT_FALSE(std::filesystem::exists(png));
}

TEST(CliRender, WritesTheFormatTheNameAsksFor) {
  TempDir dir;
  const auto project = dir / "demo.QX3";
  ASSERT_EQ(RunCli({"new", project.string()}).status, 0);
  struct Case {
    const char* name;
    bool jpeg;
  };
  for (const Case& c : {Case{"page.png", false}, Case{"PAGE.PNG", false}, Case{"page.jpg", true},
                        Case{"PAGE.JPG", true}, Case{"page.jpeg", true}}) {
    test::CliRun run =
        RunCli({"render", project.string(), "--page", "1", "-o", (dir / c.name).string()}, 60);
    ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
    const std::vector<std::uint8_t> bytes = test::ReadAll(dir / c.name);
    ASSERT_GT(bytes.size(), 24u) << c.name;
    if (c.jpeg) {
      const platform::DecodeResult decoded = platform::DecodeJpeg(bytes);
      ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error.detail;
      EXPECT_EQ(decoded.image.width, 320) << c.name;
      EXPECT_EQ(decoded.image.height, 240) << c.name;
    } else {
      EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG") << c.name;
    }
  }
  for (const char* refused : {"page.gif", "page.bmp", "page"}) {
    test::CliRun run =
        RunCli({"render", project.string(), "--page", "1", "-o", (dir / refused).string()}, 60);
    EXPECT_EQ(run.status, 2) << refused;
    EXPECT_NE(run.err.find(".png"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / refused)) << refused;
  }
}

TEST(CliRender, BothSpellingsOfTheLanguageDrawTheSamePage) {
  // The example's texts exist in both languages: Chinese is language one.
  TempDir dir;
  const auto project = dir / "example.QX3";
  std::filesystem::copy_file(
      std::filesystem::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples" / "茶叶整形机.QX3",
      project);
  auto render = [&](const char* language) {
    const auto png = dir / (std::string(language) + ".png");
    test::CliRun run = RunCli(
        {"render", project.string(), "--page", "1", "-o", png.string(), "--lang", language}, 60);
    EXPECT_EQ(run.status, 0) << language << ": " << run.err;
    return test::ReadAll(png);
  };
  const auto chinese = render("zh"), english = render("en");
  EXPECT_EQ(chinese, render("1"));
  EXPECT_EQ(english, render("2"));
  EXPECT_NE(chinese, english);
}

TEST(CliRender, SaysNothingAboutAMissingRuntimeFolder) {
  TempDir dir;
  const auto project = dir / "demo.QX3";
  ASSERT_EQ(RunCli({"new", project.string()}).status, 0);
  const test::CliEnvironment environment{{{"TMPDIR", dir.path().string()}}, {"XDG_RUNTIME_DIR"}};
  test::CliRun run = RunCli(
      {"render", project.string(), "--page", "1", "-o", (dir / "p.png").string()}, environment, 60);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // A private folder of ours took the runtime folder's place.
  struct stat info {};
  const auto runtime = dir / ("dravik-runtime-" + std::to_string(::geteuid()));
  ASSERT_EQ(::lstat(runtime.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0700u);
}

}  // namespace
}  // namespace dravik
