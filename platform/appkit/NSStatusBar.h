#pragma once
// The desktop's panel as the application sees it: it hands out status items and keeps the list
// of those still alive, in the order made, so that a view attached at any time finds them all.

#include <memory>
#include <vector>

#include "platform/appkit/NSStatusItem.h"
#include "platform/appkit/ObserverSlot.h"

inline constexpr double NSVariableStatusItemLength = -1.0;

class NSStatusBarObserver {
 public:
  virtual ~NSStatusBarObserver() = default;
  virtual void statusBarDidAddItem(NSStatusItem& item) = 0;
  // Sent from the item's destructor, while it can still be read.
  virtual void statusBarWillRemoveItem(NSStatusItem& item) = 0;
};

class NSStatusBar {
 public:
  static NSStatusBar& systemStatusBar();
  NSStatusBar(const NSStatusBar&) = delete;
  NSStatusBar& operator=(const NSStatusBar&) = delete;

  // A new item with an empty title, owned by the caller; it stays in the bar while it lives.
  // Every item's width follows its title: the system asks for NSVariableStatusItemLength.
  std::shared_ptr<NSStatusItem> statusItemWithLength(double length);
  const std::vector<NSStatusItem*>& statusItems() const { return items; }

  // Not owned; nullptr detaches. The observer detaches before it is destroyed.
  void setObserver(NSStatusBarObserver* observer) {
    attachObserver(_observer, observer, "NSStatusBar");
  }

 private:
  NSStatusBar() = default;
  friend class NSStatusItem;
  void removeItem(NSStatusItem& item);

  std::vector<NSStatusItem*> items;
  NSStatusBarObserver* _observer = nullptr;
};
