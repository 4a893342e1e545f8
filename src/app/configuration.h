#pragma once
// "Dravik.ini": the per-user settings the program reads when its main window is first
// shown and writes back at exit, all in the one section "configure".

#include <cstdint>
#include <filesystem>
#include <string>

#include "editor/editor_state.h"
#include "model/project_session.h"
#include "platform/result.h"

namespace dravik::app {

inline constexpr char kConfigurationSection[] = "configure";
inline constexpr char kRecentItemBuiltInCaption[] = "最近文件";

struct Configuration {
  std::uint32_t GriddingColor = editor::SystemColour(11);  // inactive window border
  int GriX = 32;
  int GriY = 16;
  int ComPort = 0;
  int DownMode = 0;       // kept for older files; nothing reads it
  bool Language = true;   // true: Chinese interface
  bool N23 = false;       // "字体优化(&F)"
  bool N2 = true;         // "显示格栅(&S)"
  model::BackupSettings backup;
  std::string LastFileOpenItem = kRecentItemBuiltInCaption;
};

// What the program holds before a file is read: the controls' own values, the three
// backup values 0 and an empty recent-file caption. Keys missing from an existing file
// keep these.
Configuration BuiltInConfiguration();
// What a first start without a file uses.
Configuration ConfigurationWithoutFile();

struct ConfigurationRead {
  Configuration configuration;
  bool fileFound = false;
};
// Reads the file at `file`. A missing file gives `ConfigurationWithoutFile`; an unreadable
// one is an error (the caller carries on with the defaults). Grid steps are kept within
// 2..72 and the auto-save interval within 1..99, the ranges the dialogs allow, so a
// hand-edited file can never stall the grid or run the auto save without a pause.
Result<ConfigurationRead> ReadConfiguration(const std::filesystem::path& file);

Status WriteConfiguration(const std::filesystem::path& file, const Configuration& configuration);

// The same rules on a file already parsed, and the keys written back into one (the other
// keys and sections it holds stay as they are).
class IniFile;
Configuration ConfigurationFromIni(const IniFile& ini);
void StoreConfiguration(IniFile& ini, const Configuration& configuration);

// The recent-file item: "&1 " + path, and back.
std::string RecentFileCaption(const std::string& projectFileName);
bool HasRecentFile(const std::string& caption);
std::string RecentFilePath(const std::string& caption);  // the caption from its 4th character

// What exit writes as LastFileOpenItem: the current project when it has a real name,
// else the caption read at start.
std::string LastFileOpenItemAtExit(const std::string& projectFileName,
                                   const std::string& lastFileCaption);

}  // namespace dravik::app
