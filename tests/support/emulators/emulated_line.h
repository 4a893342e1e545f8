#pragma once
// A device on the far side of a pseudo-terminal: the test opens the slave like a serial
// port, an emulator thread answers on the master. The thread keeps its own slave
// descriptor open, so master reads never fail with EIO while the tool closes and reopens
// the port between settings.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace dravik::test {

using Bytes = std::vector<std::uint8_t>;

// The line as the far side sees it: the speed and frame the tool set on the slave.
struct LineInfo {
  std::uint32_t baud = 0;
  int bitsPerChar = 10;  // start + data + parity + stop

  std::chrono::nanoseconds CharacterTime() const {
    return std::chrono::nanoseconds(1'000'000'000LL * bitsPerChar / baud);
  }
};

// A device that answers bytes. Called on the emulator thread with the line's mutex held.
class ByteEmulator {
 public:
  virtual ~ByteEmulator() = default;
  // Takes bytes received at the line's current settings; returns the bytes to send back.
  virtual Bytes Receive(std::span<const std::uint8_t> bytes, const LineInfo& line) = 0;
};

struct EmulatedLineOptions {
  // Models the wire at the speed set: a request reaches the device one character time
  // per byte after the tool wrote it (after the previous request, if that was still on
  // the wire), and each byte of the reply reaches the tool one character time after the
  // one before it, counted from the end of the request.
  bool wireTime = false;
  // Parity bits per character the pseudo-terminal does not show (it always reports 8 data
  // bits and no parity): the panel and its boot loader use even parity on every setting.
  int hiddenParityBits = 1;
  // When set, each reply byte is written on its own this long after the one before, so
  // the tool reads a reply in many pieces (a slow adapter, a busy machine).
  std::chrono::microseconds replyBytePause{0};
};

class EmulatedLine {
 public:
  EmulatedLine(ByteEmulator& emulator, EmulatedLineOptions options = {});
  ~EmulatedLine();
  EmulatedLine(const EmulatedLine&) = delete;
  EmulatedLine& operator=(const EmulatedLine&) = delete;

  // The device the tool opens.
  const std::string& SlavePath() const { return slavePath_; }
  // False when no pseudo-terminal could be made (the test should skip).
  bool ok() const { return master_ >= 0; }

  // Bytes the emulator has read and answered, and bytes it has sent.
  std::uint64_t Consumed() const { return consumed_.load(); }
  std::uint64_t Sent() const { return sent_.load(); }
  // Waits until at least `count` bytes have been read and answered.
  bool WaitConsumed(std::uint64_t count, std::chrono::milliseconds timeout);

  // Held while the emulator runs; lock it to read the emulator's observations.
  std::mutex& Mutex() { return mutex_; }

  LineInfo CurrentLine() const;

  // The device goes away, as when the cable is pulled or the adapter unplugged: the
  // emulator stops and the pseudo-terminal's master closes, so the tool's port hangs up.
  // Safe to call from any thread but the emulator's own; later calls do nothing.
  void HangUp();

 private:
  void Loop();
  void StopThread();
  // Sleeps until `count` bytes read now, at `line`'s speed, have come off the wire;
  // returns when they have.
  std::chrono::steady_clock::time_point ReceiveOverTheWire(std::size_t count, const LineInfo& line);
  void SendReply(const Bytes& reply, const LineInfo& line,
                 std::chrono::steady_clock::time_point requestEnd);

  ByteEmulator& emulator_;
  EmulatedLineOptions options_;
  int master_ = -1;
  int slave_ = -1;
  int wake_[2] = {-1, -1};
  std::string slavePath_;
  std::atomic<std::uint64_t> consumed_{0};
  std::atomic<std::uint64_t> sent_{0};
  std::mutex mutex_;
  std::mutex hangUpMutex_;
  std::mutex progressMutex_;
  std::condition_variable progress_;
  std::atomic<bool> stop_{false};
  std::chrono::steady_clock::time_point wireFreeAt_{};  // when the last request was in
  std::thread thread_;
};

}  // namespace dravik::test
