// The real tolvesk program without a window, as scripts run it: the screenshot at the
// panel's size and scale, the register listing, keys that change the page, and the exit
// status and message of every way a run can go wrong.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>

#include "cli/cli_runner.h"
#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "model/settings_page.h"
#include "sim/sim_test_project.h"
#include "support/temp_dir.h"

namespace dravik::sim {
namespace {

using namespace model::settings;
using ::testing::HasSubstr;
using ::testing::Not;

dravik::test::CliRun Tolvesk(const std::vector<std::string>& args) {
  return dravik::test::RunProgram(DRAVIK_TOLVESK, args);
}

class TolveskProgramTest : public testing::Test {
 protected:
  TolveskProgramTest() {
    project_.UsePage(1);
    project_.UsePage(2);
    At(project_.Settings(), kPanelModel) = 3;  // VR40(480*320)
    At(project_.Settings(), kInitialPage) = 1;
    At(project_.Settings(), kLink1Protocol) = 1;
    At(project_.Settings(), kReportCurrentPage) = 1;
    At(project_.Settings(), kPageReportRegister) = 300;
    const int box = project_.Place(2, elements::kKindRectangle, 20, 20, 200, 100);
    elements::ShapeElement(project_.Project().Page(2), box).colour() = 0x0000FF;
    elements::ShapeElement(project_.Project().Page(2), box).linkWordBits() = 1;  // filled
    model::PageKeyJump(project_.Project().Page(1), 1).Assign("2");  // F2 leads to page 2
    image_ = project_.WriteImage();
  }

  std::filesystem::path Shot(const char* name) const { return out_ / name; }

  test::TestProject project_;
  std::filesystem::path image_;
  dravik::test::TempDir out_;
};

TEST_F(TolveskProgramTest, AScreenshotHasThePanelsSizeTimesTheScale) {
  for (int scale : {1, 2}) {
    const auto shot = Shot(scale == 1 ? "one.png" : "two.png");
    const dravik::test::CliRun run =
        Tolvesk({"--image", image_.string(), "--headless", "--screenshot", shot.string(), "--scale",
                 std::to_string(scale)});
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage picture(QString::fromStdString(shot.string()), "PNG");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(480, 320) * scale);
  }
}

TEST_F(TolveskProgramTest, SetRegistersAreListedAndAKeyChangesThePage) {
  dravik::test::CliRun run =
      Tolvesk({"--image", image_.string(), "--headless", "--set", "D100=1500", "--set", "M5=ON",
               "--dump-registers", "--screenshot", Shot("first.png").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("D100=1500\n"));
  EXPECT_THAT(run.out, HasSubstr("M5=ON\n"));
  EXPECT_THAT(run.out, HasSubstr("4X300=1\n")) << "the first page is reported";

  run = Tolvesk({"--image", image_.string(), "--headless", "--key", "F2", "--dump-registers",
                 "--screenshot", Shot("second.png").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("4X300=2\n"));
  EXPECT_NE(QImage(QString::fromStdString(Shot("first.png").string())),
            QImage(QString::fromStdString(Shot("second.png").string())));
}

TEST_F(TolveskProgramTest, UsageErrorsExitTwoWithTheUsage) {
  const std::vector<std::vector<std::string>> usageErrors = {
      {"--no-such-option"},
      {"--image"},
      {"--image", image_.string(), "--headless", "--scale", "4"},
      {"--image", image_.string(), "--headless", "--touch", "10"},
      {"--image", image_.string(), "--headless", "--key", "F99"},
  };
  for (const auto& args : usageErrors) {
    const dravik::test::CliRun run = Tolvesk(args);
    EXPECT_EQ(run.status, 2) << args.back();
    EXPECT_THAT(run.out, Not(HasSubstr("usage")));
    if (args.back() != "F99") {
      EXPECT_THAT(run.err, HasSubstr("usage: tolvesk")) << args.back();
    }
  }
  EXPECT_THAT(Tolvesk({"--image", image_.string(), "--headless", "--key", "F99"}).err,
              HasSubstr("no such panel key: F99"));
}

TEST_F(TolveskProgramTest, AMissingFileOrAFileThatIsNoImageExitsOneSayingWhy) {
  const auto missing = out_ / "nothing.bin";
  dravik::test::CliRun run = Tolvesk({"--image", missing.string(), "--headless"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr(missing.string()));

  const auto text = out_ / "notes.bin";
  dravik::test::WriteAll(text, std::vector<std::uint8_t>(300, 'x'));
  run = Tolvesk({"--image", text.string(), "--headless", "--screenshot", Shot("x.png").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(run.err.empty());
  EXPECT_FALSE(std::filesystem::exists(Shot("x.png")));
}

TEST_F(TolveskProgramTest, AStepThatCannotBeDoneExitsOneSayingWhy) {
  dravik::test::CliRun run = Tolvesk({"--image", image_.string(), "--headless", "--page", "9"});
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(run.err.empty());
  run = Tolvesk({"--image", image_.string(), "--headless", "--set", "Q7=1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("Q7"));
  run = Tolvesk({"--image", image_.string(), "--headless", "--screenshot",
                 (out_ / "no-such-folder" / "x.png").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("Cannot write the screenshot"));
}

TEST_F(TolveskProgramTest, HelpAndVersionExitZero) {
  dravik::test::CliRun run = Tolvesk({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.out, HasSubstr("usage: tolvesk"));
  EXPECT_THAT(run.out, HasSubstr("--dump-registers"));
  run = Tolvesk({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.out, HasSubstr("tolvesk "));
}

}  // namespace
}  // namespace dravik::sim
