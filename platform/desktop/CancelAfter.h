#pragma once
// Bounds a blocking GIO call that takes a GCancellable: cancels it once a time has passed,
// unless this goes first. It waits in a thread of its own because the call blocks this one;
// running the main loop instead would dispatch whatever else is due there before the
// application has started.

#include <gio/gio.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CancelAfter {
 public:
  CancelAfter(GCancellable* cancellable, std::chrono::milliseconds bound);
  // Returns at once: the waiting thread ends without cancelling.
  ~CancelAfter();
  CancelAfter(const CancelAfter&) = delete;
  CancelAfter& operator=(const CancelAfter&) = delete;

 private:
  std::mutex mutex;
  std::condition_variable ended;
  bool over = false;
  std::thread watchdog;
};
