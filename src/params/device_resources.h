#pragma once
// The device-resource database "QXRes.Dat": the PLC protocols and, per protocol, the
// register kinds with their highest numbers. The lists loaded from it are read by the
// element dialogs, the compile check, the clock macros and the settings dialogs.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::params {

inline constexpr const char* kDeviceResourcesFile = "QXRes.Dat";
inline constexpr const char* kDeviceResourcesPassword = "zr_pekwandors";

// The register-kind lists of both links, in the row order of the database. Entries stay
// texts as stored; readers take numbers with `ListNumber`.
struct DeviceLists {
  // Link 1
  std::vector<std::string> W_DeviceName;  // word kinds: names
  std::vector<std::string> W_DeviceMax;   // word kinds: highest numbers
  std::vector<std::string> B_DeviceName;  // bit kinds: names
  std::vector<std::string> B_DeviceBit;   // bit kinds: bit information (>0, 0, -1)
  std::vector<std::string> B_DeviceMax;   // bit kinds: highest numbers
  // Link 2
  std::vector<std::string> W_DeviceName2;
  std::vector<std::string> W_DeviceMax2;
  std::vector<std::string> B_DeviceName2;
  std::vector<std::string> B_DeviceBit2;
  std::vector<std::string> B_DeviceMax2;

  std::vector<std::string> LinkUseCount;  // "Link 1", "Link 2"

  // The highest number of the panel's own register area, the first word kind of Link 1;
  // 0 when there is no word kind or its maximum is not a number.
  int MaxReg = 0;

  // A table number the device resources do not have (projects made elsewhere may name
  // any): that link's lists are the ones it had before and say nothing about the PLC, so
  // nothing may be judged or lowered by them.
  std::optional<int> unknownLink1Protocol;
  std::optional<int> unknownLink2Table;

  bool Link1Known() const { return !unknownLink1Protocol.has_value(); }
  bool AllKnown() const { return !unknownLink1Protocol && !unknownLink2Table; }
};

// How a protocol or table number the device resources do not have is shown:
// "未知 (12)" / "unknown (12)".
Bilingual UnknownTableName(int number);

// A list entry read as a number: a decimal integer (blanks around it allowed), 0 for
// anything else.
int ListNumber(std::string_view text);

// The entry `index` of a list, "" past its end; callers read missing entries as 0.
const std::string& ListEntry(const std::vector<std::string>& list, std::size_t index);

// QXRes.Dat in the program's folder.
std::filesystem::path DeviceResourcesPath();

// The protocol names (table sort); the position is the protocol index.
Result<std::vector<std::string>> LoadDeviceSort(const std::filesystem::path& dbPath);

// Both links' register-kind lists: Link 1 from protocol `link1ProtocolIndex`, Link 2 from
// `link2TableIndex` (each table "No" + (index + 1)). A table the database does not have is
// no failure: that link keeps its lists from `previous` and is marked unknown. A database
// that cannot be read returns nothing, so a caller that keeps its old lists on failure
// never sees a half-loaded set.
Result<DeviceLists> LoadDeviceLists(const std::filesystem::path& dbPath, int link1ProtocolIndex,
                                    int link2TableIndex, const DeviceLists& previous = {});

}  // namespace dravik::params
