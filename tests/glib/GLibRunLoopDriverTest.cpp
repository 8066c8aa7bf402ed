#include "platform/glib/GLibRunLoopDriver.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;

TEST(GLibRunLoopDriverTest, AMinimumTimerFiresAndStopsTheRealLoop) {
  NSRunLoop& loop = NSRunLoop::mainRunLoop();
  loop.resetForTesting();
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
  loop.resetForTesting();
}
