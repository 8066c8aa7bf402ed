#pragma once
// A menu: a title and entries shown top to bottom in the order added. The view tells the menu
// when it opens and closes; while it is open the main run loop is in its event-tracking mode,
// so timers of the default mode wait until it closes.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/ObserverSlot.h"

class NSMenuObserver {
 public:
  virtual ~NSMenuObserver() = default;
  // `item` was appended; it is items()[index].
  virtual void menuDidAddItem(NSMenu& menu, NSMenuItem& item, std::size_t index) = 0;
  // An entry's title or enabled state changed.
  virtual void menuItemDidChange(NSMenu& menu, NSMenuItem& item) = 0;
};

class NSMenu {
 public:
  explicit NSMenu(std::string title);
  ~NSMenu();
  NSMenu(const NSMenu&) = delete;
  NSMenu& operator=(const NSMenu&) = delete;

  const std::string& title() const { return _title; }

  // Appends `item`. An entry already in a menu (this one included), or nullptr, is logged and
  // not added.
  void addItem(std::shared_ptr<NSMenuItem> item);
  const std::vector<std::shared_ptr<NSMenuItem>>& items() const { return _items; }

  // The view shows or hides the menu. Opening twice or closing a closed menu changes nothing.
  void menuWillOpen();
  void menuDidClose();
  bool isOpen() const { return open; }

  // Not owned; nullptr detaches. The observer detaches before it is destroyed.
  void setObserver(NSMenuObserver* observer) { attachObserver(_observer, observer, "NSMenu"); }

 private:
  friend class NSMenuItem;
  void itemDidChange(NSMenuItem& item);

  std::string _title;
  std::vector<std::shared_ptr<NSMenuItem>> _items;
  NSMenuObserver* _observer = nullptr;
  bool open = false;
};
