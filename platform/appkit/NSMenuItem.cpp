#include "platform/appkit/NSMenuItem.h"

#include "platform/appkit/NSMenu.h"

NSMenuItem::NSMenuItem(std::string title, NSSelector action, std::string_view /*keyEquivalent*/)
    : _title(std::move(title)), _action(std::move(action)) {}

std::shared_ptr<NSMenuItem> NSMenuItem::separatorItem() {
  auto item = std::make_shared<NSMenuItem>("", NSSelector{}, "");
  item->separator = true;
  return item;
}

void NSMenuItem::setTitle(std::string title) {
  if (title == _title) return;
  _title = std::move(title);
  changed();
}

void NSMenuItem::setAction(NSSelector action) {
  _action = std::move(action);
  changed();
}

void NSMenuItem::setTarget(NSObject* target) {
  if (target == _target) return;
  _target = target;
  changed();
}

bool NSMenuItem::isEnabled() const {
  return !separator && _target != nullptr && _action.respondsTo(*_target);
}

bool NSMenuItem::userChoose() {
  if (!isEnabled()) return false;
  return _action.send(*_target, *this);
}

void NSMenuItem::changed() {
  if (_menu != nullptr) _menu->itemDidChange(*this);
}
