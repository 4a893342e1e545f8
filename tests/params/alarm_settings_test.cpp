#include "params/alarm_settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gbk.h"

namespace dravik::params {
namespace {

using model::At;
using model::PageRecord;
using namespace model::settings;

std::vector<std::string> Addresses(int kind, const char* name, int start, int count) {
  std::vector<std::string> rows;
  for (int row = 1; row <= count; ++row) rows.push_back(AlarmAddress(kind, name, start, row));
  return rows;
}

TEST(AlarmSettingsTest, WordBitAddressesRunSixteenBitsPerWord) {
  const std::vector<std::string> rows = Addresses(kAlarmKindWordBit, "D.b", 100, 20);
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_EQ(rows[0], "D.b100.0");
  EXPECT_EQ(rows[15], "D.b100.15");
  EXPECT_EQ(rows[16], "D.b101.0");
  EXPECT_EQ(rows[19], "D.b101.3");
  // No kind chosen reads as bits inside words too.
  EXPECT_EQ(AlarmAddress(-1, "", 0, 18), "1.1");
}

TEST(AlarmSettingsTest, BitKindAddressesCountUpFromTheStart) {
  EXPECT_EQ(Addresses(kAlarmKindBit, "M", 7, 3), (std::vector<std::string>{"M7", "M8", "M9"}));
}

TEST(AlarmSettingsTest, WritingFewerAlarmsKeepsTheTextsAfterThem) {
  auto settings = std::make_unique<PageRecord>();
  AlarmSettings alarms;
  alarms.count = 10;
  for (int i = 0; i < 10; ++i) {
    alarms.textsA[static_cast<std::size_t>(i)] = "old A" + std::to_string(i);
    alarms.textsB[static_cast<std::size_t>(i)] = "old B" + std::to_string(i);
  }
  WriteAlarmSettings(*settings, alarms);
  alarms.kind = kAlarmKindWordBit;
  alarms.start = 100;
  alarms.count = 4;
  alarms.font = 1;
  for (int i = 0; i < 10; ++i)
    alarms.textsA[static_cast<std::size_t>(i)] = "new" + std::to_string(i);
  WriteAlarmSettings(*settings, alarms);

  EXPECT_EQ(At(*settings, kAlarmKind), 0);
  EXPECT_EQ(At(*settings, kAlarmStart), 100);
  EXPECT_EQ(At(*settings, kAlarmCount), 4);
  EXPECT_EQ(At(*settings, kAlarmFont), 1);
  EXPECT_EQ(settings->ElemTextA[103].Str(), "new3");
  EXPECT_EQ(settings->ElemTextA[104].Str(), "old A4");
  EXPECT_EQ(settings->ElemTextA[109].Str(), "old A9");
  EXPECT_EQ(settings->ElemTextB[109].Str(), "old B9");
}

TEST(AlarmSettingsTest, EightyAlarmsStopBeforeEntry180) {
  auto settings = std::make_unique<PageRecord>();
  settings->ElemTextA[180] = "keep";
  AlarmSettings alarms;
  alarms.count = kMaxAlarms;
  alarms.textsA.fill("x");
  WriteAlarmSettings(*settings, alarms);
  EXPECT_EQ(settings->ElemTextA[179].Str(), "x");
  EXPECT_EQ(settings->ElemTextA[180].Str(), "keep");
}

TEST(AlarmSettingsTest, ReadingHoldsTheCountAndKindToWhatTheDialogOffers) {
  auto settings = std::make_unique<PageRecord>();
  At(*settings, kAlarmCount) = 200;
  At(*settings, kAlarmKind) = 5;
  settings->ElemTextB[100] = "first";
  AlarmSettings alarms = ReadAlarmSettings(*settings);
  EXPECT_EQ(alarms.count, kMaxAlarms);
  EXPECT_EQ(alarms.kind, kAlarmKindBit);
  EXPECT_EQ(alarms.textsB[0], "first");
  At(*settings, kAlarmKind) = 0;
  EXPECT_EQ(ReadAlarmSettings(*settings).kind, kAlarmKindWordBit);
}

TEST(AlarmSettingsTest, LongTextsAreCutOnACharacterBoundary) {
  const std::string chinese = platform::Utf8ToGbk("报警");  // four bytes
  std::string text(47, 'a');
  text += chinese;  // 51 bytes: the second character does not fit
  EXPECT_EQ(CutGbk(text, kAlarmTextBytes), std::string(47, 'a') + chinese.substr(0, 2));
  EXPECT_EQ(CutGbk(std::string(48, 'a') + chinese, kAlarmTextBytes),
            std::string(48, 'a') + chinese.substr(0, 2));
  EXPECT_EQ(CutGbk(std::string(49, 'a') + chinese, kAlarmTextBytes), std::string(49, 'a'));
  EXPECT_EQ(CutGbk("short", kAlarmTextBytes), "short");

  auto settings = std::make_unique<PageRecord>();
  AlarmSettings alarms;
  alarms.count = 1;
  alarms.textsA[0] = std::string(49, 'a') + chinese;
  WriteAlarmSettings(*settings, alarms);
  EXPECT_EQ(settings->ElemTextA[100].Length(), 49u);
}

TEST(AlarmSettingsTest, KindNamesAndCaption) {
  DeviceLists lists;
  lists.B_DeviceName = {"D.b", "M", "S"};
  EXPECT_EQ(AlarmKindNames(lists)[0], "D.b");
  EXPECT_EQ(AlarmKindNames(lists)[1], "M");
  lists.B_DeviceName = {"X"};
  EXPECT_EQ(AlarmKindNames(lists)[1], "");
  EXPECT_EQ(AlarmStartCaption("M", true), "寄存器号M:");
  EXPECT_EQ(AlarmStartCaption("M", false), "Register M:");
}

}  // namespace
}  // namespace dravik::params
