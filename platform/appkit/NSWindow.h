#pragma once
// A window of the interface file (the preferences window). Hidden until brought to the front;
// closing it only hides it, so it can be brought back with all its controls.

#include "platform/appkit/NSObject.h"
#include "platform/appkit/ObserverSlot.h"

class NSWindow;

class NSWindowObserver {
 public:
  virtual ~NSWindowObserver() = default;
  // makeKeyAndOrderFront: show the window (again), raise it and give it the keyboard focus.
  virtual void windowDidOrderFront(NSWindow& window) = 0;
};

class NSWindow : public NSObject {
 public:
  NSWindow() = default;
  NSWindow(const NSWindow&) = delete;
  NSWindow& operator=(const NSWindow&) = delete;

  bool isVisible() const { return visible; }
  // Shows the window, brings it to the front and makes it key, even when already visible.
  void makeKeyAndOrderFront(NSObject* sender);
  // The user closed the window: it is hidden.
  void userClose() { visible = false; }

  // Not owned; nullptr detaches. The observer detaches before it is destroyed.
  void setObserver(NSWindowObserver* observer) { attachObserver(_observer, observer, "NSWindow"); }

 private:
  bool visible = false;
  NSWindowObserver* _observer = nullptr;
};
