// The customer updater's core: the image it finds beside itself, the check that keeps a
// wrong file from the panel, and the run without a window against the emulated panel.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "compiler/compile_to_image.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "support/temp_dir.h"
#include "velnor/headless_update.h"
#include "velnor/package_image.h"

namespace dravik::velnor {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// An image as the compiler writes it for an empty project.
Bytes CompiledImage(const fs::path& folder) {
  auto project = std::make_unique<model::ProjectImage>();
  model::ApplySettingsDefaults(project->Settings());
  compiler::CompileResult result =
      compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(folder / "P.QX3"));
  EXPECT_TRUE(result.ok);
  return result.image;
}

TEST(PackageImage, IsDatBinBesideTheProgram) {
  EXPECT_EQ(ImageBeside("/opt/line1"), fs::path("/opt/line1/Dat.bin"));
}

TEST(PackageImage, ACompiledImageLoadsAsItIs) {
  test::TempDir dir;
  const Bytes image = CompiledImage(dir.path());
  test::WriteAll(dir / "Dat.bin", image);
  Result<Bytes> loaded = LoadPackageImage(dir / "Dat.bin");
  ASSERT_TRUE(loaded) << loaded.error().message;
  EXPECT_EQ(*loaded, image);
}

TEST(PackageImage, WhatIsNoImageIsRefusedNamingTheFileAndTheReason) {
  test::TempDir dir;
  Bytes damaged = CompiledImage(dir.path());
  damaged[126] ^= 0xFF;  // the image marker
  struct Case {
    const char* name;
    Bytes content;  // empty: no file at all
    const char* english;
    const char* chinese;
  };
  const std::vector<Case> cases{
      {"missing.bin", {}, "was not found", "找不到画面数据文件"},
      {"huge.bin", Bytes(153601, 0), "153,600", "153600"},
      {"damaged.bin", damaged, "marker 0xE916", "0xE916"},
      {"short.bin", Bytes(100, 1), "not a device image", "这不是编译器生成的画面数据文件"},
  };
  for (const Case& c : cases) {
    const fs::path file = dir / c.name;
    if (!c.content.empty()) test::WriteAll(file, c.content);
    Result<Bytes> loaded = LoadPackageImage(file);
    ASSERT_FALSE(loaded) << c.name;
    EXPECT_NE(loaded.error().message.find(file.string()), std::string::npos)
        << loaded.error().message;
    EXPECT_NE(loaded.error().message.find(c.english), std::string::npos) << loaded.error().message;
    EXPECT_NE(loaded.error().In(true).find(c.chinese), std::string::npos)
        << loaded.error().In(true);
  }
}

TEST(HeadlessUpdate, TheImageReachesThePanelAndSaysSo) {
  test::TempDir dir;
  const Bytes image = CompiledImage(dir.path());
  test::PanelEmulator panel;
  test::EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  std::ostringstream out, err;
  EXPECT_EQ(UpdateHeadless(line.SlavePath(), image, false, out, err), kExitUpdated) << err.str();
  EXPECT_NE(out.str().find("Update complete: the panel took all 802 bytes."), std::string::npos)
      << out.str();
  EXPECT_NE(err.str().find("Synchronised!"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("100%"), std::string::npos) << err.str();
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), panel.Image().begin()));
}

TEST(HeadlessUpdate, APanelThatNeverConfirmsIsAFailure) {
  test::TempDir dir;
  test::PanelOptions options;
  options.acknowledge = false;
  test::PanelEmulator panel(options);
  test::EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  std::ostringstream out, err;
  EXPECT_EQ(UpdateHeadless(line.SlavePath(), CompiledImage(dir.path()), true, out, err),
            kExitFailed);
  EXPECT_TRUE(out.str().empty()) << out.str();
  EXPECT_NE(err.str().find("面板"), std::string::npos) << err.str();
}

TEST(HeadlessUpdate, APortThatDoesNotOpenIsNamed) {
  test::TempDir dir;
  std::ostringstream out, err;
  const std::string missing = (dir / "ttyUSB9").string();
  EXPECT_EQ(UpdateHeadless(missing, CompiledImage(dir.path()), false, out, err), kExitFailed);
  EXPECT_NE(err.str().find(missing), std::string::npos) << err.str();
}

}  // namespace
}  // namespace dravik::velnor
