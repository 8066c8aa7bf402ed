#pragma once
// How the status item's title reaches the user's eyes. Panels differ: GNOME's AppIndicator
// extension, Unity, Budgie, MATE and Pantheon show an indicator's label beside its icon; KDE
// Plasma, LXQt and most others ignore labels; where no StatusNotifierWatcher runs, the library
// falls back to a plain tray icon and drops the label. So the label carries the title only
// where it is known to be shown; everywhere else the title is drawn into the icon, which every
// panel shows.

#include <string_view>

enum class TitlePresentation {
  Label,  // the label shows the title beside the thermometer icon
  Icon,   // the icon shows the title; the label stays empty
};

// `registered`: the indicator is registered with a StatusNotifierWatcher (false while it uses
// the fallback tray icon, or has not registered yet). `currentDesktops`: the value of
// XDG_CURRENT_DESKTOP, a colon-separated list of desktop names ("ubuntu:GNOME").
TitlePresentation titlePresentation(bool registered, std::string_view currentDesktops);
