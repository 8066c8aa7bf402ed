#include "platform/appkit/NSApplication.h"

#include "platform/appkit/ApplicationBackend.h"
#include "platform/foundation/NSRunLoop.h"

NSApplication& NSApplication::sharedApplication() {
  static NSApplication application;
  return application;
}

void NSApplication::activateIgnoringOtherApps(bool flag) {
  if (backend != nullptr) backend->activateIgnoringOtherApps(flag);
}

void NSApplication::orderFrontStandardAboutPanel(NSObject* /*sender*/) {
  if (backend != nullptr) backend->orderFrontStandardAboutPanel();
}

void NSApplication::terminate(NSObject* /*sender*/) {
  if (!running) return;
  running = false;
  if (looping) NSRunLoop::mainRunLoop().stop();
}
