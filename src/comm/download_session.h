#pragma once
// Sending the compiled device image to the panel: find the panel with up to 32 serial
// settings, synchronise at 115,200 baud, write the image block by block into the panel's
// data window through Modbus RTU and wait for the panel to take each block.
//
// The session is a state machine of named steps over a TVorCommDriver and a Clock. It
// never prints; whoever runs it gets the dialog's label and progress through a callback
// and a typed outcome at the end. It can run on any thread; Cancel() may be called from
// another one.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "comm/clock.h"
#include "comm/register_mirror.h"
#include "comm/vor_comm_driver.h"
#include "compiler/image_layout.h"
#include "platform/bilingual.h"

namespace dravik::comm {

// Register layout of the panel's download window.
inline constexpr std::uint16_t kRegKey1 = 3900;     // 0x5555 sent; 0 from the panel = block taken
inline constexpr std::uint16_t kRegKey2 = 3901;     // 0x8765
inline constexpr std::uint16_t kRegCommand = 3902;  // kCommandSync / kCommandBlock
inline constexpr std::uint16_t kRegBlockNumber = 3903;  // 51 for the first block
inline constexpr std::uint16_t kRegLastBlock = 3905;    // kLastBlockFlag on the last block
inline constexpr std::uint16_t kRegPercent = 3909;      // bytes sent * 100 div image size
inline constexpr std::uint16_t kRegDataWindow = 3910;   // 1,024 registers = 2,048 image bytes
inline constexpr std::uint16_t kHeaderRegisters = 10;
inline constexpr std::uint16_t kDataWindowRegisters = 1024;

inline constexpr std::uint16_t kKey1 = 0x5555;
inline constexpr std::uint16_t kKey2 = 0x8765;
inline constexpr std::uint16_t kCommandSync = 0xE916;   // start of a download
inline constexpr std::uint16_t kCommandBlock = 0xAAAA;  // data block ready
inline constexpr std::uint16_t kLastBlockFlag = 8888;
inline constexpr std::uint16_t kAckPending = 0xFFFF;  // our mark until the panel answers 0
inline constexpr std::uint16_t kFirstBlockNumber = 51;

inline constexpr std::size_t kBlockSize = 2048;
// The panel holds at most 150 KB of screens.
inline constexpr std::size_t kMaxImageSize = compiler::kMaxImageSize;

// Fixed texts of the download dialog and its port message box.
namespace download_text {
inline constexpr const char* kCaption = "下载画面数据";
inline constexpr const char* kCancelButton = "取  消 (&N)";
inline constexpr const char* kReadyInitial = "就绪...";
inline constexpr const char* kPortBusyCaption = "Dravik";
inline constexpr const char* kPortBusyMessage =
    "当前串口号已经被占用，或其它错误 ！\r请选择其它串口，或检查串口设置是否正确。";
}  // namespace download_text

// The labels the download writes as it goes. The dialog shows the Chinese text in either
// interface language, as the panel's tools always have; the command line shows the text of
// its language.
namespace download_label {
inline const Bilingual kReady{"就绪", "Ready"};
inline const Bilingual kPortOpenFailed{"打开串口失败!", "The serial port did not open!"};
inline const Bilingual kSearching{"搜索设备", "Searching for the panel"};
inline const Bilingual kSearchFailed{"搜索失败！", "Search failed! No panel answered."};
inline const Bilingual kSyncFailed{"同步失败！", "Synchronisation failed!"};
inline const Bilingual kSyncSucceeded{"同步成功！", "Synchronised!"};
inline const Bilingual kTransferFailed{"下载异常！", "The download failed!"};
}  // namespace download_label

// "%d.%dKB / %d.%dKB" with the bytes sent and the image size, each as KB and (bytes mod
// 1024) div 100 (which can have two digits: 1,023 bytes read "0.10KB").
std::string TransferLabel(std::size_t bytesSent, std::size_t imageSize);

// Messages of the Download command before the dialog (by interface language).
Bilingual InitialPageMissingText(int pageNumber);
Bilingual SaveNewProjectFirstText();
Bilingual CompileFailedText();
Bilingual CompileSucceededText();
// The warning for blocks (by their numbers in the protocol, 51 for the first) the panel
// never reported as taken, of an image sent in `blockCount` blocks (the transfer went on).
Bilingual UnacknowledgedBlocksWarning(const std::vector<int>& blockNumbers, int blockCount);
// A download cancelled after `blocksSent` of the image's `blockCount` blocks: the panel
// now holds part of an image.
Bilingual DownloadCancelledText(int blocksSent, int blockCount);
// A download cancelled while it searched for the panel: nothing was sent.
Bilingual SearchCancelledText();
// The number of blocks an image of `imageSize` bytes is sent in.
int BlockCount(std::size_t imageSize);

enum class DownloadState {
  Ready,           // nothing done yet; the next step opens the port
  Searching,       // probing profile after profile
  Synchronising,   // found; the next step synchronises at 115,200 baud
  Transferring,    // the next step sends one block
  Finishing,       // everything sent (or cancelled between blocks); the next step closes
  Finished,        // done, every block taken; the dialog closes by itself
  Cancelled,       // cancelled between blocks: the panel holds part of the image
  Unconfirmed,     // everything sent, but the panel did not report every block taken
  PortOpenFailed,  // the port did not open
  SearchFailed,    // no profile brought the signature (or Cancel during the search)
  SyncFailed,      // the synchronise write failed six times
  TransferFailed,  // a block or header write failed six times
  ImageRefused,    // empty, or larger than the panel holds
};

bool IsFinal(DownloadState state);

// What a dialog shows, handed over at every change.
struct DownloadProgress {
  DownloadState state = DownloadState::Ready;
  Bilingual label;
  int progressBar = 0;  // 0 ... 100
  int profile = -1;     // profile being probed, or the one that found the panel
  int blockNumber = 0;  // number of the block last sent (0 before the first)
  int blocksSent = 0;   // how many blocks have been sent
  std::size_t bytesSent = 0;
  std::size_t imageSize = 0;
};
using DownloadProgressFn = std::function<void(const DownloadProgress&)>;

enum class DownloadEnd {
  Finished,     // the whole image was sent and the panel took every block
  Unconfirmed,  // the whole image was sent, but the panel did not confirm some blocks
  Cancelled,    // Cancel during the search or between blocks
  PortOpenFailed,
  SearchFailed,
  SyncFailed,
  TransferFailed,
  ImageRefused,
};

struct DownloadOutcome {
  DownloadEnd end = DownloadEnd::Finished;
  Bilingual label;  // the dialog's last label
  // What an end that leaves the panel with incomplete screens means (cancelled between
  // blocks, blocks not confirmed), to be shown in the interface language.
  std::optional<Bilingual> notice;
  int foundProfile = -1;  // profile that found the panel
  std::size_t bytesSent = 0;
  std::vector<int> unacknowledgedBlocks;   // blocks the panel never answered 0 for
  std::optional<PortOpenError> portError;  // why the port did not open
  std::optional<Bilingual> message;        // a message box to show, if any
  bool ok() const { return end == DownloadEnd::Finished; }
};

class DownloadSession {
 public:
  // `image` is copied. `port` is the COM position the driver opens. `cancelFlag`, when
  // given, is the flag the caller's Cancel button sets; otherwise the session owns one.
  DownloadSession(TVorCommDriver& driver, Clock& clock, RegisterMirror& mirror,
                  std::span<const std::uint8_t> image, TComPortNumber port,
                  DownloadProgressFn progress = {}, std::atomic<bool>* cancelFlag = nullptr);

  // Runs the next step and returns the state after it.
  DownloadState Step();
  // Steps until a final state and returns the outcome.
  DownloadOutcome Run();

  DownloadState State() const { return view_.state; }
  const DownloadProgress& Progress() const { return view_; }
  DownloadOutcome Outcome() const;

  // Cancel takes effect between probes and between blocks.
  void Cancel() { cancel_->store(true); }
  bool CancelSet() const { return cancel_->load(); }

 private:
  bool OpenWithProfile(int profile);
  void StepOpen();
  void StepProbe();
  void StepSynchronise();
  void StepBlock();
  void StepFinish();

  bool WriteRegisters(std::uint16_t start, std::uint8_t count);
  bool AwaitAcknowledgement();
  // Pauses of at most `pause` until `done` holds or `deadline` has passed, running `poll`
  // after each pause; whether `done` held.
  bool AwaitReply(Micros deadline, Micros pause, const std::function<void()>& poll,
                  const std::function<bool()>& done);
  void LetMessagesRun() { clock_.Pump(); }
  void EndTransfer();
  void SetLabel(Bilingual label);
  void SetState(DownloadState state);
  void Notify();

  TVorCommDriver& driver_;
  Clock& clock_;
  RegisterMirror& mirror_;
  std::vector<std::uint8_t> image_;
  TComPortNumber port_;
  DownloadProgressFn progress_;
  std::atomic<bool> ownCancel_{false};
  std::atomic<bool>* cancel_;

  DownloadProgress view_;
  int probe_ = 0;
  int foundProfile_ = -1;
  std::uint16_t blockNumber_ = kFirstBlockNumber;
  bool cancelled_ = false;
  std::vector<int> unacknowledged_;
  std::optional<PortOpenError> portError_;
  std::optional<Bilingual> message_;
};

}  // namespace dravik::comm
