#pragma once
// Timers on the main run loop, as the system schedules them.

#include "platform/foundation/NSInvocation.h"

class NSTimer {
 public:
  // What a timer really waits is bounded to this range.
  static constexpr int minimumIntervalSeconds = 1;
  static constexpr int maximumIntervalSeconds = 24 * 60 * 60;

  // The interval a timer asked for `seconds` really waits: never so short that the loop spins,
  // never so long that the deadline overflows the clock. NaN and anything below the minimum
  // wait the minimum.
  static constexpr double boundedIntervalSeconds(double seconds) {
    if (seconds > maximumIntervalSeconds) return maximumIntervalSeconds;
    if (seconds >= minimumIntervalSeconds) return seconds;
    return minimumIntervalSeconds;
  }

  // Puts a timer on the main run loop in its default mode; the loop keeps it and its invocation,
  // the caller keeps no reference. Only one-shot timers exist: a timer asked to repeat is
  // logged and fires once.
  static void scheduledTimerWithTimeInterval(double seconds, NSInvocation invocation, bool repeats);
};
