#pragma once
// Time as the serial protocols see it: now, sleep, and "let the message loop run", which
// here means: let the receive polls of the open drivers read what has arrived.
//
// A driver attaches its poll while its port is open. The poll then runs at its period
// during every sleep (the poll timer keeps firing while the thread waits) and once more
// at every Pump(), so a protocol that pauses and pumps sees what arrived during the pause.

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace dravik::comm {

using Micros = std::chrono::microseconds;
using Millis = std::chrono::milliseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;

  virtual Micros Now() = 0;

  // Sleeps for `duration`, firing attached polls whenever their period comes due.
  void Sleep(Micros duration);
  // Sleeps until `deadline` (returns at once when it has passed).
  void SleepUntil(Micros deadline);
  // Runs every attached poll now.
  void Pump();

  using PollId = int;
  PollId AttachPoll(Micros period, std::function<void()> poll);
  void DetachPoll(PollId id);

 protected:
  // Waits `duration` of this clock's time without doing anything else.
  virtual void Wait(Micros duration) = 0;

 private:
  struct AttachedPoll {
    PollId id;
    Micros period;
    Micros due;
    std::function<void()> poll;
  };
  void RunDuePolls(Micros now);
  // Runs every poll (`all`) or the due ones, each once, as they stand when it starts.
  void RunPolls(Micros now, bool all);

  std::vector<AttachedPoll> polls_;
  PollId nextId_ = 1;
  // The ids RunPolls walks, kept between calls: a protocol that waits pumps thousands of
  // times a second. A poll that pumps again finds it taken and uses a fresh one.
  std::vector<PollId> spareIds_;
};

// The machine's monotonic clock.
class RealClock final : public Clock {
 public:
  Micros Now() override;

 protected:
  void Wait(Micros duration) override;
};

}  // namespace dravik::comm
