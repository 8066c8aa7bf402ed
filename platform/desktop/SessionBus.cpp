#include "platform/desktop/SessionBus.h"

#include <string>

#include "platform/desktop/CancelAfter.h"
#include "platform/foundation/NSLog.h"

GObjectPtr<GDBusConnection> connectSessionBus(std::chrono::milliseconds bound) {
  const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
  GErrorOut error;
  GObjectPtr<GDBusConnection> bus;
  {
    // Cancelling ends the connection's authentication wherever it waits.
    const CancelAfter deadline(cancellable.get(), bound);
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
