#include "platform/foundation/GLibRunLoopDriver.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace {

class GLibRunLoopDriverTest : public testing::Test {
 protected:
  GLibRunLoopDriverTest() { loop.resetForTesting(); }
  ~GLibRunLoopDriverTest() override { loop.resetForTesting(); }

  NSRunLoop& loop = NSRunLoop::mainRunLoop();
};

bool iterate() { return GLibRunLoopDriver::iterateWithoutWaitingForTesting(); }

}  // namespace

TEST_F(GLibRunLoopDriverTest, AMinimumTimerFiresAndStopsTheRealLoop) {
  auto driver = std::make_shared<GLibRunLoopDriver>(loop);
  loop.setDriver(driver);
  bool fired = false;
  loop.addTimer(0, NSInvocation([&] {
                  fired = true;
                  loop.stop();
                }));

  // Quits from another thread (GLib allows it) rather than hang if the timer never fires.
  std::promise<void> finished;
  bool watchdogTripped = false;
  std::thread watchdog([&, done = finished.get_future()] {
    if (done.wait_for(30s) == std::future_status::ready) return;
    watchdogTripped = true;
    driver->stop();
  });
  loop.run();
  finished.set_value();
  watchdog.join();
  EXPECT_TRUE(fired);
  EXPECT_FALSE(watchdogTripped);
}

TEST_F(GLibRunLoopDriverTest, TheSourceStaysQuietUntilATimerCanFire) {
  ManualClock clock;
  loop.setClockForTesting(clock.function());
  loop.setDriver(std::make_shared<GLibRunLoopDriver>(loop));
  EXPECT_FALSE(iterate());

  int fired = 0;
  loop.addTimer(1, NSInvocation([&] { ++fired; }));
  clock.advance(1s);
  loop.setMode(NSRunLoopMode::EventTracking);
  EXPECT_FALSE(iterate());

  // Closing the menu re-arms the source for the timer that fell due meanwhile.
  loop.setMode(NSRunLoopMode::Default);
  EXPECT_TRUE(iterate());
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(iterate());
}
