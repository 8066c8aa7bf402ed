#pragma once
// What waits for the main run loop's next deadline and calls back into it: the GLib main loop
// in the program, a scripted session in tests.

class RunLoopDriver {
 public:
  virtual ~RunLoopDriver() = default;
  // Runs until stop(); calls loop.fireDueTimers() whenever loop.nextFireDate() has passed.
  virtual void run() = 0;
  virtual void stop() = 0;
  // The set of timers or the mode changed: the next deadline may be earlier than before.
  virtual void timersChanged() = 0;
};
