#pragma once
// GTK is initialised only when something needs it: a window, the tray icon or our own pop-up
// menu. A panel item exported over D-Bus never needs it.

#include <string>
#include <vector>

// Opens the display on the first call, with GTK's own options from `arguments` (the program's
// name first). True while GTK is usable; false (logged once) when no display can be opened.
bool ensureGtkInitialised(const std::vector<std::string>& arguments);

// What every window needs before it is built: the application's default window icon (set on
// the first call). GTK must be initialised.
void prepareForWindows();
