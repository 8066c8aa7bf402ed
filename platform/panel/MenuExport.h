#pragma once
// Exports an NSMenu over dbusmenu (libdbusmenu-glib) on the session bus, where hosts
// of the StatusNotifierItem read it: one entry per menu entry in the same order, disabled where
// the entry is, separators as such. Titles and enabled states change in place, so a host's copy
// is never rebuilt. A host's click on an entry sends the entry's action.
//
// The host's "opened" and "closed" events on the root are passed on: only they say whether the
// menu is open. AboutToShow and AboutToShowGroup say nothing about that: some hosts send them
// at registration or on every open with no "closed" to follow.

#include <libdbusmenu-glib/menuitem.h>
#include <libdbusmenu-glib/server.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/foundation/GLibPtr.h"

class MenuExport final : private NSMenuObserver {
 public:
  // Called with true on the host's "opened", false on its "closed".
  using OpenChanged = std::function<void(bool open)>;

  // Exports `menu` at `objectPath`; `menu` may be nullptr: an empty menu is exported.
  MenuExport(std::shared_ptr<NSMenu> menu, const std::string& objectPath, OpenChanged openChanged);
  ~MenuExport() override;
  MenuExport(const MenuExport&) = delete;
  MenuExport& operator=(const MenuExport&) = delete;

  DbusmenuMenuitem* rootForTesting() const { return root.get(); }

 private:
  void menuDidAddItem(NSMenu& menu, NSMenuItem& item, std::size_t index) override;
  void menuItemDidChange(NSMenu& menu, NSMenuItem& item) override;

  static gboolean rootEvent(DbusmenuMenuitem* root, const char* name, GVariant* data,
                            guint timestamp, gpointer self);
  static void entryActivated(DbusmenuMenuitem* entry, guint timestamp, gpointer item);

  std::shared_ptr<NSMenu> menu;
  OpenChanged openChanged;
  GObjectPtr<DbusmenuServer> server;
  GObjectPtr<DbusmenuMenuitem> root;
  // The exported entries, in the menu's order.
  std::vector<DbusmenuMenuitem*> entries;
  gulong rootEventHandler = 0;
};
