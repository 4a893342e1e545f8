#include "app/configuration.h"

#include <algorithm>
#include <system_error>

#include "app/ini_file.h"

namespace dravik::app {

namespace {

constexpr int kMinGrid = 2;
constexpr int kMaxGrid = 72;
constexpr int kMinInterval = 1;
constexpr int kMaxInterval = 99;  // the dialog's edit takes two digits
constexpr char kRecentPrefix[] = "&1 ";

int ClampInt(long long value, int low, int high) {
  return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

Configuration BuiltInConfiguration() {
  Configuration c;
  c.backup.AutoSavBakFun = false;
  c.backup.AutoSavBakInterval = 0;
  c.backup.AutoTempBakFun = false;
  c.LastFileOpenItem.clear();
  return c;
}

Configuration ConfigurationWithoutFile() { return Configuration{}; }

Configuration ConfigurationFromIni(const IniFile& ini) {
  const char* s = kConfigurationSection;
  Configuration c = BuiltInConfiguration();
  // A colour travels as the signed 32-bit integer the desktop writes; either form reads.
  c.GriddingColor = static_cast<std::uint32_t>(ini.Integer(s, "GriddingColor", c.GriddingColor));
  c.GriX = ClampInt(ini.Integer(s, "GriX", c.GriX), kMinGrid, kMaxGrid);
  c.GriY = ClampInt(ini.Integer(s, "GriY", c.GriY), kMinGrid, kMaxGrid);
  c.ComPort = ClampInt(ini.Integer(s, "ComPort", c.ComPort), 0, 7);
  c.DownMode = ClampInt(ini.Integer(s, "DownMode", c.DownMode), INT32_MIN, INT32_MAX);
  c.Language = ini.Flag(s, "Language", c.Language);
  c.N23 = ini.Flag(s, "N23", c.N23);
  c.N2 = ini.Flag(s, "N2", c.N2);
  c.backup.AutoSavBakFun = ini.Integer(s, "AutoSavBakFun", c.backup.AutoSavBakFun) == 1;
  const long long interval = ini.Integer(s, "AutoSavBakInterval", c.backup.AutoSavBakInterval);
  c.backup.AutoSavBakInterval = ClampInt(interval, kMinInterval, kMaxInterval);
  c.backup.AutoTempBakFun = ini.Integer(s, "AutoTempBakFun", c.backup.AutoTempBakFun) == 1;
  if (auto item = ini.Value(s, "LastFileOpenItem")) c.LastFileOpenItem = *item;
  return c;
}

void StoreConfiguration(IniFile& ini, const Configuration& c) {
  const char* s = kConfigurationSection;
  ini.SetInteger(s, "GriddingColor", static_cast<std::int32_t>(c.GriddingColor));
  ini.SetInteger(s, "GriX", c.GriX);
  ini.SetInteger(s, "GriY", c.GriY);
  ini.SetInteger(s, "ComPort", c.ComPort);
  ini.SetInteger(s, "DownMode", c.DownMode);
  ini.SetFlag(s, "Language", c.Language);
  ini.SetFlag(s, "N23", c.N23);
  ini.SetFlag(s, "N2", c.N2);
  ini.SetInteger(s, "AutoSavBakFun", c.backup.AutoSavBakFun ? 1 : 0);
  ini.SetInteger(s, "AutoSavBakInterval", c.backup.AutoSavBakInterval);
  ini.SetInteger(s, "AutoTempBakFun", c.backup.AutoTempBakFun ? 1 : 0);
  ini.Set(s, "LastFileOpenItem", c.LastFileOpenItem);
}

Result<ConfigurationRead> ReadConfiguration(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return ConfigurationRead{ConfigurationWithoutFile(), false};
  Result<IniFile> ini = IniFile::Load(file);
  if (!ini) return ini.error();
  return ConfigurationRead{ConfigurationFromIni(*ini), true};
}

Status WriteConfiguration(const std::filesystem::path& file, const Configuration& c) {
  // Start from what is there so that keys other programs' versions wrote survive.
  IniFile ini;
  std::error_code error;
  if (std::filesystem::exists(file, error)) {
    if (Result<IniFile> old = IniFile::Load(file)) ini = std::move(*old);
  }
  StoreConfiguration(ini, c);
  return ini.Save(file);
}

std::string RecentFileCaption(const std::string& projectFileName) {
  return kRecentPrefix + projectFileName;
}

bool HasRecentFile(const std::string& caption) {
  return caption.rfind(kRecentPrefix, 0) == 0 && caption.size() > 3;
}

std::string RecentFilePath(const std::string& caption) {
  // Three characters, counted as characters: a caption may begin with Chinese text.
  std::size_t at = 0;
  for (int skipped = 0; skipped < 3 && at < caption.size(); ++skipped) {
    ++at;
    while (at < caption.size() && (static_cast<unsigned char>(caption[at]) & 0xC0) == 0x80) ++at;
  }
  return caption.substr(at);
}

std::string LastFileOpenItemAtExit(const std::string& projectFileName,
                                   const std::string& lastFileCaption) {
  if (projectFileName.empty() || projectFileName == model::kUnsavedProjectName) return lastFileCaption;
  return RecentFileCaption(projectFileName);
}

}  // namespace dravik::app
