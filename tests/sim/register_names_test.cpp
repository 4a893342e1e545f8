// Registers by name as the device resources spell them, both ways, for the panel's own
// protocol, the Modbus master with its octal inputs and outputs and a protocol numbered
// in hexadecimal; assignments as --set takes them; the register file beside an image.

#include "sim/register_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "params/device_resources.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace dravik::sim {
namespace {

using ::testing::HasSubstr;

// The lists of each protocol, read from the built device resources once.
RegisterNaming NamingFor(int protocol, int link2Table = 1) {
  static std::map<std::pair<int, int>, RegisterKinds> loaded;
  auto [kinds, fresh] = loaded.try_emplace({protocol, link2Table});
  if (fresh) {
    auto lists = params::LoadDeviceLists(test::ProgramDir() / params::kDeviceResourcesFile,
                                         protocol, link2Table);
    EXPECT_TRUE(lists.ok()) << (lists.ok() ? "" : lists.message());
    kinds->second = RegisterKinds::FromLists(lists.ok() ? *lists : params::DeviceLists{});
  }
  return {kinds->second, {protocol, link2Table}};
}

struct NameCase {
  int protocol;
  const char* name;
  RegisterAddress address;
};

TEST(RegisterNamesTest, NamesAndAddressesBothWays) {
  const std::vector<NameCase> cases = {
      {0, "D100", WordAddress{0, 0, 100}},
      {0, "SD7", WordAddress{0, 5, 7}},
      {0, "4X17", WordAddress{0, 8, 17}},
      {0, "T5", WordAddress{0, 3, 5}},  // a bare T is the timer word
      {0, "D.b100.A", BitAddress{0, 0, 100, 10}},
      {0, "M5", BitAddress{0, 1, 5, 0}},
      {0, "X17", BitAddress{0, 3, 17, 0}},  // octal digits
      {0, "Y377", BitAddress{0, 4, 377, 0}},
      {0, "2:4X17", WordAddress{1, 0, 17}},  // Link 2, table 1
      {0, "2:4X.b3.F", BitAddress{1, 0, 3, 15}},
      {1, "4X17", WordAddress{0, 0, 17}},
      {1, "3X0", WordAddress{0, 1, 0}},
      {1, "D8511", WordAddress{0, 2, 8511}},
      {1, "4X.b12.F", BitAddress{0, 0, 12, 15}},
      {1, "0X100", BitAddress{0, 1, 100, 0}},
      {1, "1X65535", BitAddress{0, 2, 65535, 0}},
      {1, "X10", BitAddress{0, 3, 10, 0}},
      {10, "X07F", BitAddress{0, 0, 0x7F, 0}},  // hexadecimal, three digits at least
      {10, "B1FFF", BitAddress{0, 2, 0x1FFF, 0}},
      {10, "ZR65535", WordAddress{0, 6, 65535}},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " on protocol " + std::to_string(c.protocol));
    const RegisterNaming naming = NamingFor(c.protocol);
    EXPECT_EQ(RegisterName(naming, c.address), c.name);
    const Result<RegisterAddress> parsed = ParseRegisterName(naming, c.name);
    ASSERT_TRUE(parsed) << parsed.message();
    EXPECT_EQ(*parsed, c.address);
  }
}

TEST(RegisterNamesTest, OtherSpellingsAndTheBitKindOfASharedName) {
  const RegisterNaming naming = NamingFor(0);
  EXPECT_EQ(*ParseRegisterName(naming, " d.B100.a "), RegisterAddress(BitAddress{0, 0, 100, 10}));
  EXPECT_EQ(*ParseRegisterName(naming, "1:D3"), RegisterAddress(WordAddress{0, 0, 3}));
  EXPECT_EQ(*ParseRegisterName(naming, "T5", NamePreference::Bit),
            RegisterAddress(BitAddress{0, 5, 5, 0}));
  EXPECT_EQ(RegisterName(naming, WordAddress{0, 40, 1}), "");  // a kind the lists lack
}

TEST(RegisterNamesTest, BadNamesSayWhatIsWrong) {
  struct Case {
    int protocol;
    const char* text;
    const char* english;
    const char* chinese;
  };
  const std::vector<Case> cases = {
      {0, "Q5", "\"Q5\" names no register", "不是寄存器名称"},
      {0, "D", "\"D\" must be followed by an address number", "后面需要地址数字"},
      {0, "D12x", "must be followed by an address number", "地址数字"},
      {0, "D65001", "D addresses run from 0 to 65000", "0 ~ 65000"},
      {0, "X18", "X addresses are written in octal digits (0 to 7)", "八进制"},
      {0, "X400", "X addresses run from 0 to 377", "0 ~ 377"},
      {0, "D.b100", "D.b needs a bit number .0 to .F", "需要位号"},
      {0, "D.b100.G", "D.b needs a bit number .0 to .F", "需要位号"},
      {10, "X2000", "X addresses run from 0 to 1FFF", "0 ~ 1FFF"},
      {10, "X1G", "must be followed by an address number", "地址数字"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<RegisterAddress> parsed = ParseRegisterName(NamingFor(c.protocol), c.text);
    ASSERT_FALSE(parsed);
    EXPECT_THAT(parsed.message(false), HasSubstr(c.english));
    EXPECT_THAT(parsed.message(true), HasSubstr(c.chinese));
  }
}

TEST(RegisterNamesTest, Assignments) {
  const RegisterNaming naming = NamingFor(0);
  struct Case {
    const char* text;
    RegisterAddress address;
    std::uint16_t value;
  };
  const std::vector<Case> good = {
      {"D100=42", WordAddress{0, 0, 100}, 42},       {"D100=0x2A", WordAddress{0, 0, 100}, 42},
      {"D100 = -3", WordAddress{0, 0, 100}, 0xFFFD}, {"D100=65535", WordAddress{0, 0, 100}, 65535},
      {"M5=1", BitAddress{0, 1, 5, 0}, 1},           {"M5=off", BitAddress{0, 1, 5, 0}, 0},
      {"T5=ON", BitAddress{0, 5, 5, 0}, 1},          {"T5=1", WordAddress{0, 3, 5}, 1},
      {"D.b7.3=1", BitAddress{0, 0, 7, 3}, 1},
  };
  for (const Case& c : good) {
    SCOPED_TRACE(c.text);
    const Result<Assignment> assignment = ParseAssignment(naming, c.text);
    ASSERT_TRUE(assignment) << assignment.message();
    EXPECT_EQ(assignment->address, c.address);
    EXPECT_EQ(assignment->value, c.value);
  }
  for (const char* bad : {"D100", "D100=", "D100=70000", "D100=-32769", "D100=0x10000", "D100=4.5",
                          "D100=ON", "M5=2", "Q1=1"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseAssignment(naming, bad));
  }
}

TEST(RegisterNamesTest, TheRegisterFileKeepsWhatIsNotZeroAndReadsItBack) {
  test::TempDir dir;
  const RegisterNaming naming = NamingFor(0);
  RegisterMemory memory(naming.kinds);
  for (const char* text : {"D100=42", "D101=-1", "4X17=7", "D.b5.F=1", "M5=ON", "X17=1", "T3=ON",
                           "2:4X9=300", "D200=0"}) {
    const Result<Assignment> assignment = ParseAssignment(naming, text);
    ASSERT_TRUE(assignment) << text;
    Apply(*assignment, memory);
  }
  const std::filesystem::path file = RegisterFilePath(dir / "QX.bin");
  EXPECT_EQ(file.filename(), "QX.bin.registers");
  ASSERT_TRUE(SaveRegisterFile(file, naming, memory));

  const std::string text = test::ReadText(file);
  for (const char* line : {"D100=42\n", "D101=65535\n", "4X17=7\n", "D5=32768\n", "M5=ON\n",
                           "X17=ON\n", "T3=ON\n", "2:4X9=300\n"}) {
    EXPECT_THAT(text, HasSubstr(line));
  }
  EXPECT_THAT(text, ::testing::Not(HasSubstr("D200")));

  RegisterMemory loaded(naming.kinds);
  const Result<std::vector<Bilingual>> problems = LoadRegisterFile(file, naming, loaded);
  ASSERT_TRUE(problems) << problems.message();
  EXPECT_TRUE(problems->empty());
  EXPECT_EQ(loaded.Words(), memory.Words());
  EXPECT_EQ(loaded.PlainBits(), memory.PlainBits());
  EXPECT_TRUE(loaded.Bit({0, 5, 3, 0}));  // the timer bit, not the timer word
  EXPECT_EQ(loaded.Word({0, 3, 3}), 0);
}

TEST(RegisterNamesTest, DamagedLinesAreReportedAndSkippedTheRestIsTaken) {
  test::TempDir dir;
  const RegisterNaming naming = NamingFor(0);
  const std::filesystem::path file = dir / "QX.bin.registers";
  test::WriteText(file, "# comment\nD100=5\ngarbage\nD101=99999\n\r\nM5=ON\r\nX18=ON\nD102=9");
  RegisterMemory memory(naming.kinds);
  const Result<std::vector<Bilingual>> problems = LoadRegisterFile(file, naming, memory);
  ASSERT_TRUE(problems) << problems.message();
  ASSERT_EQ(problems->size(), 3u);
  EXPECT_THAT((*problems)[0].english, HasSubstr("Line 3: "));
  EXPECT_THAT((*problems)[1].english, HasSubstr("Line 4: "));
  EXPECT_THAT((*problems)[1].chinese, HasSubstr("第 4 行"));
  EXPECT_THAT((*problems)[2].english, HasSubstr("Line 7: X addresses are written in octal"));
  EXPECT_EQ(memory.Word({0, 0, 100}), 5);
  EXPECT_EQ(memory.Word({0, 0, 102}), 9);
  EXPECT_TRUE(memory.Bit({0, 1, 5, 0}));

  // No file yet: a first run, nothing to set and nothing wrong.
  RegisterMemory fresh(naming.kinds);
  const auto none = LoadRegisterFile(dir / "absent.registers", naming, fresh);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

}  // namespace
}  // namespace dravik::sim
