#pragma once
// Whether the status item's menu is open, whoever shows it (a host through the exported menu,
// or our own pop-up): the one place that tells the menu, and so the run loop, which holds the
// refresh while the menu is open. A menu that is never said to close counts as closed after
// the guard's delay, counted from the first opening: further openings do not extend it.

#include <chrono>
#include <functional>
#include <memory>

#include "platform/foundation/GLibPtr.h"

class NSMenu;

class MenuOpenState {
 public:
  // `guardExpired` runs when the guard closes the menu (after it is closed).
  MenuOpenState(std::chrono::milliseconds guardDelay, std::function<void()> guardExpired);
  // Closes the menu if it is open.
  ~MenuOpenState();
  MenuOpenState(const MenuOpenState&) = delete;
  MenuOpenState& operator=(const MenuOpenState&) = delete;

  // Follows `menu` from now on; an open earlier menu is closed first.
  void setMenu(std::shared_ptr<NSMenu> menu);
  void opened();
  void closed();
  bool isOpen() const;

 private:
  static gboolean guardDue(gpointer self);

  std::chrono::milliseconds delay;
  std::function<void()> expired;
  std::shared_ptr<NSMenu> menu;
  GSourcePtr guard;
};
