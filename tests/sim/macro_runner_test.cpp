// The clock macro run as the panel runs it: each command family on prepared registers,
// in 16 and 32 bits, signed and unsigned; jumps, END and the guard against endless
// loops; and a macro saved in a project's ".M" file, compiled into an image and run.

#include "sim/macro_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "compiler/compile_to_image.h"
#include "macro/macro_database.h"
#include "macro/macro_row.h"
#include "model/project_session.h"
#include "support/temp_dir.h"

namespace dravik::sim {
namespace {

using compiler::ImageMacroInstruction;

constexpr std::uint8_t kDw = 0x01;
constexpr std::uint8_t kSigned = 0x02;

struct Operand {
  bool isRegister = false;
  std::uint16_t value = 0;
};
Operand R(std::uint16_t number) {
  return {true, number};
}
Operand K(int value) {
  return {false, static_cast<std::uint16_t>(value)};
}

ImageMacroInstruction Row(std::uint8_t code, std::uint8_t options, Operand a1 = {}, Operand a2 = {},
                          Operand a3 = {}) {
  ImageMacroInstruction row;
  row.code = code;
  row.flags = static_cast<std::uint8_t>(options | (a1.isRegister ? 4 : 0) |
                                        (a2.isRegister ? 8 : 0) | (a3.isRegister ? 16 : 0));
  row.operands = {a1.value, a2.value, a3.value};
  return row;
}

RegisterMemory PanelMemory() {
  RegisterKinds kinds;
  kinds.links[0].words = {{"D", 65000}};
  return RegisterMemory(kinds);
}

std::uint16_t D(const RegisterMemory& memory, std::uint32_t number) {
  return memory.Word({0, 0, number});
}
std::uint32_t DD(const RegisterMemory& memory, std::uint32_t number) {
  return memory.DoubleWord({0, 0, number});
}

// One computing row on D1 (A2) and D2 (A3) prepared as given; the result in D0.
struct ComputeCase {
  const char* name;
  ImageMacroInstruction row;
  std::uint32_t a2;
  std::uint32_t a3;
  std::uint32_t expected;
};

TEST(MacroRunnerTest, ComputingRowsIn16And32BitsSignedAndUnsigned) {
  constexpr std::uint8_t kSignedDw = kSigned | kDw;
  // 32-bit operands live in D2/D3 and D4/D5 so they do not overlap.
  const std::vector<ComputeCase> cases = {
      {"add wraps in 16 bits", Row(1, 0, R(0), R(2), R(4)), 0xFFFF, 2, 1},
      {"add a constant", Row(1, 0, R(0), R(2), K(5)), 10, 0, 15},
      {"add in 32 bits carries", Row(1, kDw, R(0), R(2), R(4)), 0xFFFF, 1, 0x10000},
      {"add wraps in 32 bits", Row(1, kDw, R(0), R(2), K(1)), 0xFFFFFFFF, 0, 0},
      {"sub below 0 wraps", Row(2, 0, R(0), R(2), K(1)), 0, 0, 0xFFFF},
      {"signed sub", Row(2, kSigned, R(0), R(2), K(-3)), 5, 0, 8},
      {"signed constant widened in 32 bits", Row(1, kSignedDw, R(0), R(2), K(-1)), 10, 0, 9},
      {"unsigned constant not widened", Row(1, kDw, R(0), R(2), K(-1)), 10, 0, 10 + 0xFFFF},
      {"mul keeps the low 16 bits", Row(3, 0, R(0), R(2), R(4)), 300, 300, 90000 & 0xFFFF},
      {"mul in 32 bits", Row(3, kDw, R(0), R(2), R(4)), 300, 300, 90000},
      {"mul of the largest 32-bit numbers", Row(3, kDw, R(0), R(2), R(4)), 0xFFFFFFFF, 0xFFFFFFFF,
       1},
      {"signed mul", Row(3, kSigned, R(0), R(2), K(3)), 0xFFFE, 0, 0xFFFA},
      {"unsigned div", Row(4, 0, R(0), R(2), K(2)), 0xFFFE, 0, 0x7FFF},
      {"signed div truncates", Row(4, kSigned, R(0), R(2), K(2)), 0xFFF9, 0, 0xFFFD},
      {"signed 32-bit div", Row(4, kSignedDw, R(0), R(2), K(-2)), 100000, 0,
       static_cast<std::uint32_t>(-50000)},
      {"smallest by -1 wraps", Row(4, kSigned, R(0), R(2), K(-1)), 0x8000, 0, 0x8000},
      {"div by 0 leaves A1", Row(4, 0, R(0), R(2), R(4)), 7, 0, 1234},
      {"mod", Row(5, 0, R(0), R(2), K(7)), 100, 0, 2},
      {"signed mod keeps the dividend's sign", Row(5, kSigned, R(0), R(2), K(7)), 0xFF9C, 0,
       0xFFFE},
      {"mod by 0 leaves A1", Row(5, kDw, R(0), R(2), K(0)), 7, 0, 1234},
      {"or", Row(6, 0, R(0), R(2), K(0x0F0)), 0x00F, 0, 0x0FF},
      {"and", Row(7, 0, R(0), R(2), R(4)), 0xFF0F, 0x0FF0, 0x0F00},
      {"xor in 32 bits", Row(8, kDw, R(0), R(2), R(4)), 0xFFFF0000, 0xFFFFFFFF, 0x0000FFFF},
      {"shl drops the high bits", Row(9, 0, R(0), R(2), K(4)), 0xABCD, 0, 0xBCD0},
      {"shl in 32 bits", Row(9, kDw, R(0), R(2), K(4)), 0xABCD, 0, 0xABCD0},
      {"shl by 16 gives 0", Row(9, 0, R(0), R(2), K(16)), 1, 0, 0},
      {"shl by 32 gives 0", Row(9, kDw, R(0), R(2), K(40)), 1, 0, 0},
      {"shr is logical", Row(10, 0, R(0), R(2), K(4)), 0x8000, 0, 0x0800},
      {"shr by the width gives 0", Row(10, kDw, R(0), R(2), K(32)), 0xFFFFFFFF, 0, 0},
      {"mov a register", Row(11, 0, R(0), R(2)), 4321, 0, 4321},
      {"mov a double word", Row(11, kDw, R(0), R(2)), 0x12345678, 0, 0x12345678},
      {"mov a constant", Row(11, 0, R(0), K(65535)), 0, 0, 65535},
  };
  for (const ComputeCase& c : cases) {
    SCOPED_TRACE(c.name);
    RegisterMemory memory = PanelMemory();
    const bool doubleWord = (c.row.flags & kDw) != 0;
    if (doubleWord) {
      memory.SetDoubleWord({0, 0, 0}, 1234);
      memory.SetDoubleWord({0, 0, 2}, c.a2);
      memory.SetDoubleWord({0, 0, 4}, c.a3);
    } else {
      memory.SetWord({0, 0, 0}, 1234);
      memory.SetWord({0, 0, 2}, static_cast<std::uint16_t>(c.a2));
      memory.SetWord({0, 0, 4}, static_cast<std::uint16_t>(c.a3));
    }
    const std::vector<ImageMacroInstruction> program{c.row};
    EXPECT_EQ(RunClockMacro(program, memory).executed, 1);
    EXPECT_EQ(doubleWord ? DD(memory, 0) : D(memory, 0), c.expected);
    if (!doubleWord) {
      EXPECT_EQ(D(memory, 1), 0) << "a 16-bit row wrote a second word";
    }
  }
}

TEST(MacroRunnerTest, ComparisonsJumpToTheRowAfterTheirLabel) {
  struct Case {
    const char* name;
    std::uint8_t code;
    std::uint8_t options;
    std::uint16_t a1;
    Operand a2;
    bool jumps;
  };
  const std::vector<Case> cases = {
      {"== equal", 15, 0, 5, K(5), true},
      {"== differs", 15, 0, 5, K(6), false},
      {"!=", 16, 0, 5, K(6), true},
      {"> unsigned: 0xFFFF is large", 17, 0, 0xFFFF, K(1), true},
      {"> signed: 0xFFFF is -1", 17, kSigned, 0xFFFF, K(1), false},
      {">= equal", 18, 0, 7, K(7), true},
      {"< signed", 19, kSigned, 0x8000, K(-1), true},
      {"< unsigned: 0xFFFF is large", 19, 0, 0xFFFF, K(1), false},
      {"<= with a register", 20, 0, 3, R(20), true},
      {"== in 32 bits sees the high word", 15, kDw, 5, K(5), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegisterMemory memory = PanelMemory();
    memory.SetWord({0, 0, 10}, c.a1);
    memory.SetWord({0, 0, 11}, 1);  // the high word of a 32-bit A1
    memory.SetWord({0, 0, 20}, 3);
    const std::vector<ImageMacroInstruction> program{
        Row(c.code, c.options, R(10), c.a2, K(7)),
        Row(11, 0, R(0), K(1)),  // passed over by the jump
        Row(26, 0, K(7)),
        Row(11, 0, R(1), K(2)),
    };
    RunClockMacro(program, memory);
    EXPECT_EQ(D(memory, 0), c.jumps ? 0 : 1);
    EXPECT_EQ(D(memory, 1), 2);
  }
}

TEST(MacroRunnerTest, GotoLabelEndAndMissingLabels) {
  RegisterMemory memory = PanelMemory();
  const std::vector<ImageMacroInstruction> program{
      Row(25, 0, K(2)),  // GOTO LABEL 2
      Row(26, 0, K(1)),  // LABEL 1
      Row(1, 0, R(0), R(0), K(1)),
      Row(29, 0),        // END
      Row(26, 0, K(2)),  // LABEL 2
      Row(1, 0, R(1), R(1), K(1)),
      Row(25, 0, K(1)),   // back to LABEL 1
      Row(25, 0, K(99)),  // never reached
  };
  const MacroRun run = RunClockMacro(program, memory);
  EXPECT_EQ(D(memory, 0), 1);
  EXPECT_EQ(D(memory, 1), 1);
  EXPECT_EQ(run.executed, 5);  // GOTO, ADD, GOTO, ADD, END: jumps land past their labels
  EXPECT_FALSE(run.stoppedByLimit);

  // A jump to a label the program lacks goes on with the next row.
  const std::vector<ImageMacroInstruction> missing{Row(25, 0, K(9)), Row(11, 0, R(3), K(4))};
  RunClockMacro(missing, memory);
  EXPECT_EQ(D(memory, 3), 4);

  // Codes the panel does not run change nothing and the run goes on.
  const std::vector<ImageMacroInstruction> foreign{Row(12, 0, R(5), R(6), K(3)),
                                                   Row(11, 0, R(4), K(8))};
  EXPECT_EQ(RunClockMacro(foreign, memory).executed, 2);
  EXPECT_EQ(D(memory, 4), 8);
  EXPECT_EQ(D(memory, 5), 0);
}

TEST(MacroRunnerTest, AnEndlessLoopStopsAtTheLimitAndTheNextRunStartsAfresh) {
  RegisterMemory memory = PanelMemory();
  const std::vector<ImageMacroInstruction> program{
      Row(26, 0, K(1)),
      Row(1, 0, R(0), R(0), K(1)),
      Row(25, 0, K(1)),
  };
  const MacroRun run = RunClockMacro(program, memory);
  EXPECT_TRUE(run.stoppedByLimit);
  EXPECT_EQ(run.executed, kMacroInstructionLimit);
  // LABEL, then ADD and GOTO in turn: 5000 additions in 10,000 instructions.
  EXPECT_EQ(D(memory, 0), 5000);
  RunClockMacro(program, memory);
  EXPECT_EQ(D(memory, 0), 10000);
}

TEST(MacroRunnerTest, AMacroFromAProjectsDatabaseRunsFromTheCompiledImage) {
  test::TempDir dir;
  const std::filesystem::path file = dir / "P.QX3";
  auto project = std::make_unique<model::ProjectImage>();
  model::InitializeNewProject(*project);

  const std::filesystem::path database = macro::MacroDatabasePath(file);
  ASSERT_TRUE(macro::EnsureMacroDatabase(database, false).ok());
  macro::MacroRows rows{};
  auto set = [&rows](int index, std::uint8_t code, std::uint8_t bit, Operand a1, Operand a2,
                     Operand a3) {
    macro::MacroRow& row = rows[static_cast<std::size_t>(index)];
    row.OPt = code;
    row.BIT = bit;
    row.A1t = a1.isRegister ? macro::kKindRegister : 0;
    row.A1v = a1.value;
    row.A2t = a2.isRegister ? macro::kKindRegister : 0;
    row.A2v = a2.value;
    row.A3t = a3.isRegister ? macro::kKindRegister : 0;
    row.A3v = a3.value;
  };
  // D100 counts up to 10 and starts again; D102/D103 = D100 x 1000 as a double word.
  set(0, 1, 0, R(100), R(100), K(1));
  set(1, 34, 0, K(0), K(0), K(0));  // a comment leaves no trace in the image
  set(2, 19, 0, R(100), K(10), K(1));
  set(3, 11, 0, R(100), K(0), K(0));
  set(4, 26, 0, K(1), K(0), K(0));
  set(5, 3, kDw, R(102), R(100), K(1000));
  set(6, 29, 0, K(0), K(0), K(0));
  set(7, 11, 0, R(200), K(1), K(0));  // after END: never run
  ASSERT_TRUE(macro::ADOSaveFile(database, std::span(rows).first(8), false).ok());

  const compiler::CompileResult compiled =
      compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(file));
  const Result<compiler::DecodedImage> image = compiler::ReadDeviceImage(compiled.image);
  ASSERT_TRUE(image) << image.message();
  ASSERT_EQ(image->Macro().size(), 7u);

  RegisterMemory memory = PanelMemory();
  memory.SetWord({0, 0, 100}, 8);
  const std::map<int, std::pair<int, int>> expected{{1, {9, 9000}}, {2, {0, 0}}, {3, {1, 1000}}};
  for (const auto& [runNumber, values] : expected) {
    SCOPED_TRACE(runNumber);
    const MacroRun run = RunClockMacro(image->Macro(), memory);
    EXPECT_FALSE(run.stoppedByLimit);
    EXPECT_EQ(D(memory, 100), values.first);
    EXPECT_EQ(DD(memory, 102), static_cast<std::uint32_t>(values.second));
  }
  EXPECT_EQ(D(memory, 200), 0);
}

}  // namespace
}  // namespace dravik::sim
