#include "platform/appkit/NSWindow.h"

void NSWindow::makeKeyAndOrderFront(NSObject* /*sender*/) {
  visible = true;
  if (_observer != nullptr) _observer->windowDidOrderFront(*this);
}

void NSWindow::orderOut(NSObject* /*sender*/) {
  if (!visible) return;
  visible = false;
  if (_observer != nullptr) _observer->windowDidOrderOut(*this);
}
