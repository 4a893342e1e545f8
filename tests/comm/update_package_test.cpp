// The customer update package: names, copies that never replace, and what is reported.

#include "comm/update_package.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace dravik::comm {
namespace {

namespace fs = std::filesystem;

TEST(UpdatePackage, ProposedNameAndPortText) {
  EXPECT_EQ(ProposedPackageName("/home/a/line1.QX3"), "line1");
  EXPECT_EQ(ProposedPackageName("line1.qx3"), "line1");
  EXPECT_EQ(ProposedPackageName("/p/线体一.QX3"), "线体一");
  EXPECT_EQ(ProposedPackageName("/p/old.BAK"), "old");
  EXPECT_EQ(PortStatusText(2), " COM3");
}

TEST(UpdatePackage, CopiesUpdaterAndImageAndKeepsWhatIsThere) {
  test::TempDir dir;
  const fs::path updater = dir / "velnor-src";
  test::WriteText(updater, "#!/bin/sh\n");
  ::chmod(updater.c_str(), 0755);
  const std::vector<std::uint8_t> image{1, 2, 3};
  const fs::path folder = dir / "out" / "line1";

  Result<UpdatePackageResult> first = BuildUpdatePackage(folder, updater, image);
  ASSERT_TRUE(first) << first.message();
  EXPECT_TRUE(first->updaterCopied);
  EXPECT_TRUE(first->imageCopied);
  EXPECT_TRUE(first->notes.empty());
  EXPECT_EQ(test::ReadAll(folder / "Dat.bin"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_NE(fs::status(folder / "velnor").permissions() & fs::perms::owner_exec, fs::perms::none);

  const std::vector<std::uint8_t> newer{9, 9};
  Result<UpdatePackageResult> second = BuildUpdatePackage(folder, updater, newer);
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->imageCopied);
  EXPECT_EQ(test::ReadAll(folder / "Dat.bin"), (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_EQ(second->notes.size(), 1u);
  EXPECT_NE(second->notes[0].english.find("earlier file was kept"), std::string::npos);
}

TEST(UpdatePackage, MissingUpdaterIsNotedAndABlockedFolderFails) {
  test::TempDir dir;
  const std::vector<std::uint8_t> image{1};
  Result<UpdatePackageResult> result = BuildUpdatePackage(dir / "pkg", dir / "no-velnor", image);
  ASSERT_TRUE(result);
  EXPECT_FALSE(result->updaterCopied);
  EXPECT_TRUE(result->imageCopied);
  ASSERT_EQ(result->notes.size(), 1u);
  EXPECT_NE(result->notes[0].english.find("not found"), std::string::npos);

  test::WriteText(dir / "file", "x");
  EXPECT_FALSE(BuildUpdatePackage(dir / "file", dir / "no-velnor", image));
}

}  // namespace
}  // namespace dravik::comm
