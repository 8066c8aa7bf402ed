#include "platform/foundation/NSTimer.h"

#include <utility>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"

void NSTimer::scheduledTimerWithTimeInterval(double seconds, NSInvocation invocation,
                                             bool repeats) {
  // The system only arms one-shot timers. A repeating request still fires once rather than
  // not at all, and says so.
  if (repeats) NSLog("NSTimer: repeating timers are not supported; this one fires once.");
  NSRunLoop::mainRunLoop().addTimer(seconds, std::move(invocation));
}
