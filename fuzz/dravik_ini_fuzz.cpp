// "Dravik.ini", which anyone may edit by hand: the INI text and the configuration read
// from it. Values stay within what the dialogs allow; the file the program writes back
// reads as the same configuration; INI text written by us parses back to itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/configuration.h"
#include "app/ini_file.h"
#include "fuzz_check.h"

using namespace dravik::app;

namespace {

bool Same(const Configuration& a, const Configuration& b) {
  return a.GriddingColor == b.GriddingColor && a.GriX == b.GriX && a.GriY == b.GriY &&
         a.ComPort == b.ComPort && a.DownMode == b.DownMode && a.Language == b.Language &&
         a.N23 == b.N23 && a.N2 == b.N2 && a.backup.AutoSavBakFun == b.backup.AutoSavBakFun &&
         a.backup.AutoSavBakInterval == b.backup.AutoSavBakInterval &&
         a.backup.AutoTempBakFun == b.backup.AutoTempBakFun &&
         a.LastFileOpenItem == b.LastFileOpenItem;
}

void CheckWithinDialogRanges(const Configuration& c) {
  FUZZ_CHECK(c.GriX >= 2 && c.GriX <= 72);
  FUZZ_CHECK(c.GriY >= 2 && c.GriY <= 72);
  FUZZ_CHECK(c.ComPort >= 0 && c.ComPort <= 7);
  FUZZ_CHECK(c.backup.AutoSavBakInterval >= 1 && c.backup.AutoSavBakInterval <= 99);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  IniFile ini = IniFile::Parse(text);
  const Configuration read = ConfigurationFromIni(ini);
  CheckWithinDialogRanges(read);
  if (HasRecentFile(read.LastFileOpenItem)) (void)RecentFilePath(read.LastFileOpenItem);

  const std::string ours = ini.Text();
  FUZZ_CHECK(IniFile::Parse(ours).Text() == ours);

  StoreConfiguration(ini, read);
  const Configuration reread = ConfigurationFromIni(IniFile::Parse(ini.Text()));
  FUZZ_CHECK(Same(reread, read));
  return 0;
}
