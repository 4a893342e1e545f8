// dravik-cli picture add|list|export|delete.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli_runner.h"
#include "pictures/picture_fixtures.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

using test::RunCli;
using test::TempDir;

class CliPicture : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli({"new", project()}).status, 0); }
  std::string project() const { return (dir / "p.QX3").string(); }
  std::string file(const char* name) const { return (dir / name).string(); }
  TempDir dir;
};

TEST_F(CliPicture, PicturesComeBackByteIdentical) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"a24.bmp", test::MakeBmp({.bits = 24}, 13, 7)},
      {"a8.bmp", test::MakeBmp({.bits = 8}, 10, 4)},
      {"photo.jpg", test::MakeJpeg(32, 16)},
  };
  int expectedId = 0;  // an empty library starts at 0
  for (const Case& c : cases) {
    test::WriteAll(file(c.name), c.bytes);
    test::CliRun added = RunCli({"picture", "add", project(), file(c.name)});
    ASSERT_EQ(added.status, 0) << c.name << ": " << added.err;
    EXPECT_EQ(added.out, "added picture " + std::to_string(expectedId++) + "\n");
  }
  test::CliRun list = RunCli({"picture", "list", project()});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("13(W)*7(H)"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("32(W)*16(H)"), std::string::npos) << list.out;

  for (int id = 0; id <= 2; ++id) {
    const std::string target = file(("out" + std::to_string(id)).c_str());
    test::CliRun exported = RunCli({"picture", "export", project(), std::to_string(id), target});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string written = exported.out.substr(9, exported.out.size() - 10);
    EXPECT_EQ(test::ReadAll(written), cases[id].bytes) << cases[id].name;
  }

  ASSERT_EQ(RunCli({"picture", "delete", project(), "1"}).status, 0);
  list = RunCli({"picture", "list", project()});
  EXPECT_EQ(list.out.find("10(W)*4(H)"), std::string::npos) << list.out;
}

TEST_F(CliPicture, DamagedPicturesAreRefusedWithAMessage) {
  auto huge = test::MakeBmp({.bits = 24}, 8, 8);
  test::SetBmpSize(huge, 60000, 60000);
  auto jpeg = test::MakeJpeg(64, 64);
  jpeg.resize(jpeg.size() / 2);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty.bmp", {}},
      {"huge.bmp", huge},
      {"half.jpg", jpeg},
      {"text.bmp", {'h', 'e', 'l', 'l', 'o'}},
  };
  for (const Case& c : cases) {
    test::WriteAll(file(c.name), c.bytes);
    test::CliRun run = RunCli({"picture", "add", project(), file(c.name)});
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_FALSE(run.err.empty()) << c.name;
  }
  test::CliRun list = RunCli({"picture", "list", project()});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out, "") << "nothing was stored";
}

TEST_F(CliPicture, CompanionDatabasesAreUnreadableWithoutThePassword) {
  if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no sqlite3 shell";
  test::WriteAll(file("a.bmp"), test::MakeBmp({.bits = 24}, 4, 4));
  ASSERT_EQ(RunCli({"picture", "add", project(), file("a.bmp")}).status, 0);
  ASSERT_EQ(RunCli({"macro", "export", project(), file("m.Mac")}).status, 0);  // makes p.M
  for (const char* companion : {"p.PIC", "p.M"}) {
    ASSERT_TRUE(std::filesystem::exists(file(companion))) << companion;
    const std::string command =
        "sqlite3 '" + file(companion) + "' 'select count(*) from sqlite_master' >/dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0) << companion << " opened without the password";
  }
}

TEST_F(CliPicture, Usage) {
  EXPECT_EQ(RunCli({"picture"}).status, 2);
  EXPECT_EQ(RunCli({"picture", "export", project(), "x", file("o")}).status, 2);
  EXPECT_EQ(RunCli({"picture", "delete", project()}).status, 2);
}

}  // namespace
}  // namespace dravik
