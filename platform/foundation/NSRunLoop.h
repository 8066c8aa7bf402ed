#pragma once
// The main run loop and its one-shot timers. Timers wait in the default mode; while a menu is
// open the loop is in the event-tracking mode, default-mode timers hold, and those that fell due
// meanwhile fire once when the loop is back in the default mode. The loop does not wait by
// itself: a driver (the GLib main loop in the application, the test's hand elsewhere) asks when
// the next timer is due and calls fireDueTimers() then.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/NSInvocation.h"
#include "platform/foundation/RunLoopDriver.h"

enum class NSRunLoopMode { Default, EventTracking };

using RunLoopClock = std::chrono::steady_clock;

class NSRunLoop {
 public:
  static NSRunLoop& mainRunLoop();

  NSRunLoopMode currentMode() const;
  void setMode(NSRunLoopMode mode);

  // Adds a one-shot timer that invokes `invocation` after `intervalSeconds`, bounded to at
  // least 1 second and at most 1 day (NSTimer's bounds; NaN counts as the minimum).
  void addTimer(double intervalSeconds, NSInvocation invocation);
  // The earliest deadline of a timer that can fire now: nullopt when there is none, or while the
  // loop is in the event-tracking mode.
  std::optional<RunLoopClock::time_point> nextFireDate() const;
  // Fires, in deadline order, every timer due by now (one at a time; a timer added by a firing
  // one waits for its own deadline). Does nothing in the event-tracking mode.
  void fireDueTimers();
  std::size_t pendingTimerCount() const;

  // Runs the driver until stop(); returns at once when no driver is set.
  void run();
  void stop();
  void setDriver(std::shared_ptr<RunLoopDriver> driver);

  // Replaces the steady clock (nullptr: the steady clock again).
  void setClockForTesting(std::function<RunLoopClock::time_point()> clock);
  // Drops every timer, the driver and the clock, and returns to the default mode.
  void resetForTesting();

  RunLoopClock::time_point now() const;

 private:
  NSRunLoop();
  struct State;
  std::unique_ptr<State> state;
  ~NSRunLoop();
};
