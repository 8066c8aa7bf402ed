#include "platform/foundation/NSRunLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/ManualClock.h"

using namespace std::chrono_literals;

namespace {

struct NSRunLoopTest : testing::Test {
  NSRunLoopTest() { loop.setClockForTesting(clock.function()); }
  ~NSRunLoopTest() override { loop.resetForTesting(); }
  void advanceAndFire(std::chrono::milliseconds by) {
    clock.advance(by);
    loop.fireDueTimers();
  }

  NSRunLoop& loop = NSRunLoop::mainRunLoop();
  ManualClock clock;
  std::vector<std::string> fired;
};

}  // namespace

TEST_F(NSRunLoopTest, IntervalsAreBoundedToOneSecondAndOneDay) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::pair<double, RunLoopClock::duration>> cases = {
      {0, 1s}, {-5, 1s}, {std::nan(""), 1s}, {2.5, 2500ms}, {86400, 24h}, {1e300, 24h}, {inf, 24h}};
  for (const auto& [seconds, wait] : cases) {
    loop.addTimer(seconds, NSInvocation([] {}));
    EXPECT_EQ(loop.nextFireDate()->time_since_epoch(), wait) << seconds;  // the clock stays at 0
    loop.resetForTesting();
    loop.setClockForTesting(clock.function());
  }
}

TEST_F(NSRunLoopTest, TrackingModeHoldsTimersThatThenFireOnceTheMenuCloses) {
  loop.addTimer(1, NSInvocation([&] {
                  fired.push_back("opens menu");
                  loop.setMode(NSRunLoopMode::EventTracking);
                }));
  for (const char* name : {"held", "due while open"})
    loop.addTimer(name[0] == 'h' ? 1 : 5, NSInvocation([&, name] { fired.push_back(name); }));
  advanceAndFire(1s);
  EXPECT_EQ(loop.nextFireDate(), std::nullopt);
  advanceAndFire(30s);
  EXPECT_EQ(fired, std::vector<std::string>{"opens menu"});
  loop.setMode(NSRunLoopMode::Default);
  advanceAndFire(0ms);
  EXPECT_EQ(fired, (std::vector<std::string>{"opens menu", "held", "due while open"}));
}
