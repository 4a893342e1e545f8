#include "params/work_parameters.h"

#include <algorithm>

#include "model/settings_page.h"

namespace dravik::params {

using namespace model::settings;
using model::At;
using model::PageRecord;

const Bilingual kSamePortMessage{
    "不正确的通讯端口设定 ！\rLink1 与 Link2 设置通信端口相同 ！",
    "Error communication port setting!\rLink1 And Link2 Same communication port setting!"};
const Bilingual kExtensionWithDaMessage{
    "不正确的功能设定 ！\r【带扩展(K1~K8 + LED1~LED8)】 与 【DA输出】 不能同时使用 ！",
    "Error port setting!\r【(K1~K8 + LED1~LED8)】 And 【DA Output】 port setting!"};
const Bilingual kDeviceResourcesMessage{"读取设备资源失败 ！\r",
                                        "Cannot read the device resources!\r"};

namespace {

// The panel reads the model from the low six bits; whatever a file keeps above them is
// not the dialog's to clear.
constexpr std::uint16_t kModelBits = 0x3F;

template <class T>
T Narrow(int value) {
  return static_cast<T>(value);
}

template <std::size_t N>
std::string Pick(const std::array<const char*, N>& list, int index) {
  return index >= 0 && index < static_cast<int>(N) ? list[static_cast<std::size_t>(index)] : "";
}

}  // namespace

WorkParameters ReadWorkParameters(const PageRecord& s) {
  WorkParameters v;
  v.model = At(s, kPanelModel) & kModelBits;
  v.clockMacro = At(s, kClockMacroEnabled) != 0;
  v.extension = At(s, kExtensionBoard) != 0;

  for (std::size_t link = 0; link < kLinkCount; ++link) v.links[link] = ReadLinkSettings(s, link);
  v.fastReadKind = At(s, kFastReadKind);
  v.fastReadStart = At(s, kFastReadStart);
  v.fastReadLength = At(s, kFastReadLength);

  v.screenSaver = At(s, kScreenSaverMinutes);
  v.focusColour = static_cast<std::uint32_t>(At(s, kFocusColor));
  v.rs485IdMode = At(s, kRs485IdMode);
  v.registersPerId = At(s, kRegistersPerId);
  v.adMode = At(s, kAdInputMode);
  v.adRegister = At(s, kAdDataRegister);
  v.daMode = At(s, kDaOutputMode);
  v.daRegister = At(s, kDaDataRegister);
  v.failureAlarm = At(s, kLink1FailureAlarm);

  v.password = At(s, kSuperPassword).Str();
  v.initialPage = At(s, kInitialPage);
  v.startLanguage = At(s, kStartLanguage);
  v.pageColour = static_cast<std::uint32_t>(At(s, kDefaultPageColor));
  v.textBackColour = static_cast<std::uint32_t>(At(s, kDefaultTextBackColor));
  v.textForeColour = static_cast<std::uint32_t>(At(s, kDefaultTextForeColor));
  v.textFont = At(s, kDefaultTextFont);

  v.followPage = At(s, kFollowPageRegister) != 0;
  v.pageSelectRegister = At(s, kPageSelectRegister);
  v.reportPage = At(s, kReportCurrentPage) != 0;
  v.pageReportRegister = At(s, kPageReportRegister);
  v.fastWrite = At(s, kFastWriteEnabled) != 0;
  v.fastWriteStart = At(s, kFastWriteStart);
  v.fastWriteLength = At(s, kFastWriteLength);

  v.canFunction = At(s, kCanFunction);
  v.canBaud = At(s, kCanBaud);
  v.canFormat = At(s, kCanFrameFormat);
  v.canType = At(s, kCanFrameType);
  v.canNodeId = At(s, kCanOpenNodeId);
  v.canNodeStart = At(s, kCanOpenNodeStart);
  v.canTpdoInhibit = At(s, kCanOpenTpdoInhibit);
  v.canShareOwnId = At(s, kCanShareOwnId);
  v.canAcceptance3 = At(s, kCanAcceptance3);
  v.canAcceptance4 = At(s, kCanAcceptance4);
  v.canAcceptance5 = At(s, kCanAcceptance5);
  v.canSlaveOwnId = At(s, kCanSlaveOwnId);
  v.canAcceptance6 = At(s, kCanAcceptance6);
  return v;
}

Enabling ApplyEnablingRules(WorkParameters& v) {
  Enabling e;
  e.pageSelectRegister = v.followPage;
  e.pageReportRegister = v.reportPage;
  e.fastWriteArea = v.fastWrite;
  if (!v.fastWrite) v.fastWriteLength = 0;
  e.rs485IdMode = v.links[kLink1].port != kPortRs232;
  if (!e.rs485IdMode) v.rs485IdMode = kIdModeSingle;
  e.registersPerId = v.rs485IdMode == kIdModeMultiple;
  e.adRegister = v.adMode != kAnalogueNotUsed;
  e.daRegister = v.daMode != kAnalogueNotUsed;
  e.canOpenGroup = v.canFunction == kCanOpen;
  e.shareGroup = !e.canOpenGroup;
  e.slaveGroup = !e.canOpenGroup;
  return e;
}

std::string DigitsOnly(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  return digits;
}

int TypedNumber(std::string_view text) {
  // Any text of more digits than a range needs is simply "too big".
  constexpr int kCap = 1'000'000;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') continue;
    value = std::min(kCap, value * 10 + (c - '0'));
  }
  return value;
}

TypedCheck CheckControllerIdText(std::string_view text) {
  if (text.empty()) return {"0", std::nullopt};
  if (TypedNumber(text) > kControllerIdRange.max) return {"0", Both(kControllerIdRangeMessage)};
  return {std::string(text), std::nullopt};
}

TypedCheck CheckTimeoutText(std::string_view text) {
  if (text.empty()) return {"1", std::nullopt};
  const int value = TypedNumber(text);
  if (value < kTimeoutRange.min || value > kTimeoutRange.max) {
    return {std::to_string(kTimeoutRange.max), Both(kTimeoutRangeMessage)};
  }
  return {std::string(text), std::nullopt};
}

std::optional<Refusal> CheckConfirm(const WorkParameters& v) {
  if (v.links[kLink1].port == v.links[kLink2].port) {
    return Refusal{kSamePortMessage, RefusalFocus::Link2Port};
  }
  if (v.extension && v.daMode != kAnalogueNotUsed) {
    return Refusal{kExtensionWithDaMessage, RefusalFocus::ExtensionCheck};
  }
  return std::nullopt;
}

RegisterLimits ComputeLimits(int maxReg, int fastReadLength, int fastWriteLength) {
  const int max = std::max(0, maxReg);
  RegisterLimits limits;
  limits.pageSelectRegister = max;
  limits.pageReportRegister = max;
  limits.fastWriteStart = std::max(0, max - fastWriteLength);
  limits.adRegister = max;
  limits.daRegister = max;
  limits.fastReadStart = std::max(0, max - fastReadLength);
  return limits;
}

void LowerToLimits(WorkParameters& v, const RegisterLimits& limits) {
  auto lower = [](int& value, int limit) { value = std::clamp(value, 0, limit); };
  lower(v.pageSelectRegister, limits.pageSelectRegister);
  lower(v.pageReportRegister, limits.pageReportRegister);
  lower(v.fastWriteStart, limits.fastWriteStart);
  lower(v.adRegister, limits.adRegister);
  lower(v.daRegister, limits.daRegister);
  lower(v.fastReadStart, limits.fastReadStart);
}

std::string LimitHint(int limit) {
  return "0 ~ " + std::to_string(limit);
}

int FastReadKindFor(int storedKind, const DeviceLists& lists) {
  const int count = static_cast<int>(lists.W_DeviceName.size());
  // Nothing loaded, or kinds of another protocol: nothing to judge by.
  if (count == 0 || !lists.Link1Known()) return storedKind;
  return storedKind >= 0 && storedKind < count ? storedKind : 0;
}

std::string FastReadCaption(const std::string& kind, bool chinese) {
  return (chinese ? "快速读取区" : "FastRead ") + kind + ":";
}
std::string PageRegisterCaption(const std::string& kind, bool chinese) {
  return (chinese ? "寄存器号" : "Register ") + kind + ":";
}
std::string FastWriteStartCaption(const std::string& kind, bool chinese) {
  return (chinese ? "开始地址" : "StartAdd ") + kind + ":";
}
std::string AnalogueCaption(const std::string& kind) {
  return kind + ":";
}

namespace {

struct Role {
  const char* chinese;
  const char* english;
};

std::string RegistersHint(const std::string& caption, int first, const Role* roles, int count,
                          bool chinese) {
  std::string hint;
  for (int i = 0; i < count; ++i) {
    if (i > 0) hint += "\r";
    hint += caption + std::to_string(first + i) + (chinese ? roles[i].chinese : roles[i].english);
  }
  return hint;
}

constexpr Role kAdRoles[] = {
    {"=AD1采样值", "=AD1 sampled value"},
    {"=AD2采样值", "=AD2 sampled value"},
    {"=PT100(AD1线阻补偿0.01)", "=PT100(AD1 line resistance compensation 0.01)"},
    {"=PT100(AD2线阻补偿0.01)", "=PT100(AD2 line resistance compensation 0.01)"},
    {"=PT100(AD1采样电阻0.1)", "=PT100(AD1 sampling resistor 0.1)"},
    {"=PT100(AD2采样电阻0.1)", "=PT100(AD2 sampling resistor 0.1)"},
};
constexpr Role kDaRoles[] = {
    {"=DA1输出值(0~20000)", "=DA1 output value(0~20000)"},
    {"=DA1增益值(50~120%)", "=DA1 gain(50~120%)"},
};

}  // namespace

std::string AdRegistersHint(const std::string& caption, int first, bool chinese) {
  return RegistersHint(caption, first, kAdRoles, static_cast<int>(std::size(kAdRoles)), chinese);
}
std::string DaRegistersHint(const std::string& caption, int first, bool chinese) {
  return RegistersHint(caption, first, kDaRoles, static_cast<int>(std::size(kDaRoles)), chinese);
}

std::string ProtocolName(const std::vector<std::string>& protocolNames, int index, bool chinese) {
  if (index >= 0 && index < static_cast<int>(protocolNames.size())) {
    return protocolNames[static_cast<std::size_t>(index)];
  }
  return UnknownTableName(index).In(chinese);
}

StatusTexts WorkStatusTexts(const PageRecord& s, const std::vector<std::string>& protocolNames,
                            bool chinese) {
  const LinkSettings link = ReadLinkSettings(s, kLink1);
  const std::string protocolName = ProtocolName(protocolNames, link.protocol, chinese);
  StatusTexts texts;
  texts.model = " " + std::string(model::PanelModelName(s));
  texts.link = " " + protocolName + " ( " + Pick(kBaudNames, link.baud) + " " +
               Pick(chinese ? kParityNames : kParityNamesEnglish, link.parity) + " " +
               Pick(kDataBitNames, link.dataBits) + " " + Pick(kStopBitNames, link.stopBits) + " )";
  return texts;
}

editor::MovedElements ElementsMovedByModelChange(const model::ProjectImage& image, int newModel) {
  const int stored = At(image.Settings(), kPanelModel) & kModelBits;
  if (newModel == stored) return {};
  return editor::ElementsMovedByScreenChange(image, editor::ScreenSizeOfModel(stored),
                                             editor::ScreenSizeOfModel(newModel));
}

Bilingual SmallerScreenQuestion(const editor::MovedElements& moved) {
  const std::string elements = std::to_string(moved.elements);
  const std::string pages = std::to_string(moved.pages);
  return {"新的人机界面型号屏幕较小：" + pages + " 个画面上的 " + elements +
              " 个元件超出新屏幕，打开画面时将被移入屏幕或缩小，换回原型号也不能恢复。\r"
              "是否继续？",
          "The new panel model has a smaller screen: " + elements + " element(s) on " + pages +
              " page(s) lie outside it and will be moved or shrunk when their pages are opened; "
              "switching back does not restore them.\rContinue?"};
}

ProInitializeResult ProInitialize(PageRecord& s, DeviceLists& lists,
                                  std::vector<std::string>& protocolNames, bool chinese,
                                  const std::filesystem::path& resources) {
  ProInitializeResult result;
  if (protocolNames.empty()) {
    auto names = LoadDeviceSort(resources);
    if (names) {
      protocolNames = std::move(*names);
    } else {
      result.loaded = names.error();
    }
  }
  if (At(s, kLink1Port) == kPortRs232) {
    At(s, kRs485IdMode) = kIdModeSingle;
    At(s, kRegistersPerId) = 0;
  }
  if (result.loaded) {
    auto loaded = LoadDeviceLists(resources, At(s, kLink1Protocol), At(s, kLink2Table), lists);
    if (loaded) {
      lists = std::move(*loaded);
    } else {
      result.loaded = loaded.error();
    }
  }
  result.status = WorkStatusTexts(s, protocolNames, chinese);
  return result;
}

void WriteLinkControlAndDefaults(PageRecord& s, const WorkParameters& v) {
  At(s, kPanelModel) =
      Narrow<std::uint16_t>((At(s, kPanelModel) & ~kModelBits) | (v.model & kModelBits));
  At(s, kClockMacroEnabled) = v.clockMacro ? 1 : 0;
  At(s, kExtensionBoard) = v.extension ? 1 : 0;

  for (std::size_t link = 0; link < kLinkCount; ++link) WriteLinkSettings(s, link, v.links[link]);

  At(s, kScreenSaverMinutes) = v.screenSaver;
  At(s, kFocusColor) = static_cast<std::int32_t>(v.focusColour);
  At(s, kRs485IdMode) = v.rs485IdMode;
  At(s, kRegistersPerId) = v.registersPerId;
  At(s, kAdInputMode) = Narrow<std::uint16_t>(v.adMode);
  At(s, kDaOutputMode) = Narrow<std::uint16_t>(v.daMode);
  At(s, kAdDataRegister) = Narrow<std::uint16_t>(v.adRegister);
  At(s, kDaDataRegister) = Narrow<std::uint16_t>(v.daRegister);
  At(s, kLink1FailureAlarm) = Narrow<std::uint8_t>(v.failureAlarm);

  At(s, kSuperPassword) = std::string_view(v.password).substr(0, kPasswordDigits);
  At(s, kInitialPage) = v.initialPage;
  At(s, kStartLanguage) = Narrow<std::uint8_t>(v.startLanguage);
  At(s, kDefaultPageColor) = static_cast<std::int32_t>(v.pageColour);
  At(s, kDefaultTextBackColor) = static_cast<std::int32_t>(v.textBackColour);
  At(s, kDefaultTextForeColor) = static_cast<std::int32_t>(v.textForeColour);
  At(s, kDefaultTextFont) = v.textFont;
}

void WriteRegistersAreasAndCan(PageRecord& s, const WorkParameters& v) {
  At(s, kFastReadKind) = v.fastReadKind;
  At(s, kFastReadStart) = v.fastReadStart;
  At(s, kFastReadLength) = v.fastReadLength;

  At(s, kFollowPageRegister) = v.followPage ? 1 : 0;
  At(s, kPageSelectRegister) = v.pageSelectRegister;
  At(s, kReportCurrentPage) = v.reportPage ? 1 : 0;
  At(s, kPageReportRegister) = v.pageReportRegister;
  At(s, kFastWriteEnabled) = v.fastWrite ? 1 : 0;
  At(s, kFastWriteStart) = Narrow<std::uint16_t>(v.fastWriteStart);
  At(s, kFastWriteLength) = Narrow<std::uint16_t>(v.fastWrite ? v.fastWriteLength : 0);
  // Written again after the new limits: what the dialog shows is what is stored.
  At(s, kAdDataRegister) = Narrow<std::uint16_t>(v.adRegister);
  At(s, kDaDataRegister) = Narrow<std::uint16_t>(v.daRegister);

  At(s, kCanFunction) = v.canFunction;
  At(s, kCanBaud) = v.canBaud;
  At(s, kCanFrameFormat) = v.canFormat;
  At(s, kCanFrameType) = v.canType;
  At(s, kCanOpenNodeId) = v.canNodeId;
  At(s, kCanOpenNodeStart) = v.canNodeStart;
  At(s, kCanOpenTpdoInhibit) = v.canTpdoInhibit;
  At(s, kCanShareOwnId) = v.canShareOwnId;
  At(s, kCanAcceptance3) = v.canAcceptance3;
  At(s, kCanAcceptance4) = v.canAcceptance4;
  At(s, kCanAcceptance5) = v.canAcceptance5;
  At(s, kCanSlaveOwnId) = v.canSlaveOwnId;
  At(s, kCanAcceptance6) = v.canAcceptance6;
}

ConfirmResult ConfirmWorkParameters(PageRecord& s, WorkParameters& v, DeviceLists& lists,
                                    std::vector<std::string>& protocolNames, bool chinese,
                                    const std::filesystem::path& resources) {
  ConfirmResult result;
  result.refused = CheckConfirm(v);
  if (result.refused) return result;

  WriteLinkControlAndDefaults(s, v);
  result.initialized = ProInitialize(s, lists, protocolNames, chinese, resources);
  v.rs485IdMode = At(s, kRs485IdMode);
  v.registersPerId = At(s, kRegistersPerId);
  // A failed reload, or a protocol the device resources do not have, leaves no trustworthy
  // limits (the lists may be those of another protocol, or none at all): the entries are
  // written as typed rather than lowered to a maximum that does not apply, so nothing the
  // user typed is dropped.
  if (result.initialized.loaded && lists.Link1Known()) {
    v.fastReadKind = FastReadKindFor(v.fastReadKind, lists);
    LowerToLimits(v, ComputeLimits(lists.MaxReg, v.fastReadLength, v.fastWriteLength));
  }
  WriteRegistersAreasAndCan(s, v);
  return result;
}

}  // namespace dravik::params
