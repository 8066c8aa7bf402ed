#pragma once
// Brings a window to the front, with the activation token a host or a later launch handed over
// when there is one, so that Wayland's xdg-activation and focus-stealing prevention let it come.

#include <gtk/gtk.h>

#include <string>

inline void presentWindow(GtkWindow* window, const std::string& activationToken) {
  if (!activationToken.empty()) gtk_window_set_startup_id(window, activationToken.c_str());
  gtk_window_present(window);
}
