#include "params/ui/key_led_frm.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "params/ui/params_ui_support.h"

namespace dravik::params {
namespace {

using model::At;
using namespace model::settings;
using test::Child;

constexpr int kAllenBradley = 5;  // MaxReg 255

class KeyLedFrmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TKeyLedFrm>();
    form->SetHooks(project.Hooks());
  }
  void Show() { form->FormShow(project.settings(), project.lists); }

  test::SettingsProject project;
  std::unique_ptr<TKeyLedFrm> form;
};

TEST_F(KeyLedFrmTest, ANewProjectShowsBothPairs) {
  project.LoadLists(0);
  Show();
  EXPECT_EQ(form->KeySpin()->value(), 0);
  EXPECT_EQ(form->KeyFollowerSpin()->value(), 1);
  EXPECT_EQ(form->LedSpin()->value(), 2100);
  EXPECT_EQ(form->LedFollowerSpin()->value(), 2101);
  EXPECT_EQ(Child<QLabel>(form.get(), "KeyLowLabel")->text(), "00-15 对应寄存器号D:");
  EXPECT_EQ(Child<QLabel>(form.get(), "LedHighLabel")->text(), "16-31 对应寄存器号D:");
  EXPECT_EQ(form->KeySpin()->toolTip(), "0 ~ 65000");
  EXPECT_TRUE(form->KeyFollowerSpin()->isReadOnly());

  project.chinese = false;
  Show();
  EXPECT_EQ(Child<QLabel>(form.get(), "KeyLowLabel")->text(), "00-15 Corres. Reg.D:");
}

TEST_F(KeyLedFrmTest, FollowersTrackTheFirstRegister) {
  project.LoadLists(0);
  Show();
  form->KeySpin()->setValue(40);
  EXPECT_EQ(form->KeyFollowerSpin()->value(), 41);
  QSpinBox* led = form->LedSpin();
  led->selectAll();
  QTest::keyClicks(led, "300");
  EXPECT_EQ(form->LedFollowerSpin()->value(), 301);

  Child<QPushButton>(form.get(), "OkButton")->click();
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(At(project.settings(), kKeyRegister), 40);
  EXPECT_EQ(At(project.settings(), kLedRegister), 300);
  EXPECT_EQ(project.saveEnabled, 1);
}

TEST_F(KeyLedFrmTest, MaxRegBoundsBothRegistersOfAPair) {
  project.LoadLists(kAllenBradley);
  Show();
  EXPECT_EQ(form->LedSpin()->maximum(), 255);
  EXPECT_EQ(form->LedFollowerSpin()->maximum(), 255);
  EXPECT_EQ(form->LedSpin()->value(), 254);  // 2100 shows as high as the pair fits
  EXPECT_EQ(form->LedFollowerSpin()->value(), 255);
  EXPECT_EQ(form->LedSpin()->toolTip(), "0 ~ 255");
  EXPECT_EQ(Child<QLabel>(form.get(), "LedLowLabel")->text(), "00-15 对应寄存器号N7:");
  EXPECT_TRUE(project.messages.empty());  // loading lowers quietly
  form->KeySpin()->setValue(1000);
  EXPECT_EQ(form->KeySpin()->value(), 254);
  EXPECT_EQ(form->KeyFollowerSpin()->value(), 255);
}

// Typing the highest register of the area into a first register would put its follower
// beyond the area: the first is lowered by one, and the user is told.
TEST_F(KeyLedFrmTest, AFirstRegisterAtMaxRegIsLoweredWithAMessage) {
  project.LoadLists(1);  // Modbus RTU Master: MaxReg 65535
  Show();
  for (QSpinBox* first : {form->LedSpin(), form->KeySpin()}) {
    project.messages.clear();
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, "65535");
    EXPECT_EQ(first->value(), 65534);
    ASSERT_EQ(project.messages.size(), 1u);
    EXPECT_EQ(project.messages[0].text,
              "16-31 对应的寄存器 (首寄存器 + 1) 不能超过 65535 ！\n首寄存器已改为 65534。");
    EXPECT_EQ(project.messages[0].icon, QMessageBox::Information);
  }
  EXPECT_EQ(form->LedFollowerSpin()->value(), 65535);
  EXPECT_EQ(form->KeyFollowerSpin()->value(), 65535);
  Child<QPushButton>(form.get(), "OkButton")->click();
  EXPECT_EQ(At(project.settings(), kKeyRegister), 65534);
  EXPECT_EQ(At(project.settings(), kLedRegister), 65534);
}

// Lists kept for a protocol the device resources do not have belong to another PLC: they
// bound nothing, so confirming cannot lower what the project holds.
TEST_F(KeyLedFrmTest, AProtocolTheResourcesLackBoundsNothing) {
  project.LoadLists(kAllenBradley);
  At(project.settings(), kLink1Protocol) = 12;
  std::vector<std::string> names;
  ASSERT_TRUE(ProInitialize(project.settings(), project.lists, names, true).loaded);
  ASSERT_FALSE(project.lists.Link1Known());
  Show();
  EXPECT_EQ(form->LedSpin()->value(), 2100);
  Child<QPushButton>(form.get(), "OkButton")->click();
  EXPECT_EQ(At(project.settings(), kLedRegister), 2100);
}

TEST_F(KeyLedFrmTest, CancelWritesNothingAndAnUnchangedConfirmLeavesSaveAlone) {
  project.LoadLists(0);
  Show();
  form->KeySpin()->setValue(8);
  Child<QPushButton>(form.get(), "CancelButton")->click();
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(At(project.settings(), kKeyRegister), 0);

  SettingsDialogHooks hooks = project.Hooks();
  hooks.desktop.execDialog = [](QDialog* dialog) {
    dialog->findChild<QPushButton*>("OkButton")->click();
    return dialog->result();
  };
  QWidget parent;
  EXPECT_TRUE(ShowKeyLedParameters(&parent, *project.image, project.lists, hooks));
  EXPECT_EQ(At(project.settings(), kLedRegister), 2100);
  EXPECT_EQ(project.saveEnabled, 0);
}

}  // namespace
}  // namespace dravik::params
