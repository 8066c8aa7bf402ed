#pragma once
// GTK is initialised only when something needs it: a window, or the tray icon used when no panel
// hosts status items over D-Bus. A panel item exported over D-Bus never needs it.

// Whether the session names a display (DISPLAY or WAYLAND_DISPLAY set and not empty). Reads the
// environment only: no connection is made and nothing is loaded.
bool sessionNamesADisplay();

// Opens the display on the first call. True while GTK is usable; false (logged once) when no
// display can be opened.
bool ensureGtkInitialised();

// What every window needs before it is built: GTK, and the application's default window icon
// (set on the first call). False, as ensureGtkInitialised(), when there is no display.
bool ensureReadyForWindows();
