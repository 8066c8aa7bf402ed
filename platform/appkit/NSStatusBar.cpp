#include "platform/appkit/NSStatusBar.h"

#include <algorithm>

#include "platform/appkit/NSMenu.h"

NSStatusBar& NSStatusBar::systemStatusBar() {
  static NSStatusBar bar;
  return bar;
}

std::shared_ptr<NSStatusItem> NSStatusBar::statusItemWithLength(double /*length*/) {
  auto item = std::make_shared<NSStatusItem>(Passkey<NSStatusBar>{});
  items.push_back(item.get());
  if (_observer != nullptr) _observer->statusBarDidAddItem(*item);
  return item;
}

void NSStatusBar::removeItem(NSStatusItem& item) {
  if (_observer != nullptr) _observer->statusBarWillRemoveItem(item);
  std::erase(items, &item);
}

NSStatusItem::~NSStatusItem() { NSStatusBar::systemStatusBar().removeItem(*this); }

void NSStatusItem::setTitle(std::string title) {
  if (title == _title) return;
  _title = std::move(title);
  if (_observer != nullptr) _observer->statusItemTitleDidChange(*this);
}

void NSStatusItem::setMenu(std::shared_ptr<NSMenu> menu) {
  if (menu == _menu) return;
  _menu = std::move(menu);
  if (_observer != nullptr) _observer->statusItemMenuDidChange(*this);
}
