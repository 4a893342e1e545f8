#include "params/device_resources.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop_db.h"
#include "support/temp_dir.h"

namespace dravik::params {
namespace {

using platform::DesktopDb;
using platform::OpenMode;
using ::testing::HasSubstr;

constexpr int kProtocolCount = 12;

std::filesystem::path BuiltResources() {
  return test::ProgramDir() / kDeviceResourcesFile;
}

DeviceLists Load(int link1, int link2 = 1) {
  auto lists = LoadDeviceLists(BuiltResources(), link1, link2);
  EXPECT_TRUE(lists.ok()) << (lists.ok() ? "" : lists.message());
  return lists.ok() ? std::move(lists).value() : DeviceLists{};
}

TEST(DeviceResourcesTest, ListNumberReadsDecimalIntegersOnly) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"65000", 65000}, {"0", 0},    {"-1", -1},        {" 377 ", 377},
                        {"+15", 15},      {"", 0},     {"D", 0},          {"12abc", 0},
                        {"1.5", 0},       {"0x1F", 0}, {"99999999999", 0}};
  for (const Case& c : cases) EXPECT_EQ(ListNumber(c.text), c.expected) << '"' << c.text << '"';
  std::vector<std::string> list{"7"};
  EXPECT_EQ(ListEntry(list, 0), "7");
  EXPECT_EQ(ListEntry(list, 1), "");
}

TEST(DeviceResourcesTest, BuiltDatabaseListsTwelveProtocols) {
  EXPECT_EQ(DeviceResourcesPath(), BuiltResources());
  auto names = LoadDeviceSort(DeviceResourcesPath());
  ASSERT_TRUE(names.ok()) << names.message();
  ASSERT_EQ(names->size(), static_cast<std::size_t>(kProtocolCount));
  EXPECT_EQ((*names)[1], "Modbus RTU Master");
  EXPECT_EQ(std::set<std::string>(names->begin(), names->end()).size(), names->size());
  // The database is protected: without the password it cannot be read.
  EXPECT_FALSE(DesktopDb::Open(BuiltResources(), "", OpenMode::ReadOnly).ok());
}

TEST(DeviceResourcesTest, DefaultProtocolHoldsThePanelRegisterArea) {
  DeviceLists lists = Load(0, 1);
  ASSERT_FALSE(lists.W_DeviceName.empty());
  EXPECT_EQ(lists.W_DeviceName[0], "D");
  EXPECT_EQ(lists.W_DeviceMax[0], "65000");
  EXPECT_EQ(lists.MaxReg, 65000);
  for (int defaultRegister : {2180, 1180, 2100}) EXPECT_LE(defaultRegister, lists.MaxReg);
  EXPECT_GE(lists.W_DeviceName.size(), 9u);  // the fast read kind defaults to position 8
  EXPECT_EQ(lists.LinkUseCount, (std::vector<std::string>{"Link 1", "Link 2"}));

  // Link 2 reads the Modbus master's table.
  DeviceLists master = Load(1, 1);
  EXPECT_EQ(lists.W_DeviceName2, master.W_DeviceName);
  EXPECT_EQ(lists.W_DeviceMax2, master.W_DeviceMax);
  EXPECT_EQ(lists.B_DeviceName2, master.B_DeviceName);
  EXPECT_EQ(lists.B_DeviceBit2, master.B_DeviceBit);
  EXPECT_EQ(lists.B_DeviceMax2, master.B_DeviceMax);
}

// Every list of every protocol holds what the address rules rely on.
TEST(DeviceResourcesTest, EveryProtocolHasUsableKinds) {
  for (int p = 0; p < kProtocolCount; ++p) {
    SCOPED_TRACE("protocol " + std::to_string(p));
    DeviceLists lists = Load(p, p);
    ASSERT_FALSE(lists.W_DeviceName.empty());
    ASSERT_FALSE(lists.B_DeviceName.empty());
    EXPECT_EQ(lists.W_DeviceName.size(), lists.W_DeviceMax.size());
    EXPECT_EQ(lists.B_DeviceName.size(), lists.B_DeviceMax.size());
    EXPECT_EQ(lists.B_DeviceName.size(), lists.B_DeviceBit.size());
    // Elements keep the kind position in three bits.
    EXPECT_LE(lists.B_DeviceName.size(), 8u);
    if (p != 0) {
      EXPECT_LE(lists.W_DeviceName.size(), 8u);
    }
    EXPECT_GT(lists.MaxReg, 0);
    for (const std::string& max : lists.W_DeviceMax) {
      EXPECT_EQ(std::to_string(ListNumber(max)), max);
      EXPECT_LE(ListNumber(max), 65535);
    }
    for (std::size_t k = 0; k < lists.B_DeviceName.size(); ++k) {
      int bits = ListNumber(lists.B_DeviceBit[k]);
      int max = ListNumber(lists.B_DeviceMax[k]);
      EXPECT_EQ(std::to_string(bits), lists.B_DeviceBit[k]);
      EXPECT_EQ(std::to_string(max), lists.B_DeviceMax[k]);
      EXPECT_GE(bits, -1);
      EXPECT_LE(bits, 15);
      // Where the bit number is folded into the address, the address must stay 16-bit.
      if ((p == 4 || p == 6 || p == 7) && bits > 0) {
        EXPECT_LE(max * (bits + 1) + bits, 65535) << lists.B_DeviceName[k];
      }
    }
  }
}

// The positions that the bit-address, octal-increment and protocol-9/10 rules treat
// specially.
TEST(DeviceResourcesTest, SpecialProtocolsHaveTheirBitKinds) {
  enum Expect { kPlain, kWordBits15, kByteBits7 };
  struct Case {
    int protocol;
    std::vector<Expect> positions;  // expected bit information by position
  };
  const Case cases[] = {
      {4, {kPlain, kWordBits15, kWordBits15, kWordBits15, kWordBits15}},
      {6, {kPlain, kWordBits15, kWordBits15, kPlain}},
      {7, {kPlain, kByteBits7, kByteBits7, kByteBits7, kByteBits7, kByteBits7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("protocol " + std::to_string(c.protocol));
    DeviceLists lists = Load(c.protocol);
    ASSERT_EQ(lists.B_DeviceBit.size(), c.positions.size());
    for (std::size_t k = 0; k < c.positions.size(); ++k) {
      int bits = ListNumber(lists.B_DeviceBit[k]);
      switch (c.positions[k]) {
        case kPlain:
          EXPECT_LE(bits, 0) << k;
          break;
        case kWordBits15:
          EXPECT_EQ(bits, 15) << k;
          break;
        case kByteBits7:
          EXPECT_EQ(bits, 7) << k;
          break;
      }
    }
  }

  // Octal X and Y at bit positions 3 and 4.
  for (int p : {0, 1, 2, 11}) {
    SCOPED_TRACE("protocol " + std::to_string(p));
    DeviceLists lists = Load(p);
    ASSERT_GE(lists.B_DeviceName.size(), 5u);
    EXPECT_EQ(lists.B_DeviceName[3], "X");
    EXPECT_EQ(lists.B_DeviceName[4], "Y");
    EXPECT_EQ(lists.B_DeviceBit[3], "0");
    EXPECT_EQ(lists.B_DeviceBit[4], "0");
    for (int k : {3, 4}) {  // an octal maximum has no digit 8 or 9
      EXPECT_EQ(lists.B_DeviceMax[k].find_first_of("89"), std::string::npos);
    }
  }
  EXPECT_EQ(Load(0).B_DeviceBit[0], "15");  // position 0: bits in the panel's registers

  // 9 and 10 are one protocol on the panel; only 10 numbers bits in hexadecimal.
  DeviceLists q = Load(9);
  DeviceLists qHex = Load(10);
  EXPECT_EQ(q.W_DeviceName, qHex.W_DeviceName);
  EXPECT_EQ(q.W_DeviceMax, qHex.W_DeviceMax);
  auto hexKinds = [](const DeviceLists& lists) {
    return std::count(lists.B_DeviceBit.begin(), lists.B_DeviceBit.end(), "-1");
  };
  EXPECT_EQ(hexKinds(q), 0);
  EXPECT_GE(hexKinds(qHex), 2);
}

TEST(DeviceResourcesTest, UnreadableDatabaseIsAClearErrorInBothLanguages) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::filesystem::path path;
    const char* expected;
  };
  test::WriteText(dir / "QXRes.Dat", "not a database at all, just some text long enough");
  const Case cases[] = {
      {"missing file", dir / "absent" / "QXRes.Dat", "does not exist"},
      {"not a database", dir / "QXRes.Dat", "wrong password or not a database"},
  };
  for (const Case& c : cases) {
    auto lists = LoadDeviceLists(c.path, 0, 1);
    ASSERT_FALSE(lists.ok()) << c.name;
    EXPECT_THAT(lists.message(false), HasSubstr(c.expected)) << c.name;
    EXPECT_THAT(lists.message(false), HasSubstr("cannot read the device resources")) << c.name;
    EXPECT_THAT(lists.message(true), HasSubstr("无法读取设备资源 " + c.path.string())) << c.name;
    auto names = LoadDeviceSort(c.path);
    ASSERT_FALSE(names.ok()) << c.name;
    EXPECT_THAT(names.message(true), HasSubstr("无法读取设备资源")) << c.name;
  }
}

// Projects made elsewhere may name any protocol or device table. Such a link keeps the
// lists it had and is marked, so that opening works and the compile check can say why it
// cannot judge.
TEST(DeviceResourcesTest, ATableTheDatabaseLacksKeepsThatLinksListsAndIsMarked) {
  const DeviceLists before = Load(0, 1);
  struct Case {
    const char* name;
    int link1;
    int link2;
    std::optional<int> unknown1;
    std::optional<int> unknown2;
  };
  const Case cases[] = {
      {"Link 1 protocol", kProtocolCount, 1, kProtocolCount, std::nullopt},
      {"Link 2 table", 5, 40, std::nullopt, 40},
      {"both, one negative", -1, 99, -1, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto lists = LoadDeviceLists(BuiltResources(), c.link1, c.link2, before);
    ASSERT_TRUE(lists.ok()) << lists.message();
    EXPECT_EQ(lists->unknownLink1Protocol, c.unknown1);
    EXPECT_EQ(lists->unknownLink2Table, c.unknown2);
    EXPECT_EQ(lists->Link1Known(), !c.unknown1);
    const DeviceLists fresh = Load(c.unknown1 ? 0 : c.link1, c.unknown2 ? 1 : c.link2);
    EXPECT_EQ(lists->W_DeviceName, fresh.W_DeviceName);  // kept from `before` when unknown
    EXPECT_EQ(lists->B_DeviceMax, fresh.B_DeviceMax);
    EXPECT_EQ(lists->W_DeviceName2, fresh.W_DeviceName2);
    EXPECT_EQ(lists->MaxReg, fresh.MaxReg);
    EXPECT_EQ(lists->LinkUseCount, (std::vector<std::string>{"Link 1", "Link 2"}));
  }
  // Without lists from before an unknown link has none; a known one clears the mark.
  auto none = LoadDeviceLists(BuiltResources(), kProtocolCount, 1);
  ASSERT_TRUE(none.ok());
  EXPECT_TRUE(none->W_DeviceName.empty());
  EXPECT_EQ(none->MaxReg, 0);
  auto again = LoadDeviceLists(BuiltResources(), 0, 1, *none);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(again->AllKnown());
  EXPECT_EQ(UnknownTableName(12), (Bilingual{"未知 (12)", "unknown (12)"}));
}

// A hand-made database: a protocol without word kinds, one whose first maximum is not a
// number, and one whose table lacks a column.
TEST(DeviceResourcesTest, ListsFollowTheStoredTextsAndColumns) {
  test::TempDir dir;
  auto file = dir / "QXRes.Dat";
  {
    auto db = DesktopDb::Open(file, kDeviceResourcesPassword, OpenMode::CreateIfMissing);
    ASSERT_TRUE(db.ok()) << db.message();
    Status made = db->Execute(
        "create table sort (Name text);"
        "insert into sort values ('Bits only'); insert into sort values ('Odd');"
        "insert into sort values ('Broken');"
        "create table No1 (Type integer, Name text, MaxNumber text, DataBit integer);"
        "insert into No1 values (1, 'M', '100', 0);"
        "create table No2 (Type integer, Name text, MaxNumber text, DataBit integer);"
        "insert into No2 values (0, 'DM', 'many', 0);"
        "insert into No2 values (1, 'X', '377', null);"
        "insert into No2 values (0, 'EM', '9999', 0);"
        "create table No3 (Type integer, Name text, DataBit integer);"
        "insert into No3 values (0, 'D', 0);");
    ASSERT_TRUE(made.ok()) << made.message();
  }
  auto bitsOnly = LoadDeviceLists(file, 0, 1);
  ASSERT_TRUE(bitsOnly.ok()) << bitsOnly.message();
  EXPECT_TRUE(bitsOnly->W_DeviceName.empty());
  EXPECT_EQ(bitsOnly->MaxReg, 0);
  EXPECT_EQ(bitsOnly->B_DeviceName, std::vector<std::string>{"M"});
  EXPECT_EQ(bitsOnly->W_DeviceName2, (std::vector<std::string>{"DM", "EM"}));
  EXPECT_EQ(bitsOnly->W_DeviceMax2, (std::vector<std::string>{"many", "9999"}));
  EXPECT_EQ(bitsOnly->B_DeviceBit2, std::vector<std::string>{""});

  auto odd = LoadDeviceLists(file, 1, 0);
  ASSERT_TRUE(odd.ok()) << odd.message();
  EXPECT_EQ(odd->MaxReg, 0);  // "many" is not a number

  auto broken = LoadDeviceLists(file, 2, 1);
  ASSERT_FALSE(broken.ok());
  EXPECT_THAT(broken.message(), HasSubstr("\"MaxNumber\""));
  EXPECT_THAT(broken.message(true), HasSubstr("\"MaxNumber\""));
}

}  // namespace
}  // namespace dravik::params
