#pragma once
// An entry of a menu: a title and an action sent to a target when chosen, or a separator. An entry
// is enabled only when it has an action and a target that answers it, so an entry without an action
// shows disabled and cannot be chosen.

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/appkit/NSObject.h"
#include "platform/appkit/NSSelector.h"

class NSMenu;

class NSMenuItem : public NSObject {
 public:
  // `action` may be empty (NSSelector{}): the entry is then disabled. The system makes every
  // entry with an empty key equivalent; no other is taken.
  NSMenuItem(std::string title, NSSelector action, std::string_view keyEquivalent);
  NSMenuItem(const NSMenuItem&) = delete;
  NSMenuItem& operator=(const NSMenuItem&) = delete;

  // A dividing line: no title, no action, never enabled.
  static std::shared_ptr<NSMenuItem> separatorItem();

  const std::string& title() const { return _title; }
  // The menu's observer is told when the title actually changes.
  void setTitle(std::string title);
  bool isSeparatorItem() const { return separator; }

  const NSSelector& action() const { return _action; }
  void setAction(NSSelector action);
  // Not owned: the target must outlive every send, or be reset first.
  NSObject* target() const { return _target; }
  void setTarget(NSObject* target);
  bool isEnabled() const;

  // The menu this entry was added to; nullptr when none, or once that menu is gone.
  NSMenu* menu() const { return _menu; }

  // The user chose this entry: sends its action to its target with the entry as the sender.
  // Does nothing for a disabled entry. Returns whether the action was sent.
  bool userChoose();

 private:
  friend class NSMenu;
  void changed();

  std::string _title;
  NSSelector _action;
  NSObject* _target = nullptr;
  NSMenu* _menu = nullptr;
  bool separator = false;
};
