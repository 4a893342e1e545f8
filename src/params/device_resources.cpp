#include "params/device_resources.h"

#include <array>
#include <charconv>

#include "params/link_settings.h"
#include "platform/desktop_db.h"
#include "platform/paths.h"

namespace dravik::params {

namespace {

using platform::DesktopDb;
using platform::OpenMode;

struct KindRows {
  std::vector<std::string> wordName, wordMax, bitName, bitBit, bitMax;
};

Error ResourceError(const std::filesystem::path& dbPath, const Error& reason) {
  const std::string path = dbPath.string();
  return Error{Bilingual{"无法读取设备资源 " + path + "：" + reason.In(true),
                         "cannot read the device resources " + path + ": " + reason.In(false)}};
}

Result<DesktopDb> OpenResources(const std::filesystem::path& dbPath) {
  auto db = DesktopDb::Open(dbPath, kDeviceResourcesPassword, OpenMode::ReadOnly);
  if (!db) return ResourceError(dbPath, db.error());
  return db;
}

// Table "No" + (index + 1), or nothing when the database has no such table.
Result<std::optional<std::string>> ProtocolTable(DesktopDb& db, const std::filesystem::path& dbPath,
                                                 int index) {
  if (index < 0) return std::optional<std::string>();
  std::string table = "No" + std::to_string(index + 1);
  auto found = db.Query("select name from sqlite_master where type='table' and name='" + table +
                        "' collate nocase");
  if (!found) return ResourceError(dbPath, found.error());
  if (found->Eof()) return std::optional<std::string>();
  return std::optional<std::string>(std::move(table));
}

// The kinds of protocol `index`, or nothing when the database does not know it.
Result<std::optional<KindRows>> LoadKinds(DesktopDb& db, const std::filesystem::path& dbPath,
                                          int index) {
  auto table = ProtocolTable(db, dbPath, index);
  if (!table) return table.error();
  if (!table->has_value()) return std::optional<KindRows>();
  const std::string& name = **table;
  KindRows kinds;

  auto words = db.Query("select * from " + name + " where Type=0");
  if (!words) return ResourceError(dbPath, words.error());
  if (Status columns = words->RequireColumns({"Name", "MaxNumber"}); !columns) {
    return ResourceError(dbPath, columns.error());
  }
  for (; !words->Eof(); words->Next()) {
    kinds.wordName.push_back(words->Text("Name"));
    kinds.wordMax.push_back(words->Text("MaxNumber"));
  }

  auto bits = db.Query("select * from " + name + " where Type=1");
  if (!bits) return ResourceError(dbPath, bits.error());
  if (Status columns = bits->RequireColumns({"Name", "MaxNumber", "DataBit"}); !columns) {
    return ResourceError(dbPath, columns.error());
  }
  for (; !bits->Eof(); bits->Next()) {
    kinds.bitName.push_back(bits->Text("Name"));
    kinds.bitBit.push_back(bits->Text("DataBit"));
    kinds.bitMax.push_back(bits->Text("MaxNumber"));
  }
  return std::optional<KindRows>(std::move(kinds));
}

// Where each link's lists live, and where a table the database does not have is noted.
struct LinkLists {
  std::vector<std::string> DeviceLists::*wordName;
  std::vector<std::string> DeviceLists::*wordMax;
  std::vector<std::string> DeviceLists::*bitName;
  std::vector<std::string> DeviceLists::*bitBit;
  std::vector<std::string> DeviceLists::*bitMax;
  std::optional<int> DeviceLists::*unknownTable;
};

constexpr std::array<LinkLists, kLinkCount> kLinkLists{{
    {&DeviceLists::W_DeviceName, &DeviceLists::W_DeviceMax, &DeviceLists::B_DeviceName,
     &DeviceLists::B_DeviceBit, &DeviceLists::B_DeviceMax, &DeviceLists::unknownLink1Protocol},
    {&DeviceLists::W_DeviceName2, &DeviceLists::W_DeviceMax2, &DeviceLists::B_DeviceName2,
     &DeviceLists::B_DeviceBit2, &DeviceLists::B_DeviceMax2, &DeviceLists::unknownLink2Table},
}};

// The kinds of a known table replace the link's lists; an unknown one keeps them.
void TakeKinds(DeviceLists& lists, const LinkLists& link, int table,
               std::optional<KindRows>&& kinds) {
  if (!kinds) {
    lists.*link.unknownTable = table;
    return;
  }
  lists.*link.unknownTable = std::nullopt;
  lists.*link.wordName = std::move(kinds->wordName);
  lists.*link.wordMax = std::move(kinds->wordMax);
  lists.*link.bitName = std::move(kinds->bitName);
  lists.*link.bitBit = std::move(kinds->bitBit);
  lists.*link.bitMax = std::move(kinds->bitMax);
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
  if (!rows) return ResourceError(dbPath, rows.error());
  if (Status columns = rows->RequireColumns({"Name"}); !columns) {
    return ResourceError(dbPath, columns.error());
  }
  std::vector<std::string> names;
  for (; !rows->Eof(); rows->Next()) names.push_back(rows->Text("Name"));
  return names;
}

Bilingual UnknownTableName(int number) {
  const std::string n = std::to_string(number);
  return {"未知 (" + n + ")", "unknown (" + n + ")"};
}

Result<DeviceLists> LoadDeviceLists(const std::filesystem::path& dbPath, int link1ProtocolIndex,
                                    int link2TableIndex, const DeviceLists& previous) {
  auto db = OpenResources(dbPath);
  if (!db) return db.error();
  const std::array<int, kLinkCount> tables{link1ProtocolIndex, link2TableIndex};
  std::array<std::optional<KindRows>, kLinkCount> kinds;
  for (std::size_t link = 0; link < kLinkCount; ++link) {
    auto loaded = LoadKinds(*db, dbPath, tables[link]);
    if (!loaded) return loaded.error();
    kinds[link] = std::move(*loaded);
  }
  db->Close();

  DeviceLists lists = previous;
  for (std::size_t link = 0; link < kLinkCount; ++link) {
    TakeKinds(lists, kLinkLists[link], tables[link], std::move(kinds[link]));
  }
  lists.LinkUseCount = {"Link 1", "Link 2"};
  lists.MaxReg = ListNumber(ListEntry(lists.W_DeviceMax, 0));
  return lists;
}

}  // namespace dravik::params
