#include "comm/download_session.h"

#include <algorithm>
#include <cstdio>

#include "comm/modbus_rtu.h"
#include "comm/serial_profile_table.h"

namespace dravik::comm {
namespace {

// Waits of the protocol. Each reply window also allows the wire time of the request and
// the reply and the adapter's latency (TVorCommDriver::ReplyAllowance).
constexpr auto kProbePause = Millis(1);
constexpr auto kProbeWindow = 10 * kProbePause;
constexpr auto kProbeInTime = 7 * kProbePause;  // a reply complete after this is too late
constexpr int kWriteAttempts = 6;
constexpr auto kWriteReplyPause = Millis(2);
constexpr auto kWriteReplyWindow = 30 * kWriteReplyPause;
constexpr std::uint16_t kWriteReplyLength = 8;  // the echo of address, function, start, count
constexpr auto kWriteRetryWait = Millis(200);
constexpr int kAckReads = 5;
constexpr auto kAckBeforeRead = Millis(100);
constexpr auto kAckReplyPause = Millis(10);
constexpr auto kAckReplyWindow = 50 * kAckReplyPause;
constexpr std::uint16_t kAckRegisters = 3;
constexpr std::size_t kReadRequestLength = 8;
constexpr std::size_t kAckReplyLength = 5 + 2 * kAckRegisters;
constexpr auto kAfterSyncOpen = Millis(10);
constexpr auto kAfterBlock = Millis(5);
constexpr auto kBeforeClose = Millis(1600);

// The window's writes: 10 of 100 registers, then one of 24.
constexpr std::uint8_t kWindowWriteRegisters = 100;
constexpr int kWindowFullWrites = 10;
constexpr std::uint8_t kWindowLastWriteRegisters = 24;

std::string Join(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

}  // namespace

std::string TransferLabel(std::size_t bytesSent, std::size_t imageSize) {
  char text[96];
  std::snprintf(text, sizeof text, "%d.%dKB / %d.%dKB", static_cast<int>(bytesSent / 1024),
                static_cast<int>((bytesSent % 1024) / 100), static_cast<int>(imageSize / 1024),
                static_cast<int>((imageSize % 1024) / 100));
  return text;
}

Bilingual InitialPageMissingText(int pageNumber) {
  const std::string n = std::to_string(pageNumber);
  return {"您设置的初始(主控)画面号: [" + n + "] 不存在！\r请检查或重新设置...",
          "Your initial settings ( Master ) screen number: [" + n +
              "] Does not exist！\rPlease check or to Set up..."};
}

Bilingual SaveNewProjectFirstText() {
  return {" 请先保存此新工程 ！", " Please save this new project ！"};
}

Bilingual CompileFailedText() {
  return {"编译程序失败 ！", "Compiler failed!"};
}

Bilingual CompileSucceededText() {
  return {"编译成功!", "Compiler Succeed!"};
}

Bilingual UnacknowledgedBlocksWarning(const std::vector<int>& blockNumbers, int blockCount) {
  // Counted from 1 as the user counts them, not by the numbers the protocol gives them.
  std::vector<int> ordinals;
  for (int number : blockNumbers) ordinals.push_back(number - kFirstBlockNumber + 1);
  const std::string list = Join(ordinals), m = std::to_string(blockCount);
  return {"面板没有确认收到数据块 " + list + "（共 " + m +
              " 块）。面板中的画面数据可能不完整，请重新下载。",
          "The panel did not confirm data block(s) " + list + " of " + m +
              ". The screens on the panel may be incomplete; please download again."};
}

Bilingual DownloadCancelledText(int blocksSent, int blockCount) {
  const std::string n = std::to_string(blocksSent), m = std::to_string(blockCount);
  return {"下载已取消：在第 " + n + " 块（共 " + m +
              " 块）之后停止。面板中的画面数据不完整，请重新下载。",
          "The download was cancelled after block " + n + " of " + m +
              ". The screens on the panel are incomplete; please download again."};
}

Bilingual SearchCancelledText() {
  return {"下载已取消：还没有发送任何数据，面板中的画面没有改变。",
          "The download was cancelled before anything was sent; the panel's screens are "
          "unchanged."};
}

int BlockCount(std::size_t imageSize) {
  return static_cast<int>((imageSize + kBlockSize - 1) / kBlockSize);
}

bool IsFinal(DownloadState state) {
  switch (state) {
    case DownloadState::Ready:
    case DownloadState::Searching:
    case DownloadState::Synchronising:
    case DownloadState::Transferring:
    case DownloadState::Finishing:
      return false;
    default:
      return true;
  }
}

DownloadSession::DownloadSession(TVorCommDriver& driver, Clock& clock, RegisterMirror& mirror,
                                 std::span<const std::uint8_t> image, TComPortNumber port,
                                 DownloadProgressFn progress, std::atomic<bool>* cancelFlag)
    : driver_(driver),
      clock_(clock),
      mirror_(mirror),
      image_(image.begin(), image.end()),
      port_(port),
      progress_(std::move(progress)),
      cancel_(cancelFlag != nullptr ? cancelFlag : &ownCancel_) {
  view_.imageSize = image_.size();
  view_.label = download_label::kReady;
}

DownloadState DownloadSession::Step() {
  switch (view_.state) {
    case DownloadState::Ready:
      StepOpen();
      break;
    case DownloadState::Searching:
      StepProbe();
      break;
    case DownloadState::Synchronising:
      StepSynchronise();
      break;
    case DownloadState::Transferring:
      StepBlock();
      break;
    case DownloadState::Finishing:
      StepFinish();
      break;
    default:
      break;
  }
  return view_.state;
}

DownloadOutcome DownloadSession::Run() {
  while (!IsFinal(view_.state)) Step();
  return Outcome();
}

DownloadOutcome DownloadSession::Outcome() const {
  DownloadOutcome outcome;
  outcome.label = view_.label;
  outcome.bytesSent = view_.bytesSent;
  outcome.unacknowledgedBlocks = unacknowledged_;
  outcome.portError = portError_;
  outcome.message = message_;
  outcome.foundProfile = foundProfile_;
  switch (view_.state) {
    case DownloadState::PortOpenFailed:
      outcome.end = DownloadEnd::PortOpenFailed;
      break;
    case DownloadState::SearchFailed:
      outcome.end = cancelled_ ? DownloadEnd::Cancelled : DownloadEnd::SearchFailed;
      break;
    case DownloadState::SyncFailed:
      outcome.end = DownloadEnd::SyncFailed;
      break;
    case DownloadState::TransferFailed:
      outcome.end = DownloadEnd::TransferFailed;
      break;
    case DownloadState::ImageRefused:
      outcome.end = DownloadEnd::ImageRefused;
      break;
    case DownloadState::Cancelled:
      outcome.end = DownloadEnd::Cancelled;
      outcome.notice = view_.label;
      break;
    case DownloadState::Unconfirmed:
      outcome.end = DownloadEnd::Unconfirmed;
      outcome.notice = view_.label;
      break;
    default:
      outcome.end = DownloadEnd::Finished;
      break;
  }
  return outcome;
}

bool DownloadSession::OpenWithProfile(int profile) {
  const SerialProfile& p = SerialProfileTable[profile];
  driver_.SetComPort(port_);
  driver_.SetLineSettings(p.baudRate, p.dataBits, p.parity, p.stopBits);
  driver_.RxCount = 0;
  bool open = driver_.OpenPort();
  if (!open && driver_.LastOpenError()) portError_ = driver_.LastOpenError();
  return open;
}

void DownloadSession::StepOpen() {
  if (image_.empty() || image_.size() > kMaxImageSize) {
    message_ = image_.empty()
                   ? Bilingual{"画面数据为空，没有可下载的内容。",
                               "The image is empty; there is nothing to download."}
                   : Bilingual{"画面数据有 " + std::to_string(image_.size()) +
                                   " 字节，超过面板能容纳的 153600 字节（150KB）。",
                               "The image has " + std::to_string(image_.size()) +
                                   " bytes, more than the 153,600 bytes (150 KB) the panel holds."};
    SetState(DownloadState::ImageRefused);
    return;
  }
  view_.profile = 0;
  if (!OpenWithProfile(0)) {
    message_ = Both(download_text::kPortBusyMessage);
    // One press of Cancel then closes the dialog.
    cancel_->store(true);
    view_.state = DownloadState::PortOpenFailed;
    SetLabel(download_label::kPortOpenFailed);
    return;
  }
  // The flag is not cleared here: the caller clears it before the job starts, and a
  // Cancel pressed while the port was opening (the dialog runs on another thread) must
  // stop the search, not be forgotten.
  probe_ = 0;
  view_.state = DownloadState::Searching;
  SetLabel(download_label::kSearching);
}

void DownloadSession::StepProbe() {
  if (cancel_->load()) {
    cancelled_ = true;
    driver_.ClosePort();
    view_.state = DownloadState::SearchFailed;
    SetLabel(download_label::kSearchFailed);
    return;
  }
  view_.profile = probe_;
  const std::array<std::uint8_t, kProbeLength> probe = [] {
    std::array<std::uint8_t, kProbeLength> bytes;
    bytes.fill(kProbeByte);
    return bytes;
  }();
  (void)driver_.WriteBytes(probe);
  driver_.RxCount = 0;
  const Micros sent = clock_.Now();
  const Micros allowance = driver_.ReplyAllowance(kProbeLength, ProbeSignature.size());
  (void)AwaitReply(
      sent + kProbeWindow + allowance, kProbePause, [this] { LetMessagesRun(); },
      [this] { return driver_.RxCount >= ProbeSignature.size(); });
  const bool inTime = clock_.Now() <= sent + kProbeInTime + allowance;
  const bool found =
      inTime && driver_.RxCount >= ProbeSignature.size() &&
      std::equal(ProbeSignature.begin(), ProbeSignature.end(), driver_.RxBuffer.begin());
  if (found) {
    foundProfile_ = probe_;
    driver_.ClosePort();
    SetState(DownloadState::Synchronising);
    return;
  }
  if (probe_ + 1 >= static_cast<int>(SerialProfileTable.size())) {
    driver_.ClosePort();
    view_.state = DownloadState::SearchFailed;
    SetLabel(download_label::kSearchFailed);
    return;
  }
  driver_.ClosePort();
  ++probe_;
  view_.profile = probe_;
  OpenWithProfile(probe_);
  SetLabel({view_.label.chinese + ".", view_.label.english + "."});
}

void DownloadSession::StepSynchronise() {
  if (!OpenWithProfile(kTransferProfile)) {
    // Without a port every attempt would fail; say so at once.
    view_.state = DownloadState::SyncFailed;
    SetLabel(download_label::kSyncFailed);
    return;
  }
  clock_.Sleep(kAfterSyncOpen);
  mirror_[kRegKey1] = kKey1;
  mirror_[kRegKey2] = kKey2;
  mirror_[kRegCommand] = kCommandSync;
  mirror_[kRegPercent] = 0;
  // Registers 3903 to 3908 go out as the last download left them.
  if (!WriteRegisters(kRegKey1, kHeaderRegisters)) {
    driver_.ClosePort();
    view_.state = DownloadState::SyncFailed;
    SetLabel(download_label::kSyncFailed);
    return;
  }
  SetLabel(download_label::kSyncSucceeded);
  LetMessagesRun();
  clock_.Sleep(kAfterBlock);
  view_.progressBar = 0;
  view_.bytesSent = 0;
  blockNumber_ = kFirstBlockNumber;
  SetState(DownloadState::Transferring);
}

void DownloadSession::StepBlock() {
  // The block goes into the data window byte for byte in memory order: register 3910 + k
  // holds byte 2k low and 2k + 1 high. A short last block replaces only its own bytes;
  // the rest of the window keeps the previous block.
  const std::size_t start = view_.bytesSent;
  const std::size_t length = std::min(kBlockSize, image_.size() - start);
  for (std::size_t i = 0; i < length; ++i) {
    const auto reg = static_cast<std::uint16_t>(kRegDataWindow + i / 2);
    if (i % 2 == 0) {
      mirror_.SetLowByte(reg, image_[start + i]);
    } else {
      mirror_.SetHighByte(reg, image_[start + i]);
    }
  }
  auto fail = [this] {
    driver_.ClosePort();
    view_.progressBar = 0;
    view_.state = DownloadState::TransferFailed;
    SetLabel(download_label::kTransferFailed);
    LetMessagesRun();
  };
  for (int w = 0; w < kWindowFullWrites; ++w) {
    if (!WriteRegisters(static_cast<std::uint16_t>(kRegDataWindow + w * kWindowWriteRegisters),
                        kWindowWriteRegisters))
      return fail();
  }
  if (!WriteRegisters(kRegDataWindow + kWindowFullWrites * kWindowWriteRegisters,
                      kWindowLastWriteRegisters))
    return fail();

  const std::size_t sent = start + length;
  const bool last = sent == image_.size();
  const auto percent = static_cast<std::uint16_t>(sent * 100 / image_.size());
  mirror_[kRegKey1] = kKey1;
  mirror_[kRegKey2] = kKey2;
  mirror_[kRegCommand] = kCommandBlock;
  mirror_[kRegBlockNumber] = blockNumber_;
  mirror_[3904] = 0;
  mirror_[kRegLastBlock] = last ? kLastBlockFlag : 0;
  mirror_[3906] = 0;
  mirror_[3907] = 0;
  mirror_[3908] = 0;
  mirror_[kRegPercent] = percent;
  view_.progressBar = percent;
  Notify();
  if (!WriteRegisters(kRegKey1, kHeaderRegisters)) return fail();

  if (!AwaitAcknowledgement()) unacknowledged_.push_back(blockNumber_);
  view_.blockNumber = blockNumber_;
  ++view_.blocksSent;
  ++blockNumber_;
  view_.bytesSent = sent;
  SetLabel(Both(TransferLabel(sent, image_.size())));
  LetMessagesRun();
  clock_.Sleep(kAfterBlock);

  if (last) {
    SetState(DownloadState::Finishing);
  } else if (cancel_->load()) {
    cancelled_ = true;
    SetState(DownloadState::Finishing);
  }
}

void DownloadSession::StepFinish() {
  view_.progressBar = 0;
  Notify();
  LetMessagesRun();
  driver_.ClosePort();
  clock_.Sleep(kBeforeClose);
  EndTransfer();
}

void DownloadSession::EndTransfer() {
  // Only an image the panel has taken whole is a finished download; the other ends say
  // what the panel holds now.
  if (cancelled_) {
    view_.state = DownloadState::Cancelled;
    SetLabel(DownloadCancelledText(view_.blocksSent, BlockCount(image_.size())));
  } else if (!unacknowledged_.empty()) {
    view_.state = DownloadState::Unconfirmed;
    SetLabel(UnacknowledgedBlocksWarning(unacknowledged_, BlockCount(image_.size())));
  } else {
    SetState(DownloadState::Finished);
  }
}

bool DownloadSession::WriteRegisters(std::uint16_t start, std::uint8_t count) {
  const Bytes frame = WriteRegistersFrame(mirror_, start, count);
  const Micros allowance = driver_.ReplyAllowance(frame.size(), kWriteReplyLength);
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    (void)driver_.WriteBytes(frame);
    driver_.RxCount = 0;
    (void)AwaitReply(
        clock_.Now() + kWriteReplyWindow + allowance, kWriteReplyPause,
        [this] { driver_.PollInput(); }, [this] { return driver_.RxCount >= kWriteReplyLength; });
    if (IsWriteEcho(std::span(driver_.RxBuffer.data(), driver_.RxCount), frame)) return true;
    // No pause after the last attempt: nothing follows that would need it.
    if (attempt + 1 < kWriteAttempts) clock_.Sleep(kWriteRetryWait);
  }
  return false;
}

bool DownloadSession::AwaitAcknowledgement() {
  mirror_[kRegKey1] = kAckPending;
  const Bytes request = ReadRegistersFrame(kRegKey1, kAckRegisters);
  const Micros allowance = driver_.ReplyAllowance(kReadRequestLength, kAckReplyLength);
  for (int read = 0; read < kAckReads && mirror_[kRegKey1] != 0; ++read) {
    clock_.Sleep(kAckBeforeRead);
    (void)driver_.WriteBytes(request);
    driver_.RxCount = 0;
    bool taken = false;
    (void)AwaitReply(
        clock_.Now() + kAckReplyWindow + allowance, kAckReplyPause, [this] { LetMessagesRun(); },
        [&] {
          // Taking the reply copies the registers into the mirror; once is enough.
          if (!taken)
            taken = TakeReadReply(std::span(driver_.RxBuffer.data(), driver_.RxCount), kRegKey1,
                                  kAckRegisters, mirror_);
          return taken;
        });
    clock_.Sleep(kAckReplyPause);
  }
  return mirror_[kRegKey1] == 0;
}

bool DownloadSession::AwaitReply(Micros deadline, Micros pause, const std::function<void()>& poll,
                                 const std::function<bool()>& done) {
  while (!done()) {
    const Micros now = clock_.Now();
    if (now >= deadline) return false;
    clock_.Sleep(std::min(pause, deadline - now));
    poll();
  }
  return true;
}

void DownloadSession::SetLabel(Bilingual label) {
  view_.label = std::move(label);
  Notify();
}

void DownloadSession::SetState(DownloadState state) {
  view_.state = state;
  Notify();
}

void DownloadSession::Notify() {
  if (progress_) progress_(view_);
}

}  // namespace dravik::comm
