// The download against the emulated panel on a pseudo-terminal: the image the panel
// rebuilds, the block headers, the search over the serial profiles, the failures with
// their labels, cancel, and the waits the protocol prescribes.

#include "comm/download_session.h"

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>

#include "comm/comm_rig.h"
#include "comm/serial_profile_table.h"
#include "emulators/panel_emulator.h"

namespace dravik::comm {
namespace {

using test::Bytes;
using test::CommRig;
using test::PanelEmulator;
using test::PanelFault;
using test::PanelOptions;
using test::PanelRequest;
using test::SampleImage;
using test::Timing;

// One block on a panel that answers at once: 11 window writes and the header write at
// one 2 ms pause each, the acknowledgement (100 ms, one 10 ms pause, 10 ms), then 5 ms.
constexpr auto kBlockWaits = Millis(12 * 2 + 100 + 10 + 10 + 5);
// The probe answered at the first pause; synchronising: 10 ms, one pause, 5 ms.
constexpr auto kFoundAndSynced = Millis(1 + 10 + 2 + 5);
constexpr auto kCloseWait = Millis(1600);

// What a reply window allows beyond its pauses on a line without a latency timer: the
// request and the reply on the wire at `profile`'s setting, and 2 ms.
Micros Allowance(int profile, std::size_t requestAndReplyBytes) {
  const SerialProfile& p = SerialProfileTable[profile];
  SerialLineSettings line;
  line.baudRate = p.baudRate;
  line.dataBits = p.dataBits;
  line.parity = p.parity;
  line.stopBits = p.stopBits;
  return WireTime(requestAndReplyBytes, line) + Millis(2);
}

// A silent probe waits its ten pauses and the allowance for the probe and the signature.
Micros SilentProbes(int count) {
  Micros total{0};
  for (int profile = 0; profile < count; ++profile)
    total += Millis(10) + Allowance(profile, kProbeLength + ProbeSignature.size());
  return total;
}

struct Transcript {
  DownloadOutcome outcome;
  std::vector<DownloadProgress> views;
  std::vector<std::string> labels;  // each distinct label in order
  Micros slept{0};
};

class DownloadTest : public testing::Test {
 protected:
  void Start(PanelOptions options = {}, Timing timing = Timing::TestClock,
             test::EmulatedLineOptions lineOptions = {}) {
    rig.reset();  // its emulator thread uses the emulator being replaced
    panel = std::make_unique<PanelEmulator>(std::move(options));
    rig = std::make_unique<CommRig>(*panel, timing, lineOptions);
    if (!rig->ok()) GTEST_SKIP() << "no pseudo-terminals here";
  }

  Transcript Download(
      const Bytes& image,
      std::function<void(DownloadSession&, const DownloadProgress&)> onProgress = {}) {
    Transcript run;
    DownloadSession* current = nullptr;
    DownloadSession session(*rig->driver, *rig->clock, mirror, image, TComPortNumber::pnCOM1,
                            [&](const DownloadProgress& view) {
                              run.views.push_back(view);
                              if (run.labels.empty() || run.labels.back() != view.label.chinese)
                                run.labels.push_back(view.label.chinese);
                              if (onProgress) onProgress(*current, view);
                            });
    current = &session;
    const Micros before = rig->testClock ? rig->testClock->Slept() : Micros(0);
    run.outcome = session.Run();
    if (rig->testClock) run.slept = rig->testClock->Slept() - before;
    return run;
  }

  // Read the emulator's observations while its thread cannot change them.
  template <class F>
  void Observe(F f) {
    std::lock_guard lock(rig->line.Mutex());
    f(*panel);
  }

  RegisterMirror mirror;
  std::unique_ptr<PanelEmulator> panel;
  std::unique_ptr<CommRig> rig;
};

struct SizeCase {
  std::size_t size;
  const char* finalLabel;
};
// Test names and listings show the case by its name, not as a dump of its bytes.
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.size << " bytes"; }

class DownloadImageSizes : public DownloadTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(DownloadImageSizes, PanelRebuildsTheImage) {
  const SizeCase& c = GetParam();
  Start();
  const Bytes image = SampleImage(c.size);
  Transcript run = Download(image);

  ASSERT_EQ(run.outcome.end, DownloadEnd::Finished) << run.outcome.label.english;
  EXPECT_TRUE(run.outcome.ok());
  EXPECT_EQ(run.outcome.label, Both(c.finalLabel));
  EXPECT_FALSE(run.outcome.notice);
  EXPECT_EQ(run.outcome.bytesSent, c.size);
  EXPECT_TRUE(run.outcome.unacknowledgedBlocks.empty());
  EXPECT_EQ(run.outcome.foundProfile, 0);
  const std::size_t blocks = (c.size + kBlockSize - 1) / kBlockSize;
  EXPECT_EQ(run.slept, kFoundAndSynced + kBlockWaits * static_cast<long>(blocks) + kCloseWait);
  EXPECT_EQ(run.views.back().progressBar, 0);
  EXPECT_EQ(run.views.back().state, DownloadState::Finished);

  Observe([&](const PanelEmulator& p) {
    const Bytes& rebuilt = p.Image();
    EXPECT_EQ(rebuilt.size(), blocks * kBlockSize);
    ASSERT_GE(rebuilt.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rebuilt.begin()));
    ASSERT_EQ(p.Blocks().size(), blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
      EXPECT_EQ(p.Blocks()[b].blockNumber, kFirstBlockNumber + b);
      EXPECT_EQ(p.Blocks()[b].lastBlock, b + 1 == blocks ? kLastBlockFlag : 0);
      EXPECT_EQ(p.Blocks()[b].baud, 115200u);
    }
    EXPECT_EQ(p.Blocks().back().percent, 100);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DownloadImageSizes,
    testing::Values(SizeCase{1, "0.0KB / 0.0KB"}, SizeCase{1023, "0.10KB / 0.10KB"},
                    SizeCase{1024, "1.0KB / 1.0KB"}, SizeCase{2048, "2.0KB / 2.0KB"},
                    SizeCase{5000, "4.9KB / 4.9KB"}, SizeCase{153600, "150.0KB / 150.0KB"}),
    [](const auto& info) { return "Bytes" + std::to_string(info.param.size); });

TEST_F(DownloadTest, FiveThousandBytesAreThreeBlocksWithTheirHeaders) {
  Start();
  const Bytes image = SampleImage(5000);
  Transcript run = Download(image);
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;

  std::vector<int> bars;
  for (const DownloadProgress& v : run.views)
    if (v.state == DownloadState::Transferring && (bars.empty() || bars.back() != v.progressBar))
      bars.push_back(v.progressBar);
  EXPECT_EQ(bars, (std::vector<int>{0, 40, 81, 100}));
  EXPECT_NE(std::find(run.labels.begin(), run.labels.end(), "2.0KB / 4.9KB"), run.labels.end());
  EXPECT_NE(std::find(run.labels.begin(), run.labels.end(), "4.0KB / 4.9KB"), run.labels.end());

  Observe([&](const PanelEmulator& p) {
    ASSERT_EQ(p.Blocks().size(), 3u);
    const int numbers[] = {51, 52, 53}, percents[] = {40, 81, 100}, flags[] = {0, 0, 8888};
    for (int b = 0; b < 3; ++b) {
      EXPECT_EQ(p.Blocks()[b].blockNumber, numbers[b]);
      EXPECT_EQ(p.Blocks()[b].percent, percents[b]);
      EXPECT_EQ(p.Blocks()[b].lastBlock, flags[b]);
    }
    // The third block replaces 904 bytes; the window's rest still holds the second block.
    const Bytes& rebuilt = p.Image();
    EXPECT_TRUE(
        std::equal(image.begin() + 2048 + 904, image.begin() + 4096, rebuilt.begin() + 4096 + 904));
  });
}

TEST_F(DownloadTest, ImageBytesTravelInSwappedPairs) {
  Start();
  Bytes image = SampleImage(100);
  image[0] = 0x12;
  image[1] = 0x34;
  Transcript run = Download(image);
  ASSERT_TRUE(run.outcome.ok());
  Observe([&](const PanelEmulator& p) {
    ASSERT_GE(p.WriteFrames().size(), 2u);
    const Bytes& window = p.WriteFrames()[1];  // after the synchronise frame
    EXPECT_EQ(window.size(), 209u);
    EXPECT_EQ(window[2], 0x0F);
    EXPECT_EQ(window[3], 0x46);
    EXPECT_EQ(window[7], 0x34);
    EXPECT_EQ(window[8], 0x12);
    const Bytes& last = p.WriteFrames()[11];
    EXPECT_EQ(last.size(), 57u);
    EXPECT_EQ((last[2] << 8) | last[3], 4910);
    const Bytes& header = p.WriteFrames()[12];
    EXPECT_EQ(header.size(), 29u);
  });
}

TEST_F(DownloadTest, PanelAt9600IsFoundWithProfileTwoAndSynchronisedAt115200) {
  PanelOptions options;
  options.probeBauds = {9600};
  Start(options);
  Transcript run = Download(SampleImage(10));
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;
  EXPECT_EQ(run.outcome.foundProfile, 2);
  EXPECT_EQ(run.labels[0], "搜索设备");
  EXPECT_EQ(run.labels[1], "搜索设备.");
  EXPECT_EQ(run.labels[2], "搜索设备..");
  EXPECT_EQ(run.labels[3], "同步成功！");
  // Two silent probes of ten pauses and their allowance, the third answered at its first.
  EXPECT_EQ(run.slept, SilentProbes(2) + kFoundAndSynced + kBlockWaits + kCloseWait);
  Observe([&](const PanelEmulator& p) {
    EXPECT_EQ(p.ProbeBauds(), std::vector<std::uint32_t>{9600});
    ASSERT_EQ(p.Syncs().size(), 1u);
    EXPECT_EQ(p.Syncs()[0].baud, 115200u);
  });
}

TEST_F(DownloadTest, SecondDownloadSendsTheHeaderTheFirstLeftBehind) {
  Start();
  ASSERT_TRUE(Download(SampleImage(5000)).outcome.ok());
  ASSERT_TRUE(Download(SampleImage(300, 7)).outcome.ok());
  Observe([&](const PanelEmulator& p) {
    ASSERT_EQ(p.Syncs().size(), 2u);
    const auto& first = p.Syncs()[0].header;
    EXPECT_EQ(first[3], 0);  // nothing before the first block of the run
    EXPECT_EQ(first[5], 0);
    const auto& second = p.Syncs()[1].header;
    const std::array<std::uint16_t, 10> expected = {0x5555, 0x8765, 0xE916, 53, 0,
                                                    8888,   0,      0,      0,  0};
    EXPECT_EQ(second, expected);
  });
}

TEST_F(DownloadTest, SilentPanelEndsTheSearchAfter32Probes) {
  PanelOptions options;
  options.silent = true;
  Start(options);
  Transcript run = Download(SampleImage(10));
  EXPECT_EQ(run.outcome.end, DownloadEnd::SearchFailed);
  EXPECT_EQ(run.outcome.label.chinese, "搜索失败！");
  EXPECT_EQ(run.outcome.foundProfile, -1);
  ASSERT_GE(run.labels.size(), 2u);
  EXPECT_EQ(run.labels[run.labels.size() - 2], "搜索设备" + std::string(31, '.'));
  EXPECT_EQ(run.slept, SilentProbes(32));
  EXPECT_FALSE(rig->driver->IsOpen());
}

// A line whose panel answers the probe a fixed time after it was sent, through an adapter
// of the given latency.
class DelayedProbeReplyPort final : public SerialPort {
 public:
  DelayedProbeReplyPort(Clock& clock, Millis delay, Micros latency)
      : clock_(clock), delay_(delay), latency_(latency) {}
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
    if (!sentAt_ || clock_.Now() < *sentAt_ + delay_) return std::size_t{0};
    sentAt_.reset();
    std::copy(ProbeSignature.begin(), ProbeSignature.end(), buffer.begin());
    return ProbeSignature.size();
  }
  Result<std::size_t> Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.size() == kProbeLength && bytes[0] == kProbeByte) sentAt_ = clock_.Now();
    return bytes.size();
  }
  Micros ReceiveLatency() const override { return latency_; }

 private:
  Clock& clock_;
  Millis delay_;
  Micros latency_;
  bool open_ = false;
  std::optional<Micros> sentAt_;
};

TEST(DownloadProbeWindow, ReplyCountsWithinSevenPausesAndItsTimeOnTheWire) {
  // Profile 0 is 57,600 baud 8E1: the probe and the signature take 21 x 11 bits = 4.011 ms.
  struct Case {
    int delayMs;
    Micros latency;
    bool found;
  };
  const Case cases[] = {
      {1, Millis(2), true},    // at once
      {13, Millis(2), true},   // 7 ms + 4.011 ms + 2 ms
      {14, Millis(2), false},  // too late
      {27, Millis(16), true},  // a USB adapter's default latency timer: 7 + 4.011 + 16
      {28, Millis(16), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delayMs);
    test::TestClock clock;
    TVorCommDriver driver(
        std::make_unique<DelayedProbeReplyPort>(clock, Millis(c.delayMs), c.latency), clock,
        ComPortMap::Single("/dev/null"));
    RegisterMirror mirror;
    DownloadSession session(driver, clock, mirror, SampleImage(10), TComPortNumber::pnCOM1);
    ASSERT_EQ(session.Step(), DownloadState::Searching);
    EXPECT_EQ(session.Step(), c.found ? DownloadState::Synchronising : DownloadState::Searching);
  }
}

TEST_F(DownloadTest, SyncFailureAfterSixAttempts) {
  std::atomic<int> syncWrites{0};
  PanelOptions options;
  options.fault = [&](const PanelRequest& r) {
    if (r.kind != PanelRequest::Write) return PanelFault::None;
    ++syncWrites;
    return PanelFault::Drop;
  };
  Start(options);
  Transcript run = Download(SampleImage(10));
  EXPECT_EQ(run.outcome.end, DownloadEnd::SyncFailed);
  EXPECT_EQ(run.outcome.label.chinese, "同步失败！");
  EXPECT_EQ(syncWrites.load(), 6);
  // Found at once; then 10 ms, six attempts of 30 pauses of 2 ms and the allowance for
  // the 29-byte frame and its 8-byte echo at 115,200 baud 8E1 (3.533 ms + 2 ms), 200 ms
  // between them.
  EXPECT_EQ(run.slept, Millis(1 + 10 + 6 * 60 + 5 * 200) + 6 * Micros(3533 + 2000));
  EXPECT_FALSE(rig->driver->IsOpen());
}

TEST_F(DownloadTest, TransferFailureEndsWithItsLabel) {
  PanelOptions options;
  options.fault = [](const PanelRequest& r) {
    return r.kind == PanelRequest::Write && r.index >= 3 ? PanelFault::Drop : PanelFault::None;
  };
  Start(options);
  Transcript run = Download(SampleImage(5000));
  EXPECT_EQ(run.outcome.end, DownloadEnd::TransferFailed);
  EXPECT_EQ(run.outcome.label.chinese, "下载异常！");
  EXPECT_EQ(run.views.back().progressBar, 0);
  EXPECT_FALSE(rig->driver->IsOpen());
  Observe([&](const PanelEmulator& p) { EXPECT_TRUE(p.Blocks().empty()); });
}

TEST_F(DownloadTest, CancelDuringTheSearchStopsBeforeTheNextProbe) {
  PanelOptions options;
  options.silent = true;
  Start(options);
  Transcript run = Download(SampleImage(10), [](DownloadSession& s, const DownloadProgress& v) {
    if (v.label.chinese == "搜索设备...") s.Cancel();
  });
  EXPECT_EQ(run.outcome.end, DownloadEnd::Cancelled);
  EXPECT_EQ(run.outcome.label.chinese, "搜索失败！");
  EXPECT_FALSE(run.outcome.notice) << "nothing was sent: the panel is as it was";
  EXPECT_EQ(run.labels[run.labels.size() - 2], "搜索设备...");
  EXPECT_EQ(run.slept, SilentProbes(3));
}

TEST_F(DownloadTest, CancelDuringTheTransferTakesEffectAfterTheBlock) {
  Start();
  Transcript run = Download(SampleImage(5000), [](DownloadSession& s, const DownloadProgress& v) {
    if (v.blockNumber == 51) s.Cancel();
  });
  // The panel now holds one block of three: the end says so instead of looking finished.
  EXPECT_EQ(run.outcome.end, DownloadEnd::Cancelled);
  EXPECT_FALSE(run.outcome.ok());
  EXPECT_EQ(run.outcome.label, DownloadCancelledText(1, 3));
  ASSERT_TRUE(run.outcome.notice);
  EXPECT_EQ(*run.outcome.notice, DownloadCancelledText(1, 3));
  EXPECT_NE(run.outcome.notice->english.find("after block 1 of 3"), std::string::npos);
  EXPECT_NE(run.outcome.notice->english.find("incomplete"), std::string::npos);
  EXPECT_NE(run.outcome.notice->chinese.find("第 1 块（共 3 块）"), std::string::npos);
  EXPECT_EQ(run.outcome.bytesSent, 2048u);
  EXPECT_EQ(run.views.back().state, DownloadState::Cancelled);
  EXPECT_EQ(run.views.back().progressBar, 0);
  // The finishing step ran as for a whole image: the port closed, then the 1.6 s wait.
  EXPECT_EQ(run.slept, kFoundAndSynced + kBlockWaits + kCloseWait);
  EXPECT_FALSE(rig->driver->IsOpen());
  Observe([&](const PanelEmulator& p) { EXPECT_EQ(p.Blocks().size(), 1u); });
}

TEST_F(DownloadTest, CancelPressedWhileThePortOpensStopsTheSearchAtOnce) {
  Start();
  std::atomic<bool> cancel{true};
  DownloadSession session(*rig->driver, *rig->clock, mirror, SampleImage(10),
                          TComPortNumber::pnCOM1, {}, &cancel);
  DownloadOutcome outcome = session.Run();
  EXPECT_EQ(outcome.end, DownloadEnd::Cancelled);
  EXPECT_EQ(outcome.label.chinese, "搜索失败！");
  Observe([&](const PanelEmulator& p) { EXPECT_TRUE(p.Blocks().empty()); });
}

TEST_F(DownloadTest, PortThatDoesNotOpen) {
  Start();
  test::TestClock clock;
  TVorCommDriver driver(std::make_unique<platform::PosixSerialPort>(), clock,
                        ComPortMap::Single("/dev/does-not-exist-ttyUSB"));
  DownloadSession session(driver, clock, mirror, SampleImage(10), TComPortNumber::pnCOM1);
  DownloadOutcome outcome = session.Run();
  EXPECT_EQ(outcome.end, DownloadEnd::PortOpenFailed);
  EXPECT_EQ(outcome.label.chinese, "打开串口失败!");
  ASSERT_TRUE(outcome.message);
  EXPECT_EQ(outcome.message->chinese, download_text::kPortBusyMessage);
  ASSERT_TRUE(outcome.portError);
  EXPECT_EQ(outcome.portError->kind, PortOpenFailure::Missing);
  EXPECT_EQ(outcome.portError->device, "/dev/does-not-exist-ttyUSB");
  EXPECT_TRUE(session.CancelSet()) << "one press of Cancel then closes the dialog";
}

TEST_F(DownloadTest, UnconfirmedBlocksAreReportedAsAFailureAfterTheTransferWentOn) {
  std::atomic<int> reads{0};
  PanelOptions options;
  options.acknowledge = false;
  options.fault = [&](const PanelRequest& r) {
    if (r.kind == PanelRequest::Read) ++reads;
    return PanelFault::None;
  };
  Start(options);
  const Bytes image = SampleImage(3000);
  Transcript run = Download(image);
  EXPECT_EQ(run.outcome.end, DownloadEnd::Unconfirmed);
  EXPECT_FALSE(run.outcome.ok());
  EXPECT_EQ(run.views.back().state, DownloadState::Unconfirmed);
  EXPECT_EQ(run.outcome.unacknowledgedBlocks, (std::vector<int>{51, 52}));
  EXPECT_EQ(reads.load(), 2 * 5);
  const auto ackWaits = Millis(5 * (100 + 10 + 10));
  EXPECT_EQ(run.slept, kFoundAndSynced + 2 * (Millis(12 * 2 + 5) + ackWaits) + kCloseWait);
  ASSERT_TRUE(run.outcome.notice);
  EXPECT_EQ(*run.outcome.notice, UnacknowledgedBlocksWarning({51, 52}, 2));
  EXPECT_EQ(run.outcome.label, *run.outcome.notice);
  // Blocks are named as the user counts them.
  EXPECT_NE(run.outcome.notice->english.find("block(s) 1, 2 of 2"), std::string::npos);
  EXPECT_NE(run.outcome.notice->chinese.find("1, 2（共 2 块）"), std::string::npos);
  Observe([&](const PanelEmulator& p) {
    EXPECT_TRUE(std::equal(image.begin(), image.end(), p.Image().begin()));
  });
}

TEST_F(DownloadTest, DroppedAndCorruptedFramesAreRetried) {
  PanelOptions options;
  options.fault = [](const PanelRequest& r) {
    switch (r.kind) {
      case PanelRequest::Probe:
        return r.index == 0 ? PanelFault::Corrupt : PanelFault::None;
      case PanelRequest::Write:
        return r.index % 7 == 3    ? PanelFault::Drop
               : r.index % 11 == 5 ? PanelFault::Corrupt
                                   : PanelFault::None;
      case PanelRequest::Read:
        return r.index % 2 == 0 ? PanelFault::Corrupt : PanelFault::None;
    }
    return PanelFault::None;
  };
  Start(options);
  const Bytes image = SampleImage(9000);
  Transcript run = Download(image);
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;
  EXPECT_EQ(run.outcome.foundProfile, 1) << "the corrupted signature at profile 0 does not count";
  EXPECT_TRUE(run.outcome.unacknowledgedBlocks.empty());
  Observe([&](const PanelEmulator& p) {
    EXPECT_TRUE(std::equal(image.begin(), image.end(), p.Image().begin()));
  });
}

TEST_F(DownloadTest, ImagesThePanelCannotHoldAreRefusedBeforeTheLine) {
  Start();
  for (std::size_t size : {std::size_t{0}, kMaxImageSize + 1}) {
    Transcript run = Download(SampleImage(size));
    EXPECT_EQ(run.outcome.end, DownloadEnd::ImageRefused);
    ASSERT_TRUE(run.outcome.message);
  }
  EXPECT_FALSE(rig->driver->IsOpen());
  EXPECT_EQ(rig->line.Consumed(), 0u);
}

TEST(DownloadTexts, LabelFormatAndPreambleMessages) {
  EXPECT_EQ(TransferLabel(0, 1023), "0.0KB / 0.10KB");
  EXPECT_EQ(TransferLabel(153600, 153600), "150.0KB / 150.0KB");
  EXPECT_EQ(InitialPageMissingText(7).chinese,
            "您设置的初始(主控)画面号: [7] 不存在！\r请检查或重新设置...");
  EXPECT_EQ(InitialPageMissingText(7).english,
            "Your initial settings ( Master ) screen number: [7] Does not exist！\rPlease check or "
            "to Set up...");
  EXPECT_EQ(CompileFailedText().In(false), "Compiler failed!");
  EXPECT_EQ(SaveNewProjectFirstText().In(true), " 请先保存此新工程 ！");
}

// --- real time

TEST_F(DownloadTest, RealTimeDownloadOverAPseudoTerminal) {
  Start({}, Timing::RealClock);
  const Bytes image = SampleImage(5000, 99);
  Transcript run = Download(image);
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;
  EXPECT_TRUE(run.outcome.unacknowledgedBlocks.empty());
  Observe([&](const PanelEmulator& p) {
    EXPECT_TRUE(std::equal(image.begin(), image.end(), p.Image().begin()));
  });
}

TEST_F(DownloadTest, SearchFindsThePanelAtEveryRateWithRealWireTime) {
  // At 9,600 baud the probe and the signature alone take 24 ms on the wire, at 19,200
  // 12 ms: far more than the window's seven pauses. The table repeats every rate, so the
  // search still finds the panel if a loaded machine delays one reply.
  for (std::uint32_t baud : {57600u, 115200u, 9600u, 19200u, 38400u}) {
    SCOPED_TRACE(baud);
    PanelOptions options;
    options.probeBauds = {baud};
    Start(options, Timing::RealClock, {.wireTime = true});
    DownloadSession session(*rig->driver, *rig->clock, mirror, SampleImage(10),
                            TComPortNumber::pnCOM1);
    DownloadState state = session.Step();
    while (state == DownloadState::Searching) state = session.Step();
    ASSERT_EQ(state, DownloadState::Synchronising) << session.Progress().label.english;
    const int profile = session.Progress().profile;
    EXPECT_EQ(BaudRateValue(SerialProfileTable[profile].baudRate), baud);
    int first = 0;
    while (BaudRateValue(SerialProfileTable[first].baudRate) != baud) ++first;
    if (profile != first)
      std::printf("  %u baud found with profile %d, not %d\n", baud, profile, first);
  }
}

TEST_F(DownloadTest, PanelFoundAt9600OnAWireTimedLineTakesTheImageAt115200) {
  PanelOptions options;
  options.probeBauds = {9600};
  Start(options, Timing::RealClock, {.wireTime = true});
  const Bytes image = SampleImage(3000, 31);
  Transcript run = Download(image);
  ASSERT_TRUE(run.outcome.ok()) << run.outcome.label.english;
  EXPECT_EQ(run.outcome.foundProfile, 2);
  Observe([&](const PanelEmulator& p) {
    ASSERT_EQ(p.Blocks().size(), 2u);
    for (const test::PanelBlock& block : p.Blocks()) EXPECT_EQ(block.baud, 115200u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), p.Image().begin()));
  });
}

}  // namespace
}  // namespace dravik::comm
