#include "platform/appkit/NSMenu.h"

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"

NSMenu::NSMenu(std::string title) : _title(std::move(title)) {}

NSMenu::~NSMenu() {
  // A menu that goes away while shown must not leave the loop holding its timers.
  menuDidClose();
  for (auto& item : _items) item->_menu = nullptr;
}

void NSMenu::addItem(std::shared_ptr<NSMenuItem> item) {
  if (item == nullptr) {
    NSLog("Menu: no entry to add");
    return;
  }
  if (item->_menu != nullptr) {
    NSLog("Menu: the entry is already in a menu; not added again");
    return;
  }
  item->_menu = this;
  _items.push_back(std::move(item));
  if (_observer != nullptr) _observer->menuDidAddItem(*this, *_items.back(), _items.size() - 1);
}

void NSMenu::menuWillOpen() {
  if (open) return;
  open = true;
  NSRunLoop::mainRunLoop().setMode(NSRunLoopMode::EventTracking);
}

void NSMenu::menuDidClose() {
  if (!open) return;
  open = false;
  NSRunLoop::mainRunLoop().setMode(NSRunLoopMode::Default);
}

void NSMenu::itemDidChange(NSMenuItem& item) {
  if (_observer != nullptr) _observer->menuItemDidChange(*this, item);
}
