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
