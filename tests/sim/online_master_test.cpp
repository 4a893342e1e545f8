// The on-line simulation against a Modbus slave on a pseudo-terminal: which reads the
// registers of a page take, values on the slave reaching the simulator's memory, writes
// reaching the slave, and a slave that is silent, answers with a bad CRC or refuses.

#include "sim/online_master.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "compiler/compile_to_image.h"
#include "compiler/image_reader.h"
#include "emulators/emulated_line.h"
#include "emulators/modbus_slave_emulator.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "platform/serial_port_posix.h"
#include "support/temp_dir.h"

namespace dravik::sim {
namespace {

using test::EmulatedLine;
using test::ModbusSlaveEmulator;
using ::testing::HasSubstr;

// Protocol 1's kinds: words 4X 3X D T C, bits 4X.b 0X 1X X Y M S T.
enum Word : std::uint8_t { k4X, k3X, kD, kTw, kC };
enum Bit : std::uint8_t { k4Xb, k0X, k1X, kX, kY, kM, kS, kTb };

RegisterKinds MasterKinds() {
  static const RegisterKinds kinds = [] {
    auto lists = params::LoadDeviceLists(test::ProgramDir() / params::kDeviceResourcesFile,
                                         kModbusRtuMasterProtocol, 1);
    EXPECT_TRUE(lists.ok());
    return RegisterKinds::FromLists(lists.ok() ? *lists : params::DeviceLists{});
  }();
  return kinds;
}

WordAddress W(Word kind, std::uint32_t number) {
  return {0, kind, number};
}
BitAddress B(Bit kind, std::uint32_t number, std::uint8_t bit = 0) {
  return {0, kind, number, bit};
}

struct PlanCase {
  const char* name;
  std::vector<WordAddress> words;
  std::vector<BitAddress> bits;
  std::vector<ReadRequest> expected;
};

ReadRequest Req(std::uint8_t function, std::uint16_t start, std::uint16_t count) {
  return {function, start, count, {}};
}

std::vector<WordAddress> WordRange(Word kind, std::uint32_t from, std::uint32_t count) {
  std::vector<WordAddress> words;
  for (std::uint32_t n = 0; n < count; ++n) words.push_back(W(kind, from + n));
  return words;
}

TEST(OnlineMasterTest, PlanningMergesNeighboursWithinModbusLimits) {
  std::vector<BitAddress> manyCoils;
  for (std::uint32_t n = 0; n < 2100; n += 3) manyCoils.push_back(B(k0X, n));
  const std::vector<PlanCase> cases = {
      {"neighbours, in any order", {W(kD, 102), W(kD, 100), W(kD, 101)}, {}, {Req(3, 100, 3)}},
      {"the same register twice", {W(kD, 7), W(kD, 7)}, {}, {Req(3, 7, 1)}},
      {"a gap of 8 is read along", {W(kD, 100), W(kD, 109)}, {}, {Req(3, 100, 10)}},
      {"a gap of 9 is not", {W(kD, 100), W(kD, 110)}, {}, {Req(3, 100, 1), Req(3, 110, 1)}},
      {"scattered",
       {W(kD, 0), W(k4X, 500), W(kD, 200)},
       {},
       {Req(3, 0, 1), Req(3, 200, 1), Req(3, 500, 1)}},
      {"at most 125 registers", WordRange(k4X, 0, 130), {}, {Req(3, 0, 125), Req(3, 125, 5)}},
      {"holding and input registers apart",
       {W(k3X, 5), W(k4X, 5)},
       {},
       {Req(3, 5, 1), Req(4, 5, 1)}},
      {"timers and counters at their offsets",
       {W(kTw, 5), W(kC, 639)},
       {B(kTb, 5)},
       {Req(1, 0xA005, 1), Req(3, 0xA005, 1), Req(3, 0xC27F, 1)}},
      {"a bit of a holding register with its word",
       {W(k4X, 10)},
       {B(k4Xb, 10, 3), B(k4Xb, 11, 0)},
       {Req(3, 10, 2)}},
      {"coils with a gap of 64 and of 99",
       {},
       {B(kM, 0), B(kM, 65), B(kM, 165)},
       {Req(1, 0x2000, 66), Req(1, 0x20A5, 1)}},
      {"octal inputs and outputs",
       {},
       {B(kX, 10), B(k1X, 9), B(kY, 7), B(k0X, 0)},
       {Req(1, 0, 8), Req(2, 8, 2)}},
      {"at most 2000 bits", {}, manyCoils, {Req(1, 0, 1999), Req(1, 2001, 97)}},
      {"Link 2 and an octal address with an 8 are not the PLC's", {{1, 0, 5}}, {B(kX, 18)}, {}},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<ReadRequest> plan = PlanReads(MasterKinds(), c.words, c.bits);
    ASSERT_EQ(plan.size(), c.expected.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
      EXPECT_EQ(plan[i].function, c.expected[i].function) << i;
      EXPECT_EQ(plan[i].start, c.expected[i].start) << i;
      EXPECT_EQ(plan[i].count, c.expected[i].count) << i;
    }
  }
}

// A master on a pseudo-terminal with a slave behind it.
class OnlineLineTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!line_.ok()) GTEST_SKIP() << "no pseudo-terminals here";
    ASSERT_FALSE(port_.Open(line_.SlavePath()).has_value());
    ASSERT_TRUE(port_.Configure(online_.settings));
  }

  Status Cycle(const std::vector<PendingWrite>& writes, const std::vector<WordAddress>& words,
               const std::vector<BitAddress>& bits) {
    std::map<RegisterAddress, std::uint16_t> values;
    const Status status = master_.Cycle(writes, PlanReads(MasterKinds(), words, bits), values);
    StoreValues(values, memory_);
    return status;
  }

  ModbusSlaveEmulator slave_;
  EmulatedLine line_{slave_};
  platform::PosixSerialPort port_;
  OnlineLine online_{{}, 1, std::chrono::milliseconds(100)};
  OnlineMaster master_{port_, MasterKinds(), online_};
  RegisterMemory memory_{MasterKinds()};
};

TEST_F(OnlineLineTest, ValuesOnTheSlaveAppearInTheMemoryAfterACycle) {
  {
    std::lock_guard lock(line_.Mutex());
    slave_.Holding(100) = 42;
    slave_.Holding(101) = 0xFFFF;
    slave_.Holding(0xA005) = 7;   // T5
    slave_.Holding(10) = 0x0008;  // 4X.b10.3
    slave_.Input(3) = 9;
    slave_.SetCoil(0x2005, true);      // M5
    slave_.SetDiscreteInput(8, true);  // X10
  }
  memory_.SetWord(W(kD, 103), 55);  // not watched: stays as it is
  ASSERT_TRUE(Cycle({}, {W(kD, 100), W(kD, 101), W(kTw, 5), W(k3X, 3)},
                    {B(k4Xb, 10, 3), B(k4Xb, 10, 4), B(kM, 5), B(kM, 6), B(kX, 10)}));
  EXPECT_EQ(memory_.Word(W(kD, 100)), 42);
  EXPECT_EQ(memory_.Word(W(kD, 101)), 0xFFFF);
  EXPECT_EQ(memory_.Word(W(kTw, 5)), 7);
  EXPECT_EQ(memory_.Word(W(k3X, 3)), 9);
  EXPECT_EQ(memory_.Word(W(kD, 103)), 55);
  EXPECT_TRUE(memory_.Bit(B(k4Xb, 10, 3)));
  EXPECT_FALSE(memory_.Bit(B(k4Xb, 10, 4)));
  EXPECT_TRUE(memory_.Bit(B(kM, 5)));
  EXPECT_FALSE(memory_.Bit(B(kM, 6)));
  EXPECT_TRUE(memory_.Bit(B(kX, 10)));

  std::lock_guard lock(line_.Mutex());
  // Holding registers 10, 100..101 and 0xA005 apart, the input register, the coils, the
  // discrete input.
  EXPECT_EQ(slave_.Requests().size(), 6u);
}

TEST_F(OnlineLineTest, WritesReachTheSlaveWithTheRightFunctions) {
  {
    std::lock_guard lock(line_.Mutex());
    slave_.Holding(10) = 0x0101;
  }
  const std::vector<PendingWrite> writes = {
      {W(kD, 200), 5},     {W(kD, 201), 6},  // a double word: one function 16
      {B(kM, 5), 1},                         // a coil: function 5
      {B(k4Xb, 10, 2), 1},                   // a bit of a word: read 3, write 6
      {W(kC, 3), 9},                         // function 6
  };
  ASSERT_TRUE(Cycle(writes, {}, {}));
  std::lock_guard lock(line_.Mutex());
  EXPECT_EQ(slave_.Holding(200), 5);
  EXPECT_EQ(slave_.Holding(201), 6);
  EXPECT_TRUE(slave_.Coil(0x2005));
  EXPECT_EQ(slave_.Holding(10), 0x0105);
  EXPECT_EQ(slave_.Holding(0xC003), 9);
  std::vector<int> functions;
  for (const test::ModbusRequest& request : slave_.Requests())
    functions.push_back(request.function);
  EXPECT_EQ(functions, (std::vector<int>{16, 5, 3, 6, 6}));
}

TEST_F(OnlineLineTest, ReadOnlyRegistersAreNotWritten) {
  const Status status = Cycle({{W(k3X, 1), 5}, {W(kD, 1), 2}}, {}, {});
  ASSERT_FALSE(status);
  EXPECT_THAT(status.message(false), HasSubstr("read-only"));
  EXPECT_THAT(status.message(true), HasSubstr("只读"));
  std::lock_guard lock(line_.Mutex());
  EXPECT_TRUE(slave_.Requests().empty());
}

TEST_F(OnlineLineTest, ASilentSlaveGivesATimeOutInBoundedTime) {
  {
    std::lock_guard lock(line_.Mutex());
    slave_.Options().silent = true;
  }
  const auto start = std::chrono::steady_clock::now();
  const Status status = Cycle({}, {W(kD, 100)}, {});
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_FALSE(status);
  EXPECT_THAT(status.message(false), HasSubstr("The PLC did not answer (slave 1"));
  EXPECT_THAT(status.message(true), HasSubstr("PLC 没有回答"));
  EXPECT_GE(took, std::chrono::milliseconds(100));
  EXPECT_LT(took, std::chrono::milliseconds(1000));
}

TEST_F(OnlineLineTest, ABadCrcIsRefusedAndNothingIsTaken) {
  {
    std::lock_guard lock(line_.Mutex());
    slave_.Holding(100) = 42;
    slave_.Options().corruptCrc = true;
  }
  const Status status = Cycle({}, {W(kD, 100)}, {});
  ASSERT_FALSE(status);
  EXPECT_THAT(status.message(false), HasSubstr("CRC"));
  EXPECT_EQ(memory_.Word(W(kD, 100)), 0);
}

TEST_F(OnlineLineTest, AnAddressPastTheSlavesTablesIsAnException) {
  {
    std::lock_guard lock(line_.Mutex());
    slave_.Options().tableSize = 1000;
  }
  const Status status = Cycle({}, {W(kD, 5000)}, {});
  ASSERT_FALSE(status);
  EXPECT_THAT(status.message(false),
              HasSubstr("refused the request (function and address 3, 5000): exception 2"));
}

TEST(OnlineRunnerTest, TheRunnerReadsWhatItWatchesAndSendsWhatIsQueued) {
  ModbusSlaveEmulator slave;
  EmulatedLine line(slave);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  {
    std::lock_guard lock(line.Mutex());
    slave.Holding(100) = 42;
  }
  OnlineLine online{{}, 1, std::chrono::milliseconds(100)};
  Result<std::unique_ptr<OnlineRunner>> runner =
      OnlineRunner::Start(line.SlavePath(), MasterKinds(), online);
  ASSERT_TRUE(runner) << runner.message();
  (*runner)->Watch({W(kD, 100)}, {});
  (*runner)->QueueWrite(B(kM, 1), true);

  std::map<RegisterAddress, std::uint16_t> values;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (values.empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    values = (*runner)->TakeValues();
  }
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values.begin()->second, 42);
  EXPECT_FALSE((*runner)->LastError().has_value());

  (*runner)->QueueWrite(W(kD, 100), 77);
  bool reached = false;
  while (!reached && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard lock(line.Mutex());
    reached = slave.Holding(100) == 77 && slave.Coil(0x2001);
  }
  EXPECT_TRUE(reached);
  (*runner)->Stop();
}

TEST(OnlineRunnerTest, APortThatDoesNotOpenSaysWhy) {
  test::TempDir dir;
  const auto runner = OnlineRunner::Start((dir / "no-such-tty").string(), MasterKinds(), {});
  ASSERT_FALSE(runner);
  EXPECT_FALSE(runner.message(false).empty());
}

TEST(OnlineImageTest, OnlyTheModbusMasterProtocolRunsOnLineWithTheImagesLine) {
  test::TempDir dir;
  auto project = std::make_unique<model::ProjectImage>();
  model::InitializeNewProject(*project);
  auto compile = [&] {
    const compiler::CompileResult compiled =
        compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(dir / "P.QX3"));
    return compiler::ReadDeviceImage(compiled.image);
  };
  const Result<compiler::DecodedImage> panel = compile();
  ASSERT_TRUE(panel) << panel.message();
  const Status refused = OnlineSupported(*panel);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.message(true), "在线模拟需要 Modbus RTU Master 协议");
  EXPECT_EQ(refused.message(false), "On-line simulation needs the protocol Modbus RTU Master");

  using namespace model::settings;
  model::PageRecord& settings = project->Settings();
  model::At(settings, kLink1Protocol) = kModbusRtuMasterProtocol;
  model::At(settings, kLink1Baud) = 4;
  model::At(settings, kLink1Parity) = 1;
  model::At(settings, kLink1DataBits) = 1;
  model::At(settings, kLink1StopBits) = 1;
  model::At(settings, kLink1ControllerId) = 17;
  model::At(settings, kLink1Timeout) = 150;
  const Result<compiler::DecodedImage> master = compile();
  ASSERT_TRUE(master) << master.message();
  EXPECT_TRUE(OnlineSupported(*master));
  const OnlineLine online = LineOfImage(*master);
  EXPECT_EQ(online.settings.baudRate, platform::TComPortBaudRate::br115200);
  EXPECT_EQ(online.settings.parity, platform::TComPortParity::ptODD);
  EXPECT_EQ(online.settings.dataBits, platform::TComPortDataBits::db7BITS);
  EXPECT_EQ(online.settings.stopBits, platform::TComPortStopBits::sb2BITS);
  EXPECT_EQ(online.slave, 17);
  EXPECT_EQ(online.timeout, std::chrono::milliseconds(150));
}

}  // namespace
}  // namespace dravik::sim
