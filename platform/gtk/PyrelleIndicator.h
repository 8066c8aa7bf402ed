#pragma once
// The panel item: an AppIndicator that also remembers the plain tray icon the library falls
// back to where the desktop has no StatusNotifierWatcher. The library gives that icon neither
// label nor tooltip; this one gets the tooltip.

#include <libayatana-appindicator/app-indicator.h>

#include <string>

// A new indicator (a full reference), in the hardware category, not yet shown.
AppIndicator* pyrelleIndicatorNew(const std::string& id, const std::string& iconName);

// Sets what the panel shows when the pointer rests on the item: the exported title (which
// StatusNotifierItem hosts use as the tooltip) and the fallback tray icon's tooltip, now and
// whenever the indicator falls back later.
void pyrelleIndicatorSetTooltip(AppIndicator* indicator, const std::string& tooltip);

// The fallback tray icon while the indicator uses one; nullptr otherwise.
GtkStatusIcon* pyrelleIndicatorFallbackIcon(AppIndicator* indicator);
