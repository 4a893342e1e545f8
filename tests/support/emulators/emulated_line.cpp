#include "emulators/emulated_line.h"

#include <asm/termbits.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace dravik::test {
namespace {

void MakeRaw(int fd) {
  struct termios2 line {};
  if (::ioctl(fd, TCGETS2, &line) != 0) return;
  line.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
  line.c_oflag &= ~OPOST;
  line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  (void)::ioctl(fd, TCSETS2, &line);
}

}  // namespace

EmulatedLine::EmulatedLine(ByteEmulator& emulator, EmulatedLineOptions options)
    : emulator_(emulator), options_(options) {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return;
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    ::close(master);
    return;
  }
  char name[128];
  if (::ptsname_r(master, name, sizeof name) != 0) {
    ::close(master);
    return;
  }
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0 || ::pipe2(wake_, O_CLOEXEC) != 0) {
    ::close(master);
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
    return;
  }
  // Raw from the start: an echoing line would hand the emulator its own replies.
  MakeRaw(slave_);
  master_ = master;
  slavePath_ = name;
  thread_ = std::thread([this] { Loop(); });
}

EmulatedLine::~EmulatedLine() {
  HangUp();
  if (wake_[0] >= 0) ::close(wake_[0]);
  if (wake_[1] >= 0) ::close(wake_[1]);
}

void EmulatedLine::StopThread() {
  if (!thread_.joinable()) return;
  stop_ = true;
  char byte = 1;
  (void)!::write(wake_[1], &byte, 1);
  thread_.join();
}

void EmulatedLine::HangUp() {
  std::lock_guard lock(hangUpMutex_);
  if (master_ < 0) return;
  StopThread();
  ::close(slave_);
  slave_ = -1;
  ::close(master_);
  master_ = -1;
}

LineInfo EmulatedLine::CurrentLine() const {
  LineInfo info;
  struct termios2 line {};
  if (master_ < 0) return info;
  if (::ioctl(master_, TCGETS2, &line) != 0) return info;
  info.baud = line.c_ospeed;
  int data = 8;
  switch (line.c_cflag & CSIZE) {
    case CS5:
      data = 5;
      break;
    case CS6:
      data = 6;
      break;
    case CS7:
      data = 7;
      break;
    default:
      data = 8;
      break;
  }
  const int parity = (line.c_cflag & PARENB) ? 1 : options_.hiddenParityBits;
  info.bitsPerChar = 1 + data + parity + ((line.c_cflag & CSTOPB) ? 2 : 1);
  return info;
}

bool EmulatedLine::WaitConsumed(std::uint64_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(progressMutex_);
  return progress_.wait_for(lock, timeout, [&] { return consumed_.load() >= count; });
}

void EmulatedLine::Loop() {
  std::uint8_t buffer[4096];
  while (!stop_) {
    struct pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    int ready = ::poll(fds, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLIN) == 0) {
      // Nothing to read yet (a hang-up report while the tool has closed its side).
      ::usleep(200);
      continue;
    }
    ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) {
      ::usleep(200);
      continue;
    }
    const LineInfo line = CurrentLine();
    const auto requestEnd = ReceiveOverTheWire(static_cast<std::size_t>(n), line);
    Bytes reply;
    {
      std::lock_guard lock(mutex_);
      reply = emulator_.Receive(std::span(buffer, static_cast<std::size_t>(n)), line);
    }
    SendReply(reply, line, requestEnd);
    {
      std::lock_guard lock(progressMutex_);
      consumed_ += static_cast<std::uint64_t>(n);
    }
    progress_.notify_all();
  }
}

std::chrono::steady_clock::time_point EmulatedLine::ReceiveOverTheWire(std::size_t count,
                                                                       const LineInfo& line) {
  const auto now = std::chrono::steady_clock::now();
  if (!options_.wireTime || line.baud == 0) return now;
  // The pty hands the bytes over at once; on a wire the last of them arrives this late.
  const auto start = std::max(now, wireFreeAt_);
  wireFreeAt_ = start + line.CharacterTime() * static_cast<long>(count);
  std::this_thread::sleep_until(wireFreeAt_);
  return wireFreeAt_;
}

void EmulatedLine::SendReply(const Bytes& reply, const LineInfo& line,
                             std::chrono::steady_clock::time_point requestEnd) {
  if (reply.empty()) return;
  if (options_.replyBytePause.count() > 0) {
    for (std::uint8_t byte : reply) {
      std::this_thread::sleep_for(options_.replyBytePause);
      while (::write(master_, &byte, 1) != 1) {
        if (errno != EINTR && errno != EAGAIN) return;
      }
      ++sent_;
    }
    return;
  }
  if (!options_.wireTime || line.baud == 0) {
    std::size_t done = 0;
    while (done < reply.size()) {
      ssize_t n = ::write(master_, reply.data() + done, reply.size() - done);
      if (n < 0 && errno != EINTR && errno != EAGAIN) return;
      if (n > 0) done += static_cast<std::size_t>(n);
    }
    sent_ += reply.size();
    return;
  }
  // Byte k reaches the far end (k + 1) character times after the request ended.
  const auto charTime = line.CharacterTime();
  for (std::size_t k = 0; k < reply.size(); ++k) {
    std::this_thread::sleep_until(requestEnd + charTime * static_cast<long>(k + 1));
    while (::write(master_, &reply[k], 1) != 1) {
      if (errno != EINTR && errno != EAGAIN) return;
    }
    ++sent_;
  }
}

}  // namespace dravik::test
