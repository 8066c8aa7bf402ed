#pragma once
// Timers on the main run loop, as the system schedules them.

#include "platform/foundation/NSInvocation.h"

class NSTimer {
 public:
  // What a timer really waits is bounded to this range.
  static constexpr int minimumIntervalSeconds = 1;
  static constexpr int maximumIntervalSeconds = 24 * 60 * 60;

  // Puts a timer on the main run loop in its default mode; the loop keeps it and its invocation,
  // the caller keeps no reference. Only one-shot timers exist: a timer asked to repeat is
  // logged and fires once.
  static void scheduledTimerWithTimeInterval(double seconds, NSInvocation invocation, bool repeats);
};
