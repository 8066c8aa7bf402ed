#include "platform/desktop/SessionBus.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/foundation/NSLog.h"

namespace {

// Cancels `cancellable` once `bound` has passed, unless it goes first. It waits in a thread of
// its own because the connection it bounds blocks this one; running the main loop instead
// would dispatch whatever else is due there before the application has started.
class Deadline {
 public:
  Deadline(GCancellable* cancellable, std::chrono::milliseconds bound)
      : watchdog([this, cancellable, bound] {
          std::unique_lock lock(mutex);
          if (!ended.wait_for(lock, bound, [this] { return over; }))
            g_cancellable_cancel(cancellable);
        }) {}
  ~Deadline() {
    {
      const std::lock_guard lock(mutex);
      over = true;
    }
    ended.notify_one();
    watchdog.join();
  }
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

 private:
  std::mutex mutex;
  std::condition_variable ended;
  bool over = false;
  std::thread watchdog;
};

}  // namespace

GObjectPtr<GDBusConnection> connectSessionBus(std::chrono::milliseconds bound) {
  const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
  GErrorOut error;
  GObjectPtr<GDBusConnection> bus;
  {
    // Cancelling ends the connection's authentication wherever it waits.
    const Deadline deadline(cancellable.get(), bound);
    bus.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, cancellable.get(), error.out()));
  }
  if (bus) return bus;

  const std::string consequence =
      "; running without checking for another Pyrelle, the item in the system tray";
  if (g_cancellable_is_cancelled(cancellable.get())) {
    const GCharPtr address(g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    NSLog("The session bus (" + loggable(address ? address.get() : "?") +
          ") did not answer within " + std::to_string(bound.count() / 1000) + " s" + consequence);
  } else {
    NSLog("No session bus (" + loggable(error.message()) + ")" + consequence);
  }
  return nullptr;
}

void keepToolkitOffSessionBus() {
  g_setenv("GIO_USE_VFS", "local", TRUE);
  g_setenv("NO_AT_BRIDGE", "1", TRUE);
}
