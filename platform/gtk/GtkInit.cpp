#include "platform/gtk/GtkInit.h"

#include <gtk/gtk.h>

#include "platform/foundation/NSLog.h"
#include "platform/gtk/GObjectPtr.h"
#include "resources/PyrelleResources.h"

namespace {

bool named(const char* variable) {
  const char* value = g_getenv(variable);
  return value != nullptr && value[0] != '\0';
}

// The PNG, not the SVG: the SVG loader would map librsvg and its libraries for good.
void setDefaultWindowIcon() {
  GErrorOut error;
  GObjectPtr<GdkPixbuf> icon(gdk_pixbuf_new_from_resource(PyrelleWindowIconResource, error.out()));
  if (!icon) {
    NSLog("Cannot load the window icon: " + error.message());
    return;
  }
  gtk_window_set_default_icon(icon.get());
}

}  // namespace

bool sessionNamesADisplay() { return named("DISPLAY") || named("WAYLAND_DISPLAY"); }

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

bool ensureReadyForWindows() {
  if (!ensureGtkInitialised()) return false;
  static bool iconSet = false;
  if (!iconSet) {
    iconSet = true;
    setDefaultWindowIcon();
  }
  return true;
}
