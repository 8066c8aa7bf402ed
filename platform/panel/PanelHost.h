#pragma once
// The panel programs the item meets, told apart by the name of the process that owns the
// StatusNotifierWatcher (processName() form: the kernel may have cut it to 15 characters). They
// differ in whether they show labels and in which of the offered pixmaps they draw.

#include <string_view>

enum class PanelHost {
  Unknown,
  GnomeShell,            // AppIndicator extension: label; the pixmap nearest its size
  AyatanaIndicators,     // ayatana-indicator-application-service (XFCE, MATE Indicator plugins)
  MateNotificationArea,  // label; hides the image beside any label without "button images"
  Plasma,                // kded5: no label; the pixmap nearest its size in logical pixels
  LxqtPanel,             // no label; the pixmap nearest its size in device pixels
  XfcePanel,             // Status Tray: no label; the largest pixmap, scaled down to its size
  Waybar,                // no label; the largest pixmap, scaled to its size
  Cinnamon,              // xapp-sn-watcher: drops the label; the largest pixmap, scaled
};

PanelHost panelHostOf(std::string_view process);

// Whether `host` shows an item's label.
bool hostShowsLabels(PanelHost host);
