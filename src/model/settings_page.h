#pragma once
// The project-wide settings, each one entry of one slot array of record 0. An entry names
// its array in its type, so `At(settings, kInitialPage)` can only reach ElemLongC[3].

#include <cstdint>
#include <string_view>

#include "model/page_record.h"

namespace dravik::model {

template <auto Array>
struct SettingEntry {
  int index;
};

template <auto Array>
constexpr auto& At(PageRecord& settings, SettingEntry<Array> entry) {
  return (settings.*Array)[entry.index];
}
template <auto Array>
constexpr const auto& At(const PageRecord& settings, SettingEntry<Array> entry) {
  return (settings.*Array)[entry.index];
}

namespace settings {

using WordA = SettingEntry<&PageRecord::ElemWordA>;
using LongC = SettingEntry<&PageRecord::ElemLongC>;
using LongD = SettingEntry<&PageRecord::ElemLongD>;
using ByteB = SettingEntry<&PageRecord::ElemByteB>;
using ByteC = SettingEntry<&PageRecord::ElemByteC>;
using ByteD = SettingEntry<&PageRecord::ElemByteD>;
using Kind = SettingEntry<&PageRecord::ElemKind>;
using Left = SettingEntry<&PageRecord::ElemLeft>;
using Top = SettingEntry<&PageRecord::ElemTop>;
using Width = SettingEntry<&PageRecord::ElemWidth>;
using Height = SettingEntry<&PageRecord::ElemHeight>;
using TextA = SettingEntry<&PageRecord::ElemTextA>;
using TextB = SettingEntry<&PageRecord::ElemTextB>;

// Panel and general.
inline constexpr WordA kPanelModel{0};  // model list index; readers use the low 6 bits
inline constexpr ByteB kStartLanguage{0};       // 0 language one, 1 language two
inline constexpr ByteD kClockMacroEnabled{0};
inline constexpr ByteD kExtensionBoard{1};      // K1~K8 + LED1~LED8; excludes DA output
inline constexpr LongC kInitialPage{3};
inline constexpr LongC kScreenSaverMinutes{4};  // 0 = always lit
inline constexpr LongC kFocusColor{6};
inline constexpr TextA kSuperPassword{0};
inline constexpr LongC kDefaultPageColor{50};
inline constexpr LongC kDefaultTextFont{51};    // 0 "16X16", 1 "24X24", 2 "32X32"
inline constexpr LongC kDefaultTextBackColor{52};
inline constexpr LongC kDefaultTextForeColor{53};

// Link 1, the PLC link.
inline constexpr Height kLink1Protocol{0};      // row of the protocol list
inline constexpr LongC kLink1ControllerId{0};
inline constexpr LongC kLink1Baud{1};           // 0 9600 .. 4 115200
inline constexpr LongC kLink1Timeout{2};        // ms
inline constexpr Left kLink1Parity{0};          // 0 none, 1 odd, 2 even
inline constexpr Top kLink1DataBits{0};         // 0 "6 b", 1 "7 b", 2 "8 b"
inline constexpr Width kLink1StopBits{0};       // 0 "1 b", 1 "2 b"
inline constexpr LongC kLink1Port{30};          // 0 COM1(RS232), 1 COM2(RS485/232), 2 COM3(CANbus)
inline constexpr LongC kRs485IdMode{12};        // 0 single, 1 multiple; 0 while the port is 0
inline constexpr LongC kRegistersPerId{13};     // (k + 1) * 100; 0 while the port is 0
inline constexpr ByteC kLink1FailureAlarm{3};

// Link 2.
inline constexpr Height kLink2Table{1};
inline constexpr LongC kLink2ControllerId{20};
inline constexpr LongC kLink2Baud{21};
inline constexpr LongC kLink2Timeout{22};
inline constexpr Left kLink2Parity{1};
inline constexpr Top kLink2DataBits{1};
inline constexpr Width kLink2StopBits{1};
inline constexpr LongC kLink2Port{31};          // must differ from Link 1's port
inline constexpr ByteC kLink2Enabled{5};

// Page exchange and fast areas.
inline constexpr ByteC kFollowPageRegister{0};
inline constexpr LongC kPageSelectRegister{10};
inline constexpr ByteC kReportCurrentPage{1};
inline constexpr LongC kPageReportRegister{11};
inline constexpr LongC kFastReadKind{60};       // Link 1 word kind; 0 in an old file is read as 8
inline constexpr LongC kFastReadStart{61};
inline constexpr LongC kFastReadLength{62};     // 0..100
inline constexpr WordA kFastWriteEnabled{15};
inline constexpr WordA kFastWriteStart{16};
inline constexpr WordA kFastWriteLength{17};    // 0..50; 0 whenever disabled

// Analogue channels.
inline constexpr WordA kAdInputMode{18};
inline constexpr WordA kDaOutputMode{19};
inline constexpr WordA kAdDataRegister{20};     // first of six
inline constexpr WordA kDaDataRegister{21};     // first of two

// CAN bus.
inline constexpr LongD kCanFunction{0};         // 0 OFF, 1 CANown, 2 CANopen
inline constexpr LongD kCanBaud{1};             // 0 10K .. 7 1000K
inline constexpr LongD kCanFrameFormat{2};
inline constexpr LongD kCanFrameType{3};
inline constexpr LongD kCanOpenNodeId{4};
inline constexpr LongD kCanOpenNodeStart{5};
inline constexpr LongD kCanOpenTpdoInhibit{6};
inline constexpr LongD kCanShareOwnId{7};
inline constexpr LongD kCanAcceptance3{8};
inline constexpr LongD kCanAcceptance4{9};
inline constexpr LongD kCanAcceptance5{10};
inline constexpr LongD kCanSlaveOwnId{11};
inline constexpr LongD kCanAcceptance6{12};

// Keyboard and LEDs.
inline constexpr WordA kKeyRegister{10};        // K00..K15; K16..K31 in the next register
inline constexpr WordA kLedRegister{12};        // LED00..LED15; LED16..LED31 in the next

// Password page.
inline constexpr LongC kPageAfterPassword{7};

// Alarm list.
inline constexpr WordA kAlarmKind{100};         // Link 1 bit kind; 0 = bits inside words
inline constexpr WordA kAlarmStart{101};
inline constexpr WordA kAlarmCount{102};        // 0..80
inline constexpr WordA kAlarmFont{103};
inline constexpr int kAlarmTextFirst = 100;     // ElemTextA/B 100 + i, i < 80
inline constexpr int kMaxAlarms = 80;

// File markers: written by every save, checked by every open.
inline constexpr Kind kFileMarkerKind{198};
inline constexpr std::uint8_t kFileMarkerKindValue = 168;
inline constexpr WordA kFileMarkerWord{198};
inline constexpr std::uint16_t kFileMarkerWordValue = 9595;

// Reserved entries that New sets; the compiler passes kReserved5's low byte on.
inline constexpr LongC kReservedLongC5{5};
inline constexpr LongC kReservedLongC14{14};
inline constexpr LongC kReservedLongC63{63};    // 0 is read as 8 on open
inline constexpr ByteC kReservedByteC2{2};

}  // namespace settings

// Every default a new project gets; leaves the alarm texts and unlisted entries alone.
void ApplySettingsDefaults(PageRecord& settings);

// Sets the two file markers (done just before every save).
void SetFileMarkers(PageRecord& settings);
bool HasFileMarkers(const PageRecord& settings);

// The repairs every open makes: a fast-read kind or reserved entry 63 of 0 becomes 8.
void RepairSettingsOnOpen(PageRecord& settings);

// The panel model list, index = `kPanelModel` & 0x3F.
inline constexpr std::string_view kPanelModelNames[] = {
    "VM20(240*320)", "VM20(320*240)", "VM30(480*320)", "VR40(480*320)",
    "VM30(320*480)", "VD12(256*64)",  "VD12(64*256)"};
std::string_view PanelModelName(const PageRecord& settings);  // "" for an unknown index

}  // namespace dravik::model
