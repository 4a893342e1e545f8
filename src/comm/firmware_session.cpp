#include "comm/firmware_session.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::comm {
namespace {

constexpr std::size_t kReplyBufferSize = 264;
constexpr int kTimeoutLimit = 6;      // seconds counted until an attempt is given up
constexpr int kTimeoutOnConnect = 2;  // so the first sync has about four seconds
constexpr int kAttempts = 3;
constexpr auto kResetHalf = Millis(500);
constexpr auto kFinishDtrWait = Millis(50);

std::uint8_t Xor(std::span<const std::uint8_t> bytes, std::uint8_t start = 0) {
  for (std::uint8_t b : bytes) start ^= b;
  return start;
}

bool Ack(std::span<const std::uint8_t> reply) {
  return !reply.empty() && reply[0] == kBootAck;
}

}  // namespace

int MinimumReplyLength(FirmwareState state) {
  switch (state) {
    case FirmwareState::GetCommands:
      return 15;  // ACK, N = 11, version, 11 commands, ACK
    case FirmwareState::GetId:
      return 5;  // ACK, N = 1, two id bytes, ACK
    case FirmwareState::ReadData:
      return 5;  // ACK and the four bytes read
    default:
      return 1;
  }
}

std::vector<std::uint8_t> EraseList(std::size_t imageSize) {
  const std::size_t pages = imageSize / kFlashPageBytes + 1;
  std::vector<std::uint8_t> list;
  list.reserve(pages + 2);
  list.push_back(static_cast<std::uint8_t>(pages - 1));
  for (std::size_t page = 0; page < pages; ++page) list.push_back(static_cast<std::uint8_t>(page));
  list.push_back(Xor(list));
  return list;
}

Bilingual WriteProgressLabel(int percent) {
  const std::string p = std::to_string(percent) + "%";
  return {"写进度: " + p, "Writing: " + p};
}

Bilingual BootLoaderNotFoundMessage() {
  return {
      "连机失败！请检查通信线。\r面板必须以固件升级（引导装载）模式启动：断电，短接 PCB 上的 JP "
      "排针，再上电，然后重新开始更新。",
      "Connection failed! Please check the cable.\rThe panel must be started in its "
      "firmware-upgrade (boot-loader) mode: power it off, fit the JP jumper on its board, "
      "power it on again, then start the upgrade again."};
}

Bilingual FirmwareCancelledText() {
  return {"固件更新已取消。如果已经开始擦除，面板中的固件不完整，需要重新更新后才能使用。",
          "The firmware upgrade was cancelled. If erasing had begun, the panel's firmware is "
          "incomplete until it is upgraded again."};
}

std::string FirmwarePortErrorMessage(int portNumber) {
  return "当前串口号 COM" + std::to_string(portNumber) + " 已经被占用，或其它错误 ！" + "\r" +
         "请选择其它串口，或检查串口设置是否正确。";
}

FirmwareSession::FirmwareSession(TVorCommDriver& driver, Clock& clock,
                                 std::span<const std::uint8_t> image, TComPortNumber port,
                                 FirmwareProgressFn progress, std::atomic<bool>* cancelFlag)
    : driver_(driver),
      clock_(clock),
      image_(image.begin(), image.end()),
      port_(port),
      progress_(std::move(progress)),
      cancel_(cancelFlag != nullptr ? cancelFlag : &ownCancel_) {}

void FirmwareSession::Start() {
  outcome_ = FirmwareOutcome{};
  if (Status status = CheckFirmwareImage(image_); !status) {
    outcome_.end = FirmwareEnd::ImageRefused;
    outcome_.message = status.error().Text();
    outcome_.label = view_.label;
    return;
  }
  view_.imageSize = image_.size();
  retryCounter_ = 0;
  Connect();
}

FirmwareOutcome FirmwareSession::Run() {
  Start();
  while (Step()) {
  }
  return outcome_;
}

void FirmwareSession::StartTimer(Timer& timer) {
  timer.running = true;
  timer.due = clock_.Now() + timer.period;
}

bool FirmwareSession::Due(Timer& timer, Micros now) {
  if (!timer.running || timer.due > now) return false;
  // A late timer fires once and does not catch up.
  timer.due += timer.period;
  if (timer.due <= now) timer.due = now + timer.period;
  return true;
}

bool FirmwareSession::Step() {
  if (!Active()) return false;
  if (cancel_->load()) {
    StopTimers();
    ClosePortIfOurs();
    outcome_.end = FirmwareEnd::Cancelled;
    outcome_.label = view_.label;
    return false;
  }
  Micros next = Micros::max();
  if (protocolTimer_.running) next = std::min(next, protocolTimer_.due);
  if (timeoutTimer_.running) next = std::min(next, timeoutTimer_.due);
  clock_.SleepUntil(next);
  // The receive poll runs before the timers look at what arrived.
  clock_.Pump();
  const Micros now = clock_.Now();
  if (Due(protocolTimer_, now)) OnProtocolTimer();
  if (Due(timeoutTimer_, now)) OnTimeoutTimer();
  return Active();
}

void FirmwareSession::Connect() {
  driver_.SetComPort(port_);
  driver_.SetLineSettings(TComPortBaudRate::br115200, TComPortDataBits::db8BITS,
                          TComPortParity::ptEVEN, TComPortStopBits::sb1BITS);
  driver_.RxCount = 0;
  view_.attempt = retryCounter_ + 1;
  view_.bytesWritten = 0;  // a new attempt writes from the start
  outcome_.attempts = view_.attempt;
  if (!driver_.OpenPort()) {
    timeoutTimer_.running = false;
    outcome_.end = FirmwareEnd::PortOpenFailed;
    outcome_.portError = driver_.LastOpenError();
    outcome_.message = Both(FirmwarePortErrorMessage(static_cast<int>(port_) + 1));
    outcome_.label = view_.label;
    return;
  }
  portOpened_ = true;
  // Reset sequence for boards that wire DTR and RTS to the controller's reset and boot pins.
  driver_.SetDtr(true);
  driver_.SetRts(true);
  clock_.Sleep(kResetHalf);
  driver_.SetDtr(false);
  clock_.Sleep(kResetHalf);

  view_.state = FirmwareState::Sync;
  Send({kBootSync});
  driver_.RxCount = 0;
  SetLabel(firmware_label::kLookingForDevice);
  timeoutCounter_ = kTimeoutOnConnect;
  StartTimer(timeoutTimer_);
  StartTimer(protocolTimer_);
  AllowForTheWire();
}

void FirmwareSession::OnProtocolTimer() {
  if (driver_.RxCount < MinimumReplyLength(view_.state)) return;
  std::array<std::uint8_t, kReplyBufferSize> reply{};
  const std::size_t length = std::min<std::size_t>(driver_.RxCount, kReplyBufferSize);
  std::copy_n(driver_.RxBuffer.begin(), length, reply.begin());
  driver_.RxCount = 0;
  Act(std::span(reply.data(), length));
  AllowForTheWire();
}

void FirmwareSession::AllowForTheWire() {
  // The time-out counts whole seconds from the previous step; it also allows the time the
  // request just sent and its reply spend on the wire and in the adapter.
  if (timeoutTimer_.running && bytesSentInStep_ > 0) {
    timeoutTimer_.due += driver_.ReplyAllowance(
        bytesSentInStep_, static_cast<std::size_t>(MinimumReplyLength(view_.state)));
  }
  bytesSentInStep_ = 0;
}

void FirmwareSession::Act(std::span<const std::uint8_t> reply) {
  // A reply that does not fit leaves the state as it is; the time-out settles it.
  switch (view_.state) {
    case FirmwareState::Sync:
      if (reply.back() == kBootAck) {
        Send({kBootCmdGet, 0xFF});
        view_.state = FirmwareState::GetCommands;
        timeoutCounter_ = 0;
        SetLabel(firmware_label::kConnected);
      } else {
        SetLabel(firmware_label::kNoResponse);
      }
      break;
    case FirmwareState::GetCommands:
      if (reply[0] == kBootAck && reply[1] == 0x0B && reply[3] == kBootCmdGet &&
          reply[14] == kBootAck) {
        Send({kBootCmdGetId, 0xFD});
        view_.state = FirmwareState::GetId;
        timeoutCounter_ = 0;
        view_.hint = "Boot:" + std::to_string(reply[2] >> 4) + "." + std::to_string(reply[2] & 15);
        outcome_.bootVersion = view_.hint;
        SetLabel(Both(view_.hint));
      }
      break;
    case FirmwareState::GetId:
      if (reply[0] == kBootAck && reply[1] == 0x01 && reply[4] == kBootAck) {
        Send({kBootCmdReadMemory, 0xEE});
        view_.state = FirmwareState::ReadMemory;
        timeoutCounter_ = 0;
      }
      break;
    case FirmwareState::ReadMemory:
      if (Ack(reply)) {
        Send({0x1F, 0xFF, 0xF7, 0xE0, 0xF7});  // kFlashSizeRegister and its XOR
        view_.state = FirmwareState::ReadAddress;
        timeoutCounter_ = 0;
      }
      break;
    case FirmwareState::ReadAddress:
      if (Ack(reply)) {
        Send({0x03, 0xFC});  // four bytes
        view_.state = FirmwareState::ReadData;
        timeoutCounter_ = 0;
      }
      break;
    case FirmwareState::ReadData:
      if (Ack(reply)) {
        Send({kBootCmdErase, 0xBC});
        view_.state = FirmwareState::Erase;
        timeoutCounter_ = 0;
      }
      break;
    case FirmwareState::Erase:
      if (Ack(reply)) {
        SendEraseList();
        view_.state = FirmwareState::WriteMemory;
        timeoutCounter_ = 0;
        SetLabel(firmware_label::kErasing);
      }
      break;
    case FirmwareState::WriteMemory:
      if (Ack(reply)) {
        Send({kBootCmdWriteMemory, 0xCE});
        view_.state = FirmwareState::WriteAddress;
        timeoutCounter_ = 0;
      }
      break;
    case FirmwareState::WriteAddress:
      if (Ack(reply)) {
        const std::array<std::uint8_t, 4> address = {
            static_cast<std::uint8_t>(targetAddress_ >> 24),
            static_cast<std::uint8_t>(targetAddress_ >> 16),
            static_cast<std::uint8_t>(targetAddress_ >> 8),
            static_cast<std::uint8_t>(targetAddress_)};
        std::array<std::uint8_t, 5> frame{};
        std::copy(address.begin(), address.end(), frame.begin());
        frame[4] = Xor(address);
        Send(frame);
        view_.state = FirmwareState::WriteData;
      }
      break;
    case FirmwareState::WriteData:
      if (Ack(reply)) {
        SendDataBlock();
        view_.state = remaining_ > 0 ? FirmwareState::WriteMemory : FirmwareState::Done;
        Notify();
      }
      break;
    case FirmwareState::Done:
      if (Ack(reply)) Finish();
      break;
  }
}

void FirmwareSession::SendEraseList() {
  protocolTimer_.running = false;
  targetAddress_ = kFlashBase;
  offset_ = 0;
  remaining_ = image_.size();
  Send(EraseList(image_.size()));
  StartTimer(protocolTimer_);
}

void FirmwareSession::SendDataBlock() {
  const std::size_t n = std::min(remaining_, kWriteCycleBytes);
  // Flash is written in 32-bit words; a short last block is filled up with the erased
  // value so the boot loader takes it.
  const std::size_t padded = (n + 3) / 4 * 4;
  std::vector<std::uint8_t> data(image_.begin() + static_cast<std::ptrdiff_t>(offset_),
                                 image_.begin() + static_cast<std::ptrdiff_t>(offset_ + n));
  data.resize(padded, 0xFF);
  const auto count = static_cast<std::uint8_t>(padded - 1);
  Send({count});
  Send(data);
  Send({Xor(data, count)});
  remaining_ -= n;
  targetAddress_ += static_cast<std::uint32_t>(padded);
  offset_ += n;
  view_.bytesWritten = offset_;
  view_.progressBar = static_cast<int>(offset_ * 100 / image_.size());
  SetLabel(WriteProgressLabel(view_.progressBar));
}

void FirmwareSession::Finish() {
  view_.state = FirmwareState::Sync;
  view_.progressBar = 0;
  SetLabel(firmware_label::kDone);
  StopTimers();
  driver_.SetDtr(true);
  clock_.Sleep(kFinishDtrWait);
  driver_.SetRts(false);
  ClosePortIfOurs();
  outcome_.end = FirmwareEnd::Succeeded;
  outcome_.label = view_.label;
}

void FirmwareSession::OnTimeoutTimer() {
  ++timeoutCounter_;
  if (timeoutCounter_ < kTimeoutLimit) return;
  view_.state = FirmwareState::Sync;
  view_.progressBar = 0;
  SetLabel(firmware_label::kConnectFailed);
  StopTimers();
  ClosePortIfOurs();
  outcome_.end = FirmwareEnd::ConnectFailed;
  outcome_.label = view_.label;
  ++retryCounter_;
  if (retryCounter_ < kAttempts) {
    Connect();
  } else {
    outcome_.message = BootLoaderNotFoundMessage();
  }
}

void FirmwareSession::StopTimers() {
  protocolTimer_.running = false;
  timeoutTimer_.running = false;
}

void FirmwareSession::ClosePortIfOurs() {
  if (portOpened_) driver_.ClosePort();
  portOpened_ = false;
}

void FirmwareSession::Send(std::span<const std::uint8_t> bytes) {
  (void)driver_.WriteBytes(bytes);
  bytesSentInStep_ += bytes.size();
}

void FirmwareSession::Send(std::initializer_list<std::uint8_t> bytes) {
  Send(std::span(bytes.begin(), bytes.size()));
}

void FirmwareSession::SetLabel(Bilingual label) {
  view_.label = std::move(label);
  Notify();
}

void FirmwareSession::Notify() {
  if (progress_) progress_(view_);
}

namespace {

Error FirmwareTooLarge(const std::string& what, std::uintmax_t size) {
  const std::string n = std::to_string(size);
  const std::string file = what.empty() ? "" : " " + what;
  return Error{Bilingual{
      "固件映像" + file + " 有 " + n + " 字节，引导装载程序的擦除列表最多只能覆盖 262143 字节。",
      "The firmware image" + file + " has " + n +
          " bytes; the boot loader's erase list reaches 262,143 bytes at most."}};
}

std::uint32_t U32le(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

Status CheckFirmwareImage(std::span<const std::uint8_t> image) {
  if (image.empty()) return Error{Bilingual{"固件映像是空的。", "The firmware image is empty."}};
  if (image.size() > kMaxFirmwareSize) return FirmwareTooLarge({}, image.size());
  return {};
}

Status CheckFirmwareVectorTable(std::span<const std::uint8_t> image) {
  // Cortex-M: word 0 of the vector table is the initial stack pointer, word 1 the reset
  // handler's address with bit 0 set (Thumb code).
  constexpr std::size_t kVectorWords = 2;
  if (image.size() >= 4 * kVectorWords) {
    const std::uint32_t stack = U32le(image, 0);
    const std::uint32_t reset = U32le(image, 4);
    const bool stackInSram = stack > kSramBase && stack <= kSramBase + kSramMaxSize;
    const std::uint32_t handler = reset & ~1u;
    const bool resetInImage =
        (reset & 1u) != 0 && handler >= kFlashBase && handler - kFlashBase < image.size();
    if (stackInSram && resetInImage) return {};
  }
  return Error{Bilingual{
      "这个文件不像面板 STM32 的应用程序：其向量表的初始栈指针应在 SRAM（0x20000000 起）内，"
      "复位向量应为奇数并指向从 0x08000000 起的闪存中的本映像。",
      "This file does not look like an application for the panel's STM32: its vector table "
      "should start with a stack pointer inside the SRAM (from 0x20000000) and an odd reset "
      "vector inside the image in flash (from 0x08000000)."}};
}

Result<std::vector<std::uint8_t>> LoadFirmwareImage(const std::filesystem::path& file) {
  Result<platform::Bytes> bytes = platform::ReadFileBytes(
      file, kMaxFirmwareSize,
      [&](std::uintmax_t size) { return FirmwareTooLarge(file.string(), size); });
  if (!bytes) return bytes.error();
  if (Status status = CheckFirmwareImage(*bytes); !status) return status.error();
  return std::move(bytes).value();
}

std::optional<std::filesystem::path> FindInstalledFirmware() {
  std::optional<std::filesystem::path> found;
  for (const std::filesystem::path& file :
       platform::PlainFilesIn(platform::ProgramDir() / "firmware")) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (extension != ".bin") continue;
    if (found) return std::nullopt;  // several: the user chooses
    found = file;
  }
  return found;
}

}  // namespace dravik::comm
