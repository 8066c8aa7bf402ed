#include "platform/gtk/GtkApplicationBackend.h"

#include <glib.h>

#include <cstdio>

#include "platform/appkit/NSMainInterface.h"
#include "platform/glib/GLibRunLoopDriver.h"
#include "platform/gtk/AboutPanel.h"
#include "platform/gtk/ApplicationInstance.h"
#include "platform/gtk/BundleInfo.h"
#include "platform/gtk/GtkInit.h"
#include "platform/gtk/PreferencesView.h"
#include "platform/gtk/StatusBarView.h"
#include "platform/gtk/TerminationSignals.h"
#include "resources/PyrelleResources.h"

namespace {

// The well-known name on the session bus of the one running instance.
constexpr const char* applicationId = "io.github.pyrelle.Pyrelle";

// What the process needs once, however many backends start: the resources registered and the
// application's name set. GLib alone: nothing of the toolkit is loaded for it.
const BundleInfo& setUpProcessOnce() {
  static const BundleInfo info = [] {
    pyrelle_register_resource();
    BundleInfo loaded = loadBundleInfo();
    g_set_application_name(loaded.name.c_str());
    return loaded;
  }();
  return info;
}

}  // namespace

GtkApplicationBackend::GtkApplicationBackend() = default;

GtkApplicationBackend::~GtkApplicationBackend() = default;

int GtkApplicationBackend::start(int& /*argc*/, char**& /*argv*/) {
  // Only the environment is read: opening the display would load the toolkit, which the panel
  // item exported over D-Bus never needs. A display that is named but gone shows up when a
  // window first opens (logged then).
  if (!sessionNamesADisplay()) {
    std::fputs(
        "pyrelle: cannot open a display; start Pyrelle from a desktop session "
        "(DISPLAY or WAYLAND_DISPLAY must name a running display)\n",
        stderr);
    return 1;
  }
  setUpProcessOnce();
  instance = std::make_unique<ApplicationInstance>(applicationId);
  if (instance->role() == ApplicationInstance::Role::Unanswered) return 1;
  if (instance->role() == ApplicationInstance::Role::HandedOver) return 0;
  terminationSignals = std::make_unique<TerminationSignals>();
  return 0;
}

bool GtkApplicationBackend::handedToRunningInstance() const {
  return instance && instance->role() == ApplicationInstance::Role::HandedOver;
}

void GtkApplicationBackend::interfaceLoaded(NSMainInterface& objects) {
  preferences = std::make_unique<PreferencesView>(objects);
  // A later launch in this session shows the preferences window, as "Preferences..." does.
  if (instance) {
    instance->setActivationHandler([&objects] { objects.window.makeKeyAndOrderFront(nullptr); });
  }
  statusBar = std::make_unique<StatusBarView>();
}

std::shared_ptr<RunLoopDriver> GtkApplicationBackend::runLoopDriver() {
  return std::make_shared<GLibRunLoopDriver>(NSRunLoop::mainRunLoop());
}

// Windows come to the front when shown (gtk_window_present); there is nothing to do before.
void GtkApplicationBackend::activateIgnoringOtherApps(bool /*flag*/) {}

void GtkApplicationBackend::orderFrontStandardAboutPanel() {
  if (!about) {
    if (!ensureReadyForWindows()) return;
    about = std::make_unique<AboutPanel>(setUpProcessOnce());
  }
  about->show();
}
