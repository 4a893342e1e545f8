#include "app/shell_texts.h"

#include <array>
#include <cstdio>

namespace dravik::app {

const Bilingual kExitQuestion{"是否退出程序 ？", "Whether to exit the program?"};
const Bilingual kSaveNewProjectFirst{" 请先保存此新工程 ！", " Please save this new project!"};
const Bilingual kReadyStatus{" 就绪", " Ready"};
const Bilingual kWelcomeIdle{"按一个图形,开始...", "Click A graphic,Start..."};
const Bilingual kWelcomeNew{"创建一个新的工程...", "Create a new project..."};
const Bilingual kWelcomeOpen{"打开现有的工程...", "Open an existing project..."};
const Bilingual kWelcomeExamples{"打开本系统提供的例子，\r自多种专业的设计中选择。",
                                 "Open the system provides examples，\rSince the design of various "
                                 "professional choice."};
const Bilingual kOpenDialogTitle = Both("打开QX3文件");
const Bilingual kOpenDialogFilter =
    Both("QX3文件 (*.QX3 *.qx3);;备份文件 (*.BAK *.bak);;All Files (*)");
const Bilingual kSaveDialogTitle = Both("保存QX3文件");
const Bilingual kSaveDialogFilter = Both("QX3文件 (*.QX3 *.qx3);;All Files (*)");
const Bilingual kLanguageFileFailed{"语言文件出错：", "The language file failed: "};
const Bilingual kConfigurationFailed{"配置文件 Dravik.ini 出错：", "The configuration file Dravik.ini failed: "};
const Bilingual kDeviceResourcesFailed{"设备资源库读取失败：", "The device resources could not be read: "};
const Bilingual kPictureLibraryFailed{"图库打开失败：", "The picture library could not be opened: "};
const Bilingual kHelpMissing{"找不到帮助文件：", "The help file is missing: "};
const Bilingual kExamplesCopyFailed{"无法复制示例工程：", "Cannot copy the examples: "};
const Bilingual kSecondInstanceFailed{"无法启动新的 Dravik ：", "Cannot start another Dravik: "};
const Bilingual kClipboardFileFailed{"无法写入剪贴文件：", "Cannot write the clipboard file: "};

Bilingual SaveBeforeExitQuestion(const std::string& name) {
  return {"是否保存 " + name + " 文件 ？", "Do you want to save " + name + " File ？"};
}

Bilingual WelcomeLastFile(const std::string& recentPath) {
  return {"打开: " + recentPath + "\r" + "在您退出的地方继续工作。",
          "Open: " + recentPath + "\r" + "Continue to work on your out of place."};
}

std::string WindowTitle(const std::string& projectFileName) {
  return std::string(kProgramCaption) + " - [ " + projectFileName + " ]";
}

std::string AboutVersionText() {
  char text[64];
  std::snprintf(text, sizeof text, "Dravik  Version %d.%d", kVersionMajor, kVersionMinor);
  return text;
}

std::string LinkStatusText(const std::string& protocol, int baud, int parity, int dataBits,
                           int stopBits, bool isChinese) {
  static constexpr std::array<const char*, 5> kBauds{"9600", "19200", "38400", "57600", "115200"};
  static constexpr std::array<const char*, 3> kParityZh{"无", "奇数", "偶数"};
  static constexpr std::array<const char*, 3> kParityEn{"None", "Odd", "Even"};
  static constexpr std::array<const char*, 3> kDataBits{"6 b", "7 b", "8 b"};
  static constexpr std::array<const char*, 2> kStopBits{"1 b", "2 b"};
  auto pick = [](const auto& list, int index) -> std::string {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index] : "?";
  };
  return " " + protocol + " ( " + pick(kBauds, baud) + " " +
         (isChinese ? pick(kParityZh, parity) : pick(kParityEn, parity)) + " " +
         pick(kDataBits, dataBits) + " " + pick(kStopBits, stopBits) + " )";
}

}  // namespace dravik::app
