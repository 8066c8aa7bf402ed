#pragma once
// The application's main interface: the loader that NSApplicationMain calls once the backend
// has started.

#include <memory>

#include "platform/appkit/NSApplication.h"

// Instantiates RGAppDelegate as the delegate of `objects` and connects its outlets and actions.
std::unique_ptr<NSApplicationDelegate> NSLoadMainInterface(NSMainInterface& objects);
