#include "comm/firmware_session.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/serial_port_posix.h"

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
    outcome_.message = Both(status.message());
    outcome_.label = view_.label;
    return;
  }
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
  SetLabel(firmware_text::kLookingForDevice);
  timeoutCounter_ = kTimeoutOnConnect;
  StartTimer(timeoutTimer_);
  StartTimer(protocolTimer_);
}

void FirmwareSession::OnProtocolTimer() {
  if (driver_.RxCount < MinimumReplyLength(view_.state)) return;
  std::array<std::uint8_t, kReplyBufferSize> reply{};
  const std::size_t length = std::min<std::size_t>(driver_.RxCount, kReplyBufferSize);
  std::copy_n(driver_.RxBuffer.begin(), length, reply.begin());
  driver_.RxCount = 0;
  Act(std::span(reply.data(), length));
}

void FirmwareSession::Act(std::span<const std::uint8_t> reply) {
  // A reply that does not fit leaves the state as it is; the time-out settles it.
  switch (view_.state) {
    case FirmwareState::Sync:
      if (reply.back() == kBootAck) {
        Send({kBootCmdGet, 0xFF});
        view_.state = FirmwareState::GetCommands;
        timeoutCounter_ = 0;
        SetLabel(firmware_text::kConnected);
      } else {
        SetLabel(firmware_text::kNoResponse);
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
        SetLabel(view_.hint);
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
        SetLabel(firmware_text::kErasing);
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
  view_.progressBar = static_cast<int>(offset_ * 100 / image_.size());
  SetLabel(firmware_text::kWriteProgress + std::to_string(view_.progressBar) + "%");
}

void FirmwareSession::Finish() {
  view_.state = FirmwareState::Sync;
  view_.progressBar = 0;
  SetLabel(firmware_text::kDone);
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
  SetLabel(firmware_text::kConnectFailed);
  StopTimers();
  ClosePortIfOurs();
  outcome_.end = FirmwareEnd::ConnectFailed;
  outcome_.label = view_.label;
  ++retryCounter_;
  if (retryCounter_ < kAttempts) Connect();
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
}

void FirmwareSession::Send(std::initializer_list<std::uint8_t> bytes) {
  Send(std::span(bytes.begin(), bytes.size()));
}

void FirmwareSession::SetLabel(std::string label) {
  view_.label = std::move(label);
  Notify();
}

void FirmwareSession::Notify() {
  if (progress_) progress_(view_);
}

Status CheckFirmwareImage(std::span<const std::uint8_t> image) {
  if (image.empty()) return Error{"The firmware image is empty."};
  if (image.size() > kMaxFirmwareSize)
    return Error{"The firmware image has " + std::to_string(image.size()) +
                 " bytes; the boot loader's erase list reaches 262,143 bytes at most."};
  return {};
}

Result<std::vector<std::uint8_t>> LoadFirmwareImage(const std::filesystem::path& file) {
  // A wrong file may be huge; look at its size before reading it.
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec && size > kMaxFirmwareSize) {
    return Error{"The firmware image " + file.string() + " has " + std::to_string(size) +
                 " bytes; the boot loader's erase list reaches 262,143 bytes at most."};
  }
  Result<platform::Bytes> bytes = platform::ReadFileBytes(file);
  if (!bytes) return bytes.error();
  if (Status status = CheckFirmwareImage(*bytes); !status) return status.error();
  return std::move(bytes).value();
}

std::optional<std::filesystem::path> FindInstalledFirmware() {
  const std::filesystem::path folder = platform::ProgramDir() / "firmware";
  std::optional<std::filesystem::path> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string extension = it->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (extension != ".bin" || !it->is_regular_file()) continue;
    if (found) return std::nullopt;  // several: the user chooses
    found = it->path();
  }
  return found;
}

FirmwareOutcome UpgradeFirmware(std::span<const std::uint8_t> image, const std::string& device,
                                const FirmwareProgressFn& progress, std::atomic<bool>* cancelFlag) {
  RealClock clock;
  TVorCommDriver driver(std::make_unique<platform::PosixSerialPort>(), clock,
                        ComPortMap::Single(device));
  FirmwareSession session(driver, clock, image, TComPortNumber::pnCOM1, progress, cancelFlag);
  return session.Run();
}

}  // namespace dravik::comm
