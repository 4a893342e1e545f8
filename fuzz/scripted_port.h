#pragma once
// A serial line whose far side answers from a script: every write the driver makes is
// answered by the script's next reply, whatever it was. The fuzz input is the script, so
// the protocols meet every reply a device (or a wrong device) could send.
//
// A script is a sequence of replies, each one length byte followed by that many bytes; a
// reply cut short by the end of the input is sent as far as it goes, and once the script
// is used up the line stays silent. The seed maker records scripts in the same form from
// the emulated panel and boot loader (`ReplyScriptWriter`).

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace dravik::fuzz {

using Bytes = std::vector<std::uint8_t>;

// Answers the bytes of one write at the line's current settings.
using LineAnswer = std::function<Bytes(std::span<const std::uint8_t> written,
                                       const platform::SerialLineSettings& line)>;

class ScriptedPort final : public platform::SerialPort {
 public:
  explicit ScriptedPort(LineAnswer answer) : answer_(std::move(answer)) {}

  std::optional<platform::PortOpenError> Open(const std::string&) override {
    open_ = true;
    return std::nullopt;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  Status Configure(const platform::SerialLineSettings& settings) override {
    line_ = settings;
    return {};
  }
  Status Purge(bool input, bool) override {
    if (input) input_.clear();
    return {};
  }
  Result<int> OutputQueueBytes() override { return 0; }
  Status Drain() override { return {}; }
  Status SetDtr(bool) override { return {}; }
  Status SetRts(bool) override { return {}; }
  Result<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    std::size_t n = 0;
    while (n < buffer.size() && !input_.empty()) {
      buffer[n++] = input_.front();
      input_.pop_front();
    }
    return n;
  }
  Result<std::size_t> Write(std::span<const std::uint8_t> bytes) override {
    const Bytes reply = answer_(bytes, line_);
    input_.insert(input_.end(), reply.begin(), reply.end());
    return bytes.size();
  }

 private:
  LineAnswer answer_;
  platform::SerialLineSettings line_;
  std::deque<std::uint8_t> input_;
  bool open_ = false;
};

// Hands out the replies of a script in order.
class ReplyScript {
 public:
  explicit ReplyScript(std::span<const std::uint8_t> script) : rest_(script) {}

  Bytes Next() {
    if (rest_.empty()) return {};
    const std::size_t length = std::min<std::size_t>(rest_[0], rest_.size() - 1);
    Bytes reply(rest_.begin() + 1, rest_.begin() + 1 + static_cast<std::ptrdiff_t>(length));
    rest_ = rest_.subspan(1 + length);
    return reply;
  }

 private:
  std::span<const std::uint8_t> rest_;
};

// Writes replies as a script (for the seed corpus).
class ReplyScriptWriter {
 public:
  // Replies longer than a length byte can say are cut; the protocols' replies never are.
  void Add(std::span<const std::uint8_t> reply) {
    const std::size_t length = std::min<std::size_t>(reply.size(), 255);
    script_.push_back(static_cast<std::uint8_t>(length));
    script_.insert(script_.end(), reply.begin(),
                   reply.begin() + static_cast<std::ptrdiff_t>(length));
  }
  const Bytes& Script() const { return script_; }

 private:
  Bytes script_;
};

}  // namespace dravik::fuzz
