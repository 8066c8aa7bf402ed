#pragma once
// Drives the main run loop from GLib's main loop on the default main context, so timers fire
// between the desktop's own events on the one main thread.

#include <memory>

#include "platform/foundation/NSRunLoop.h"

class GLibRunLoopDriver : public RunLoopDriver {
 public:
  // Attaches one event source for `loop`'s timers to the default main context; it wakes the
  // context only when a timer falls due, and never while no timer can fire.
  explicit GLibRunLoopDriver(NSRunLoop& loop);
  ~GLibRunLoopDriver() override;
  GLibRunLoopDriver(const GLibRunLoopDriver&) = delete;
  GLibRunLoopDriver& operator=(const GLibRunLoopDriver&) = delete;

  // Runs a GLib main loop on the default context until stop().
  void run() override;
  void stop() override;
  void timersChanged() override;

 private:
  struct Glib;
  std::unique_ptr<Glib> glib;
};
