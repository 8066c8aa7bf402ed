#include "platform/appkit/NSWindow.h"

void NSWindow::makeKeyAndOrderFront(NSObject* /*sender*/) {
  visible = true;
  if (_observer != nullptr) _observer->windowDidOrderFront(*this);
}
