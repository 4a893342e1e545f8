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
  RunPolls(Now(), true);
}

void Clock::RunDuePolls(Micros now) {
  RunPolls(now, false);
}

void Clock::RunPolls(Micros now, bool all) {
  // A poll may detach (and so erase) entries; walk the ids, not the entries.
  std::vector<PollId> ids = std::move(spareIds_);
  ids.clear();
  for (const AttachedPoll& p : polls_)
    if (all || p.due <= now) ids.push_back(p.id);
  for (PollId id : ids) {
    auto it = std::find_if(polls_.begin(), polls_.end(), [id](auto& p) { return p.id == id; });
    if (it == polls_.end()) continue;
    if (all) {
      it->due = now + it->period;
    } else {
      // Like a window timer, a late poll fires once and does not catch up.
      it->due += it->period;
      if (it->due <= now) it->due = now + it->period;
    }
    auto poll = it->poll;
    poll();
  }
  spareIds_ = std::move(ids);
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
