#include "model/settings_page.h"

#include <iterator>

namespace dravik::model {

using namespace settings;

void ApplySettingsDefaults(PageRecord& s) {
  At(s, kPanelModel) = 1;
  At(s, kStartLanguage) = 0;
  At(s, kClockMacroEnabled) = 0;
  At(s, kExtensionBoard) = 0;
  At(s, kInitialPage) = 1;
  At(s, kScreenSaverMinutes) = 6;
  At(s, kFocusColor) = 255;
  At(s, kSuperPassword) = "4826";
  At(s, kDefaultPageColor) = 0xFFFF00;
  At(s, kDefaultTextFont) = 1;
  At(s, kDefaultTextBackColor) = 0xFFFF00;
  At(s, kDefaultTextForeColor) = 0;

  At(s, kLink1Protocol) = 0;
  At(s, kLink1ControllerId) = 1;
  At(s, kLink1Baud) = 3;
  At(s, kLink1Timeout) = 200;
  At(s, kLink1Parity) = 2;
  At(s, kLink1DataBits) = 2;
  At(s, kLink1StopBits) = 0;
  At(s, kLink1Port) = 0;
  At(s, kRs485IdMode) = 0;
  At(s, kRegistersPerId) = 0;
  At(s, kLink1FailureAlarm) = 0;

  At(s, kLink2Table) = 1;
  At(s, kLink2ControllerId) = 2;
  At(s, kLink2Baud) = 3;
  At(s, kLink2Timeout) = 100;
  At(s, kLink2Parity) = 0;
  At(s, kLink2DataBits) = 2;
  At(s, kLink2StopBits) = 0;
  At(s, kLink2Port) = 1;
  At(s, kLink2Enabled) = 0;

  At(s, kFollowPageRegister) = 0;
  At(s, kPageSelectRegister) = 2180;
  At(s, kReportCurrentPage) = 0;
  At(s, kPageReportRegister) = 1180;
  At(s, kFastReadKind) = 8;
  At(s, kFastReadStart) = 0;
  At(s, kFastReadLength) = 0;
  At(s, kFastWriteEnabled) = 0;
  At(s, kFastWriteStart) = 0;
  At(s, kFastWriteLength) = 0;

  At(s, kAdInputMode) = 0;
  At(s, kDaOutputMode) = 0;
  At(s, kAdDataRegister) = 0;
  At(s, kDaDataRegister) = 0;

  At(s, kCanFunction) = 0;
  At(s, kCanBaud) = 3;
  At(s, kCanFrameFormat) = 0;
  At(s, kCanFrameType) = 0;
  At(s, kCanOpenNodeId) = 1;
  At(s, kCanOpenNodeStart) = 0;
  At(s, kCanOpenTpdoInhibit) = 100;
  At(s, kCanShareOwnId) = 100;
  At(s, kCanAcceptance3) = 101;
  At(s, kCanAcceptance4) = 102;
  At(s, kCanAcceptance5) = 103;
  At(s, kCanSlaveOwnId) = 201;
  At(s, kCanAcceptance6) = 200;

  At(s, kKeyRegister) = 0;
  At(s, kLedRegister) = 2100;
  At(s, kPageAfterPassword) = 0;

  At(s, kAlarmKind) = 0;
  At(s, kAlarmStart) = 0;
  At(s, kAlarmCount) = 0;
  At(s, kAlarmFont) = 0;

  At(s, kReservedLongC5) = 1;
  At(s, kReservedLongC14) = 0;
  for (int i = 64; i <= 68; ++i) At(s, LongC{i}) = 0;
  At(s, kReservedLongC63) = 8;
  At(s, kReservedByteC2) = 1;
}

void SetFileMarkers(PageRecord& s) {
  At(s, kFileMarkerKind) = kFileMarkerKindValue;
  At(s, kFileMarkerWord) = kFileMarkerWordValue;
}

bool HasFileMarkers(const PageRecord& s) {
  return At(s, kFileMarkerKind) == kFileMarkerKindValue &&
         At(s, kFileMarkerWord) == kFileMarkerWordValue;
}

void RepairSettingsOnOpen(PageRecord& s) {
  // Files from before these entries existed hold 0 in both; a file Dravik wrote holds 8 in
  // entry 63, and there a fast read kind 0 is the protocol's first kind, chosen by the user.
  if (At(s, kFastReadKind) == 0 && At(s, kReservedLongC63) == 0) At(s, kFastReadKind) = 8;
  if (At(s, kReservedLongC63) == 0) At(s, kReservedLongC63) = 8;
}

std::string_view PanelModelName(const PageRecord& s) {
  const unsigned index = At(s, kPanelModel) & 0x3F;
  return index < std::size(kPanelModelNames) ? kPanelModelNames[index] : std::string_view{};
}

}  // namespace dravik::model
