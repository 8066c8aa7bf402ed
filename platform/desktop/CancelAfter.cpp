#include "platform/desktop/CancelAfter.h"

CancelAfter::CancelAfter(GCancellable* cancellable, std::chrono::milliseconds bound)
    : watchdog([this, cancellable, bound] {
        std::unique_lock lock(mutex);
        if (!ended.wait_for(lock, bound, [this] { return over; }))
          g_cancellable_cancel(cancellable);
      }) {}

CancelAfter::~CancelAfter() {
  {
    const std::lock_guard lock(mutex);
    over = true;
  }
  ended.notify_one();
  watchdog.join();
}
