#include "platform/runtime_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace dravik::platform {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Get(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void Put(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

bool IsPrivateFolder(const fs::path& folder) {
  struct stat info {};
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

// Runs each test with TMPDIR in its own folder and puts the environment back afterwards.
class RuntimeDir : public testing::Test {
 protected:
  void SetUp() override { Put("TMPDIR", dir.path().string()); }
  void TearDown() override {
    for (const auto& [name, value] : saved) Put(name, value);
  }
  fs::path Ours() const { return dir / ("dravik-runtime-" + std::to_string(::geteuid())); }
  fs::path Folder(const char* name, mode_t mode) const {
    fs::create_directory(dir / name);
    ::chmod((dir / name).c_str(), mode);
    return dir / name;
  }

  const std::pair<const char*, std::optional<std::string>> saved[3] = {
      {"XDG_RUNTIME_DIR", Get("XDG_RUNTIME_DIR")},
      {"TMPDIR", Get("TMPDIR")},
      {"DRAVIK_WORKDIR", Get("DRAVIK_WORKDIR")}};
  test::TempDir dir;
};

TEST_F(RuntimeDir, APrivateFolderOfTheSessionIsKept) {
  const fs::path session = Folder("session", 0700);
  Put("XDG_RUNTIME_DIR", session.string());
  Result<fs::path> runtime = PrepareRuntimeDir();
  ASSERT_TRUE(runtime.ok()) << runtime.message();
  EXPECT_EQ(*runtime, session);
  EXPECT_EQ(Get("XDG_RUNTIME_DIR"), session.string());
  EXPECT_FALSE(fs::exists(Ours()));
}

TEST_F(RuntimeDir, OtherwiseAPrivateFolderOfOursTakesItsPlace) {
  struct Case {
    const char* name;
    std::optional<std::string> session;
  };
  const Case cases[] = {
      {"not set", std::nullopt},
      {"empty", ""},
      {"open to others", Folder("open", 0755).string()},
      {"missing", (dir / "missing").string()},
      {"a file", (dir / "file").string()},
  };
  test::WriteText(dir / "file", "x");
  for (const Case& c : cases) {
    Put("XDG_RUNTIME_DIR", c.session);
    Result<fs::path> runtime = PrepareRuntimeDir();
    ASSERT_TRUE(runtime.ok()) << c.name << ": " << runtime.message();
    EXPECT_EQ(*runtime, Ours()) << c.name;
    EXPECT_EQ(Get("XDG_RUNTIME_DIR"), Ours().string()) << c.name;
    EXPECT_TRUE(IsPrivateFolder(Ours())) << c.name;
  }
  EXPECT_FALSE(fs::exists(dir / "missing")) << "nothing is made where the session pointed";
}

TEST_F(RuntimeDir, ANameTakenBySomethingNotOursAloneIsLeftAlone) {
  for (mode_t mode : {0755, 0777}) {
    fs::remove_all(Ours());
    fs::create_directory(Ours());
    ::chmod(Ours().c_str(), mode);
    ::unsetenv("XDG_RUNTIME_DIR");
    Result<fs::path> runtime = PrepareRuntimeDir();
    ASSERT_TRUE(runtime.ok()) << runtime.message();
    EXPECT_NE(*runtime, Ours());
    EXPECT_EQ(runtime->parent_path(), dir.path());
    EXPECT_TRUE(IsPrivateFolder(*runtime));
    struct stat info {};
    ::stat(Ours().c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, mode) << "the squatter's folder is not ours to change";
  }
}

TEST_F(RuntimeDir, TheWorkFolderStaysWhereItWas) {
  const fs::path session = Folder("session", 0755);
  Put("XDG_RUNTIME_DIR", session.string());
  ::unsetenv("DRAVIK_WORKDIR");
  ASSERT_TRUE(PrepareRuntimeDir().ok());
  EXPECT_EQ(Get("DRAVIK_WORKDIR"), (session / "dravik").string());
  EXPECT_EQ(Get("XDG_RUNTIME_DIR"), Ours().string());

  // A work folder that cannot be made stays the one that fails, instead of moving.
  test::WriteText(dir / "file", "x");
  Put("XDG_RUNTIME_DIR", (dir / "file").string());
  ::unsetenv("DRAVIK_WORKDIR");
  EXPECT_FALSE(PrepareRuntimeDir().ok());
  EXPECT_EQ(Get("XDG_RUNTIME_DIR"), (dir / "file").string());
  EXPECT_EQ(Get("DRAVIK_WORKDIR"), std::nullopt);
}

}  // namespace
}  // namespace dravik::platform
