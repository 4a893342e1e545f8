#include "params/work_parameters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "model/settings_page.h"
#include "support/temp_dir.h"

namespace dravik::params {
namespace {

using model::At;
using model::PageRecord;
using namespace model::settings;
using ::testing::HasSubstr;

constexpr int kAllenBradley = 5;  // its first word kind, N7, ends at 255

std::unique_ptr<PageRecord> NewSettings() {
  auto settings = std::make_unique<PageRecord>();
  model::ApplySettingsDefaults(*settings);
  return settings;
}

std::filesystem::path Resources() {
  return test::ProgramDir() / kDeviceResourcesFile;
}

// Every field a value of its own, so a field written to or read from the wrong entry shows.
WorkParameters Distinct() {
  WorkParameters v;
  v.model = 4;
  v.clockMacro = true;
  v.extension = true;
  // protocol, controller ID, baud, time-out, parity, data bits, stop bits, port
  v.links[kLink1] = {7, 17, 1, 33, 1, 0, 1, 2};
  v.fastReadKind = 3;
  v.fastReadStart = 400;
  v.fastReadLength = 44;
  v.links[kLink2] = {6, 18, 4, 55, 2, 1, 1, 0};
  v.screenSaver = 12;
  v.focusColour = 0x123456;
  v.rs485IdMode = 1;
  v.registersPerId = 6;
  v.adMode = 3;
  v.adRegister = 300;
  v.daMode = 1;
  v.daRegister = 310;
  v.failureAlarm = 1;
  v.password = "97";
  v.initialPage = 12;
  v.startLanguage = 1;
  v.pageColour = 0x0000FF;
  v.textBackColour = 0xFF000000 | 5;
  v.textForeColour = 0x00FF00;
  v.textFont = 2;
  v.followPage = true;
  v.pageSelectRegister = 1234;
  v.reportPage = true;
  v.pageReportRegister = 1235;
  v.fastWrite = true;
  v.fastWriteStart = 700;
  v.fastWriteLength = 20;
  v.canFunction = 2;
  v.canBaud = 6;
  v.canFormat = 1;
  v.canType = 1;
  v.canNodeId = 99;
  v.canNodeStart = 1;
  v.canTpdoInhibit = 3999;
  v.canShareOwnId = 110;
  v.canAcceptance3 = 0;
  v.canAcceptance4 = 120;
  v.canAcceptance5 = 130;
  v.canSlaveOwnId = 140;
  v.canAcceptance6 = 150;
  return v;
}

TEST(WorkParametersTest, ANewProjectReadsAsTheDialogDefaults) {
  auto settings = NewSettings();
  EXPECT_EQ(ReadWorkParameters(*settings), WorkParameters{});
}

TEST(WorkParametersTest, EveryFieldGoesToItsOwnEntryAndBack) {
  auto settings = NewSettings();
  const WorkParameters written = Distinct();
  WriteLinkControlAndDefaults(*settings, written);
  WriteRegistersAreasAndCan(*settings, written);
  EXPECT_EQ(ReadWorkParameters(*settings), written);
  // Spot checks against the entries themselves.
  EXPECT_EQ(At(*settings, kLink1Port), 2);
  EXPECT_EQ(At(*settings, kLink2Port), 0);
  EXPECT_EQ(At(*settings, kPageSelectRegister), 1234);
  EXPECT_EQ(At(*settings, kCanOpenTpdoInhibit), 3999);
  EXPECT_EQ(static_cast<std::uint32_t>(At(*settings, kDefaultTextBackColor)), 0xFF000005u);
  EXPECT_EQ(At(*settings, kSuperPassword).Str(), "97");
}

TEST(WorkParametersTest, WritingTheModelKeepsTheBitsAboveIt) {
  auto settings = NewSettings();
  At(*settings, kPanelModel) = 0x4001;
  WorkParameters v = ReadWorkParameters(*settings);
  EXPECT_EQ(v.model, 1);
  v.model = 5;
  WriteLinkControlAndDefaults(*settings, v);
  EXPECT_EQ(At(*settings, kPanelModel), 0x4005);
}

TEST(WorkParametersTest, EnablingRulesFollowTheirControls) {
  struct Case {
    const char* name;
    void (*set)(WorkParameters&);
    Enabling expected;
  };
  const Case cases[] = {
      {"defaults",
       [](WorkParameters&) {},
       {false, false, false, false, false, false, false, false, true, true}},
      {"page follow and report",
       [](WorkParameters& v) { v.followPage = v.reportPage = true; },
       {true, true, false, false, false, false, false, false, true, true}},
      {"fast write",
       [](WorkParameters& v) { v.fastWrite = true; },
       {false, false, true, false, false, false, false, false, true, true}},
      {"RS485 single",
       [](WorkParameters& v) { v.links[kLink1].port = 1; },
       {false, false, false, true, false, false, false, false, true, true}},
      {"RS485 multiple",
       [](WorkParameters& v) { v.links[kLink1].port = 1, v.rs485IdMode = 1; },
       {false, false, false, true, true, false, false, false, true, true}},
      {"analogue",
       [](WorkParameters& v) { v.adMode = 2, v.daMode = 1; },
       {false, false, false, false, false, true, true, false, true, true}},
      {"CANown",
       [](WorkParameters& v) { v.canFunction = 1; },
       {false, false, false, false, false, false, false, false, true, true}},
      {"CANopen",
       [](WorkParameters& v) { v.canFunction = 2; },
       {false, false, false, false, false, false, false, true, false, false}},
  };
  for (const Case& c : cases) {
    WorkParameters v;
    c.set(v);
    EXPECT_EQ(ApplyEnablingRules(v), c.expected) << c.name;
  }
}

TEST(WorkParametersTest, EnablingRulesForceTheValuesTheyTie) {
  WorkParameters v;
  v.links[kLink1].port = kPortRs232;
  v.rs485IdMode = kIdModeMultiple;
  v.fastWrite = false;
  v.fastWriteLength = 30;
  const Enabling e = ApplyEnablingRules(v);
  EXPECT_EQ(v.rs485IdMode, kIdModeSingle);
  EXPECT_FALSE(e.registersPerId);
  EXPECT_EQ(v.fastWriteLength, 0);

  v.links[kLink1].port = 1;
  v.rs485IdMode = kIdModeMultiple;
  v.fastWrite = true;
  v.fastWriteLength = 30;
  ApplyEnablingRules(v);
  EXPECT_EQ(v.rs485IdMode, kIdModeMultiple);
  EXPECT_EQ(v.fastWriteLength, 30);
}

TEST(WorkParametersTest, TypedNumbersAreCheckedAgainstTheirRanges) {
  struct Case {
    TypedCheck (*check)(std::string_view);
    const char* typed;
    const char* becomes;
    const char* message;  // nullptr: none
  };
  const Case cases[] = {
      {CheckControllerIdText, "300", "0", "Set Range: 0-255 ！"},
      {CheckControllerIdText, "256", "0", "Set Range: 0-255 ！"},
      {CheckControllerIdText, "99999999999999", "0", "Set Range: 0-255 ！"},
      {CheckControllerIdText, "255", "255", nullptr},
      {CheckControllerIdText, "0", "0", nullptr},
      {CheckControllerIdText, "", "0", nullptr},
      {CheckTimeoutText, "0", "255", "Set Range: 1-255 ！"},
      {CheckTimeoutText, "00", "255", "Set Range: 1-255 ！"},
      {CheckTimeoutText, "256", "255", "Set Range: 1-255 ！"},
      {CheckTimeoutText, "1", "1", nullptr},
      {CheckTimeoutText, "200", "200", nullptr},
      {CheckTimeoutText, "", "1", nullptr},
  };
  for (const Case& c : cases) {
    const TypedCheck result = c.check(c.typed);
    EXPECT_EQ(result.text, c.becomes) << c.typed;
    if (c.message == nullptr) {
      EXPECT_FALSE(result.message) << c.typed;
    } else {
      ASSERT_TRUE(result.message) << c.typed;
      EXPECT_EQ(result.message->chinese, c.message);
      EXPECT_EQ(result.message->english, c.message);
    }
  }
  EXPECT_EQ(DigitsOnly("1a2 3-"), "123");
  EXPECT_EQ(TypedNumber("12"), 12);
}

TEST(WorkParametersTest, ConfirmRefusesASharedPortAndExtensionWithDa) {
  WorkParameters v;
  EXPECT_FALSE(CheckConfirm(v));
  v.links[kLink1].port = 1;
  v.links[kLink2].port = 1;
  auto refused = CheckConfirm(v);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->focus, RefusalFocus::Link2Port);
  EXPECT_EQ(refused->message.english,
            "Error communication port setting!\rLink1 And Link2 Same communication port setting!");

  v.links[kLink2].port = 0;
  v.extension = true;
  v.daMode = 1;
  refused = CheckConfirm(v);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->focus, RefusalFocus::ExtensionCheck);
  EXPECT_THAT(refused->message.chinese, HasSubstr("【DA输出】 不能同时使用"));
  v.daMode = 0;
  EXPECT_FALSE(CheckConfirm(v));  // the extension alone is fine
}

TEST(WorkParametersTest, LimitsFollowMaxRegAndTheAreaLengths) {
  const RegisterLimits limits = ComputeLimits(255, 100, 50);
  EXPECT_EQ(limits.pageSelectRegister, 255);
  EXPECT_EQ(limits.pageReportRegister, 255);
  EXPECT_EQ(limits.adRegister, 255);
  EXPECT_EQ(limits.daRegister, 255);
  EXPECT_EQ(limits.fastReadStart, 155);
  EXPECT_EQ(limits.fastWriteStart, 205);
  // An area longer than the register range pins its start at 0 rather than below it.
  const RegisterLimits tiny = ComputeLimits(7, 100, 50);
  EXPECT_EQ(tiny.fastReadStart, 0);
  EXPECT_EQ(tiny.fastWriteStart, 0);
  EXPECT_EQ(LimitHint(255), "0 ~ 255");

  WorkParameters v;
  v.pageSelectRegister = 2180;
  v.pageReportRegister = 200;
  v.fastReadStart = 300;
  LowerToLimits(v, limits);
  EXPECT_EQ(v.pageSelectRegister, 255);
  EXPECT_EQ(v.pageReportRegister, 200);
  EXPECT_EQ(v.fastReadStart, 155);
}

TEST(WorkParametersTest, CaptionsAndHintsCarryTheKindName) {
  EXPECT_EQ(FastReadCaption("4X", true), "快速读取区4X:");
  EXPECT_EQ(FastReadCaption("4X", false), "FastRead 4X:");
  EXPECT_EQ(PageRegisterCaption("D", true), "寄存器号D:");
  EXPECT_EQ(PageRegisterCaption("D", false), "Register D:");
  EXPECT_EQ(FastWriteStartCaption("D", true), "开始地址D:");
  EXPECT_EQ(FastWriteStartCaption("D", false), "StartAdd D:");
  EXPECT_EQ(AnalogueCaption("DM"), "DM:");
  EXPECT_EQ(
      AdRegistersHint("D:", 100, true),
      "D:100=AD1采样值\rD:101=AD2采样值\rD:102=PT100(AD1线阻补偿0.01)\r"
      "D:103=PT100(AD2线阻补偿0.01)\rD:104=PT100(AD1采样电阻0.1)\rD:105=PT100(AD2采样电阻0.1)");
  EXPECT_EQ(DaRegistersHint("D:", 7, true), "D:7=DA1输出值(0~20000)\rD:8=DA1增益值(50~120%)");
  EXPECT_THAT(DaRegistersHint("D:", 7, false), HasSubstr("D:8="));
}

TEST(WorkParametersTest, FastReadKindFallsBackToTheFirstKindWhenTheProtocolLacksIt) {
  DeviceLists lists;
  EXPECT_EQ(FastReadKindFor(8, lists), 8);  // nothing loaded: kept
  lists.W_DeviceName = {"N7", "B3"};
  EXPECT_EQ(FastReadKindFor(1, lists), 1);
  EXPECT_EQ(FastReadKindFor(8, lists), 0);
  EXPECT_EQ(FastReadKindFor(-1, lists), 0);
}

// Only a model whose screen is smaller than the project's elements reach moves anything.
TEST(WorkParametersTest, AModelChangeCountsTheElementsItsScreenWouldMove) {
  auto image = std::make_unique<model::ProjectImage>();
  model::ApplySettingsDefaults(image->Settings());
  At(image->Settings(), kPanelModel) = 2;  // 480 x 320
  model::PageRecord& page = image->Page(4);
  page.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
  page.ElemKind[9] = 1;
  page.ElemLeft[9] = 300;
  page.ElemWidth[9] = page.ElemHeight[9] = 16;
  const editor::MovedElements none{};
  EXPECT_EQ(ElementsMovedByModelChange(*image, 2), none);  // unchanged
  EXPECT_EQ(ElementsMovedByModelChange(*image, 3), none);  // VR40, the same screen
  EXPECT_EQ(ElementsMovedByModelChange(*image, 1), none);  // 320 wide: 300 still inside
  EXPECT_EQ(ElementsMovedByModelChange(*image, 0), (editor::MovedElements{1, 1}));  // 240 wide

  EXPECT_EQ(SmallerScreenQuestion({3, 2}).english,
            "The new panel model has a smaller screen: 3 element(s) on 2 page(s) lie outside it "
            "and will be moved or shrunk when their pages are opened; switching back does not "
            "restore them.\rContinue?");
}

TEST(WorkParametersTest, ProInitializeLoadsTheListsAndGivesTheStatusTexts) {
  auto settings = NewSettings();
  At(*settings, kRs485IdMode) = 1;
  At(*settings, kRegistersPerId) = 5;
  DeviceLists lists;
  std::vector<std::string> names;
  ProInitializeResult result = ProInitialize(*settings, lists, names, true, Resources());
  ASSERT_TRUE(result.loaded) << result.loaded.message();
  EXPECT_EQ(names.at(1), "Modbus RTU Master");
  EXPECT_EQ(lists.LinkUseCount, (std::vector<std::string>{"Link 1", "Link 2"}));
  EXPECT_EQ(lists.MaxReg, 65000);
  EXPECT_EQ(result.status.model, " VM20(320*240)");
  EXPECT_EQ(result.status.link, " Modbus RTU Slave (Panel) ( 57600 偶数 8 b 1 b )");
  // Link 1 on RS232 has no RS485 ID mode.
  EXPECT_EQ(At(*settings, kRs485IdMode), 0);
  EXPECT_EQ(At(*settings, kRegistersPerId), 0);

  At(*settings, kLink1Port) = 1;
  At(*settings, kRs485IdMode) = 1;
  At(*settings, kRegistersPerId) = 5;
  At(*settings, kLink1Parity) = 0;
  result = ProInitialize(*settings, lists, names, false, Resources());
  EXPECT_EQ(At(*settings, kRs485IdMode), 1);
  EXPECT_EQ(At(*settings, kRegistersPerId), 5);
  EXPECT_EQ(result.status.link, " Modbus RTU Slave (Panel) ( 57600 None 8 b 1 b )");
}

TEST(WorkParametersTest, ConfirmOnASmallerProtocolLowersTheRegisterFields) {
  auto settings = NewSettings();
  DeviceLists lists;
  std::vector<std::string> names;
  WorkParameters v = ReadWorkParameters(*settings);
  v.links[kLink1].protocol = kAllenBradley;
  v.followPage = true;
  v.adRegister = 4000;
  v.fastReadStart = 250;
  v.fastReadLength = 10;
  const ConfirmResult result = ConfirmWorkParameters(*settings, v, lists, names, true, Resources());
  ASSERT_FALSE(result.refused);
  ASSERT_TRUE(result.initialized.loaded) << result.initialized.loaded.message();
  EXPECT_EQ(lists.W_DeviceName.at(0), "N7");
  EXPECT_EQ(lists.MaxReg, 255);
  EXPECT_EQ(At(*settings, kLink1Protocol), kAllenBradley);
  EXPECT_EQ(At(*settings, kPageSelectRegister), 255);  // 2180 lowered
  EXPECT_EQ(At(*settings, kPageReportRegister), 255);  // 1180 lowered
  EXPECT_EQ(At(*settings, kAdDataRegister), 255);
  EXPECT_EQ(At(*settings, kFastReadStart), 245);  // 255 - length 10
  EXPECT_EQ(At(*settings, kFastReadKind), 0);     // protocol 5 has no 9th word kind
  EXPECT_EQ(v.pageSelectRegister, 255);           // the values come back as written
  EXPECT_THAT(result.initialized.status.link, HasSubstr("Allen-Bradley"));
}

// A project made elsewhere may name a protocol the device resources do not have: it opens,
// shows the number, and neither its number nor its register fields are changed by limits
// that belong to no known PLC.
TEST(WorkParametersTest, AProtocolTheResourcesLackIsKeptWithEverythingItLimits) {
  constexpr int kUnknown = 12;
  auto settings = NewSettings();
  At(*settings, kLink1Protocol) = kUnknown;
  At(*settings, kPageSelectRegister) = 60000;
  At(*settings, kFastReadKind) = 8;
  DeviceLists lists;
  std::vector<std::string> names;
  ProInitializeResult result = ProInitialize(*settings, lists, names, true, Resources());
  ASSERT_TRUE(result.loaded) << result.loaded.message();
  EXPECT_EQ(lists.unknownLink1Protocol, kUnknown);
  EXPECT_EQ(result.status.link, " 未知 (12) ( 57600 偶数 8 b 1 b )");
  EXPECT_EQ(ProtocolName(names, kUnknown, false), "unknown (12)");
  EXPECT_EQ(ProtocolName(names, 1, false), "Modbus RTU Master");

  WorkParameters v = ReadWorkParameters(*settings);
  v.initialPage = 4;
  const ConfirmResult confirmed =
      ConfirmWorkParameters(*settings, v, lists, names, false, Resources());
  ASSERT_FALSE(confirmed.refused);
  EXPECT_THAT(confirmed.initialized.status.link, HasSubstr(" unknown (12) ("));
  EXPECT_EQ(At(*settings, kLink1Protocol), kUnknown);
  EXPECT_EQ(At(*settings, kInitialPage), 4);
  EXPECT_EQ(At(*settings, kPageSelectRegister), 60000);
  EXPECT_EQ(At(*settings, kFastReadKind), 8);

  // Choosing a known protocol takes its lists and limits again.
  v.links[kLink1].protocol = kAllenBradley;
  ASSERT_TRUE(
      ConfirmWorkParameters(*settings, v, lists, names, false, Resources()).initialized.loaded);
  EXPECT_TRUE(lists.AllKnown());
  EXPECT_EQ(At(*settings, kPageSelectRegister), 255);
}

TEST(WorkParametersTest, ARefusedConfirmWritesNothing) {
  auto settings = NewSettings();
  const auto before = std::make_unique<PageRecord>(*settings);
  DeviceLists lists;
  std::vector<std::string> names;
  WorkParameters v = ReadWorkParameters(*settings);
  v.links[kLink2].port = v.links[kLink1].port;
  v.initialPage = 9;
  const ConfirmResult result = ConfirmWorkParameters(*settings, v, lists, names, true, Resources());
  ASSERT_TRUE(result.refused);
  EXPECT_EQ(std::memcmp(settings.get(), before.get(), sizeof(PageRecord)), 0);
  EXPECT_TRUE(lists.LinkUseCount.empty());
}

TEST(WorkParametersTest, AMissingDatabaseKeepsTheListsAndTheTypedValues) {
  test::TempDir dir;
  auto settings = NewSettings();
  DeviceLists lists;
  lists.W_DeviceName = {"N7"};
  lists.W_DeviceMax = {"255"};
  lists.MaxReg = 255;
  lists.LinkUseCount = {"Link 1", "Link 2"};
  std::vector<std::string> names;
  WorkParameters v = ReadWorkParameters(*settings);
  v.initialPage = 3;
  const ConfirmResult result =
      ConfirmWorkParameters(*settings, v, lists, names, true, dir / "QXRes.Dat");
  ASSERT_FALSE(result.refused);
  EXPECT_FALSE(result.initialized.loaded);
  EXPECT_THAT(result.initialized.loaded.message(), HasSubstr("QXRes.Dat"));
  EXPECT_EQ(lists.MaxReg, 255);
  EXPECT_EQ(At(*settings, kInitialPage), 3);
  EXPECT_EQ(At(*settings, kPageSelectRegister), 2180);  // not lowered to stale limits
}

}  // namespace
}  // namespace dravik::params
