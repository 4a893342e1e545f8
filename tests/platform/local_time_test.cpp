#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace dravik::platform {
namespace {

// Sets TZ for the test's lifetime.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }

 private:
  std::string saved_;
};

TEST(LocalTimeTest, TheWallClockIsShiftedByTheZonesOffsetAtThatMoment) {
  using namespace std::chrono;
  const sys_days winter = year{2026} / January / 15;
  const sys_days summer = year{2026} / July / 15;
  {
    const TimeZone zone("CST-8");  // China: UTC+8 all year
    EXPECT_EQ(AsLocalWallClock(winter + 20h) - (winter + 20h), hours(8));
  }
  {
    const TimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");  // summer time from March to October
    EXPECT_EQ(AsLocalWallClock(winter + 12h) - (winter + 12h), hours(1));
    EXPECT_EQ(AsLocalWallClock(summer + 12h) - (summer + 12h), hours(2));
  }
  {
    const TimeZone zone("UTC0");
    EXPECT_EQ(AsLocalWallClock(summer), summer);
  }
}

}  // namespace
}  // namespace dravik::platform
