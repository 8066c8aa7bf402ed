#include "platform/glib/GLibRunLoopDriver.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;

// The timer's deadline passes while a menu holds the loop in tracking mode; nothing else wakes
// the GLib context, so the timer fires only if closing the menu arms the driver again.
TEST(GLibRunLoopDriverTest, ATimerHeldWhileTrackingFiresOnTheRealLoopOnceTrackingEnds) {
  NSRunLoop& loop = NSRunLoop::mainRunLoop();
  loop.resetForTesting();
  auto driver = std::make_shared<GLibRunLoopDriver>(loop);
  loop.setDriver(driver);
  bool fired = false;
  loop.addTimer(0, NSInvocation([&] {
                  fired = true;
                  loop.stop();
                }));
  loop.setMode(NSRunLoopMode::EventTracking);
  g_timeout_add(
      1500,
      [](gpointer) {
        NSRunLoop::mainRunLoop().setMode(NSRunLoopMode::Default);
        return G_SOURCE_REMOVE;
      },
      nullptr);

  // Quits from another thread (GLib allows it) rather than hang if the timer never fires.
  std::promise<void> finished;
  bool watchdogTripped = false;
  std::thread watchdog([&, done = finished.get_future()] {
    if (done.wait_for(10s) == std::future_status::ready) return;
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
