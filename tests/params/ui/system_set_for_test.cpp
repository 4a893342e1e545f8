#include "params/ui/system_set_for.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <array>
#include <cstring>
#include <string>

#include "params/ui/params_ui_support.h"
#include "support/temp_dir.h"

namespace dravik::params {
namespace {

using model::At;
using namespace model::settings;
using test::Child;

constexpr int kFatek = 3;         // word kinds R D T C WM WS
constexpr int kAllenBradley = 5;  // first word kind N7, highest number 255

class SystemSetForTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project.LoadLists(0);
    form = std::make_unique<TSystemSetFor>();
    form->SetHooks(project.Hooks());
  }

  void Show() {
    form->FormShow(*project.image, project.lists);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  template <class W>
  W* Get(const char* name) {
    return Child<W>(form.get(), name);
  }

  std::unique_ptr<model::PageRecord> Snapshot() {
    return std::make_unique<model::PageRecord>(project.settings());
  }
  bool Unchanged(const model::PageRecord& before) {
    return std::memcmp(&before, &project.settings(), sizeof(model::PageRecord)) == 0;
  }

  test::SettingsProject project;
  std::unique_ptr<TSystemSetFor> form;
};

TEST_F(SystemSetForTest, ShowsTheSettingsOfTheProject) {
  At(project.settings(), kInitialPage) = 12;
  At(project.settings(), kLink1ControllerId) = 7;
  At(project.settings(), kFollowPageRegister) = 1;
  Show();
  EXPECT_EQ(form->objectName(), "SystemSetFor");
  EXPECT_EQ(form->Pages()->currentIndex(), 0);
  EXPECT_EQ(Get<QComboBox>("ModelCombo")->currentText(), "VM20(320*240)");
  EXPECT_EQ(Get<QComboBox>("Link1ProtocolCombo")->currentText(), "Modbus RTU Slave (Panel)");
  EXPECT_EQ(Get<QComboBox>("Link1ProtocolCombo")->count(), 12);
  EXPECT_EQ(Get<QLineEdit>("Link1IdEdit")->text(), "7");
  EXPECT_EQ(Get<QComboBox>("Link1BaudCombo")->currentText(), "57600");
  EXPECT_EQ(Get<QComboBox>("Link1ParityCombo")->currentText(), "偶数");
  EXPECT_EQ(Get<QComboBox>("Link2PortCombo")->currentText(), "COM2(RS485/232)");
  EXPECT_EQ(Get<QSpinBox>("InitialPageSpin")->value(), 12);
  EXPECT_EQ(Get<QLineEdit>("PasswordEdit")->text(), "4826");
  EXPECT_EQ(Get<QComboBox>("FastReadKindCombo")->currentText(), "4X");
  EXPECT_EQ(Get<QLabel>("FastReadLabel")->text(), "快速读取区4X:");
  EXPECT_EQ(Get<QLabel>("FollowRegisterLabel")->text(), "寄存器号D:");
  EXPECT_EQ(Get<QLabel>("FastWriteStartLabel")->text(), "开始地址D:");
  EXPECT_EQ(Get<QLabel>("AdRegisterLabel")->text(), "D:");
  EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->value(), 2180);
  EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->toolTip(), "0 ~ 65000");
  EXPECT_TRUE(Get<QSpinBox>("FollowRegisterSpin")->isEnabled());
  EXPECT_FALSE(Get<QSpinBox>("ReportRegisterSpin")->isEnabled());
  // Nothing is written by showing.
  EXPECT_EQ(project.saveEnabled, 0);
}

TEST_F(SystemSetForTest, TheSamePortOnBothLinksIsRefused) {
  Show();
  const auto before = Snapshot();
  form->Pages()->setCurrentIndex(2);
  Get<QComboBox>("Link1PortCombo")->setCurrentIndex(1);
  Get<QComboBox>("Link2PortCombo")->setCurrentIndex(1);
  Get<QPushButton>("OkButton")->click();

  ASSERT_EQ(project.messages.size(), 1u);
  EXPECT_EQ(project.messages[0].text,
            "不正确的通讯端口设定 ！\nLink1 与 Link2 设置通信端口相同 ！");
  EXPECT_EQ(project.messages[0].icon, QMessageBox::Warning);
  EXPECT_EQ(form->Pages()->currentIndex(), 0);
  EXPECT_EQ(form->focusWidget(), Get<QComboBox>("Link2PortCombo"));
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(Unchanged(*before));
  EXPECT_EQ(project.saveEnabled, 0);

  project.chinese = false;
  Get<QPushButton>("ApplyButton")->click();
  ASSERT_EQ(project.messages.size(), 2u);
  EXPECT_EQ(project.messages[1].text,
            "Error communication port setting!\nLink1 And Link2 Same communication port setting!");
  EXPECT_TRUE(Unchanged(*before));
}

TEST_F(SystemSetForTest, TheExtensionBoardWithDaOutputIsRefused) {
  Show();
  const auto before = Snapshot();
  Get<QCheckBox>("ExtensionCheck")->setChecked(true);
  Get<QComboBox>("DaModeCombo")->setCurrentText("4~20mA");
  form->Pages()->setCurrentIndex(1);
  Get<QPushButton>("ApplyButton")->click();

  ASSERT_EQ(project.messages.size(), 1u);
  EXPECT_EQ(project.messages[0].text,
            "不正确的功能设定 ！\n【带扩展(K1~K8 + LED1~LED8)】 与 【DA输出】 不能同时使用 ！");
  EXPECT_EQ(project.messages[0].icon, QMessageBox::Warning);
  EXPECT_EQ(form->Pages()->currentIndex(), 0);
  EXPECT_EQ(form->focusWidget(), Get<QCheckBox>("ExtensionCheck"));
  EXPECT_TRUE(Unchanged(*before));

  // Without the DA output the extension board is accepted.
  Get<QComboBox>("DaModeCombo")->setCurrentIndex(0);
  Get<QPushButton>("ApplyButton")->click();
  EXPECT_EQ(project.messages.size(), 1u);
  EXPECT_EQ(At(project.settings(), kExtensionBoard), 1);
}

TEST_F(SystemSetForTest, TypedNumbersOutOfRangeShowTheRangeAndAreReplaced) {
  Show();
  struct Case {
    const char* edit;
    const char* typed;
    const char* becomes;
    const char* message;  // nullptr: none
  };
  const Case cases[] = {
      {"Link1IdEdit", "300", "0", "Set Range: 0-255 ！"},
      {"Link2IdEdit", "256", "0", "Set Range: 0-255 ！"},
      {"Link1IdEdit", "255", "255", nullptr},
      {"Link1TimeoutEdit", "0", "255", "Set Range: 1-255 ！"},
      {"Link2TimeoutEdit", "256", "255", "Set Range: 1-255 ！"},
      {"Link1TimeoutEdit", "99", "99", nullptr},
      {"PasswordEdit", "12a34567", "1234", nullptr},  // digits only, four at most
  };
  for (const Case& c : cases) {
    project.messages.clear();
    QLineEdit* edit = Get<QLineEdit>(c.edit);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, c.typed);
    EXPECT_EQ(edit->text(), c.becomes) << c.edit << " " << c.typed;
    if (c.message == nullptr) {
      EXPECT_TRUE(project.messages.empty()) << c.edit << " " << c.typed;
    } else {
      ASSERT_EQ(project.messages.size(), 1u) << c.edit << " " << c.typed;
      EXPECT_EQ(project.messages[0].text, c.message);
      EXPECT_EQ(project.messages[0].icon, QMessageBox::Information);
    }
  }

  // Emptied edits fall back to their lowest value.
  QLineEdit* id = Get<QLineEdit>("Link1IdEdit");
  id->setText("12");
  id->setCursorPosition(2);
  QTest::keyClick(id, Qt::Key_Backspace);
  QTest::keyClick(id, Qt::Key_Backspace);
  EXPECT_EQ(id->text(), "0");
  QLineEdit* timeout = Get<QLineEdit>("Link1TimeoutEdit");
  timeout->setText("5");
  timeout->setCursorPosition(1);
  QTest::keyClick(timeout, Qt::Key_Backspace);
  EXPECT_EQ(timeout->text(), "1");
}

// Emptying an edit puts its lowest value in, and a value out of range is replaced: the
// replacement is selected, so every digit typed next is kept and is what is stored.
TEST_F(SystemSetForTest, DigitsTypedAfterAReplacementAreAllKept) {
  Show();
  struct Case {
    const char* edit;
    const char* before;  // typed after Ctrl+A and Backspace
    const char* typed;
    std::size_t link;
    int LinkSettings::*field;
    int stored;
  };
  const Case cases[] = {
      {"Link1IdEdit", "", "255", kLink1, &LinkSettings::controllerId, 255},
      {"Link2IdEdit", "", "255", kLink2, &LinkSettings::controllerId, 255},
      {"Link1TimeoutEdit", "", "150", kLink1, &LinkSettings::timeout, 150},
      {"Link2TimeoutEdit", "", "150", kLink2, &LinkSettings::timeout, 150},
      {"Link1IdEdit", "300", "25", kLink1, &LinkSettings::controllerId, 25},
      {"Link2TimeoutEdit", "0", "99", kLink2, &LinkSettings::timeout, 99},
  };
  for (const Case& c : cases) {
    QLineEdit* edit = Get<QLineEdit>(c.edit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, c.before);
    QTest::keyClicks(edit, c.typed);
    EXPECT_EQ(edit->text(), QString::fromLatin1(c.typed)) << c.edit << " " << c.before;
    EXPECT_TRUE(form->ApplyClick());
    EXPECT_EQ(ReadWorkParameters(project.settings()).links[c.link].*c.field, c.stored)
        << c.edit << " " << c.before;
  }
}

TEST_F(SystemSetForTest, ConfirmingASmallerProtocolLowersThePageFollowRegister) {
  At(project.settings(), kFollowPageRegister) = 1;
  SettingsDialogHooks hooks = project.Hooks();
  // The modal loop is replaced by what a user does in it.
  hooks.desktop.execDialog = [this](QDialog* dialog) {
    EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->value(), 2180);
    Get<QComboBox>("Link1ProtocolCombo")->setCurrentIndex(kAllenBradley);
    Get<QPushButton>("OkButton")->click();
    return dialog->result();
  };
  form->SetHooks(hooks);
  EXPECT_TRUE(form->ShowWorkParameters(*project.image, project.lists));

  EXPECT_TRUE(project.messages.empty());
  EXPECT_EQ(At(project.settings(), kLink1Protocol), kAllenBradley);
  EXPECT_EQ(At(project.settings(), kPageSelectRegister), 255);
  EXPECT_EQ(At(project.settings(), kPageReportRegister), 255);
  EXPECT_EQ(At(project.settings(), kFastReadKind), 0);
  EXPECT_EQ(project.lists.MaxReg, 255);
  EXPECT_EQ(project.lists.W_DeviceName.at(0), "N7");
  EXPECT_EQ(project.saveEnabled, 1);
  EXPECT_EQ(project.keyNamesRefreshed, 1);
  EXPECT_EQ(project.status[1], " VM20(320*240)");
  EXPECT_EQ(project.status[2], " Allen-Bradley MicroLogix (DF1) ( 57600 偶数 8 b 1 b )");
  // The dialog follows the new kinds.
  EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->maximum(), 255);
  EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->value(), 255);
  EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->toolTip(), "0 ~ 255");
  EXPECT_EQ(Get<QLabel>("FollowRegisterLabel")->text(), "寄存器号N7:");
  EXPECT_EQ(Get<QComboBox>("FastReadKindCombo")->count(), 8);
  EXPECT_EQ(Get<QLabel>("FastReadLabel")->text(), "快速读取区N7:");
}

// The kind list shows the kinds of the protocol chosen, keeping its position where the
// protocol has it, and what it shows is what confirming stores.
TEST_F(SystemSetForTest, TheFastReadKindsFollowTheProtocolAndTheShownKindIsStored) {
  Show();
  QComboBox* protocol = Get<QComboBox>("Link1ProtocolCombo");
  QComboBox* kinds = Get<QComboBox>("FastReadKindCombo");
  ASSERT_EQ(kinds->currentText(), "4X");  // position 8 of the panel's own protocol
  protocol->setCurrentIndex(kFatek);
  EXPECT_EQ(kinds->count(), 6);
  EXPECT_EQ(kinds->currentText(), "R");  // Fatek has no position 8: its first kind
  EXPECT_EQ(Get<QLabel>("FastReadLabel")->text(), "快速读取区R:");
  EXPECT_TRUE(form->ApplyClick());
  EXPECT_EQ(At(project.settings(), kFastReadKind), 0);
  EXPECT_EQ(kinds->currentText(), "R");

  kinds->setCurrentText("WM");  // position 4
  protocol->setCurrentIndex(0);
  EXPECT_EQ(kinds->count(), 9);
  EXPECT_EQ(kinds->currentText(), "C");
  EXPECT_EQ(Get<QLabel>("FastReadLabel")->text(), "快速读取区C:");
  EXPECT_TRUE(form->ConfirmClick());
  EXPECT_EQ(At(project.settings(), kFastReadKind), 4);
  EXPECT_EQ(project.lists.W_DeviceName.at(4), "C");
}

TEST_F(SystemSetForTest, CancelAfterApplyKeepsWhatWasApplied) {
  SettingsDialogHooks hooks = project.Hooks();
  hooks.desktop.execDialog = [this](QDialog* dialog) {
    Get<QSpinBox>("InitialPageSpin")->setValue(7);
    Get<QComboBox>("Link1BaudCombo")->setCurrentIndex(4);
    Get<QPushButton>("ApplyButton")->click();
    EXPECT_FALSE(dialog->isHidden() && dialog->result() == QDialog::Accepted);
    EXPECT_EQ(At(project.settings(), kInitialPage), 7);
    EXPECT_EQ(project.status[2], " Modbus RTU Slave (Panel) ( 115200 偶数 8 b 1 b )");

    Get<QSpinBox>("InitialPageSpin")->setValue(9);
    Get<QPushButton>("CancelButton")->click();
    return dialog->result();
  };
  form->SetHooks(hooks);
  EXPECT_FALSE(form->ShowWorkParameters(*project.image, project.lists));
  EXPECT_EQ(At(project.settings(), kInitialPage), 7);
  EXPECT_EQ(At(project.settings(), kLink1Baud), 4);
  EXPECT_EQ(project.saveEnabled, 1);
}

TEST_F(SystemSetForTest, EnablingRulesFollowTheControls) {
  Show();
  QComboBox* port = Get<QComboBox>("Link1PortCombo");
  QComboBox* idMode = Get<QComboBox>("IdModeCombo");
  QComboBox* perId = Get<QComboBox>("RegistersPerIdCombo");
  EXPECT_FALSE(idMode->isEnabled());
  port->setCurrentIndex(1);
  EXPECT_TRUE(idMode->isEnabled());
  EXPECT_FALSE(perId->isEnabled());
  idMode->setCurrentIndex(1);
  EXPECT_TRUE(perId->isEnabled());
  port->setCurrentIndex(0);  // back on RS232: single ID, nothing to choose
  EXPECT_EQ(idMode->currentText(), "单台");
  EXPECT_FALSE(idMode->isEnabled());
  EXPECT_FALSE(perId->isEnabled());

  QCheckBox* fastWrite = Get<QCheckBox>("FastWriteCheck");
  QSpinBox* length = Get<QSpinBox>("FastWriteLengthSpin");
  fastWrite->setChecked(true);
  EXPECT_TRUE(length->isEnabled());
  length->setValue(30);
  fastWrite->setChecked(false);
  EXPECT_EQ(length->value(), 0);
  EXPECT_FALSE(Get<QSpinBox>("FastWriteStartSpin")->isEnabled());

  QComboBox* can = Get<QComboBox>("CanFunctionCombo");
  can->setCurrentText("CANopen");
  EXPECT_TRUE(Get<QGroupBox>("CanOpenGroup")->isEnabled());
  EXPECT_FALSE(Get<QGroupBox>("ShareGroup")->isEnabled());
  EXPECT_FALSE(Get<QGroupBox>("SlaveGroup")->isEnabled());
  can->setCurrentText("CANown");
  EXPECT_FALSE(Get<QGroupBox>("CanOpenGroup")->isEnabled());
  EXPECT_TRUE(Get<QGroupBox>("SlaveGroup")->isEnabled());

  QComboBox* ad = Get<QComboBox>("AdModeCombo");
  EXPECT_FALSE(Get<QSpinBox>("AdRegisterSpin")->isEnabled());
  ad->setCurrentText("PT100");
  EXPECT_TRUE(Get<QSpinBox>("AdRegisterSpin")->isEnabled());
  Get<QSpinBox>("AdRegisterSpin")->setValue(100);
  EXPECT_TRUE(ad->toolTip().startsWith("D:100=AD1采样值\nD:101=AD2采样值\n"));
  EXPECT_TRUE(ad->toolTip().endsWith("D:105=PT100(AD2采样电阻0.1)"));
}

// The controls of one link group, by the object names the language files address.
struct LinkGroup {
  QLineEdit* id;
  QComboBox* baud;
  QLineEdit* timeout;
  QComboBox* parity;
  QComboBox* dataBits;
  QComboBox* stopBits;
  QComboBox* port;

  LinkGroup(QObject* form, std::size_t link) {
    const std::string prefix = "Link" + std::to_string(link + 1);
    auto name = [&](const char* part) { return prefix + part; };
    id = Child<QLineEdit>(form, name("IdEdit").c_str());
    baud = Child<QComboBox>(form, name("BaudCombo").c_str());
    timeout = Child<QLineEdit>(form, name("TimeoutEdit").c_str());
    parity = Child<QComboBox>(form, name("ParityCombo").c_str());
    dataBits = Child<QComboBox>(form, name("DataBitsCombo").c_str());
    stopBits = Child<QComboBox>(form, name("StopBitsCombo").c_str());
    port = Child<QComboBox>(form, name("PortCombo").c_str());
  }

  LinkSettings Shown(int protocol) const {
    return {.protocol = protocol,
            .controllerId = id->text().toInt(),
            .baud = baud->currentIndex(),
            .timeout = timeout->text().toInt(),
            .parity = parity->currentIndex(),
            .dataBits = dataBits->currentIndex(),
            .stopBits = stopBits->currentIndex(),
            .port = port->currentIndex()};
  }
  void Enter(const LinkSettings& v) const {
    id->setText(QString::number(v.controllerId));
    baud->setCurrentIndex(v.baud);
    timeout->setText(QString::number(v.timeout));
    parity->setCurrentIndex(v.parity);
    dataBits->setCurrentIndex(v.dataBits);
    stopBits->setCurrentIndex(v.stopBits);
    port->setCurrentIndex(v.port);
  }
};

TEST_F(SystemSetForTest, EachLinkGroupShowsAndWritesItsOwnLink) {
  const int table = kLinkDefaults[kLink2].protocol;
  // protocol, controller ID, baud, time-out, parity, data bits, stop bits, port
  const std::array<LinkSettings, kLinkCount> stored{
      {{0, 21, 0, 31, 1, 0, 1, 1}, {table, 22, 4, 32, 2, 1, 0, 0}}};
  const std::array<LinkSettings, kLinkCount> entered{
      {{0, 41, 2, 51, 0, 2, 0, 2}, {table, 42, 1, 52, 1, 0, 1, 1}}};
  for (std::size_t link = 0; link < kLinkCount; ++link) {
    WriteLinkSettings(project.settings(), link, stored[link]);
  }
  Show();
  for (std::size_t link = 0; link < kLinkCount; ++link) {
    const LinkGroup group(form.get(), link);
    EXPECT_EQ(group.Shown(stored[link].protocol), stored[link]) << "Link " << link + 1;
    group.Enter(entered[link]);
  }
  ASSERT_TRUE(form->ApplyClick());
  for (std::size_t link = 0; link < kLinkCount; ++link) {
    EXPECT_EQ(ReadLinkSettings(project.settings(), link), entered[link]) << "Link " << link + 1;
  }
}

TEST_F(SystemSetForTest, ConfirmWritesEveryGroup) {
  project.nextColour = 0x00FF00;
  Show();
  Get<QComboBox>("ModelCombo")->setCurrentIndex(3);
  Get<QCheckBox>("ClockMacroCheck")->setChecked(true);
  Get<QComboBox>("Link1PortCombo")->setCurrentIndex(1);
  Get<QComboBox>("IdModeCombo")->setCurrentIndex(1);
  Get<QComboBox>("RegistersPerIdCombo")->setCurrentText("600");
  Get<QComboBox>("Link2PortCombo")->setCurrentIndex(0);
  Get<QSpinBox>("ScreenSaverSpin")->setValue(0);
  Get<QComboBox>("StartLanguageCombo")->setCurrentIndex(1);
  Get<QComboBox>("TextFontCombo")->setCurrentText("32X32");
  Get<QPushButton>("PageColourPanel")->click();
  Get<QCheckBox>("FastWriteCheck")->setChecked(true);
  Get<QSpinBox>("FastWriteStartSpin")->setValue(500);
  Get<QSpinBox>("FastWriteLengthSpin")->setValue(50);
  Get<QSpinBox>("FastReadLengthSpin")->setValue(100);
  Get<QComboBox>("FastReadKindCombo")->setCurrentIndex(0);
  Get<QComboBox>("CanFunctionCombo")->setCurrentIndex(2);
  Get<QSpinBox>("NodeIdSpin")->setValue(127);
  Get<QLineEdit>("PasswordEdit")->setText("");
  EXPECT_TRUE(form->ConfirmClick());
  EXPECT_EQ(form->result(), QDialog::Accepted);

  ASSERT_EQ(project.colourAnchors.size(), 1u);
  EXPECT_EQ(project.colourAnchors[0], Get<QPushButton>("PageColourPanel"));
  EXPECT_EQ(project.chooserStartedFrom, 0xFFFF00u);
  const model::PageRecord& s = project.settings();
  EXPECT_EQ(At(s, kPanelModel), 3);
  EXPECT_EQ(At(s, kClockMacroEnabled), 1);
  EXPECT_EQ(At(s, kLink1Port), 1);
  EXPECT_EQ(At(s, kRs485IdMode), 1);
  EXPECT_EQ(At(s, kRegistersPerId), 5);
  EXPECT_EQ(At(s, kLink2Port), 0);
  EXPECT_EQ(At(s, kScreenSaverMinutes), 0);
  EXPECT_EQ(At(s, kStartLanguage), 1);
  EXPECT_EQ(At(s, kDefaultTextFont), 2);
  EXPECT_EQ(At(s, kDefaultPageColor), 0x00FF00);
  EXPECT_EQ(At(s, kFastWriteEnabled), 1);
  EXPECT_EQ(At(s, kFastWriteStart), 500);
  EXPECT_EQ(At(s, kFastWriteLength), 50);
  EXPECT_EQ(At(s, kFastReadLength), 100);
  EXPECT_EQ(At(s, kFastReadKind), 0);
  EXPECT_EQ(At(s, kCanFunction), 2);
  EXPECT_EQ(At(s, kCanOpenNodeId), 127);
  EXPECT_TRUE(At(s, kSuperPassword).Empty());
  EXPECT_EQ(project.status[1], " VR40(480*320)");
}

TEST_F(SystemSetForTest, EnglishCaptionsFollowTheInterfaceLanguage) {
  project.chinese = false;
  Show();
  EXPECT_EQ(Get<QLabel>("FollowRegisterLabel")->text(), "Register D:");
  EXPECT_EQ(Get<QLabel>("FastWriteStartLabel")->text(), "StartAdd D:");
  EXPECT_EQ(Get<QLabel>("FastReadLabel")->text(), "FastRead 4X:");
}

TEST_F(SystemSetForTest, ShowingBeforeAnyListsWereLoadedLoadsThem) {
  params::DeviceLists empty;
  form->FormShow(*project.image, empty);
  EXPECT_EQ(empty.MaxReg, 65000);
  EXPECT_EQ(Get<QLabel>("FollowRegisterLabel")->text(), "寄存器号D:");
  EXPECT_EQ(project.status[2], " Modbus RTU Slave (Panel) ( 57600 偶数 8 b 1 b )");
  EXPECT_TRUE(project.messages.empty());
}

// A project made elsewhere may name a protocol or Link 2 table the device resources do
// not have: the lists show it as unknown, and it stays, with the registers the unknown
// PLC's limits would have lowered, until the user picks another.
TEST_F(SystemSetForTest, AProtocolTheResourcesLackShowsAsUnknownAndIsKept) {
  At(project.settings(), kLink1Protocol) = 12;
  At(project.settings(), kLink2Table) = 40;
  At(project.settings(), kFollowPageRegister) = 1;
  At(project.settings(), kPageSelectRegister) = 65535;  // above protocol 0's 65000
  std::vector<std::string> names;
  ASSERT_TRUE(ProInitialize(project.settings(), project.lists, names, true).loaded);

  for (bool chinese : {false, true}) {
    project.chinese = chinese;
    Show();
    auto* link1 = Get<QComboBox>("Link1ProtocolCombo");
    auto* link2 = Get<QComboBox>("Link2ProtocolCombo");
    EXPECT_EQ(link1->count(), 13);
    EXPECT_EQ(link1->currentText(), chinese ? "未知 (12)" : "unknown (12)");
    EXPECT_EQ(link2->count(), 2);
    EXPECT_EQ(link2->currentText(), chinese ? "未知 (40)" : "unknown (40)");
    EXPECT_EQ(Get<QSpinBox>("FollowRegisterSpin")->value(), 65535);
    EXPECT_TRUE(form->ApplyClick());
    EXPECT_TRUE(project.messages.empty());
    EXPECT_EQ(At(project.settings(), kLink1Protocol), 12);
    EXPECT_EQ(At(project.settings(), kLink2Table), 40);
    EXPECT_EQ(At(project.settings(), kPageSelectRegister), 65535);
    EXPECT_EQ(At(project.settings(), kFastReadKind), 8);
  }
  EXPECT_EQ(project.status[2], " 未知 (12) ( 57600 偶数 8 b 1 b )");

  Get<QComboBox>("Link1ProtocolCombo")->setCurrentIndex(kAllenBradley);
  Get<QComboBox>("Link2ProtocolCombo")->setCurrentIndex(0);  // "Modbus RTU Master"
  EXPECT_TRUE(form->ConfirmClick());
  EXPECT_EQ(At(project.settings(), kLink1Protocol), kAllenBradley);
  EXPECT_EQ(At(project.settings(), kLink2Table), 1);
  EXPECT_TRUE(project.lists.AllKnown());
  EXPECT_EQ(At(project.settings(), kPageSelectRegister), 255);

  // A Link 2 table the resources know stays as it is, whichever it is.
  At(project.settings(), kLink2Table) = 5;
  Show();
  EXPECT_EQ(Get<QComboBox>("Link2ProtocolCombo")->count(), 1);
  EXPECT_TRUE(form->ApplyClick());
  EXPECT_EQ(At(project.settings(), kLink2Table), 5);
}

// Points the program folder somewhere without QXRes.Dat for the life of the object.
struct MissingResources {
  MissingResources() : saved(qgetenv("DRAVIK_PROGRAM_DIR")) {
    qputenv("DRAVIK_PROGRAM_DIR", QByteArray::fromStdString(dir.path().string()));
  }
  ~MissingResources() { qputenv("DRAVIK_PROGRAM_DIR", saved); }
  test::TempDir dir;
  QByteArray saved;
};

TEST_F(SystemSetForTest, AMissingDatabaseIsReportedAndTheEntriesAreStillWritten) {
  Show();
  MissingResources missing;
  Get<QSpinBox>("InitialPageSpin")->setValue(5);
  Get<QComboBox>("Link1ProtocolCombo")->setCurrentIndex(kAllenBradley);
  EXPECT_TRUE(form->ApplyClick());
  ASSERT_EQ(project.messages.size(), 1u);
  EXPECT_EQ(project.messages[0].icon, QMessageBox::Warning);
  EXPECT_NE(project.messages[0].text.find("读取设备资源失败"), std::string::npos);
  EXPECT_NE(project.messages[0].text.find("QXRes.Dat"), std::string::npos);
  EXPECT_EQ(At(project.settings(), kInitialPage), 5);
  EXPECT_EQ(At(project.settings(), kPageSelectRegister), 2180);  // no stale limit applied
  EXPECT_EQ(project.lists.MaxReg, 65000);                        // the lists stay as they were

  // Showing again reports the protocol list once and keeps the controls usable.
  project.messages.clear();
  form->FormShow(*project.image, project.lists);
  EXPECT_EQ(project.messages.size(), 1u);
  EXPECT_EQ(Get<QComboBox>("Link1ProtocolCombo")->currentIndex(), kAllenBradley);
}

TEST_F(SystemSetForTest, TabRunsDownEachGroupInReadingOrder) {
  Show();
  // The focusable controls of the first tab in the order Tab visits them.
  QStringList order;
  QWidget* start = Get<QComboBox>("ModelCombo");
  QWidget* w = start;
  do {
    if (w->isVisibleTo(form.get()) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
        form->Pages()->widget(0)->isAncestorOf(w)) {
      order << w->objectName();
    }
    w = w->nextInFocusChain();
  } while (w != start);
  EXPECT_EQ(order.mid(0, 6), (QStringList{"ModelCombo", "ClockMacroCheck", "ExtensionCheck",
                                          "Link1ProtocolCombo", "Link1IdEdit", "Link1BaudCombo"}));
  EXPECT_LT(order.indexOf("FastReadKindCombo"), order.indexOf("Link2ProtocolCombo"));
  EXPECT_EQ(order.last(), "Link2PortCombo");
}

TEST_F(SystemSetForTest, ShowWorkParametersReusesTheFormOfItsParent) {
  QWidget parent;
  TSystemSetFor* first = WorkParametersForm(&parent);
  EXPECT_EQ(WorkParametersForm(&parent), first);
  SettingsDialogHooks hooks = project.Hooks();
  hooks.desktop.execDialog = [](QDialog* dialog) {
    dialog->findChild<QPushButton*>("CancelButton")->click();
    return dialog->result();
  };
  const auto before = Snapshot();
  EXPECT_FALSE(ShowWorkParameters(&parent, *project.image, project.lists, hooks));
  EXPECT_TRUE(Unchanged(*before));
}

// Opening a page puts elements outside the screen back inside it for good, so a model
// with a smaller screen is written only after the user has agreed to that.
TEST_F(SystemSetForTest, ASmallerScreenIsWrittenOnlyWhenTheUserAgrees) {
  At(project.settings(), kPanelModel) = 2;  // VM30(480*320)
  for (int page : {1, 3}) {
    model::PageRecord& record = project.image->Page(page);
    record.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
    record.ElemKind[0] = 1;
    record.ElemLeft[0] = 400;
    record.ElemTop[0] = 10;
    record.ElemWidth[0] = 40;
    record.ElemHeight[0] = 16;
  }
  Show();
  QComboBox* panel = Get<QComboBox>("ModelCombo");

  // The same screen size asks nothing.
  panel->setCurrentText("VR40(480*320)");
  EXPECT_TRUE(form->ApplyClick());
  EXPECT_TRUE(project.questions.empty());
  EXPECT_EQ(At(project.settings(), kPanelModel), 3);

  const auto before = Snapshot();
  const int saves = project.saveEnabled;
  panel->setCurrentText("VM20(320*240)");
  form->Pages()->setCurrentIndex(2);
  project.answer = false;
  EXPECT_FALSE(form->ConfirmClick());
  ASSERT_EQ(project.questions.size(), 1u);
  EXPECT_EQ(project.questions[0],
            "新的人机界面型号屏幕较小：2 个画面上的 2 个元件超出新屏幕，打开画面时将被移入屏幕或"
            "缩小，换回原型号也不能恢复。\n是否继续？");
  // No: nothing written, the dialog open on the project's model.
  EXPECT_TRUE(Unchanged(*before));
  EXPECT_EQ(project.saveEnabled, saves);
  EXPECT_NE(form->result(), QDialog::Accepted);
  EXPECT_EQ(panel->currentText(), "VR40(480*320)");
  EXPECT_EQ(form->Pages()->currentIndex(), 0);
  EXPECT_EQ(project.image->Page(1).ElemLeft[0], 400);

  panel->setCurrentText("VM20(320*240)");
  project.answer = true;
  EXPECT_TRUE(form->ConfirmClick());
  EXPECT_EQ(project.questions.size(), 2u);
  EXPECT_EQ(At(project.settings(), kPanelModel), 1);
  EXPECT_EQ(form->result(), QDialog::Accepted);
}

// "TPDO抑制:" [100] ms: the unit follows the field it belongs to.
TEST_F(SystemSetForTest, TheTpdoUnitStandsAfterItsField) {
  Show();
  form->Pages()->setCurrentIndex(2);
  auto* label = Get<QLabel>("TpdoLabel");
  auto* spin = Get<QSpinBox>("TpdoSpin");
  auto* unit = Get<QLabel>("TpdoMsLabel");
  ASSERT_TRUE(label != nullptr && spin != nullptr && unit != nullptr);
  EXPECT_EQ(label->text(), "TPDO抑制:");
  EXPECT_EQ(unit->text(), "ms");
  EXPECT_LT(label->geometry().right(), spin->geometry().left());
  EXPECT_GT(unit->geometry().left(), spin->geometry().right());
}

}  // namespace
}  // namespace dravik::params
