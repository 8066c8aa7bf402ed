#include "platform/gtk/GtkInit.h"

#include <gtk/gtk.h>

#include "platform/foundation/NSLog.h"

bool ensureGtkInitialised() {
  static const bool initialised = [] {
    // Nothing here draws with OpenGL, yet GDK on X11 would load the GL driver to pick visuals:
    // with Mesa that is LLVM, and more than half of the program's resident memory. A user's own
    // setting stays.
    g_setenv("GDK_GL", "disable", FALSE);
    const bool opened = gtk_init_check(nullptr, nullptr);
    if (!opened) NSLog("Cannot open a display; windows and the tray icon are unavailable");
    return opened;
  }();
  return initialised;
}
