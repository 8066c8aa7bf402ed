#pragma once
// The session bus, reached within a bound: a bus that accepts the connection but never answers
// would otherwise hold the start for ever.

#include <gio/gio.h>

#include <chrono>

#include "platform/foundation/GLibPtr.h"

// The process's shared session bus connection (the one GApplication and libdbusmenu-glib use),
// once it answered; nullptr (said in one log line) when there is none or it did not answer
// within `bound`.
GObjectPtr<GDBusConnection> connectSessionBus(std::chrono::milliseconds bound);

// Keeps what the toolkit would ask of the session bus on its own, and wait for without bound,
// off it: GIO's file system daemon (local files only) and the accessibility bridge. For a run
// without a usable bus, before the toolkit loads.
void keepToolkitOffSessionBus();
