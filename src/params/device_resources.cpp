#include "params/device_resources.h"

#include <charconv>

#include "platform/desktop_db.h"
#include "platform/paths.h"

namespace dravik::params {

namespace {

using platform::DesktopDb;
using platform::OpenMode;

struct KindRows {
  std::vector<std::string> wordName, wordMax, bitName, bitBit, bitMax;
};

Error ResourceError(const std::filesystem::path& dbPath, const std::string& reason) {
  return Error{"cannot read the device resources " + dbPath.string() + ": " + reason};
}

Result<DesktopDb> OpenResources(const std::filesystem::path& dbPath) {
  auto db = DesktopDb::Open(dbPath, kDeviceResourcesPassword, OpenMode::ReadOnly);
  if (!db) return ResourceError(dbPath, db.message());
  return db;
}

// Table "No" + (index + 1), after making sure it exists so that a protocol the database
// does not know is reported as such rather than as a statement error.
Result<std::string> ProtocolTable(DesktopDb& db, const std::filesystem::path& dbPath, int index) {
  if (index < 0) return ResourceError(dbPath, "protocol index " + std::to_string(index));
  std::string table = "No" + std::to_string(index + 1);
  auto found = db.Query("select name from sqlite_master where type='table' and name='" + table +
                        "' collate nocase");
  if (!found) return ResourceError(dbPath, found.message());
  if (found->Eof()) {
    return ResourceError(
        dbPath, "there is no protocol " + std::to_string(index) + " (table " + table + ")");
  }
  return table;
}

Result<KindRows> LoadKinds(DesktopDb& db, const std::filesystem::path& dbPath, int index) {
  auto table = ProtocolTable(db, dbPath, index);
  if (!table) return table.error();
  KindRows kinds;

  auto words = db.Query("select * from " + *table + " where Type=0");
  if (!words) return ResourceError(dbPath, words.message());
  if (Status columns = words->RequireColumns({"Name", "MaxNumber"}); !columns) {
    return ResourceError(dbPath, columns.message());
  }
  for (; !words->Eof(); words->Next()) {
    kinds.wordName.push_back(words->Text("Name"));
    kinds.wordMax.push_back(words->Text("MaxNumber"));
  }

  auto bits = db.Query("select * from " + *table + " where Type=1");
  if (!bits) return ResourceError(dbPath, bits.message());
  if (Status columns = bits->RequireColumns({"Name", "MaxNumber", "DataBit"}); !columns) {
    return ResourceError(dbPath, columns.message());
  }
  for (; !bits->Eof(); bits->Next()) {
    kinds.bitName.push_back(bits->Text("Name"));
    kinds.bitBit.push_back(bits->Text("DataBit"));
    kinds.bitMax.push_back(bits->Text("MaxNumber"));
  }
  return kinds;
}

}  // namespace

int ListNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

const std::string& ListEntry(const std::vector<std::string>& list, std::size_t index) {
  static const std::string kEmpty;
  return index < list.size() ? list[index] : kEmpty;
}

std::filesystem::path DeviceResourcesPath() {
  return platform::ProgramDir() / kDeviceResourcesFile;
}

Result<std::vector<std::string>> LoadDeviceSort(const std::filesystem::path& dbPath) {
  auto db = OpenResources(dbPath);
  if (!db) return db.error();
  auto rows = db->Query("select * from sort");
  if (!rows) return ResourceError(dbPath, rows.message());
  if (Status columns = rows->RequireColumns({"Name"}); !columns) {
    return ResourceError(dbPath, columns.message());
  }
  std::vector<std::string> names;
  for (; !rows->Eof(); rows->Next()) names.push_back(rows->Text("Name"));
  return names;
}

Result<DeviceLists> LoadDeviceLists(const std::filesystem::path& dbPath, int link1ProtocolIndex,
                                    int link2TableIndex) {
  auto db = OpenResources(dbPath);
  if (!db) return db.error();
  auto link1 = LoadKinds(*db, dbPath, link1ProtocolIndex);
  if (!link1) return link1.error();
  auto link2 = LoadKinds(*db, dbPath, link2TableIndex);
  if (!link2) return link2.error();
  db->Close();

  DeviceLists lists;
  lists.W_DeviceName = std::move(link1->wordName);
  lists.W_DeviceMax = std::move(link1->wordMax);
  lists.B_DeviceName = std::move(link1->bitName);
  lists.B_DeviceBit = std::move(link1->bitBit);
  lists.B_DeviceMax = std::move(link1->bitMax);
  lists.W_DeviceName2 = std::move(link2->wordName);
  lists.W_DeviceMax2 = std::move(link2->wordMax);
  lists.B_DeviceName2 = std::move(link2->bitName);
  lists.B_DeviceBit2 = std::move(link2->bitBit);
  lists.B_DeviceMax2 = std::move(link2->bitMax);
  lists.LinkUseCount = {"Link 1", "Link 2"};
  lists.MaxReg = ListNumber(ListEntry(lists.W_DeviceMax, 0));
  return lists;
}

}  // namespace dravik::params
