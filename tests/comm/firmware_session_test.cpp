// The firmware upgrade against the emulated STM32 boot loader on a pseudo-terminal: the
// flash it ends with, the erase list, the write cycles, the labels, and the time-outs
// with their three attempts.

#include "comm/firmware_session.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "comm/comm_rig.h"
#include "emulators/boot_loader_emulator.h"
#include "support/temp_dir.h"

namespace dravik::comm {
namespace {

using test::BootLoaderEmulator;
using test::BootLoaderOptions;
using test::Bytes;
using test::CommRig;
using test::SampleImage;
using test::Timing;

// The sync byte and its one-byte answer at 115,200 baud 8E1, and 2 ms for a line without a
// latency timer.
constexpr Micros kSyncAllowance{191 + 2000};

struct Transcript {
  FirmwareOutcome outcome;
  std::vector<std::string> labels;  // each distinct label in order
  std::vector<int> attempts;
  std::vector<std::pair<std::string, Micros>> labelTimes;
  std::vector<int> bars;
};

class FirmwareTest : public testing::Test {
 protected:
  void Start(BootLoaderOptions options = {}, Timing timing = Timing::TestClock) {
    rig.reset();  // its emulator thread uses the emulator being replaced
    boot = std::make_unique<BootLoaderEmulator>(options);
    rig = std::make_unique<CommRig>(*boot, timing);
    if (!rig->ok()) GTEST_SKIP() << "no pseudo-terminals here";
  }

  Transcript Upgrade(const Bytes& image) {
    Transcript run;
    FirmwareSession session(*rig->driver, *rig->clock, image, TComPortNumber::pnCOM1,
                            [&](const FirmwareProgress& view) {
                              const std::string& label = view.label.chinese;
                              if (run.labels.empty() || run.labels.back() != label) {
                                run.labels.push_back(label);
                                run.labelTimes.emplace_back(label, rig->clock->Now());
                              }
                              if (run.attempts.empty() || run.attempts.back() != view.attempt)
                                run.attempts.push_back(view.attempt);
                              if (run.bars.empty() || run.bars.back() != view.progressBar)
                                run.bars.push_back(view.progressBar);
                            });
    run.outcome = session.Run();
    return run;
  }

  template <class F>
  void Observe(F f) {
    std::lock_guard lock(rig->line.Mutex());
    f(*boot);
  }

  std::unique_ptr<BootLoaderEmulator> boot;
  std::unique_ptr<CommRig> rig;
};

class FirmwareImageSizes : public FirmwareTest, public testing::WithParamInterface<std::size_t> {};

TEST_P(FirmwareImageSizes, FlashEndsEqualToTheFile) {
  const std::size_t size = GetParam();
  Start();
  const Bytes image = SampleImage(size, 4242);
  Transcript run = Upgrade(image);
  ASSERT_EQ(run.outcome.end, FirmwareEnd::Succeeded) << run.outcome.label.english;
  EXPECT_EQ(run.outcome.label.chinese, "上载完成！");
  EXPECT_EQ(run.outcome.attempts, 1);
  EXPECT_EQ(run.bars.back(), 0);
  Observe([&](const BootLoaderEmulator& b) {
    EXPECT_TRUE(std::equal(image.begin(), image.end(), b.Flash().begin()));
    // A short last word is filled with the erased value.
    for (std::size_t i = size; i < (size + 3) / 4 * 4; ++i) EXPECT_EQ(b.Flash()[i], 0xFF);
    EXPECT_EQ(b.Nacks(), 0);
    ASSERT_EQ(b.EraseLists().size(), 1u);
    EXPECT_EQ(b.EraseLists()[0], EraseList(size));
  });
}

INSTANTIATE_TEST_SUITE_P(Sizes, FirmwareImageSizes,
                         testing::Values(1, 255, 256, 1001, 2048, 100224),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param); });

TEST_F(FirmwareTest, LabelsAndProgressOfAnUpgrade) {
  Start();
  Transcript run = Upgrade(SampleImage(1024));
  ASSERT_TRUE(run.outcome.ok());
  const std::vector<std::string> expected = {"正在查找设备。。。", "已成功连接",   "Boot:2.2",
                                             "正在擦除。。。",     "写进度: 25%",  "写进度: 50%",
                                             "写进度: 75%",        "写进度: 100%", "上载完成！"};
  EXPECT_EQ(run.labels, expected);
  EXPECT_EQ(run.outcome.bootVersion, "Boot:2.2");
  EXPECT_EQ(run.bars, (std::vector<int>{0, 25, 50, 75, 100, 0}));
}

TEST_F(FirmwareTest, EraseListAndFirstWriteCycleOfTheFullImage) {
  Start();
  const Bytes image = SampleImage(100224, 1);
  Transcript run = Upgrade(image);
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;
  Observe([&](const BootLoaderEmulator& b) {
    const Bytes& list = b.EraseLists().at(0);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list[0], 0x61);
    std::uint8_t x = 0;
    for (int i = 0; i < 99; ++i) {
      if (i > 0) {
        EXPECT_EQ(list[i], i - 1);
      }
      x ^= list[i];
    }
    EXPECT_EQ(list[99], x);

    const Bytes* first = nullptr;
    int writes = 0;
    for (const Bytes& c : b.Commands()) {
      if (c[0] != kBootCmdWriteMemory) continue;
      if (first == nullptr) first = &c;
      ++writes;
    }
    EXPECT_EQ(writes, 392);
    ASSERT_NE(first, nullptr);
    Bytes expected = {0x31, 0xCE, 0x08, 0x00, 0x00, 0x00, 0x08, 0xFF};
    std::uint8_t sum = 0xFF;
    for (int i = 0; i < 256; ++i) {
      expected.push_back(image[i]);
      sum ^= image[i];
    }
    expected.push_back(sum);
    EXPECT_EQ(*first, expected);
  });
}

TEST(FirmwareEraseList, SizesAtPageBoundariesEraseOnePageMore) {
  EXPECT_EQ(EraseList(1024), (std::vector<std::uint8_t>{0x01, 0x00, 0x01, 0x00}));
  EXPECT_EQ(EraseList(1023), (std::vector<std::uint8_t>{0x00, 0x00, 0x00}));
  EXPECT_EQ(EraseList(kMaxFirmwareSize).size(), 258u);
  EXPECT_EQ(EraseList(kMaxFirmwareSize)[0], 0xFF);
}

TEST_F(FirmwareTest, SilentBootLoaderLeadsToThreeAttempts) {
  BootLoaderOptions options;
  options.silent = true;
  Start(options);
  const Micros start = rig->clock->Now();
  Transcript run = Upgrade(SampleImage(2048));
  EXPECT_EQ(run.outcome.end, FirmwareEnd::ConnectFailed);
  EXPECT_EQ(run.outcome.label.chinese, "连机失败！请检查通信线。");
  EXPECT_EQ(run.outcome.attempts, 3);
  // Silence usually means a panel that was not started in its boot-loader mode.
  ASSERT_TRUE(run.outcome.message);
  EXPECT_EQ(*run.outcome.message, BootLoaderNotFoundMessage());
  EXPECT_NE(run.outcome.message->english.find("firmware-upgrade (boot-loader) mode"),
            std::string::npos);
  EXPECT_NE(run.outcome.message->chinese.find("固件升级（引导装载）模式"), std::string::npos);
  EXPECT_EQ(run.attempts, (std::vector<int>{1, 2, 3}));
  // Each attempt: the 1 s reset sequence, then the counter runs from 2 to 6 in 4 s, plus
  // the allowance for the sync byte and its answer at 115,200 baud 8E1 (191 us + 2 ms).
  EXPECT_EQ(rig->clock->Now() - start, 3 * (Millis(1000 + 4000) + kSyncAllowance));
  EXPECT_FALSE(rig->driver->IsOpen());
}

TEST_F(FirmwareTest, BootLoaderThatOnlyRefusesSaysSoThenGivesUp) {
  BootLoaderOptions options;
  options.nackOnly = true;
  Start(options);
  const Micros start = rig->clock->Now();
  Transcript run = Upgrade(SampleImage(2048));
  EXPECT_EQ(run.outcome.end, FirmwareEnd::ConnectFailed);
  ASSERT_GE(run.labelTimes.size(), 3u);
  EXPECT_EQ(run.labelTimes[0].first, "正在查找设备。。。");
  EXPECT_EQ(run.labelTimes[1].first, "无法和设备通讯，请重新尝试");
  EXPECT_EQ(run.labelTimes[2].first, "连机失败！请检查通信线。");
  EXPECT_EQ(run.labelTimes[2].second - start, Millis(5000) + kSyncAllowance);
  EXPECT_EQ(run.outcome.attempts, 3);
  Observe([&](const BootLoaderEmulator& b) { EXPECT_EQ(b.Nacks(), 3) << "one sync per attempt"; });
}

TEST_F(FirmwareTest, PortThatDoesNotOpen) {
  Start();
  test::TestClock clock;
  TVorCommDriver driver(std::make_unique<platform::PosixSerialPort>(), clock,
                        ComPortMap::Build({}, {{2, "/dev/does-not-exist-ttyACM"}}, {}));
  FirmwareSession session(driver, clock, SampleImage(10), TComPortNumber::pnCOM3);
  FirmwareOutcome outcome = session.Run();
  EXPECT_EQ(outcome.end, FirmwareEnd::PortOpenFailed);
  ASSERT_TRUE(outcome.message);
  EXPECT_EQ(outcome.message->chinese,
            "当前串口号 COM3 已经被占用，或其它错误 ！\r请选择其它串口，或检查串口设置是否正确。");
  ASSERT_TRUE(outcome.portError);
  EXPECT_EQ(outcome.portError->kind, PortOpenFailure::Missing);
}

TEST_F(FirmwareTest, CancelStopsBetweenSteps) {
  Start();
  std::atomic<bool> cancel{false};
  FirmwareSession session(
      *rig->driver, *rig->clock, SampleImage(20000), TComPortNumber::pnCOM1,
      [&](const FirmwareProgress& v) {
        if (v.label.chinese == "写进度: 2%") cancel = true;
      },
      &cancel);
  FirmwareOutcome outcome = session.Run();
  EXPECT_EQ(outcome.end, FirmwareEnd::Cancelled);
  EXPECT_FALSE(rig->driver->IsOpen());
}

TEST(FirmwareImage, RefusedWhenEmptyOrTooLarge) {
  EXPECT_FALSE(CheckFirmwareImage({}));
  Bytes big(kMaxFirmwareSize + 1, 0);
  EXPECT_FALSE(CheckFirmwareImage(big));
  big.pop_back();
  EXPECT_TRUE(CheckFirmwareImage(big));

  test::TestClock clock;
  TVorCommDriver driver(std::make_unique<platform::PosixSerialPort>(), clock,
                        ComPortMap::Single("/dev/null"));
  FirmwareSession session(driver, clock, Bytes{}, TComPortNumber::pnCOM1);
  EXPECT_EQ(session.Run().end, FirmwareEnd::ImageRefused);
  EXPECT_FALSE(driver.IsOpen());
}

TEST(FirmwareImage, LoadedFromAFileAndFoundWhereInstalled) {
  test::TempDir dir;
  const Bytes image = SampleImage(5000);
  test::WriteAll(dir / "fw.bin", image);
  Result<std::vector<std::uint8_t>> loaded = LoadFirmwareImage(dir / "fw.bin");
  ASSERT_TRUE(loaded) << loaded.message();
  EXPECT_EQ(*loaded, image);
  EXPECT_FALSE(LoadFirmwareImage(dir / "missing.bin"));
  test::WriteAll(dir / "huge.bin", Bytes(kMaxFirmwareSize + 1));
  EXPECT_FALSE(LoadFirmwareImage(dir / "huge.bin"));
  ::mkfifo((dir / "pipe.bin").c_str(), 0600);
  EXPECT_FALSE(LoadFirmwareImage(dir / "pipe.bin")) << "a pipe is refused, not waited on";

  const char* previous = std::getenv("DRAVIK_PROGRAM_DIR");
  const std::string saved = previous ? previous : "";
  ::setenv("DRAVIK_PROGRAM_DIR", dir.path().c_str(), 1);
  EXPECT_FALSE(FindInstalledFirmware()) << "no firmware folder";
  std::filesystem::create_directories(dir / "firmware");
  test::WriteAll(dir / "firmware" / "panel.BIN", image);
  test::WriteText(dir / "firmware" / "README.txt", "notes");
  EXPECT_EQ(FindInstalledFirmware(), dir / "firmware" / "panel.BIN");
  test::WriteAll(dir / "firmware" / "other.bin", image);
  EXPECT_FALSE(FindInstalledFirmware()) << "two images: the user chooses";
  ::setenv("DRAVIK_PROGRAM_DIR", saved.c_str(), 1);
}

TEST_F(FirmwareTest, RealTimeUpgradeOverAPseudoTerminal) {
  Start({}, Timing::RealClock);
  const Bytes image = SampleImage(8000, 5);
  Transcript run = Upgrade(image);
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;
  Observe([&](const BootLoaderEmulator& b) {
    EXPECT_TRUE(std::equal(image.begin(), image.end(), b.Flash().begin()));
  });
}

// A boot loader that acknowledges the sync byte a fixed time after it was sent and then
// says nothing more.
class LateSyncAckPort final : public SerialPort {
 public:
  LateSyncAckPort(Clock& clock, Micros delay) : clock_(clock), delay_(delay) {}
  std::optional<PortOpenError> Open(const std::string&) override {
    open_ = true;
    return std::nullopt;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  Status Configure(const SerialLineSettings&) override { return {}; }
  Status Purge(bool, bool) override { return {}; }
  Result<int> OutputQueueBytes() override { return 0; }
  Status Drain() override { return {}; }
  Status SetDtr(bool) override { return {}; }
  Status SetRts(bool) override { return {}; }
  Result<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    if (!syncAt_ || clock_.Now() < *syncAt_ + delay_) return std::size_t{0};
    syncAt_.reset();
    buffer[0] = kBootAck;
    return std::size_t{1};
  }
  Result<std::size_t> Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.size() == 1 && bytes[0] == kBootSync) syncAt_ = clock_.Now();
    return bytes.size();
  }

 private:
  Clock& clock_;
  Micros delay_;
  bool open_ = false;
  std::optional<Micros> syncAt_;
};

TEST(FirmwareTimeOut, AllowsTheWireTimeOfTheRequestAndItsReply) {
  // The first sync has four counted seconds and the allowance; an answer within them is
  // taken by the 3 ms step at 4,002 ms, one after them is not.
  struct Case {
    Micros delay;
    bool connected;
  };
  for (const Case& c : {Case{Millis(4001), true}, Case{Millis(4002), true},
                        Case{Millis(4000) + kSyncAllowance + Micros(1), false}}) {
    SCOPED_TRACE(c.delay.count());
    test::TestClock clock;
    TVorCommDriver driver(std::make_unique<LateSyncAckPort>(clock, c.delay), clock,
                          ComPortMap::Single("/dev/null"));
    FirmwareSession session(driver, clock, SampleImage(100), TComPortNumber::pnCOM1);
    session.Start();
    while (session.Step() && session.State() == FirmwareState::Sync &&
           session.Progress().attempt == 1) {
    }
    EXPECT_EQ(session.State() == FirmwareState::GetCommands, c.connected);
    EXPECT_EQ(session.Progress().attempt, c.connected ? 1 : 2);
  }
}

// The first eight bytes of a firmware file: the vector table's stack pointer and reset
// vector, little-endian, followed by `size` - 8 bytes of code.
Bytes Application(std::uint32_t stack, std::uint32_t reset, std::size_t size = 4096) {
  Bytes image = SampleImage(size, 3);
  for (int i = 0; i < 4; ++i) {
    image[i] = static_cast<std::uint8_t>(stack >> (8 * i));
    image[4 + i] = static_cast<std::uint8_t>(reset >> (8 * i));
  }
  return image;
}

TEST(FirmwareImage, OnlyAnApplicationForThePanelsStm32PassesTheVectorCheck) {
  struct Case {
    const char* name;
    Bytes image;
    bool passes;
  };
  Bytes bitmap = SampleImage(4096, 9);
  bitmap[0] = 'B';
  bitmap[1] = 'M';
  Bytes deviceImage(900, 0);
  deviceImage[0] = 0x85;  // the picture section at 901
  deviceImage[1] = 0x03;
  const Case cases[] = {
      {"typical", Application(0x20005000, 0x08000135), true},
      {"stack at the top of 128 KB", Application(0x20020000, 0x08000101), true},
      {"reset handler in the last byte", Application(0x20005000, 0x08000FFF), true},
      {"stack at the very start of the SRAM", Application(0x20000000, 0x08000135), false},
      {"stack past 128 KB", Application(0x20020004, 0x08000135), false},
      {"stack in flash", Application(0x08005000, 0x08000135), false},
      {"even reset vector", Application(0x20005000, 0x08000134), false},
      {"reset vector past the image", Application(0x20005000, 0x08001001), false},
      {"reset vector below the flash", Application(0x20005000, 0x00000135), false},
      {"too short for a vector table", Bytes{0x00, 0x50, 0x00, 0x20}, false},
      {"a bitmap", bitmap, false},
      {"a device image", deviceImage, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Status status = CheckFirmwareVectorTable(c.image);
    EXPECT_EQ(status.ok(), c.passes);
    if (!status.ok()) {
      EXPECT_NE(status.error().In(false).find("STM32"), std::string::npos);
      EXPECT_NE(status.error().In(true).find("STM32"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace dravik::comm
