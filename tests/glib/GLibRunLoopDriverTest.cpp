#include "platform/glib/GLibRunLoopDriver.h"

#include <glib.h>
#include <gtest/gtest.h>

namespace {

gboolean endTracking(gpointer) {
  NSRunLoop::mainRunLoop().setMode(NSRunLoopMode::Default);
  return G_SOURCE_REMOVE;
}

gboolean giveUp(gpointer) {
  NSRunLoop::mainRunLoop().stop();
  return G_SOURCE_REMOVE;
}

}  // namespace

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
  g_timeout_add(1500, endTracking, nullptr);
  const guint giveUpSource = g_timeout_add_seconds(10, giveUp, nullptr);
  loop.run();
  // Only the timer or the give-up source ends the run; the one that did not is still pending.
  if (fired) g_source_remove(giveUpSource);
  EXPECT_TRUE(fired);
  loop.resetForTesting();
}
