// The device resources (QXRes.Dat) with hostile contents. A mutated encrypted file fails
// the password check at once (every page carries its own authentication code), so the
// target builds a sound database from rows the input chooses and has the real reader load
// it: protocol names, kind names, maxima and bit information as arbitrary bytes, types
// that are no number, columns left out. The reader refuses cleanly or hands back lists
// whose sizes match, the names as stored, and an unknown table's lists as they were.
//
// The input is lines: "s<name>" a protocol (table sort); "1<type>\t<name>\t<max>\t<bit>"
// or "2…" a kind of table No1 or No2; "-<column>" leaves a column out of both tables;
// "L<n>" loads Link 2 from protocol n (0..9, default 1) rather than table No2.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "params/device_resources.h"
#include "platform/desktop_db.h"
#include "temp_file.h"

using namespace dravik;
using namespace dravik::params;
using platform::DesktopDb;
using platform::OpenMode;

namespace {

struct KindRow {
  std::string type, name, max, bit;
};

struct Contents {
  std::vector<std::string> protocols;
  std::vector<KindRow> tables[2];
  std::set<std::string> leftOut;
  int link2Index = 1;
};

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  std::istringstream in(text);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  fields.resize(4);
  return fields;
}

Contents Parse(const std::string& input) {
  Contents contents;
  std::istringstream lines(input);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    const std::string rest = line.substr(1);
    switch (line[0]) {
      case 's': contents.protocols.push_back(rest); break;
      case '1':
      case '2': {
        const auto fields = Fields(rest);
        contents.tables[line[0] - '1'].push_back({fields[0], fields[1], fields[2], fields[3]});
        break;
      }
      case '-': contents.leftOut.insert(rest); break;
      case 'L':
        if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') contents.link2Index = rest[0] - '0';
        break;
      default: break;
    }
  }
  return contents;
}

bool Has(const Contents& contents, const std::string& column) {
  return contents.leftOut.count(column) == 0;
}

// The database the input describes; false when the engine refuses the contents (a
// column left out of every table leaves "create table" nothing to make).
bool Write(const std::filesystem::path& path, const Contents& contents) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  auto db = DesktopDb::Open(path, kDeviceResourcesPassword, OpenMode::CreateIfMissing);
  FUZZ_CHECK(db.ok());
  if (!db->Execute("create table sort (Name text)")) return false;
  auto sort = db->Query("select * from sort");
  FUZZ_CHECK(sort.ok());
  for (const std::string& name : contents.protocols) {
    FUZZ_CHECK(sort->Append().ok());
    sort->SetText("Name", name);
    FUZZ_CHECK(sort->Post().ok());
  }
  std::string columns;
  for (const char* column : {"Type", "Name", "MaxNumber", "DataBit"}) {
    if (!Has(contents, column)) continue;
    columns += (columns.empty() ? "" : ", ") + std::string(column) +
               (column == std::string("Type") || column == std::string("DataBit") ? " integer" : " text");
  }
  if (columns.empty()) return false;
  for (int table = 0; table < 2; ++table) {
    const std::string name = "No" + std::to_string(table + 1);
    FUZZ_CHECK(db->Execute("create table " + name + " (" + columns + ")").ok());
    auto rows = db->Query("select * from " + name);
    FUZZ_CHECK(rows.ok());
    for (const KindRow& row : contents.tables[table]) {
      FUZZ_CHECK(rows->Append().ok());
      if (Has(contents, "Type")) rows->SetText("Type", row.type);
      if (Has(contents, "Name")) rows->SetText("Name", row.name);
      if (Has(contents, "MaxNumber")) rows->SetText("MaxNumber", row.max);
      if (Has(contents, "DataBit")) rows->SetText("DataBit", row.bit);
      FUZZ_CHECK(rows->Post().ok());
    }
  }
  return true;
}

// Every open derives the file's key from its password, 64,000 rounds of PBKDF2 that are the
// same for every input and guard nothing the reader decides: with one round for every
// connection of this process, the target runs about seventy times faster through the same
// reader. The files stay encrypted and still open only with the password.
void DeriveKeysCheaply() {
  sqlite3* connection = nullptr;
  FUZZ_CHECK(sqlite3_open(":memory:", &connection) == SQLITE_OK);
  FUZZ_CHECK(sqlite3_exec(connection, "PRAGMA cipher_default_kdf_iter = 1", nullptr, nullptr,
                          nullptr) == SQLITE_OK);
  sqlite3_close(connection);
}

DeviceLists Previous() {
  DeviceLists lists;
  lists.W_DeviceName2 = {"before"};
  lists.W_DeviceMax2 = {"1"};
  return lists;
}

void CheckLink(const std::vector<std::string>& wordName, const std::vector<std::string>& wordMax,
               const std::vector<std::string>& bitName, const std::vector<std::string>& bitBit,
               const std::vector<std::string>& bitMax, const std::vector<KindRow>& rows) {
  FUZZ_CHECK(wordName.size() == wordMax.size());
  FUZZ_CHECK(bitName.size() == bitBit.size() && bitName.size() == bitMax.size());
  FUZZ_CHECK(wordName.size() + bitName.size() <= rows.size());
  std::vector<std::string> words, bits;
  bool canonical = true;
  for (const KindRow& row : rows) {
    if (row.type == "0") words.push_back(row.name);
    else if (row.type == "1") bits.push_back(row.name);
    else canonical = false;
  }
  if (canonical) FUZZ_CHECK(wordName == words && bitName == bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::TempFile database = [] {
    DeriveKeysCheaply();
    return fuzz::TempFile(".Dat");
  }();
  const Contents contents = Parse(std::string(reinterpret_cast<const char*>(data), size));
  if (!Write(database.Path(), contents)) return 0;

  const auto sort = LoadDeviceSort(database.Path());
  FUZZ_CHECK(sort.ok());
  FUZZ_CHECK(*sort == contents.protocols);

  const DeviceLists previous = Previous();
  const auto lists = LoadDeviceLists(database.Path(), 0, contents.link2Index, previous);
  const bool complete = Has(contents, "Type") && Has(contents, "Name") &&
                        Has(contents, "MaxNumber") && Has(contents, "DataBit");
  if (!lists) {
    FUZZ_CHECK(!complete);
    FUZZ_CHECK(!lists.message(false).empty() && !lists.message(true).empty());
    return 0;
  }
  FUZZ_CHECK(lists->Link1Known());
  CheckLink(lists->W_DeviceName, lists->W_DeviceMax, lists->B_DeviceName, lists->B_DeviceBit,
            lists->B_DeviceMax, contents.tables[0]);
  FUZZ_CHECK(lists->MaxReg == ListNumber(ListEntry(lists->W_DeviceMax, 0)));
  if (contents.link2Index == 1) {
    FUZZ_CHECK(!lists->unknownLink2Table);
    CheckLink(lists->W_DeviceName2, lists->W_DeviceMax2, lists->B_DeviceName2,
              lists->B_DeviceBit2, lists->B_DeviceMax2, contents.tables[1]);
  } else if (contents.link2Index > 1) {
    FUZZ_CHECK(lists->unknownLink2Table == contents.link2Index);
    FUZZ_CHECK(lists->W_DeviceName2 == previous.W_DeviceName2);
  }
  return 0;
}
