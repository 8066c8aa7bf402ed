#include "platform/desktop/TerminationSignals.h"

#include <glib-unix.h>

#include <csignal>

#include "platform/appkit/NSApplication.h"
#include "platform/foundation/NSLog.h"

namespace {

gboolean terminateApplication(gpointer /*unused*/) {
  NSApp().terminate(nullptr);
  return G_SOURCE_CONTINUE;
}

void busClosed(GDBusConnection* /*bus*/, gboolean /*peerVanished*/, GError* /*error*/,
               gpointer /*unused*/) {
  NSLog("The session bus closed; quitting");
  NSApp().terminate(nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(GDBusConnection* sessionBus) {
  // GLib turns the signals into main-loop events, so terminate() runs on the main thread.
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sources.push_back(g_unix_signal_add(signal, terminateApplication, nullptr));
  }
  if (sessionBus == nullptr) return;
  bus.reset(G_DBUS_CONNECTION(g_object_ref(sessionBus)));
  // GDBus would raise SIGTERM itself, and the run would end as at any logout, saying nothing.
  g_dbus_connection_set_exit_on_close(bus.get(), FALSE);
  closedHandler = g_signal_connect(bus.get(), "closed", G_CALLBACK(busClosed), nullptr);
}

TerminationSignals::~TerminationSignals() {
  for (unsigned source : sources) g_source_remove(source);
  if (bus) g_signal_handler_disconnect(bus.get(), closedHandler);
}
