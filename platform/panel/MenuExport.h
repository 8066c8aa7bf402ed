#pragma once
// Exports an NSMenu over dbusmenu (libdbusmenu-glib) on the session bus, where hosts
// of the StatusNotifierItem read it: one entry per menu entry in the same order, disabled where
// the entry is, separators as such. Titles and enabled states change in place, so a host's copy
// is never rebuilt. A host's click on an entry sends the entry's action.
//
// The menu is open for the run loop (timers wait) only between the root's "opened" and "closed"
// events. AboutToShow and AboutToShowGroup say nothing about that: some hosts send them at
// registration or on every open with no "closed" to follow. A "closed" that never comes is
// assumed after `closingGuardAfter` (a minute in the program).

#include <libdbusmenu-glib/menuitem.h>
#include <libdbusmenu-glib/server.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/foundation/GLibPtr.h"

class MenuExport final : private NSMenuObserver {
 public:
  // Exports `menu` at `objectPath`; `menu` may be nullptr: an empty menu is exported.
  MenuExport(std::shared_ptr<NSMenu> menu, const std::string& objectPath,
             std::chrono::milliseconds closingGuardAfter);
  // Closes the menu if it is open through this export.
  ~MenuExport() override;
  MenuExport(const MenuExport&) = delete;
  MenuExport& operator=(const MenuExport&) = delete;

  DbusmenuMenuitem* rootForTesting() const { return root.get(); }

 private:
  void menuDidAddItem(NSMenu& menu, NSMenuItem& item, std::size_t index) override;
  void menuItemDidChange(NSMenu& menu, NSMenuItem& item) override;

  void opened();
  void closed();
  void disarmClosingGuard();

  static gboolean rootEvent(DbusmenuMenuitem* root, const char* name, GVariant* data,
                            guint timestamp, gpointer self);
  static void entryActivated(DbusmenuMenuitem* entry, guint timestamp, gpointer item);
  static gboolean closingGuardExpired(gpointer self);

  std::shared_ptr<NSMenu> menu;
  std::chrono::milliseconds closingGuardDelay;
  GObjectPtr<DbusmenuServer> server;
  GObjectPtr<DbusmenuMenuitem> root;
  // The exported entries, in the menu's order.
  std::vector<DbusmenuMenuitem*> entries;
  gulong rootEventHandler = 0;
  guint closingGuard = 0;
  // The menu is open because a host said so here.
  bool openHere = false;
};
