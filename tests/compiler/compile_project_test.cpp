#include "compiler/compile_project.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/settings_page.h"
#include "support/temp_dir.h"

namespace dravik::compiler {
namespace {

using model::ProjectImage;
using namespace model::settings;

params::DeviceLists Lists() {
  params::DeviceLists lists;
  lists.W_DeviceName = {"D"};
  lists.W_DeviceMax = {"9999"};
  lists.B_DeviceName = {"M"};
  lists.B_DeviceBit = {"0"};
  lists.B_DeviceMax = {"999"};
  return lists;
}

class CompileProjectTest : public testing::Test {
 protected:
  CompileProjectTest() : project_(std::make_unique<ProjectImage>()) {
    model::ApplySettingsDefaults(project_->Settings());
    auto& page = project_->Page(1);
    page.PageStrings[model::kPageInUse].Assign("Use");
    page.PageStrings[model::kPageNumberText].Assign("1");
    page.ElemKind[0] = 2;
  }
  ProjectCompileResult Run(CompileProjectOptions options = {}) {
    return CompileProject(*project_, dir_ / "P.QX3", Lists(), options);
  }

  dravik::test::TempDir dir_;
  std::unique_ptr<ProjectImage> project_;
};

TEST_F(CompileProjectTest, GoodProjectCompiles) {
  const ProjectCompileResult result = Run();
  EXPECT_EQ(result.stage, CompileStage::kCompiled);
  EXPECT_TRUE(result.messages.empty());
  EXPECT_EQ(result.image[800], 1);
  EXPECT_EQ(result.image, CompileToImage(*project_, CompanionFiles::Beside(dir_ / "P.QX3")).image);
}

TEST_F(CompileProjectTest, CheckErrorsStopBeforeTheCompile) {
  project_->Page(1).ElemWordA[0] = 10000;
  ProjectCompileResult result = Run({true, true});
  EXPECT_EQ(result.stage, CompileStage::kCheckFailed);
  ASSERT_EQ(result.check.rows.size(), 1u);
  EXPECT_EQ(result.check.rows[0].message, "寄存器号设置错误 ！");
  EXPECT_TRUE(result.image.empty());
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].text, CheckSummaryMessage(1));

  result = Run({false, true});
  EXPECT_EQ(result.stage, CompileStage::kCompiled) << "--no-check";
  EXPECT_TRUE(result.check.rows.empty());
}

TEST_F(CompileProjectTest, InitialPageMustBeInUse) {
  At(project_->Settings(), kInitialPage) = 7;
  const ProjectCompileResult result = Run();
  EXPECT_EQ(result.stage, CompileStage::kNoInitialPage);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].caption, "Dravik ");
  EXPECT_EQ(result.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(result.messages[0].text.chinese,
            "您设置的初始(主控)画面号: [7] 不存在！\r请检查或重新设置...");
  EXPECT_EQ(result.messages[0].text.english,
            "Your initial settings ( Master ) screen number: [7] Does not exist！\rPlease check "
            "or to Set up...");
  EXPECT_TRUE(result.image.empty());

  At(project_->Settings(), kInitialPage) = 0;
  EXPECT_TRUE(InitialPageMissing(*project_).has_value());
  At(project_->Settings(), kInitialPage) = 1;
  EXPECT_FALSE(InitialPageMissing(*project_).has_value());
}

TEST_F(CompileProjectTest, KeyboardMessageComesFirstAndTheCompileGoesOn) {
  At(project_->Settings(), kLedRegister) = 20000;
  const ProjectCompileResult result = Run();
  EXPECT_EQ(result.stage, CompileStage::kCompiled);
  EXPECT_TRUE(result.projectChanged);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].text, kKeyboardLedMessage);
  EXPECT_EQ(result.image[48] | (result.image[49] << 8), 9999);
}

TEST_F(CompileProjectTest, FailedCompileEndsWithTheCallersMessage) {
  project_->Page(1).PageStrings[model::kPageNumberText].Assign("one");
  const ProjectCompileResult result = Run();
  EXPECT_EQ(result.stage, CompileStage::kCompileFailed);
  ASSERT_FALSE(result.messages.empty());
  EXPECT_EQ(result.messages.back().text, (Bilingual{"编译程序失败 ！", "Compiler failed!"}));
  EXPECT_FALSE(result.failure.english.empty());
}

}  // namespace
}  // namespace dravik::compiler
