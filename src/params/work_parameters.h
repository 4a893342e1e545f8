#pragma once
// The work parameters: every project-wide setting the dialog "TSystemSetFor" edits, as
// plain values, with the rules that do not need a window: the lists it offers, the
// enabling rules, the checks while typing, the refusals of confirm and apply, the limits
// that the register kinds of the chosen protocol put on the register fields, and
// `ProInitialize`, which reloads those kinds and gives the status-bar texts.
//
// The dialog is a view of `WorkParameters`: it shows one, reads one back, and hands it to
// `ConfirmWorkParameters`, which writes the settings page in the order the panel expects.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/page_geometry.h"
#include "model/page_record.h"
#include "model/project_image.h"
#include "params/device_resources.h"
#include "params/link_settings.h"
#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::params {

// ---- the lists the dialog offers; a stored setting is a position in its list
inline constexpr std::array<const char*, 5> kBaudNames{"9600", "19200", "38400", "57600", "115200"};
inline constexpr std::array<const char*, 3> kParityNames{"无", "奇数", "偶数"};
inline constexpr std::array<const char*, 3> kParityNamesEnglish{"None", "Odd", "Even"};
inline constexpr std::array<const char*, 3> kDataBitNames{"6 b", "7 b", "8 b"};
inline constexpr std::array<const char*, 2> kStopBitNames{"1 b", "2 b"};
inline constexpr std::array<const char*, 3> kLink1PortNames{"COM1(RS232)", "COM2(RS485/232)",
                                                            "COM3(CANbus)"};
inline constexpr std::array<const char*, 2> kLink2PortNames{"COM1(RS232)", "COM2(RS485/232)"};
inline constexpr const char* kLink2ProtocolName = "Modbus RTU Master";
inline constexpr std::array<const char*, 2> kRs485IdModeNames{"单台", "多台"};
inline constexpr int kRegistersPerIdSteps = 20;  // "100", "200", ... "2000"
inline constexpr std::array<const char*, 5> kAdModeNames{"不用", "4~20mA", "PT100", "Cu100",
                                                         "红外控制"};
inline constexpr std::array<const char*, 2> kDaModeNames{"不用", "4~20mA"};
inline constexpr std::array<const char*, 2> kOffOnNames{"OFF", "ON"};
inline constexpr std::array<const char*, 2> kStartLanguageNames{"语言一", "语言二"};
inline constexpr std::array<const char*, 3> kTextFontNames{"16X16", "24X24", "32X32"};
inline constexpr std::array<const char*, 3> kCanFunctionNames{"OFF", "CANown", "CANopen"};
inline constexpr std::array<const char*, 8> kCanBaudNames{"10K",  "20K",  "50K",  "100K",
                                                          "125K", "250K", "500K", "1000K"};
inline constexpr std::array<const char*, 2> kCanFormatNames{"标准帧 2.0A", "扩展帧 2.0B"};
inline constexpr std::array<const char*, 2> kCanTypeNames{"数据帧", "远程帧"};
inline constexpr std::array<const char*, 2> kCanNodeStartNames{"NMT Master", "AUTOSTART"};

// Positions with a meaning of their own.
inline constexpr int kPortRs232 = 0;  // Link 1 on COM1: no RS485 ID mode
inline constexpr int kIdModeSingle = 0;
inline constexpr int kIdModeMultiple = 1;
inline constexpr int kAnalogueNotUsed = 0;
inline constexpr int kCanOpen = 2;

// ---- ranges of the edits and spins
struct Range {
  int min;
  int max;
};
inline constexpr Range kControllerIdRange{0, 255};
inline constexpr Range kTimeoutRange{1, 255};
inline constexpr Range kScreenSaverRange{0, 60};
inline constexpr Range kInitialPageRange{1, 240};
inline constexpr Range kFastReadLengthRange{0, 100};
inline constexpr Range kFastWriteLengthRange{0, 50};
inline constexpr Range kCanNodeIdRange{1, 127};
inline constexpr Range kCanTpdoInhibitRange{1, 4000};
inline constexpr Range kCanIdRange{100, 2038};         // own IDs, acceptance codes 4 to 6
inline constexpr Range kCanAcceptance3Range{0, 2038};  // 0 opens the shared network
inline constexpr int kPasswordDigits = 4;
inline constexpr int kFastReadStartHintMax = 64900;  // before any protocol is loaded

// Every setting of the dialog. Positions are list positions; texts are GBK bytes.
struct WorkParameters {
  // "通讯设置", group "一般"
  int model = 1;
  bool clockMacro = false;
  bool extension = false;
  // "Link1 设定" and "Link2 设定"
  std::array<LinkSettings, kLinkCount> links = kLinkDefaults;
  // Link 1's fast read area
  int fastReadKind = 8;
  int fastReadStart = 0;
  int fastReadLength = 0;
  // "其它设置", group "控制"
  int screenSaver = 6;
  std::uint32_t focusColour = 255;
  int rs485IdMode = 0;
  int registersPerId = 0;
  int adMode = 0;
  int adRegister = 0;
  int daMode = 0;
  int daRegister = 0;
  int failureAlarm = 0;
  // group "默认值"
  std::string password = "4826";
  int initialPage = 1;
  int startLanguage = 0;
  std::uint32_t pageColour = 0xFFFF00;
  std::uint32_t textBackColour = 0xFFFF00;
  std::uint32_t textForeColour = 0;
  int textFont = 1;
  // group "交互"
  bool followPage = false;
  int pageSelectRegister = 2180;
  bool reportPage = false;
  int pageReportRegister = 1180;
  bool fastWrite = false;
  int fastWriteStart = 0;
  int fastWriteLength = 0;
  // "CAN设置"
  int canFunction = 0;
  int canBaud = 3;
  int canFormat = 0;
  int canType = 0;
  int canNodeId = 1;
  int canNodeStart = 0;
  int canTpdoInhibit = 100;
  int canShareOwnId = 100;
  int canAcceptance3 = 101;
  int canAcceptance4 = 102;
  int canAcceptance5 = 103;
  int canSlaveOwnId = 201;
  int canAcceptance6 = 200;

  bool operator==(const WorkParameters&) const = default;
};

WorkParameters ReadWorkParameters(const model::PageRecord& settings);

// ---- enabling rules
// Which controls are enabled. Applying the rules also forces the values they tie: an RS232
// Link 1 has the single-ID mode, and a disabled fast write area has length 0.
struct Enabling {
  bool pageSelectRegister = false;
  bool pageReportRegister = false;
  bool fastWriteArea = false;
  bool rs485IdMode = false;
  bool registersPerId = false;
  bool adRegister = false;
  bool daRegister = false;
  bool canOpenGroup = false;
  bool shareGroup = false;  // "数据共享区 "
  bool slaveGroup = false;  // "Modbus Slave "
  bool operator==(const Enabling&) const = default;
};
Enabling ApplyEnablingRules(WorkParameters& values);

// ---- checks while typing
// What an edit's text becomes, and the message shown (an information box) when it had to
// change for being out of range.
struct TypedCheck {
  std::string text;
  std::optional<Bilingual> message;
};
inline constexpr char kControllerIdRangeMessage[] = "Set Range: 0-255 ！";
inline constexpr char kTimeoutRangeMessage[] = "Set Range: 1-255 ！";
TypedCheck CheckControllerIdText(std::string_view text);
TypedCheck CheckTimeoutText(std::string_view text);
// The edits accept digits only; whatever else arrives (a paste) is dropped.
std::string DigitsOnly(std::string_view text);
// An edit's number: its digits read as a value, capped so no text can overflow.
int TypedNumber(std::string_view text);

// ---- refusals of confirm and apply
enum class RefusalFocus { Link2Port, ExtensionCheck };
struct Refusal {
  Bilingual message;   // a warning
  RefusalFocus focus;  // the control to focus, on the first tab
};
extern const Bilingual kSamePortMessage;
extern const Bilingual kExtensionWithDaMessage;
std::optional<Refusal> CheckConfirm(const WorkParameters& values);

// ---- what the register kinds of the protocol put on the dialog
struct RegisterLimits {
  int pageSelectRegister = 0;
  int pageReportRegister = 0;
  int fastWriteStart = 0;
  int adRegister = 0;
  int daRegister = 0;
  int fastReadStart = 0;
};
// The limits for MaxReg and the two area lengths; never below 0, so an area longer than
// the register range pins its start at 0 instead of wrapping round.
RegisterLimits ComputeLimits(int maxReg, int fastReadLength, int fastWriteLength);
// Lowers every register value above its limit.
void LowerToLimits(WorkParameters& values, const RegisterLimits& limits);
std::string LimitHint(int limit);  // "0 ~ " + limit

// The fast read kind is a position in Link 1's word kinds. A position the protocol does
// not have falls back to the panel's own register area (position 0) instead of leaving
// the area without a kind.
int FastReadKindFor(int storedKind, const DeviceLists& lists);

// Captions that carry a register kind name.
std::string FastReadCaption(const std::string& kind, bool chinese);        // "快速读取区D:"
std::string PageRegisterCaption(const std::string& kind, bool chinese);    // "寄存器号D:"
std::string FastWriteStartCaption(const std::string& kind, bool chinese);  // "开始地址D:"
std::string AnalogueCaption(const std::string& kind);                      // "D:"
// The hint of the AD and DA mode lists: each register of the channel from `first` on,
// with its role, one line each ("\r" between lines).
std::string AdRegistersHint(const std::string& caption, int first, bool chinese);
std::string DaRegistersHint(const std::string& caption, int first, bool chinese);

// The name of protocol `index` in the protocol list, "未知 (N)" / "unknown (N)" for a
// number the list does not have.
std::string ProtocolName(const std::vector<std::string>& protocolNames, int index, bool chinese);

// ---- a smaller screen
// The elements of `image` that confirming panel model `newModel` would move for good (the
// geometry repair puts them inside the smaller screen when their page opens, and switching
// back restores nothing). Nothing while the model stays the one the settings page holds.
editor::MovedElements ElementsMovedByModelChange(const model::ProjectImage& image, int newModel);
// Asked before such a change is written: Yes writes it, No keeps the project's model.
Bilingual SmallerScreenQuestion(const editor::MovedElements& moved);

// ---- status bar
// Panel 1: " " + model; panel 2: " " + protocol + " ( " + baud, parity, data and stop bits
// + " )".
struct StatusTexts {
  std::string model;
  std::string link;
};
StatusTexts WorkStatusTexts(const model::PageRecord& settings,
                            const std::vector<std::string>& protocolNames, bool chinese);

// ---- ProInitialize
struct ProInitializeResult {
  Status loaded;  // the lists (and the protocol names) could be read; on failure they stay
  StatusTexts status;
};
// Reloads the register-kind lists of both links for the protocols in `settings` (the
// protocol names first, when `protocolNames` is empty), keeps the RS485 entries at 0 while
// Link 1 is on RS232, and gives the status-bar texts. On a database failure the lists stay
// as they were.
ProInitializeResult ProInitialize(model::PageRecord& settings, DeviceLists& lists,
                                  std::vector<std::string>& protocolNames, bool chinese,
                                  const std::filesystem::path& resources = DeviceResourcesPath());

// ---- confirm and apply
struct ConfirmResult {
  std::optional<Refusal> refused;  // set: nothing was written
  ProInitializeResult initialized;
};
// Refuses, or writes the link, control and default settings, reloads the register kinds of
// the (perhaps new) protocol, lowers `values` to the new limits, and writes the register
// fields, the fast areas and the CAN settings. `values` comes back as written.
ConfirmResult ConfirmWorkParameters(model::PageRecord& settings, WorkParameters& values,
                                    DeviceLists& lists, std::vector<std::string>& protocolNames,
                                    bool chinese,
                                    const std::filesystem::path& resources = DeviceResourcesPath());

// The two writing steps of ConfirmWorkParameters, for callers that run their own.
void WriteLinkControlAndDefaults(model::PageRecord& settings, const WorkParameters& values);
void WriteRegistersAreasAndCan(model::PageRecord& settings, const WorkParameters& values);

extern const Bilingual kDeviceResourcesMessage;  // prefix of a database failure

}  // namespace dravik::params
