#pragma once
// Mirrors an NSMenu as a GtkMenu: one GtkMenuItem per entry in the same order, disabled where the
// entry is, separators as dividing lines; titles and enabled states change in place, so the menu
// the panel holds is never rebuilt. Choosing an entry sends its action.
//
// Tells the menu when it opens and closes (the run loop holds its timers meanwhile): from the
// GtkMenu's show and hide where the tray icon pops it up, and from the exported D-Bus menu's
// root where a panel shows it ("about-to-show", then the events "opened" and "closed").

#include <gtk/gtk.h>
#include <libdbusmenu-glib/menuitem.h>

#include <memory>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/gtk/GObjectPtr.h"

class MenuView final : private NSMenuObserver {
 public:
  explicit MenuView(std::shared_ptr<NSMenu> menu);
  // Closes the menu if it is open through this view.
  ~MenuView() override;
  MenuView(const MenuView&) = delete;
  MenuView& operator=(const MenuView&) = delete;

  GtkMenu* gtkMenu() const { return GTK_MENU(widget.get()); }

  // Follows the opening and closing of `root`, the exported copy of this menu (nullptr: stop).
  void trackExportedMenu(DbusmenuMenuitem* root);

 private:
  void menuDidAddItem(NSMenu& menu, NSMenuItem& item, std::size_t index) override;
  void menuItemDidChange(NSMenu& menu, NSMenuItem& item) override;

  void opened();
  void closed();
  void armClosingGuard();
  void disarmClosingGuard();

  static void activated(GtkMenuItem* entry, gpointer item);
  static void shown(GtkWidget* widget, gpointer self);
  static void hidden(GtkWidget* widget, gpointer self);
  static gboolean exportedAboutToShow(DbusmenuMenuitem* root, gpointer self);
  static gboolean exportedEvent(DbusmenuMenuitem* root, const char* name, GVariant* data,
                                guint timestamp, gpointer self);
  static gboolean closingGuardExpired(gpointer self);

  std::shared_ptr<NSMenu> menu;
  OwnedWidget widget;
  // The widgets of the menu's entries, in the same order.
  std::vector<GtkWidget*> entries;
  std::vector<SignalConnection> widgetSignals;
  GObjectPtr<DbusmenuMenuitem> exportedRoot;
  std::vector<SignalConnection> exportedSignals;
  guint closingGuard = 0;
  // The menu is open because this view said so.
  bool openHere = false;
};
