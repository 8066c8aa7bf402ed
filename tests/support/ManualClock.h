#pragma once
// A clock that only moves when told: install with setClockForTesting(clock.function()).

#include <chrono>
#include <functional>

#include "platform/foundation/NSRunLoop.h"

class ManualClock {
 public:
  void advance(std::chrono::milliseconds by) { current += by; }
  std::function<RunLoopClock::time_point()> function() {
    return [this] { return current; };
  }

 private:
  RunLoopClock::time_point current{};
};
