#include "platform/desktop/DesktopApplicationBackend.h"

#include <glib.h>

#include <cstdio>

#include "platform/appkit/NSMainInterface.h"
#include "platform/desktop/ApplicationInstance.h"
#include "platform/desktop/BundleInfo.h"
#include "platform/desktop/SessionBus.h"
#include "platform/desktop/TerminationSignals.h"
#include "platform/foundation/NSBundle.h"
#include "platform/glib/GLibRunLoopDriver.h"
#include "platform/panel/StatusBarView.h"
#include "resources/PyrelleResources.h"

namespace {

// A bus that takes longer to answer at start is not used.
constexpr std::chrono::seconds startBusBound{10};

// What the process needs once, however many backends start: the resources registered and the
// application's name set.
const BundleInfo& setUpProcessOnce() {
  static const BundleInfo info = [] {
    pyrelle_register_resource();
    BundleInfo loaded = loadBundleInfo();
    g_set_application_name(loaded.name.c_str());
    return loaded;
  }();
  return info;
}

bool named(const char* variable) {
  const char* value = g_getenv(variable);
  return value != nullptr && value[0] != '\0';
}

}  // namespace

DesktopApplicationBackend::DesktopApplicationBackend(ToolkitLoader toolkitLoader,
                                                     StatusItemView::Timing itemTiming)
    : loader(std::move(toolkitLoader)), timing(itemTiming) {}

DesktopApplicationBackend::~DesktopApplicationBackend() {
  if (interface != nullptr) interface->window.setObserver(nullptr);
}

int DesktopApplicationBackend::start(int& argc, char**& argv) {
  // Only the environment is read: opening the display would load the toolkit, which the panel
  // item exported over D-Bus never needs. A display that is named but gone shows up when a
  // window first opens (logged then).
  if (!named("DISPLAY") && !named("WAYLAND_DISPLAY")) {
    std::fputs(
        "pyrelle: cannot open a display; start Pyrelle from a desktop session "
        "(DISPLAY or WAYLAND_DISPLAY must name a running display)\n",
        stderr);
    return 1;
  }
  toolkitArguments.assign(argv, argv + argc);
  setUpProcessOnce();
  bus = connectSessionBus(startBusBound);
  if (!bus) keepToolkitOffSessionBus();
  // The application id is the well-known name on the session bus of the one running instance.
  instance = std::make_unique<ApplicationInstance>(
      NSBundle::mainBundle().identity().identifier.c_str(), bus.get());
  if (instance->role() == ApplicationInstance::Role::Unanswered) return 1;
  if (instance->role() == ApplicationInstance::Role::HandedOver) return 0;
  terminationSignals = std::make_unique<TerminationSignals>(bus.get());
  return 0;
}

bool DesktopApplicationBackend::handedToRunningInstance() const {
  return instance && instance->role() == ApplicationInstance::Role::HandedOver;
}

void DesktopApplicationBackend::interfaceLoaded(NSMainInterface& objects) {
  interface = &objects;
  objects.window.setObserver(this);
  // A later launch in this session reopens the application, as "Preferences..." does.
  if (instance) {
    instance->setActivationHandler([this](const std::string& token) {
      if (!token.empty()) activationToken = token;
      NSApplicationDelegate* delegate = NSApp().delegate();
      if (delegate == nullptr || delegate->applicationShouldHandleReopen())
        interface->window.makeKeyAndOrderFront(nullptr);
    });
  }
  StatusItemView::Context context;
  context.timing = timing;
  context.toolkit = [this]() -> PanelToolkit* { return toolkit(); };
  context.activationToken = [this](const std::string& token) { activationToken = token; };
  context.bus = bus.get();
  statusBar = std::make_unique<StatusBarView>(std::move(context));
}

std::shared_ptr<RunLoopDriver> DesktopApplicationBackend::runLoopDriver() {
  return std::make_shared<GLibRunLoopDriver>(NSRunLoop::mainRunLoop());
}

// Windows come to the front when shown; there is nothing to do before.
void DesktopApplicationBackend::activateIgnoringOtherApps(bool /*flag*/) {}

void DesktopApplicationBackend::orderFrontStandardAboutPanel() {
  if (DesktopToolkit* shownBy = toolkit())
    shownBy->showAbout(setUpProcessOnce(), takeActivationToken());
}

void DesktopApplicationBackend::windowDidOrderFront(NSWindow& window) {
  DesktopToolkit* shownBy = toolkit();
  // Nothing can be shown (logged): the model must not believe the window is up.
  if (shownBy == nullptr || !shownBy->showPreferences(*interface, takeActivationToken()))
    window.userClose();
}

DesktopToolkit* DesktopApplicationBackend::toolkit() {
  if (!std::exchange(loadTried, true) && loader) loaded = loader(toolkitArguments);
  return loaded.get();
}

std::string DesktopApplicationBackend::takeActivationToken() {
  return std::exchange(activationToken, std::string());
}
