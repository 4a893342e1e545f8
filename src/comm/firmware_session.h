#pragma once
// Replacing the panel's firmware through the STM32's built-in USART boot loader
// (AN3155): connect, read the boot loader's version and the chip, erase the pages the
// image needs, write the image in 256-byte cycles. The panel is put into boot mode by a
// jumper beforehand.
//
// A state machine driven by two timers, as the dialog runs it: a 3 ms protocol step that
// acts once a state's reply is complete, and a 1,000 ms time-out that gives up on a
// silent boot loader and starts a new attempt (three at most). It never prints; labels
// and progress go to a callback. The firmware image is whatever file the caller names:
// this code only carries it to the flash.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "comm/clock.h"
#include "comm/vor_comm_driver.h"
#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::comm {

// AN3155 bytes.
inline constexpr std::uint8_t kBootSync =
    0x7F;  // first byte: the boot loader measures the baud rate
inline constexpr std::uint8_t kBootAck = 0x79;
inline constexpr std::uint8_t kBootNack = 0x1F;
inline constexpr std::uint8_t kBootCmdGet = 0x00;    // version and supported commands
inline constexpr std::uint8_t kBootCmdGetId = 0x02;  // product id
inline constexpr std::uint8_t kBootCmdReadMemory = 0x11;
inline constexpr std::uint8_t kBootCmdWriteMemory = 0x31;
inline constexpr std::uint8_t kBootCmdErase = 0x43;
inline constexpr std::uint32_t kFlashBase = 0x08000000;
inline constexpr std::uint32_t kFlashSizeRegister = 0x1FFFF7E0;  // read before erasing
inline constexpr std::size_t kWriteCycleBytes = 256;
inline constexpr std::size_t kFlashPageBytes = 1024;
// The erase list names each 1 KB page in one byte.
inline constexpr std::size_t kMaxFirmwareSize = 256 * kFlashPageBytes - 1;
// Where an STM32 application's stack may start: the top of the SRAM, which begins at
// 0x20000000 and is at most 128 KB on the controllers the panels use.
inline constexpr std::uint32_t kSramBase = 0x20000000;
inline constexpr std::uint32_t kSramMaxSize = 128 * 1024;

// The states are named after the reply they wait for; their numbers are the dialog's.
enum class FirmwareState : int {
  Sync = 1,          // 0x7F sent; waits for ACK
  GetCommands = 2,   // Get sent; waits for version and command list
  GetId = 3,         // Get ID sent
  ReadMemory = 4,    // Read Memory sent
  ReadAddress = 5,   // its address sent
  ReadData = 6,      // its length sent; waits for ACK and 4 bytes
  Erase = 7,         // Erase sent
  WriteMemory = 8,   // erase list or a data block sent; Write Memory follows
  WriteAddress = 9,  // Write Memory sent; the address follows
  WriteData = 10,    // address sent; a data block follows
  Done = 11,         // the last data block sent
};

// The smallest reply each state acts on.
int MinimumReplyLength(FirmwareState state);

// The erase list for an image of `imageSize` bytes: P - 1, pages 0 ... P - 1, XOR, with
// P = size div 1024 + 1.
std::vector<std::uint8_t> EraseList(std::size_t imageSize);

// Fixed texts of the firmware dialog.
namespace firmware_text {
inline constexpr const char* kCaption = "固件更新 V3.73";
inline constexpr const char* kStartButton = "开始更新";
inline constexpr const char* kReady = "就绪...";
inline constexpr const char* kNoteLines[] = {
    "更新注意事项",
    "1.打开产品外壳，短接PCB上面的JP排针",
    "2.选择对应的通信端口，点\"开始下载\"",
    "3.下载完毕,记得断开JP排针，否则使用",
    "   过程中可能会出现不必要的麻烦.",
};
inline constexpr const char* kPortErrorCaption = "串口错误";
}  // namespace firmware_text

// The labels the upgrade writes as it goes. The dialog shows the Chinese text in either
// interface language, as the panel's tools always have; the command line shows the text of
// its language.
namespace firmware_label {
inline const Bilingual kReady{firmware_text::kReady, "Ready..."};
inline const Bilingual kLookingForDevice{"正在查找设备。。。", "Looking for the boot loader..."};
inline const Bilingual kConnected{"已成功连接", "Connected"};
inline const Bilingual kNoResponse{"无法和设备通讯，请重新尝试",
                                   "The device does not answer as expected; trying again"};
inline const Bilingual kErasing{"正在擦除。。。", "Erasing..."};
inline const Bilingual kDone{"上载完成！", "Firmware written!"};
inline const Bilingual kConnectFailed{"连机失败！请检查通信线。",
                                      "Connection failed! Please check the cable."};
}  // namespace firmware_label

// "写进度: 40%".
Bilingual WriteProgressLabel(int percent);

// The message box text when COM<portNumber> does not open (portNumber 1 ... 8).
std::string FirmwarePortErrorMessage(int portNumber);

// Why three attempts found no boot loader, and what to do: the panel answers the boot
// loader's protocol only when it was started in its firmware-upgrade mode.
Bilingual BootLoaderNotFoundMessage();
// An upgrade stopped on request.
Bilingual FirmwareCancelledText();

struct FirmwareProgress {
  FirmwareState state = FirmwareState::Sync;
  Bilingual label = firmware_label::kReady;
  int progressBar = 0;  // 0 ... 100
  std::string hint;     // the progress bar's hint: "Boot:x.y" once known
  int attempt = 0;      // 1 ... 3
  std::size_t bytesWritten = 0;
  std::size_t imageSize = 0;
};
using FirmwareProgressFn = std::function<void(const FirmwareProgress&)>;

enum class FirmwareEnd {
  Succeeded,
  ConnectFailed,  // three attempts without an acceptable reply
  PortOpenFailed,
  ImageRefused,  // empty, or too large for a one-byte erase list
  Cancelled,
};

struct FirmwareOutcome {
  FirmwareEnd end = FirmwareEnd::Succeeded;
  Bilingual label;
  int attempts = 0;
  std::string bootVersion;  // "Boot:x.y"
  std::optional<PortOpenError> portError;
  std::optional<Bilingual> message;  // a message box to show, if any
  bool ok() const { return end == FirmwareEnd::Succeeded; }
};

class FirmwareSession {
 public:
  FirmwareSession(TVorCommDriver& driver, Clock& clock, std::span<const std::uint8_t> image,
                  TComPortNumber port, FirmwareProgressFn progress = {},
                  std::atomic<bool>* cancelFlag = nullptr);

  // The start button: a fresh set of three attempts.
  void Start();
  // Waits for the next timer, handles it and returns whether the upgrade is still running.
  bool Step();
  // Start, then Step until the upgrade has ended.
  FirmwareOutcome Run();

  bool Active() const { return protocolTimer_.running || timeoutTimer_.running; }
  FirmwareState State() const { return view_.state; }
  const FirmwareProgress& Progress() const { return view_; }
  FirmwareOutcome Outcome() const { return outcome_; }
  void Cancel() { cancel_->store(true); }

 private:
  struct Timer {
    bool running = false;
    Micros period{};
    Micros due{};
  };
  void StartTimer(Timer& timer);
  bool Due(Timer& timer, Micros now);

  void Connect();  // STM_ISP
  void OnProtocolTimer();
  void OnTimeoutTimer();
  void Act(std::span<const std::uint8_t> reply);
  void SendEraseList();
  void SendDataBlock();
  void Finish();
  void StopTimers();
  void ClosePortIfOurs();

  void Send(std::span<const std::uint8_t> bytes);
  void Send(std::initializer_list<std::uint8_t> bytes);
  void AllowForTheWire();
  void SetLabel(Bilingual label);
  void Notify();

  TVorCommDriver& driver_;
  Clock& clock_;
  std::vector<std::uint8_t> image_;
  TComPortNumber port_;
  FirmwareProgressFn progress_;
  std::atomic<bool> ownCancel_{false};
  std::atomic<bool>* cancel_;

  FirmwareProgress view_;
  FirmwareOutcome outcome_;
  Timer protocolTimer_{false, Millis(3), {}};
  Timer timeoutTimer_{false, Millis(1000), {}};
  int timeoutCounter_ = 0;
  int retryCounter_ = 0;
  bool portOpened_ = false;
  std::uint32_t targetAddress_ = kFlashBase;
  std::size_t offset_ = 0;
  std::size_t remaining_ = 0;
  std::size_t bytesSentInStep_ = 0;  // what this step put on the line
};

// A firmware file fit to send: 1 byte to kMaxFirmwareSize.
Result<std::vector<std::uint8_t>> LoadFirmwareImage(const std::filesystem::path& file);
Status CheckFirmwareImage(std::span<const std::uint8_t> image);

// Whether `image` looks like an application for the panel's STM32: its vector table's
// initial stack pointer lies in the SRAM and its reset vector is a Thumb address (odd)
// inside the image as it lands in flash. A device image, a bitmap or any other file fails
// this; flashing one would leave the panel without working firmware.
Status CheckFirmwareVectorTable(std::span<const std::uint8_t> image);

// The firmware installed with the program: the one ".bin" file in <ProgramDir>/firmware/.
// None when there is none, or several to choose from (the caller then asks for a file).
std::optional<std::filesystem::path> FindInstalledFirmware();

}  // namespace dravik::comm
