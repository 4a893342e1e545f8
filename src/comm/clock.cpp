#include "comm/clock.h"

#include <algorithm>
#include <thread>

namespace dravik::comm {

void Clock::Sleep(Micros duration) {
  SleepUntil(Now() + duration);
}

void Clock::SleepUntil(Micros deadline) {
  for (Micros now = Now(); now < deadline; now = Now()) {
    Micros next = deadline;
    for (const AttachedPoll& p : polls_) next = std::min(next, p.due);
    if (next > now) Wait(next - now);
    RunDuePolls(Now());
  }
}

void Clock::Pump() {
  Micros now = Now();
  // A poll may detach (and so erase) entries; walk a copy of the ids.
  std::vector<PollId> ids;
  for (const AttachedPoll& p : polls_) ids.push_back(p.id);
  for (PollId id : ids) {
    auto it = std::find_if(polls_.begin(), polls_.end(), [id](auto& p) { return p.id == id; });
    if (it == polls_.end()) continue;
    it->due = now + it->period;
    auto poll = it->poll;
    poll();
  }
}

void Clock::RunDuePolls(Micros now) {
  std::vector<PollId> due;
  for (const AttachedPoll& p : polls_)
    if (p.due <= now) due.push_back(p.id);
  for (PollId id : due) {
    auto it = std::find_if(polls_.begin(), polls_.end(), [id](auto& p) { return p.id == id; });
    if (it == polls_.end()) continue;
    // Like a window timer, a late poll fires once and does not catch up.
    it->due += it->period;
    if (it->due <= now) it->due = now + it->period;
    auto poll = it->poll;
    poll();
  }
}

Clock::PollId Clock::AttachPoll(Micros period, std::function<void()> poll) {
  PollId id = nextId_++;
  polls_.push_back({id, std::max(period, Micros(1)), Now() + period, std::move(poll)});
  return id;
}

void Clock::DetachPoll(PollId id) {
  std::erase_if(polls_, [id](const AttachedPoll& p) { return p.id == id; });
}

Micros RealClock::Now() {
  return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

void RealClock::Wait(Micros duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace dravik::comm
