// dravik-make-resources SOURCE.txt OUTPUT.Dat
//
// Builds the device-resource database (QXRes.Dat) from its text source at build time.
// The database is written beside the output under a temporary name and renamed into
// place only when complete, so an interrupted build never leaves a half database.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop_db.h"
#include "platform/result.h"

namespace {

using dravik::Error;
using dravik::Result;
using dravik::Status;
using dravik::platform::DbTransaction;
using dravik::platform::DesktopDb;
using dravik::platform::OpenMode;

constexpr const char* kPassword = "zr_pekwandors";
constexpr std::size_t kMaxNameBytes = 20;          // kind names appear in captions
constexpr std::size_t kMaxProtocolNameBytes = 50;  // protocol names fill a list

struct Kind {
  int type = 0;  // 0 word register kind, 1 bit kind
  std::string name;
  int max = 0;
  int bits = 0;
};

struct Protocol {
  std::string name;
  std::vector<Kind> kinds;
};

bool IsPrintableAscii(std::string_view text, bool blanksAllowed) {
  for (char c : text) {
    if (c == ' ' && blanksAllowed) continue;
    if (c <= ' ' || c > '~') return false;
  }
  return !text.empty();
}

std::string Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

Result<std::vector<Protocol>> Parse(std::istream& in, const std::string& source) {
  std::vector<Protocol> protocols;
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& message) {
    return Error{source + ":" + std::to_string(number) + ": " + message};
  };
  while (std::getline(in, line)) {
    ++number;
    std::string text = Trim(std::string_view(line).substr(0, line.find('#')));
    if (text.empty()) continue;
    std::istringstream words(text);
    std::string keyword;
    words >> keyword;

    if (keyword == "protocol") {
      std::string indexText;
      words >> indexText;
      int index = 0;
      if (!ParseInt(indexText, 0, 65535, index) || index != static_cast<int>(protocols.size())) {
        return fail("protocol index must be " + std::to_string(protocols.size()));
      }
      std::string rest;
      std::getline(words, rest);
      std::string name = Trim(rest);
      if (!IsPrintableAscii(name, true) || name.size() > kMaxProtocolNameBytes) {
        return fail("protocol name must be 1 to 50 printable ASCII characters");
      }
      protocols.push_back({name, {}});
      continue;
    }

    if (keyword != "word" && keyword != "bit") return fail("unknown line \"" + text + "\"");
    if (protocols.empty()) return fail("a kind before the first protocol");
    Kind kind;
    kind.type = keyword == "bit" ? 1 : 0;
    std::string maxText;
    std::string bitsText;
    std::string extra;
    words >> kind.name >> maxText;
    if (kind.type == 1) words >> bitsText;
    words >> extra;
    if (!extra.empty()) return fail("too many fields");
    if (!IsPrintableAscii(kind.name, false) || kind.name.size() > kMaxNameBytes) {
      return fail("kind name must be 1 to 20 printable ASCII characters without blanks");
    }
    // Register numbers are 16-bit everywhere in a project.
    if (!ParseInt(maxText, 0, 65535, kind.max)) return fail("maximum must be 0 to 65535");
    if (kind.type == 1 && !ParseInt(bitsText, -1, 15, kind.bits)) {
      return fail("bit information must be -1 to 15");
    }
    protocols.back().kinds.push_back(kind);
  }
  if (in.bad()) return Error{source + ": cannot be read"};
  if (protocols.empty()) return Error{source + ": no protocol"};
  return protocols;
}

Status Fill(DesktopDb& db, const std::vector<Protocol>& protocols) {
  auto transaction = DbTransaction::Begin(db);
  if (!transaction) return transaction.error();
  Status status = db.Execute("create table sort (Name text)");
  if (!status) return status;
  auto sort = db.Query("select * from sort");
  if (!sort) return sort.error();
  for (std::size_t i = 0; i < protocols.size(); ++i) {
    if (status = sort->Append(); !status) return status;
    sort->SetText("Name", protocols[i].name);
    if (status = sort->Post(); !status) return status;

    std::string table = "No" + std::to_string(i + 1);
    status = db.Execute("create table " + table +
                        " (Type integer, Name text, MaxNumber text, DataBit integer)");
    if (!status) return status;
    auto kinds = db.Query("select * from " + table);
    if (!kinds) return kinds.error();
    for (const Kind& kind : protocols[i].kinds) {
      if (status = kinds->Append(); !status) return status;
      kinds->SetInt("Type", kind.type);
      kinds->SetText("Name", kind.name);
      kinds->SetText("MaxNumber", std::to_string(kind.max));
      kinds->SetInt("DataBit", kind.bits);
      if (status = kinds->Post(); !status) return status;
    }
  }
  return transaction->Commit();
}

Status Write(const std::vector<Protocol>& protocols, const std::filesystem::path& output) {
  std::filesystem::path partial = output;
  partial += ".partial";
  std::error_code error;
  std::filesystem::remove(partial, error);
  std::filesystem::remove(partial.string() + "-journal", error);
  {
    auto db = DesktopDb::Open(partial, kPassword, OpenMode::CreateIfMissing);
    if (!db) return db.error();
    Status filled = Fill(*db, protocols);
    if (!filled) {
      db->Close();
      std::filesystem::remove(partial, error);
      return filled;
    }
  }  // closed: SQLite has synced every committed page
  std::filesystem::rename(partial, output, error);
  if (error) {
    std::filesystem::remove(partial, error);
    return Error{"cannot rename " + partial.string() + " to " + output.string()};
  }
  return dravik::Status::Ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dravik-make-resources SOURCE.txt OUTPUT.Dat\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "dravik-make-resources: cannot open %s\n", argv[1]);
    return 1;
  }
  auto protocols = Parse(in, argv[1]);
  if (!protocols) {
    std::fprintf(stderr, "dravik-make-resources: %s\n", protocols.message().c_str());
    return 1;
  }
  Status written = Write(*protocols, argv[2]);
  if (!written) {
    std::fprintf(stderr, "dravik-make-resources: %s\n", written.message().c_str());
    return 1;
  }
  return 0;
}
