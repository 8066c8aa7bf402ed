#include "platform/glib/GLibRunLoopDriver.h"

#include <glib.h>
#include <gtest/gtest.h>

// The timer's deadline passes while a menu holds the loop in tracking mode; nothing but the
// give-up source wakes the GLib context, so the timer fires in time only if closing the menu
// arms the driver again.
TEST(GLibRunLoopDriverTest, ATimerHeldWhileTrackingFiresOnTheRealLoopOnceTrackingEnds) {
  NSRunLoop& loop = NSRunLoop::mainRunLoop();
  loop.resetForTesting();
  loop.setDriver(std::make_shared<GLibRunLoopDriver>(loop));
  bool fired = false;
  loop.addTimer(0, NSInvocation([&] {
                  fired = true;
                  loop.stop();
                }));
  loop.setMode(NSRunLoopMode::EventTracking);
  g_timeout_add_once(
      1500, [](gpointer) { NSRunLoop::mainRunLoop().setMode(NSRunLoopMode::Default); }, nullptr);
  const guint giveUp = g_timeout_add_once(
      10000, [](gpointer) { NSRunLoop::mainRunLoop().stop(); }, nullptr);
  loop.run();
  // Only the timer or the give-up source ends the run; the one that did not is still pending.
  if (fired) g_source_remove(giveUp);
  EXPECT_TRUE(fired);
  loop.resetForTesting();
}
