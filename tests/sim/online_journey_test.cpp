// The on-line simulation end to end, wired as the window wires it: the panel started on an
// image of the Modbus RTU master protocol, the master on a pseudo-terminal with a Modbus
// slave behind it. A value set on the slave shows on the screen; a value entered and a
// switch touched on the simulated panel reach the slave.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "emulators/emulated_line.h"
#include "emulators/modbus_slave_emulator.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "sim/online_master.h"
#include "sim/panel_session.h"
#include "sim_test_project.h"

namespace dravik::sim {
namespace {

namespace el = elements;
using namespace model::settings;
using dravik::test::EmulatedLine;
using dravik::test::ModbusSlaveEmulator;

constexpr std::uint8_t kWordD = 0x20;  // operand byte: word kind D, 16 bits
constexpr std::uint8_t kBit0X = 0x10;  // operand byte: bit kind 0X (coils), bit 0

class OnlineJourneyTest : public testing::Test {
 protected:
  OnlineJourneyTest() {
    project_.UsePage(1);
    At(project_.Settings(), kInitialPage) = 1;
    At(project_.Settings(), kLink1Protocol) = kModbusRtuMasterProtocol;
    field_ = project_.Place(1, el::kKindRegister, 10, 10, 70, 24);
    el::RegisterElement reg(project_.Project().Page(1), field_);
    reg.registerNumber() = 100;
    reg.operandByte() = kWordD;
    reg.digitsAndDecimals() = 5 << 8;
    reg.inputAllowed() = 1;
    reg.lowerLimit() = 0;
    reg.upperLimit() = 9999;
    const int key = project_.Place(1, el::kKindBitSwitch, 200, 10, 60, 30);
    el::BitSwitchElement(project_.Project().Page(1), key).registerNumber() = 3;
    el::BitSwitchElement(project_.Project().Page(1), key).operandByte() = kBit0X;
    el::BitSwitchElement(project_.Project().Page(1), key).action() = 0;  // set ON
  }

  RegisterKinds MasterKinds() const {
    auto lists = params::LoadDeviceLists(dravik::test::ProgramDir() / params::kDeviceResourcesFile,
                                         kModbusRtuMasterProtocol, 1);
    EXPECT_TRUE(lists.ok());
    return RegisterKinds::FromLists(lists.ok() ? *lists : params::DeviceLists{});
  }

  // One turn of the window's timer: what the master read goes into the registers.
  void Exchange(PanelSession& session, OnlineRunner& runner) {
    StoreValues(runner.TakeValues(), session.Memory());
  }

  // Turns the exchange until `done` holds, for at most five seconds.
  bool ExchangeUntil(PanelSession& session, OnlineRunner& runner,
                     const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      Exchange(session, runner);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  test::TestProject project_;
  int field_ = 0;
};

TEST_F(OnlineJourneyTest, ValuesTravelBetweenTheSlaveAndTheSimulatedScreen) {
  ModbusSlaveEmulator slave;
  EmulatedLine line(slave);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  Result<PanelSession> started = PanelSession::Start(project_.Compile(), MasterKinds());
  ASSERT_TRUE(started) << started.message();
  PanelSession& session = *started;
  ASSERT_TRUE(OnlineSupported(session.Image()));

  OnlineLine settings = LineOfImage(session.Image());
  Result<std::unique_ptr<OnlineRunner>> started_runner =
      OnlineRunner::Start(line.SlavePath(), session.Memory().Kinds(), settings);
  ASSERT_TRUE(started_runner) << started_runner.message();
  OnlineRunner& runner = **started_runner;
  runner.Watch(session.WordsInUse(), session.BitsInUse());
  session.OnWrite(
      [&](const WordAddress& address) {
        runner.QueueWrite(address, session.Memory().Word(address));
      },
      [&](const BitAddress& address) {
        runner.QueueWrite(address, session.Memory().Bit(address));
      });

  const auto shown = [&] {
    return session.BuildScreen().page->ElemTextA[static_cast<std::size_t>(field_)].Str();
  };
  {
    std::lock_guard lock(line.Mutex());
    slave.Holding(100) = 1234;
  }
  EXPECT_TRUE(ExchangeUntil(session, runner, [&] { return shown() == "1234"; })) << shown();

  session.Touch(20, 15);
  ASSERT_TRUE(session.PendingEntry());
  ASSERT_TRUE(session.ConfirmEntry("77"));
  EXPECT_TRUE(ExchangeUntil(session, runner, [&] {
    std::lock_guard lock(line.Mutex());
    return slave.Holding(100) == 77;
  }));
  EXPECT_TRUE(ExchangeUntil(session, runner, [&] { return shown() == "77"; }))
      << "the PLC's value stays what was entered: " << shown();

  session.Touch(210, 20);
  session.ReleaseTouch();
  EXPECT_TRUE(ExchangeUntil(session, runner, [&] {
    std::lock_guard lock(line.Mutex());
    return slave.Coil(3);
  }));
  EXPECT_FALSE(runner.LastError().has_value()) << runner.LastError()->english;
  runner.Stop();
}

}  // namespace
}  // namespace dravik::sim
