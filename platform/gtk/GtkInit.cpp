#include "platform/gtk/GtkInit.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <utility>

#include "platform/foundation/NSLog.h"
#include "platform/gtk/GObjectPtr.h"
#include "resources/PyrelleResources.h"

namespace {

// Replaces GDK's own handler, which ends the process with status 1 and, in this GTK, says
// nothing. Xlib ends the process if this returns.
int displayLost(Display* display) {
  NSLog("Lost the connection to the display " + loggable(DisplayString(display)) + "; quitting");
  std::_Exit(1);
}

}  // namespace

bool ensureGtkInitialised(const std::vector<std::string>& arguments) {
  static const bool initialised = [&arguments] {
    // Nothing here draws with OpenGL, yet GDK on X11 would load the GL driver to pick visuals:
    // with Mesa that is LLVM, and more than half of the program's resident memory. A user's own
    // setting stays.
    g_setenv("GDK_GL", "disable", FALSE);
    std::vector<std::string> copies = arguments;
    std::vector<char*> pointers;
    for (std::string& argument : copies) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    int count = static_cast<int>(copies.size());
    char** values = pointers.data();
    const bool opened = gtk_init_check(&count, &values);
    if (!opened) NSLog("Cannot open a display; windows and the tray icon are unavailable");
    if (opened && GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(displayLost);
    return opened;
  }();
  return initialised;
}

// The PNG, not the SVG: the SVG loader would map librsvg and its libraries for good.
void prepareForWindows() {
  static bool iconSet = false;
  if (std::exchange(iconSet, true)) return;
  GErrorOut error;
  GObjectPtr<GdkPixbuf> icon(gdk_pixbuf_new_from_resource(PyrelleWindowIconResource, error.out()));
  if (!icon) {
    NSLog("Cannot load the window icon: " + loggable(error.message()));
    return;
  }
  gtk_window_set_default_icon(icon.get());
}
