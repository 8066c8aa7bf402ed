#pragma once
// GTK is initialised only when something needs it: a window, or the tray icon used when no panel
// hosts status items over D-Bus. A panel item exported over D-Bus never needs it.

// Opens the display on the first call. True while GTK is usable; false (logged once) when no
// display can be opened.
bool ensureGtkInitialised();
