#pragma once
// An item in the desktop's panel: a title, a menu that opens when it is clicked, a highlight
// mode. Made only by NSStatusBar; it leaves the bar when its last owner lets go.

#include <memory>
#include <string>

#include "platform/appkit/ObserverSlot.h"
#include "platform/foundation/Passkey.h"

class NSMenu;
class NSStatusBar;
class NSStatusItem;

class NSStatusItemObserver {
 public:
  virtual ~NSStatusItemObserver() = default;
  virtual void statusItemTitleDidChange(NSStatusItem& item) = 0;
  virtual void statusItemMenuDidChange(NSStatusItem& item) = 0;
};

class NSStatusItem {
 public:
  ~NSStatusItem();
  NSStatusItem(const NSStatusItem&) = delete;
  NSStatusItem& operator=(const NSStatusItem&) = delete;

  const std::string& title() const { return _title; }
  // The observer is told only when the title actually changes.
  void setTitle(std::string title);
  // Whether the item is highlighted while its menu is open; panels on Linux do that themselves.
  bool highlightMode() const { return _highlightMode; }
  void setHighlightMode(bool highlightMode) { _highlightMode = highlightMode; }
  const std::shared_ptr<NSMenu>& menu() const { return _menu; }
  void setMenu(std::shared_ptr<NSMenu> menu);

  // Not owned; nullptr detaches. The observer detaches before it is destroyed.
  void setObserver(NSStatusItemObserver* observer) {
    attachObserver(_observer, observer, "NSStatusItem");
  }

  // Made by NSStatusBar only.
  explicit NSStatusItem(Passkey<NSStatusBar> /*key*/) {}

 private:
  std::string _title;
  bool _highlightMode = false;
  std::shared_ptr<NSMenu> _menu;
  NSStatusItemObserver* _observer = nullptr;
};
