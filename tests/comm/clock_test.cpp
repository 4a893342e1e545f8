#include "comm/clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulators/test_clock.h"

namespace dravik::comm {
namespace {

using test::TestClock;

TEST(ClockTest, PumpRunsEveryPollOnceAndSleepRunsThemWhenDue) {
  TestClock clock;
  int fast = 0;
  int slow = 0;
  clock.AttachPoll(Millis(1), [&] { ++fast; });
  clock.AttachPoll(Millis(10), [&] { ++slow; });
  clock.Pump();
  EXPECT_EQ(fast, 1);
  EXPECT_EQ(slow, 1);
  clock.Sleep(Millis(10));
  EXPECT_EQ(fast, 11);
  EXPECT_EQ(slow, 2);
}

// A poll that pumps again, and one that detaches itself and its neighbour, while the
// clock walks its polls: each poll still runs at most once per walk, a detached one never.
TEST(ClockTest, PollsThatPumpOrDetachDuringAWalk) {
  TestClock clock;
  std::vector<char> ran;
  bool nested = false;
  Clock::PollId neighbour = 0;
  Clock::PollId self = 0;
  clock.AttachPoll(Millis(5), [&] {
    ran.push_back('a');
    if (!nested) {
      nested = true;
      clock.Pump();
    }
  });
  self = clock.AttachPoll(Millis(5), [&] {
    ran.push_back('b');
    clock.DetachPoll(self);
    clock.DetachPoll(neighbour);
  });
  neighbour = clock.AttachPoll(Millis(5), [&] { ran.push_back('c'); });

  clock.Pump();
  // The outer walk: a (which pumps: a b — b detaches itself and c), then b and c are gone.
  EXPECT_EQ(std::string(ran.begin(), ran.end()), "aab");
  ran.clear();
  clock.Pump();
  clock.Sleep(Millis(5));
  EXPECT_EQ(std::string(ran.begin(), ran.end()), "aa");
}

}  // namespace
}  // namespace dravik::comm
