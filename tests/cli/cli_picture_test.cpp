// dravik-cli picture add|list|export|delete.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "cli_runner.h"
#include "pictures/picture_fixtures.h"
#include "platform/image_codec.h"
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
    const std::string extension = id == 2 ? ".jpg" : ".bmp";
    const std::string target = file(("out" + std::to_string(id) + extension).c_str());
    test::CliRun exported = RunCli({"picture", "export", project(), std::to_string(id), target});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "exported " + target + "\n");
    EXPECT_EQ(test::ReadAll(target), cases[id].bytes) << cases[id].name;
  }

  ASSERT_EQ(RunCli({"picture", "delete", project(), "1"}).status, 0);
  list = RunCli({"picture", "list", project()});
  EXPECT_EQ(list.out.find("10(W)*4(H)"), std::string::npos) << list.out;
}

TEST_F(CliPicture, ExportWritesExactlyTheNameAskedForInItsFormat) {
  test::WriteAll(file("a.bmp"), test::MakeBmp({.bits = 24}, 13, 7));
  test::WriteAll(file("b.jpg"), test::MakeJpeg(32, 16));
  ASSERT_EQ(RunCli({"picture", "add", project(), file("a.bmp")}).status, 0);  // ID 0
  ASSERT_EQ(RunCli({"picture", "add", project(), file("b.jpg")}).status, 0);  // ID 1
  struct Case {
    const char* id;
    const char* target;
    bool jpeg;
    int width, height;
  };
  for (const Case& c : {Case{"0", "x0.jpg", true, 13, 7}, Case{"0", "x1.JPEG", true, 13, 7},
                        Case{"1", "x2.bmp", false, 32, 16}, Case{"1", "x3.BMP", false, 32, 16}}) {
    test::CliRun run = RunCli({"picture", "export", project(), c.id, file(c.target)});
    ASSERT_EQ(run.status, 0) << c.target << ": " << run.err;
    EXPECT_EQ(run.out, "exported " + file(c.target) + "\n");
    const auto bytes = test::ReadAll(file(c.target));
    const platform::DecodeResult decoded =
        c.jpeg ? platform::DecodeJpeg(bytes) : platform::DecodeBmp(bytes);
    ASSERT_TRUE(decoded.ok) << c.target << ": " << decoded.error.detail;
    EXPECT_EQ(decoded.image.width, c.width) << c.target;
    EXPECT_EQ(decoded.image.height, c.height) << c.target;
  }
  for (const char* refused : {"x.png", "x"}) {
    test::CliRun run = RunCli({"picture", "export", project(), "0", file(refused)});
    EXPECT_EQ(run.status, 2) << refused;
    EXPECT_FALSE(std::filesystem::exists(file(refused))) << refused;
  }
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.bmp", "b.jpg", "p.PIC", "p.QX3", "x0.jpg",
                                             "x1.JPEG", "x2.bmp", "x3.BMP"}))
      << "nothing but the files asked for";
}

TEST_F(CliPicture, ReadingAProjectWithoutLibraryCreatesNothing) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"picture", "list", project()},
        {"picture", "export", project(), "0", file("x.bmp")},
        {"picture", "delete", project(), "1"}}) {
    test::CliRun run = RunCli(args);
    EXPECT_EQ(run.status, args[1] == "list" ? 0 : 1) << args[1] << ": " << run.err;
    EXPECT_EQ(run.out, "") << args[1];
    EXPECT_FALSE(std::filesystem::exists(file("p.PIC"))) << args[1];
    EXPECT_FALSE(std::filesystem::exists(file("x.bmp"))) << args[1];
  }
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
