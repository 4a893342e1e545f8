// The check that a file about to be downloaded is a device image as the compiler writes
// it: compiled images pass, damaged ones and other files are refused with the reason.

#include "comm/device_image_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "compiler/compile_to_image.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "support/temp_dir.h"

namespace dravik::comm {
namespace {

using Bytes = std::vector<std::uint8_t>;

void UsePage(model::ProjectImage& project, int n) {
  model::PageRecord& p = project.Page(n);
  p.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
  p.PageStrings[model::kPageNumberText].Assign(std::to_string(n));
  p.PageStrings[model::kPageBackColorText].Assign("16777215");
  p.ElemKind[0] = 1;  // a text
  p.ElemLeft[0] = 10;
  p.ElemTop[0] = 10;
  p.ElemWidth[0] = 76;
  p.ElemHeight[0] = 26;
  p.ElemTextA[0].Assign("Hello");
}

// Images as the compiler writes them: two pages with a text each and two alarms (one
// without text), or nothing at all.
class DeviceImageCheckTest : public testing::Test {
 protected:
  DeviceImageCheckTest() : project_(std::make_unique<model::ProjectImage>()) {
    model::ApplySettingsDefaults(project_->Settings());
  }
  Bytes Compile() {
    compiler::CompileResult result =
        compiler::CompileToImage(*project_, compiler::CompanionFiles::Beside(dir_ / "P.QX3"));
    EXPECT_TRUE(result.ok);
    return result.image;
  }
  Bytes CompiledWithPagesAndAlarms() {
    using namespace model::settings;
    UsePage(*project_, 1);
    UsePage(*project_, 3);
    At(project_->Settings(), kAlarmCount) = 2;
    project_->Settings().ElemTextA[kAlarmTextFirst].Assign("Overheat");
    return Compile();
  }

  test::TempDir dir_;
  std::unique_ptr<model::ProjectImage> project_;
};

TEST_F(DeviceImageCheckTest, CompiledImagesPass) {
  const Bytes empty = Compile();
  ASSERT_EQ(empty.size(), 802u);
  EXPECT_TRUE(CheckDeviceImage(empty));
  const Bytes full = CompiledWithPagesAndAlarms();
  EXPECT_TRUE(CheckDeviceImage(full)) << CheckDeviceImage(full).message();
}

TEST_F(DeviceImageCheckTest, PicturesAndMacroLinesFitTheirFields) {
  Bytes image = Compile();
  // The picture section: two pictures, 2 x 1 and 1 x 3 pixels.
  image.pop_back();
  image.insert(image.end(), {2, 2, 0, 1, 0, 0x11, 0x22, 0x33, 0x44, 1, 0, 3, 0, 1, 2, 3, 4, 5, 6});
  // Two macro lines behind their marker.
  const std::uint8_t marker[] = {0x16, 0xE9, 2, 2, 0xE9, 0x16};
  std::copy(std::begin(marker), std::end(marker), image.begin() + 150);
  EXPECT_TRUE(CheckDeviceImage(image)) << CheckDeviceImage(image).message();
}

TEST_F(DeviceImageCheckTest, DamagedImagesAndOtherFilesAreRefusedWithTheReason) {
  const Bytes good = CompiledWithPagesAndAlarms();
  ASSERT_TRUE(CheckDeviceImage(good));
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    const char* reason;  // part of the English text
  };
  const Case cases[] = {
      {"cut by a byte", [](Bytes& b) { b.pop_back(); }, "offsets"},
      {"cut inside the alarm texts", [](Bytes& b) { b.erase(b.end() - 3, b.end()); }, "offsets"},
      {"a byte too many", [](Bytes& b) { b.push_back(0); }, "pictures do not end"},
      {"no marker", [](Bytes& b) { b[126] = 0; }, "marker 0xE916"},
      {"picture section past the end",
       [](Bytes& b) {
         const auto end = static_cast<std::uint32_t>(b.size());
         for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(end >> (8 * i));
       },
       "offsets"},
      {"alarm table behind the pictures",
       [](Bytes& b) {
         b[122] = 0xFF;
         b[123] = 0xFF;
       },
       "offsets"},
      {"page count without pages", [](Bytes& b) { b[800] = 0; }, "page count"},
      {"page block without its marker", [](Bytes& b) { b[801] = 0; }, "page count"},
      {"one alarm more than texts", [](Bytes& b) { b[82] = 3; }, "alarm count"},
      {"macro marker cut", [](Bytes& b) { b[150] = 0x16; }, "macro marker"},
      {"a bitmap",
       [](Bytes& b) {
         b.assign(3000, 0x7F);
         b[0] = 'B';
         b[1] = 'M';
         b[2] = 3000 & 0xFF;
         b[3] = 3000 >> 8;
       },
       "marker 0xE916"},
      {"a firmware file",
       [](Bytes& b) {
         b.assign(4096, 0xA5);
         const std::uint8_t vectors[] = {0x00, 0x50, 0x00, 0x20, 0x35, 0x01, 0x00, 0x08};
         std::copy(std::begin(vectors), std::end(vectors), b.begin());
       },
       "marker 0xE916"},
      {"too short", [](Bytes& b) { b.resize(100); }, "at least 802"},
      {"larger than the panel holds", [](Bytes& b) { b.resize(153601); }, "153,600"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = good;
    c.damage(image);
    const Status status = CheckDeviceImage(image);
    ASSERT_FALSE(status);
    EXPECT_NE(status.error().In(false).find(c.reason), std::string::npos)
        << status.error().In(false);
    EXPECT_NE(status.error().In(true).find("QX.bin"), std::string::npos);
  }
}

}  // namespace
}  // namespace dravik::comm
