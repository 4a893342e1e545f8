// The simulated panel on images compiled from small projects: values shown in their
// formats, lamps and switches by their bits, touches, page jumps by key and by the PLC,
// entries against their limits, trends over time, the clock, alarms and passwords.

#include "sim/panel_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "sim_test_project.h"

namespace dravik::sim {
namespace {

namespace el = elements;
using namespace model::settings;
using namespace std::chrono_literals;

constexpr WordAddress D(std::uint32_t n) {
  return {0, 0, n};
}
constexpr BitAddress DBit(std::uint32_t n, int bit) {
  return {0, 0, n, static_cast<std::uint8_t>(bit)};
}
constexpr BitAddress M(std::uint32_t n) {
  return {0, 1, n, 0};
}

RegisterKinds PanelKinds() {
  params::DeviceLists lists;
  lists.W_DeviceName = {"D", "R"};
  lists.W_DeviceMax = {"65000", "32767"};
  lists.B_DeviceName = {"D.b", "M"};
  lists.B_DeviceBit = {"15", "0"};
  lists.B_DeviceMax = {"65000", "8191"};
  return RegisterKinds::FromLists(lists);
}

// 2026-03-04 05:06:07 UTC.
std::chrono::system_clock::time_point FixedNow() {
  return std::chrono::sys_days{std::chrono::year{2026} / 3 / 4} + 5h + 6min + 7s;
}

class PanelSessionTest : public testing::Test {
 protected:
  PanelSessionTest() {
    project_.UsePage(1);
    At(project_.Settings(), kInitialPage) = 1;
  }

  model::PageRecord& Page(int number = 1) { return project_.Project().Page(number); }

  PanelSession Start() {
    SessionOptions options;
    options.now = FixedNow;
    auto session = PanelSession::Start(project_.Compile(), PanelKinds(), options);
    EXPECT_TRUE(session) << (session ? "" : session.message());
    return std::move(*session);
  }

  static std::string Shown(const Screen& screen, int slot) {
    return screen.page->ElemTextA[slot].Str();
  }
  static bool IsOn(const Screen& screen, int slot) {
    return std::find(screen.onSlots.begin(), screen.onSlots.end(), slot) != screen.onSlots.end();
  }
  int PlaceRegister(int number, int digits, int decimals, bool isSigned = false,
                    bool is32 = false) {
    const int s = project_.Place(1, el::kKindRegister, 10, 10 + 30 * registers_++);
    el::RegisterElement reg(Page(), s);
    reg.registerNumber() = static_cast<std::uint16_t>(number);
    reg.digitsAndDecimals() = static_cast<std::uint16_t>(digits << 8 | decimals);
    reg.isSigned() = isSigned ? 1 : 0;
    reg.operandByte() = is32 ? 1 : 0;
    return s;
  }

  test::TestProject project_;
  int registers_ = 0;
};

TEST_F(PanelSessionTest, RegistersShowTheirValueInTheirFormatAndHideByTheirKeyRegister) {
  const int plain = PlaceRegister(100, 5, 2);
  const int negative = PlaceRegister(101, 4, 0, true);
  const int wide = PlaceRegister(102, 10, 0, false, true);
  const int masked = PlaceRegister(104, 4, 0);
  const int hidden = PlaceRegister(105, 4, 0);
  el::RegisterElement(Page(), masked).keyRegister() = 50;
  el::RegisterElement(Page(), masked).keyCondition() = 0x10;  // "***" while D50 is 0
  el::RegisterElement(Page(), hidden).keyRegister() = 50;
  el::RegisterElement(Page(), hidden).keyCondition() = 0x21;  // hidden while D50 is not 0
  PanelSession session = Start();
  session.Memory().SetWord(D(100), 1234);
  session.Memory().SetWord(D(101), 0xFFF6);
  session.Memory().SetDoubleWord(D(102), 3000000000u);
  session.Memory().SetWord(D(104), 7);
  session.Memory().SetWord(D(105), 8);

  Screen screen = session.BuildScreen();
  EXPECT_EQ(Shown(screen, plain), "12.34");
  EXPECT_EQ(Shown(screen, negative), "-10");
  EXPECT_EQ(Shown(screen, wide), "3000000000");
  EXPECT_EQ(Shown(screen, masked), "***");
  EXPECT_EQ(Shown(screen, hidden), "8");

  session.Memory().SetWord(D(50), 1);
  screen = session.BuildScreen();
  EXPECT_EQ(Shown(screen, masked), "7");
  EXPECT_EQ(screen.page->ElemKind[hidden], 0);
}

TEST_F(PanelSessionTest, LampsFollowTheirBitAndKeepTheirLogicForTheRenderer) {
  const int positive = project_.Place(1, el::kKindLamp, 10, 10);
  const int negative = project_.Place(1, el::kKindLamp, 10, 40);
  for (int s : {positive, negative}) {
    el::LampElement lamp(Page(), s);
    lamp.registerNumber() = 20;
    lamp.operandByte() = 3;  // D.b20.3
  }
  el::LampElement(Page(), negative).negativeLogic() = 1;
  PanelSession session = Start();
  Screen screen = session.BuildScreen();
  EXPECT_FALSE(IsOn(screen, positive));
  EXPECT_EQ(screen.page->ElemByteD[negative], 1);
  session.Memory().SetWord(D(20), 8);
  screen = session.BuildScreen();
  EXPECT_TRUE(IsOn(screen, positive));
  EXPECT_TRUE(IsOn(screen, negative));  // the renderer's ON appearance: drawn unlit
}

TEST_F(PanelSessionTest, BitSwitchesSetResetHoldAndAlternateByTouch) {
  int slots[4];
  for (int action = 0; action < 4; ++action) {
    slots[action] = project_.Place(1, el::kKindBitSwitch, 10, 10 + 40 * action, 60, 30);
    el::BitSwitchElement key(Page(), slots[action]);
    key.registerNumber() = static_cast<std::uint16_t>(action);
    key.operandByte() = 0x10;  // M
    key.action() = static_cast<std::uint16_t>(action);
    key.panelKey() = 30;  // no panel key
  }
  PanelSession session = Start();
  std::vector<BitAddress> written;
  session.OnWrite(nullptr, [&](const BitAddress& bit) { written.push_back(bit); });
  const auto touch = [&](int action) {
    session.Touch(20, 20 + 40 * action);
    const bool during = session.Memory().Bit(M(action));
    session.ReleaseTouch();
    return during;
  };
  EXPECT_TRUE(touch(0));
  EXPECT_TRUE(session.Memory().Bit(M(0)));
  session.Memory().SetBit(M(1), true);
  EXPECT_FALSE(touch(1));
  EXPECT_FALSE(session.Memory().Bit(M(1)));
  EXPECT_TRUE(touch(2));  // on while touched
  EXPECT_FALSE(session.Memory().Bit(M(2)));
  EXPECT_TRUE(touch(3));
  EXPECT_TRUE(session.Memory().Bit(M(3)));
  EXPECT_FALSE(touch(3));
  EXPECT_TRUE(IsOn(session.BuildScreen(), slots[0]));
  EXPECT_FALSE(written.empty());
  EXPECT_EQ(written.front(), M(0));
}

TEST_F(PanelSessionTest, FunctionKeysAndPageKeysJumpAndThePageIsReported) {
  project_.UsePage(2);
  const int key = project_.Place(1, el::kKindFunctionKey, 100, 100, 60, 30);
  el::FunctionKeyElement(Page(), key).options() = 4;  // page jump
  el::FunctionKeyElement(Page(), key).jumpPage() = 2;
  model::PageKeyJump(Page(2), 0).Assign("1");    // F1 on page 2 leads back
  model::PageKeyJump(Page(2), 1).Assign("250");  // a system screen: stays
  At(project_.Settings(), kReportCurrentPage) = 1;
  At(project_.Settings(), kPageReportRegister) = 300;
  PanelSession session = Start();
  EXPECT_EQ(session.PageNumber(), 1);
  EXPECT_EQ(session.Memory().Word(D(300)), 1);

  session.Touch(110, 110);
  session.ReleaseTouch();
  EXPECT_EQ(session.PageNumber(), 2);
  EXPECT_EQ(session.Memory().Word(D(300)), 2);
  session.PressKey(1);
  session.ReleaseKey(1);
  EXPECT_EQ(session.PageNumber(), 2);
  session.PressKey(0);
  EXPECT_TRUE(session.Memory().Bit(DBit(At(project_.Settings(), kKeyRegister), 0)));
  session.ReleaseKey(0);
  EXPECT_EQ(session.PageNumber(), 1);
  EXPECT_FALSE(session.GoToPage(9));
  EXPECT_EQ(session.PageNumbers(), (std::vector<int>{1, 2}));
}

TEST_F(PanelSessionTest, ThePlcChangesThePageThroughItsRegister) {
  project_.UsePage(5);
  At(project_.Settings(), kFollowPageRegister) = 1;
  At(project_.Settings(), kPageSelectRegister) = 400;
  PanelSession session = Start();
  session.Memory().SetWord(D(400), 5);
  session.Advance(100ms);
  EXPECT_EQ(session.PageNumber(), 5);
  session.Memory().SetWord(D(400), 77);  // no such page: stays
  session.Advance(100ms);
  EXPECT_EQ(session.PageNumber(), 5);
  const auto words = session.WordsInUse();
  EXPECT_NE(std::find(words.begin(), words.end(), D(400)), words.end());
}

TEST_F(PanelSessionTest, EntriesAreRefusedOutsideTheirLimitsDirectOrIndirect) {
  const int direct = PlaceRegister(100, 4, 1);
  const int indirect = PlaceRegister(101, 4, 0);
  for (int s : {direct, indirect}) el::RegisterElement(Page(), s).inputAllowed() = 1;
  el::RegisterElement(Page(), direct).lowerLimit() = 10;   // 1.0
  el::RegisterElement(Page(), direct).upperLimit() = 500;  // 50.0
  el::RegisterElement(Page(), indirect).indirectLimits() = 1;
  el::RegisterElement(Page(), indirect).lowerLimit() = 200;
  el::RegisterElement(Page(), indirect).upperLimit() = 201;
  PanelSession session = Start();
  std::vector<WordAddress> written;
  session.OnWrite([&](const WordAddress& word) { written.push_back(word); }, nullptr);

  session.Touch(20, 15);
  ASSERT_TRUE(session.PendingEntry());
  EXPECT_EQ(session.PendingEntry()->lower, 10);
  EXPECT_EQ(session.PendingEntry()->upper, 500);
  const Status refused = session.ConfirmEntry("50.1");
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.message(), "Outside the limits 10 ~ 500");
  EXPECT_TRUE(session.PendingEntry());  // stays open to be corrected
  EXPECT_TRUE(session.ConfirmEntry("12.5"));
  EXPECT_EQ(session.Memory().Word(D(100)), 125);
  EXPECT_FALSE(session.PendingEntry());
  EXPECT_EQ(written, (std::vector<WordAddress>{D(100)}));

  session.Memory().SetWord(D(200), 5);
  session.Memory().SetWord(D(201), 9);
  session.Touch(20, 45);
  EXPECT_FALSE(session.ConfirmEntry("10"));
  EXPECT_FALSE(session.ConfirmEntry("4"));
  EXPECT_TRUE(session.ConfirmEntry("9"));
  EXPECT_EQ(session.Memory().Word(D(101)), 9);
}

TEST_F(PanelSessionTest, KeysMoveTheFocusTypeDigitsAndConfirm) {
  const int first = PlaceRegister(100, 4, 0);
  const int second = PlaceRegister(101, 4, 0);
  for (int s : {first, second}) el::RegisterElement(Page(), s).inputAllowed() = 1;
  PanelSession session = Start();
  session.PressKey(7);  // down
  EXPECT_EQ(session.BuildScreen().focusSlot, first);
  session.PressKey(7);
  EXPECT_EQ(session.BuildScreen().focusSlot, second);
  session.PressKey(kKeyEnter);
  ASSERT_TRUE(session.PendingEntry());
  session.PressKey(12 + 4);
  session.PressKey(12 + 2);
  EXPECT_EQ(session.PendingEntry()->typed, "42");
  session.PressKey(kKeyEnter);
  EXPECT_EQ(session.Memory().Word(D(101)), 42);
  session.PressKey(kKeyEnter);
  session.PressKey(kKeyEscape);
  EXPECT_FALSE(session.PendingEntry());
}

TEST_F(PanelSessionTest, PasswordProtectedElementsAskForTheSuperPasswordOnce) {
  At(project_.Settings(), kSuperPassword).Assign("4321");
  const int reg = PlaceRegister(100, 4, 0);
  el::RegisterElement(Page(), reg).inputAllowed() = 1;
  el::RegisterElement(Page(), reg).formatBits() = 0x2102;  // level 2
  PanelSession session = Start();
  session.Touch(20, 15);
  ASSERT_TRUE(session.PendingEntry());
  EXPECT_TRUE(session.PendingEntry()->password);
  EXPECT_EQ(session.ConfirmEntry("1111").message(), "Wrong password");
  EXPECT_TRUE(session.ConfirmEntry("4321"));
  ASSERT_TRUE(session.PendingEntry());  // the value's own entry follows
  EXPECT_FALSE(session.PendingEntry()->password);
  EXPECT_TRUE(session.ConfirmEntry("7"));
  session.Touch(20, 15);
  EXPECT_FALSE(session.PendingEntry()->password);
}

TEST_F(PanelSessionTest, DynamicTextsShowTheStateOfTheirValue) {
  const int s = project_.Place(1, el::kKindDynamicText, 10, 10);
  el::DynamicTextElement text(Page(), s);
  text.registerNumber() = 30;
  text.stateCount() = 2;
  Page().DynTextStates[*model::TextEntry(s, 0, 0)].Assign("OFF0000");
  Page().DynTextStates[*model::TextEntry(s, 0, 1)].Assign("RUN0005");
  Page().DynTextStates[*model::TextEntry(s, 1, 1)].Assign("Run");
  PanelSession session = Start();
  EXPECT_EQ(Shown(session.BuildScreen(), s), "OFF");
  session.Memory().SetWord(D(30), 5);
  const Screen screen = session.BuildScreen();
  EXPECT_EQ(Shown(screen, s), "RUN");
  EXPECT_EQ(screen.page->ElemTextB[s].View(), "Run");
  session.Memory().SetWord(D(30), 6);  // no state of that value: nothing shown
  EXPECT_EQ(Shown(session.BuildScreen(), s), "");
}

TEST_F(PanelSessionTest, BarsFillFromZeroToFullScaleAndTrendsSampleAtTheirInterval) {
  const int bar = project_.Place(1, el::kKindBarGraph, 10, 10, 30, 100);
  el::BarGraphElement(Page(), bar).registerNumber() = 10;
  el::BarGraphElement(Page(), bar).fullScale() = 200;
  el::BarGraphElement(Page(), bar).zeroValue() = 100;
  const int indirect = project_.Place(1, el::kKindBarGraph, 50, 10, 30, 100);
  el::BarGraphElement(Page(), indirect).registerNumber() = 10;
  el::BarGraphElement(Page(), indirect).fullScaleIndirect() = 1;
  el::BarGraphElement(Page(), indirect).fullScaleRegister() = 11;
  const int chart = project_.Place(1, el::kKindTrendChart, 100, 10, 200, 100);
  el::TrendChartElement(Page(), chart).registerNumber() = 10;
  el::TrendChartElement(Page(), chart).sampleSeconds() = 2;
  el::TrendChartElement(Page(), chart).dataPoints() = 3;
  el::TrendChartElement(Page(), chart).fullScale() = 1000;
  PanelSession session = Start();
  session.Memory().SetWord(D(10), 150);
  session.Memory().SetWord(D(11), 600);
  Screen screen = session.BuildScreen();
  ASSERT_EQ(screen.bars.size(), 2u);
  EXPECT_DOUBLE_EQ(screen.bars[0].fraction, 0.5);
  EXPECT_DOUBLE_EQ(screen.bars[1].fraction, 0.25);
  session.Memory().SetWord(D(10), 50);
  EXPECT_DOUBLE_EQ(session.BuildScreen().bars[0].fraction, 0.0);  // below zero: empty

  session.Advance(1900ms);
  EXPECT_TRUE(session.BuildScreen().trends.at(0).samples.empty());
  session.Advance(100ms);
  session.Memory().SetWord(D(10), 2000);
  session.Advance(6000ms);
  screen = session.BuildScreen();
  ASSERT_EQ(screen.trends.size(), 1u);
  EXPECT_EQ(screen.trends[0].slot, chart);
  EXPECT_EQ(screen.trends[0].capacity, 3);
  EXPECT_EQ(screen.trends[0].samples, (std::vector<double>{1.0, 1.0, 1.0}));
}

TEST_F(PanelSessionTest, DateAndTimeShowThePanelClockAndAnEntrySetsIt) {
  const int date = project_.Place(1, el::kKindDate, 10, 10, 200, 30);
  const int time = project_.Place(1, el::kKindTime, 10, 60, 200, 30);
  el::ClockElement(Page(), time).displayFormat() = 1;  // HH:MM:SS
  el::ClockElement(Page(), time).inputAllowed() = 1;
  (void)date;
  PanelSession session = Start();
  session.Advance(2000ms);
  const Screen screen = session.BuildScreen();
  std::vector<std::string> shown;
  for (int s = 0; s < model::kSlotCount; ++s) {
    if (screen.page->ElemKind[s] == el::kKindRegister) shown.push_back(Shown(screen, s));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"2026", "03", "04", "05", "06", "09"}));

  // The hour field: touch it and enter 23.
  int hour = -1;
  for (int s = 0; s < model::kSlotCount; ++s) {
    if (screen.page->ElemKind[s] == el::kKindRegister && Shown(screen, s) == "05") hour = s;
  }
  ASSERT_GE(hour, 0);
  session.Touch(screen.page->ElemLeft[hour] - 5 + 1, screen.page->ElemTop[hour] - 5 + 1);
  ASSERT_TRUE(session.PendingEntry());
  EXPECT_FALSE(session.ConfirmEntry("24"));
  EXPECT_TRUE(session.ConfirmEntry("23"));
  EXPECT_EQ(Shown(session.BuildScreen(), hour), "23");
}

TEST_F(PanelSessionTest, AlarmsAreActiveWhileTheirBitsAreOn) {
  At(project_.Settings(), kAlarmCount) = 18;
  At(project_.Settings(), kAlarmStart) = 40;
  At(project_.Settings(), kAlarmKind) = 0;  // bits of words: D40.0 .. D41.1
  project_.Settings().ElemTextA[kAlarmTextFirst].Assign("Overheat");
  project_.Settings().ElemTextA[kAlarmTextFirst + 17].Assign("Low oil");
  PanelSession session = Start();
  EXPECT_TRUE(session.BuildScreen().activeAlarms.empty());
  session.Memory().SetWord(D(40), 1);
  session.Memory().SetWord(D(41), 2);
  EXPECT_EQ(session.BuildScreen().activeAlarms, (std::vector<std::string>{"Overheat", "Low oil"}));
  session.Memory().SetWord(D(40), 0);
  EXPECT_EQ(session.BuildScreen().activeAlarms, (std::vector<std::string>{"Low oil"}));
  const auto bits = session.BitsInUse();
  EXPECT_NE(std::find(bits.begin(), bits.end(), DBit(41, 1)), bits.end());
}

TEST_F(PanelSessionTest, LedsFollowTheirRegistersAndFunctionKeysSwitchTheLanguage) {
  At(project_.Settings(), kLedRegister) = 2100;
  const int key = project_.Place(1, el::kKindFunctionKey, 100, 100, 60, 30);
  el::FunctionKeyElement(Page(), key).options() = 8;        // panel function
  el::FunctionKeyElement(Page(), key).panelFunction() = 3;  // language
  PanelSession session = Start();
  session.Memory().SetWord(D(2100), 0x0001);
  session.Memory().SetWord(D(2101), 0x8000);
  const auto leds = session.Leds();
  EXPECT_TRUE(leds[0]);
  EXPECT_TRUE(leds[31]);
  EXPECT_EQ(std::count(leds.begin(), leds.end(), true), 2);
  EXPECT_FALSE(session.BuildScreen().languageTwo);
  session.Touch(110, 110);
  EXPECT_TRUE(session.BuildScreen().languageTwo);
  EXPECT_EQ(At(*session.BuildScreen().settings, kStartLanguage), 1);
}

TEST_F(PanelSessionTest, APageRegisterOffsetMovesThePagesRegistersOnItsProtocols) {
  At(project_.Settings(), kLink1Protocol) = 1;
  Page().PageStrings[model::kPageRegisterOffsetText].Assign("20");
  const int reg = PlaceRegister(100, 4, 0);
  PanelSession session = Start();
  session.Memory().SetWord(D(100), 1);
  session.Memory().SetWord(D(120), 2);
  EXPECT_EQ(Shown(session.BuildScreen(), reg), "2");
  const auto words = session.WordsInUse();
  EXPECT_NE(std::find(words.begin(), words.end(), D(120)), words.end());
}

}  // namespace
}  // namespace dravik::sim
