#include "platform/desktop/TerminationSignals.h"

#include <glib-unix.h>

#include <csignal>

#include "platform/appkit/NSApplication.h"

namespace {

gboolean terminateApplication(gpointer /*unused*/) {
  NSApp().terminate(nullptr);
  return G_SOURCE_CONTINUE;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  // GLib turns the signals into main-loop events, so terminate() runs on the main thread.
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sources.push_back(g_unix_signal_add(signal, terminateApplication, nullptr));
  }
}

TerminationSignals::~TerminationSignals() {
  for (unsigned source : sources) g_source_remove(source);
}
