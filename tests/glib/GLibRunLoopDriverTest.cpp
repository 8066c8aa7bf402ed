#include "platform/glib/GLibRunLoopDriver.h"

#include <glib.h>
#include <gtest/gtest.h>

namespace {

gboolean endTracking(gpointer) {
  NSRunLoop::mainRunLoop().setMode(NSRunLoopMode::Default);
  return G_SOURCE_REMOVE;
}

gboolean giveUp(gpointer tripped) {
  *static_cast<bool*>(tripped) = true;
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
  bool fired = false, gaveUp = false;
  loop.addTimer(0, NSInvocation([&] {
                  fired = true;
                  loop.stop();
                }));
  loop.setMode(NSRunLoopMode::EventTracking);
  g_timeout_add(1500, endTracking, nullptr);
  const guint giveUpSource = g_timeout_add_seconds(10, giveUp, &gaveUp);
  loop.run();
  if (!gaveUp) g_source_remove(giveUpSource);
  EXPECT_TRUE(fired);
  EXPECT_FALSE(gaveUp);
  loop.resetForTesting();
}
