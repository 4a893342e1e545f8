#pragma once
// A clock whose time moves only when the protocol sleeps: a test waits no real time and
// still learns how long the protocol would have waited.

#include "comm/clock.h"

namespace dravik::test {

class TestClock final : public comm::Clock {
 public:
  comm::Micros Now() override { return now_; }
  // Everything the protocol slept, and how often it pumped.
  comm::Micros Slept() const { return slept_; }

 protected:
  void Wait(comm::Micros duration) override {
    now_ += duration;
    slept_ += duration;
  }

 private:
  comm::Micros now_{1'000'000};
  comm::Micros slept_{0};
};

}  // namespace dravik::test
