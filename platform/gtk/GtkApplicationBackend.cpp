#include "platform/gtk/GtkApplicationBackend.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "platform/glib/GLibRunLoopDriver.h"
#include "platform/gtk/AboutPanel.h"
#include "platform/gtk/PreferencesView.h"
#include "platform/gtk/StatusBarView.h"
#include "platform/gtk/TerminationSignals.h"
#include "resources/PyrelleResources.h"

namespace {

// What the process needs once, however many backends start: the resources registered, the
// application's name and default window icon set.
const BundleInfo& setUpProcessOnce() {
  static const BundleInfo info = [] {
    pyrelle_register_resource();
    BundleInfo loaded = loadBundleInfo();
    g_set_application_name(loaded.name.c_str());
    GObjectPtr<GdkPixbuf> icon(
        gdk_pixbuf_new_from_resource_at_scale(PyrelleIconResource, 64, 64, TRUE, nullptr));
    if (icon) gtk_window_set_default_icon(icon.get());
    return loaded;
  }();
  return info;
}

}  // namespace

GtkApplicationBackend::GtkApplicationBackend() = default;

GtkApplicationBackend::~GtkApplicationBackend() = default;

int GtkApplicationBackend::start(int& argc, char**& argv) {
  // Nothing here draws with OpenGL, yet GDK on X11 would load the GL driver to pick visuals:
  // with Mesa that is LLVM, and more than half of the program's resident memory. A user's own
  // setting stays.
  g_setenv("GDK_GL", "disable", FALSE);
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs(
        "pyrelle: cannot open a display; start Pyrelle from a desktop session "
        "(DISPLAY or WAYLAND_DISPLAY must name a running display)\n",
        stderr);
    return 1;
  }
  about = std::make_unique<AboutPanel>(setUpProcessOnce());
  terminationSignals = std::make_unique<TerminationSignals>();
  return 0;
}

void GtkApplicationBackend::interfaceLoaded(NSMainInterface& objects) {
  preferences = PreferencesView::load(objects);
  statusBar = std::make_unique<StatusBarView>();
}

std::shared_ptr<RunLoopDriver> GtkApplicationBackend::runLoopDriver() {
  return std::make_shared<GLibRunLoopDriver>(NSRunLoop::mainRunLoop());
}

// Windows come to the front when shown (gtk_window_present); there is nothing to do before.
void GtkApplicationBackend::activateIgnoringOtherApps(bool /*flag*/) {}

void GtkApplicationBackend::orderFrontStandardAboutPanel() {
  if (about) about->show();
}
