// The serial driver: property rules, the receive accumulator, writes and their results,
// over an in-memory port and the test clock.

#include "comm/vor_comm_driver.h"

#include <gtest/gtest.h>

#include "comm/fake_serial_port.h"
#include "emulators/test_clock.h"

namespace dravik::comm {
namespace {

using test::FakeLineLog;
using test::FakeSerialPort;
using test::TestClock;

class DriverTest : public testing::Test {
 protected:
  DriverTest() {
    ComPortMap ports = ComPortMap::Build({"/dev/fakeA", "/dev/fakeB", "/dev/fakeC"}, {}, {});
    auto port = std::make_unique<FakeSerialPort>(log);
    fake = port.get();
    driver = std::make_unique<TVorCommDriver>(std::move(port), clock, ports);
  }

  std::shared_ptr<FakeLineLog> log = std::make_shared<FakeLineLog>();
  TestClock clock;
  FakeSerialPort* fake = nullptr;
  std::unique_ptr<TVorCommDriver> driver;
};

TEST_F(DriverTest, ComPortIsTakenOnlyWhileClosed) {
  driver->SetComPort(TComPortNumber::pnCOM2);
  ASSERT_TRUE(driver->OpenPort());
  EXPECT_EQ(fake->device(), "/dev/fakeB");
  driver->SetComPort(TComPortNumber::pnCOM3);
  EXPECT_EQ(driver->ComPort(), TComPortNumber::pnCOM2);
  driver->ClosePort();
  driver->SetComPort(TComPortNumber::pnCOM3);
  ASSERT_TRUE(driver->OpenPort());
  EXPECT_EQ(fake->device(), "/dev/fakeC");
}

TEST_F(DriverTest, OpeningAnOpenPortDoesNotReopen) {
  ASSERT_TRUE(driver->OpenPort());
  ASSERT_TRUE(driver->OpenPort());
  EXPECT_EQ(log->opens, 1);
}

TEST_F(DriverTest, ChangingASettingWhileOpenReappliesEverythingAndPurges) {
  driver->SetComPortParity(TComPortParity::ptMARK);  // closed: only stored
  EXPECT_TRUE(log->configured.empty());
  ASSERT_TRUE(driver->OpenPort());
  const int purgesAfterOpen = log->inputPurges;
  driver->SetComPortSpeed(TComPortBaudRate::br57600);
  ASSERT_EQ(log->configured.size(), 2u);
  const SerialLineSettings& applied = log->configured.back();
  EXPECT_EQ(applied.baudRate, TComPortBaudRate::br57600);
  EXPECT_EQ(applied.parity, TComPortParity::ptMARK);
  EXPECT_EQ(applied.xonLimit, 256);
  EXPECT_EQ(log->inputPurges, purgesAfterOpen + 1);
  EXPECT_EQ(log->outputPurges, purgesAfterOpen + 1);
}

TEST_F(DriverTest, SettingsReachThePortAsSet) {
  // Every value of every enumeration passes through unchanged (the POSIX mapping itself
  // is checked on a pseudo-terminal).
  ASSERT_TRUE(driver->OpenPort());
  for (int parity = 0; parity <= 4; ++parity) {
    for (int bits = 0; bits <= 3; ++bits) {
      driver->SetComPortParity(static_cast<TComPortParity>(parity));
      driver->SetComPortDataBits(static_cast<TComPortDataBits>(bits));
      EXPECT_EQ(log->configured.back().parity, static_cast<TComPortParity>(parity));
      EXPECT_EQ(log->configured.back().dataBits, static_cast<TComPortDataBits>(bits));
    }
  }
}

TEST_F(DriverTest, ModemLinesFollowTheSettings) {
  driver->EnableDTROnOpen = true;
  ASSERT_TRUE(driver->OpenPort());
  ASSERT_GE(log->modemLines.size(), 2u);
  EXPECT_EQ(log->modemLines[0], std::make_pair('D', true));
  EXPECT_EQ(log->modemLines[1], std::make_pair('R', false));
}

TEST_F(DriverTest, AccumulatorRestartsBeforeItWouldHold1024Bytes) {
  ASSERT_TRUE(driver->OpenPort());
  driver->RxCount = 1000;
  for (int i = 0; i < 30; ++i) log->input.push_back(static_cast<std::uint8_t>(i + 1));
  driver->PollInput();
  EXPECT_EQ(driver->RxCount, 30);
  EXPECT_EQ(driver->RxBuffer[0], 1);
  EXPECT_EQ(driver->RxBuffer[29], 30);

  log->input.assign(5, 0xAB);
  driver->PollInput();
  EXPECT_EQ(driver->RxCount, 35);
  EXPECT_EQ(driver->RxBuffer[30], 0xAB);
}

TEST_F(DriverTest, ReceiveEventSeesEachPoll) {
  int calls = 0;
  std::int32_t size = 0;
  driver->OnReceiveData = [&](TVorCommDriver&, const std::uint8_t*, std::int32_t n) {
    ++calls;
    size = n;
  };
  ASSERT_TRUE(driver->OpenPort());
  driver->PollInput();  // nothing there: no event
  log->input.assign(7, 1);
  driver->PollInput();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(size, 7);
}

TEST_F(DriverTest, PollTimerRunsWhileTheThreadSleeps) {
  ASSERT_TRUE(driver->OpenPort());
  log->input.assign(3, 0x55);
  clock.Sleep(Millis(4));
  EXPECT_EQ(driver->RxCount, 0);  // the 5 ms poll has not come due yet
  clock.Sleep(Millis(1));
  EXPECT_EQ(driver->RxCount, 3);
  log->input.assign(2, 0x66);
  driver->SetComPortPollingDelay(20);
  clock.Sleep(Millis(19));
  EXPECT_EQ(driver->RxCount, 3);
  clock.Sleep(Millis(1));
  EXPECT_EQ(driver->RxCount, 5);
  driver->ClosePort();
  log->input.assign(2, 0x77);
  clock.Sleep(Millis(50));
  EXPECT_EQ(driver->RxCount, 5);  // a closed port is not polled
}

TEST_F(DriverTest, PumpPollsAtOnce) {
  ASSERT_TRUE(driver->OpenPort());
  log->input.assign(4, 0x11);
  clock.Pump();
  EXPECT_EQ(driver->RxCount, 4);
}

TEST_F(DriverTest, WriteOnAnIdlePortIsOneCall) {
  ASSERT_TRUE(driver->OpenPort());
  std::vector<std::uint8_t> frame(209, 0x42);
  WriteResult result = driver->WriteBytes(frame);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.written, 209);
  EXPECT_EQ(log->writeCalls, 1);
  EXPECT_EQ(log->drains, 1);
}

TEST_F(DriverTest, ClosedPortOperationsDoNothing) {
  std::vector<std::uint8_t> bytes(4, 1);
  WriteResult result = driver->WriteBytes(bytes);
  EXPECT_EQ(result.status, WriteStatus::PortClosed);
  EXPECT_EQ(result.written, 0);
  EXPECT_EQ(driver->OutputFreeSpace(), -1);
  EXPECT_FALSE(driver->ApplySettings());
  driver->PollInput();
  EXPECT_EQ(log->writeCalls, 0);
}

TEST_F(DriverTest, OverfullQueueDoesNotWaitButAFullOneTimesOut) {
  ASSERT_TRUE(driver->OpenPort());
  std::vector<std::uint8_t> bytes(10, 1);
  log->outputQueue = 600;  // more than the 512 of ComPortOutBufSize: negative space, not zero
  EXPECT_LT(driver->OutputFreeSpace(), 0);
  EXPECT_TRUE(driver->WriteBytes(bytes).ok());

  log->outputQueue = 512;
  driver->OutputTimeout = 100;
  const Micros before = clock.Now();
  WriteResult result = driver->WriteBytes(bytes);
  EXPECT_EQ(result.status, WriteStatus::TimedOut);
  EXPECT_EQ(result.written, 0);
  EXPECT_GE(clock.Now() - before, Millis(100));
  EXPECT_LE(clock.Now() - before, Millis(102));
}

TEST_F(DriverTest, PartialWritesContinueAndFailuresAreReported) {
  ASSERT_TRUE(driver->OpenPort());
  std::vector<std::uint8_t> bytes(100);
  for (int i = 0; i < 100; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  log->acceptPerWrite = 30;
  WriteResult result = driver->WriteBytes(bytes);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(log->writeCalls, 4);
  EXPECT_EQ(log->written, bytes);

  log->failWrites = true;
  result = driver->WriteBytes(bytes);
  EXPECT_EQ(result.status, WriteStatus::Failed);
  EXPECT_FALSE(result.ok());
}

TEST_F(DriverTest, UnmappedPositionAndRefusedDeviceSayWhy) {
  driver->SetComPort(TComPortNumber::pnCOM8);
  EXPECT_FALSE(driver->OpenPort());
  ASSERT_TRUE(driver->LastOpenError());
  EXPECT_EQ(driver->LastOpenError()->kind, PortOpenFailure::NotMapped);
  EXPECT_EQ(driver->LastOpenError()->Message().english, "COM8 is not mapped to any serial device.");

  driver->SetComPort(TComPortNumber::pnCOM1);
  log->openError = PortOpenError{PortOpenFailure::Busy, "/dev/fakeA", {}};
  EXPECT_FALSE(driver->OpenPort());
  EXPECT_FALSE(driver->IsOpen());
  EXPECT_EQ(driver->LastOpenError()->kind, PortOpenFailure::Busy);
}

TEST_F(DriverTest, InputBufferSizeIsTakenOnlyWhileClosedAndCapped) {
  driver->SetComPortInBufSize(4000);
  EXPECT_EQ(driver->ComPortInBufSize(), 1024);
  driver->SetComPortInBufSize(16);
  ASSERT_TRUE(driver->OpenPort());
  driver->SetComPortInBufSize(512);
  EXPECT_EQ(driver->ComPortInBufSize(), 16);
  log->input.assign(40, 9);
  driver->PollInput();
  EXPECT_EQ(driver->RxCount, 16);  // one poll reads at most the buffer size
}

TEST(WireTime, CountsStartDataParityAndStopBitsAndRoundsUp) {
  struct Case {
    TComPortBaudRate baud;
    TComPortDataBits data;
    TComPortParity parity;
    TComPortStopBits stop;
    std::size_t bytes;
    long micros;
  };
  using B = TComPortBaudRate;
  using D = TComPortDataBits;
  using P = TComPortParity;
  using S = TComPortStopBits;
  const Case cases[] = {
      {B::br9600, D::db8BITS, P::ptEVEN, S::sb1BITS, 21, 24063},     // 231 bits: 24,062.5 us
      {B::br19200, D::db8BITS, P::ptEVEN, S::sb1BITS, 21, 12032},    // 12,031.25 us
      {B::br9600, D::db7BITS, P::ptEVEN, S::sb1BITS, 21, 21875},     // 10-bit characters
      {B::br115200, D::db8BITS, P::ptEVEN, S::sb1BITS, 37, 3533},    // 3,532.99 us
      {B::br115200, D::db8BITS, P::ptNONE, S::sb1BITS, 1, 87},       // 86.8 us
      {B::br110, D::db8BITS, P::ptNONE, S::sb2BITS, 1, 100000},      // 11 bits
      {B::br1200, D::db5BITS, P::ptNONE, S::sb1HALFBITS, 2, 12500},  // 7.5 bits each
      {B::br9600, D::db8BITS, P::ptEVEN, S::sb1BITS, 0, 0},
  };
  for (const Case& c : cases) {
    SerialLineSettings line;
    line.baudRate = c.baud;
    line.dataBits = c.data;
    line.parity = c.parity;
    line.stopBits = c.stop;
    EXPECT_EQ(WireTime(c.bytes, line).count(), c.micros)
        << BaudRateValue(c.baud) << " baud, " << c.bytes << " bytes";
  }
}

TEST_F(DriverTest, ReplyAllowanceIsTheWireTimeAtTheLinesSettingsAndTheAdaptersLatency) {
  driver->SetLineSettings(TComPortBaudRate::br9600, TComPortDataBits::db8BITS,
                          TComPortParity::ptEVEN, TComPortStopBits::sb1BITS);
  // A line that does not name its latency gets 2 ms.
  EXPECT_EQ(driver->ReplyAllowance(15, 6), Micros(24063 + 2000));
  log->receiveLatency = Millis(16);
  EXPECT_EQ(driver->ReplyAllowance(15, 6), Micros(24063 + 16000));
  driver->SetComPortSpeed(TComPortBaudRate::br115200);
  EXPECT_EQ(driver->ReplyAllowance(29, 8), Micros(3533 + 16000));
}

}  // namespace
}  // namespace dravik::comm
