#pragma once
// The messages and built-in texts of the application shell in both languages. Texts
// built at the moment they are shown take the language from IsChinese each time.

#include <string>

#include "platform/bilingual.h"

namespace dravik::app {

inline constexpr char kProgramCaption[] = "Dravik ";  // every message box
inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 73;

extern const Bilingual kExitQuestion;           // "是否退出程序 ？"
Bilingual SaveBeforeExitQuestion(const std::string& projectFileName);
extern const Bilingual kSaveNewProjectFirst;    // " 请先保存此新工程 ！"
extern const Bilingual kReadyStatus;            // " 就绪"
extern const Bilingual kWelcomeIdle;            // "按一个图形,开始..."
extern const Bilingual kWelcomeNew;
extern const Bilingual kWelcomeOpen;
extern const Bilingual kWelcomeExamples;
Bilingual WelcomeLastFile(const std::string& recentPath);
extern const Bilingual kOpenDialogTitle;        // "打开QX3文件"
extern const Bilingual kOpenDialogFilter;
extern const Bilingual kSaveDialogTitle;        // "保存QX3文件"
extern const Bilingual kSaveDialogFilter;
extern const Bilingual kLanguageFileFailed;     // the language file could not be applied
extern const Bilingual kConfigurationFailed;    // "Dravik.ini" could not be read or written
extern const Bilingual kDeviceResourcesFailed;  // the device lists could not be loaded
extern const Bilingual kPictureLibraryFailed;   // the project's picture library
extern const Bilingual kHelpMissing;            // the help folder is not installed
extern const Bilingual kExamplesCopyFailed;     // the user's copy of the examples could not be made
extern const Bilingual kSecondInstanceFailed;   // a second instance could not be started
extern const Bilingual kClipboardFileFailed;    // copying a page to the work file failed

std::string WindowTitle(const std::string& projectFileName);  // "Dravik  - [ name ]"
std::string AboutVersionText();                                // "Dravik  Version 3.73"

// Status panel 2: " " + protocol + " ( " + baud + " " + parity + " " + data + " " + stop + " )".
std::string LinkStatusText(const std::string& protocol, int baudIndex, int parityIndex,
                           int dataBitsIndex, int stopBitsIndex, bool isChinese);

}  // namespace dravik::app
