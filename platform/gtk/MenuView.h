#pragma once
// The status item's menu as our own GtkMenu, for the XEmbed tray icon and for hosts that ask the
// item to show its menu (Activate, ContextMenu): one GtkMenuItem per entry of the NSMenu as it is
// when this view is made, disabled where the entry is, separators as dividing lines. Choosing an
// entry sends its action. While the GtkMenu is shown the menu is open for the run loop. Made
// afresh for each pop-up: entries only change while the menu is closed.

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/gtk/GObjectPtr.h"

class MenuView {
 public:
  // GTK must be initialised.
  explicit MenuView(std::shared_ptr<NSMenu> menu);
  // Closes the menu if it is open through this view.
  ~MenuView();
  MenuView(const MenuView&) = delete;
  MenuView& operator=(const MenuView&) = delete;

  // Shows the menu at the pointer, or below `icon` when given.
  void popUp(GtkStatusIcon* icon);
  bool isShown() const { return gtk_widget_get_visible(widget.get()); }

  GtkMenu* gtkMenu() const { return GTK_MENU(widget.get()); }

 private:
  static void activated(GtkMenuItem* entry, gpointer item);
  static void shown(GtkWidget* widget, gpointer self);
  static void hidden(GtkWidget* widget, gpointer self);

  std::shared_ptr<NSMenu> menu;
  OwnedWidget widget;
  std::vector<SignalConnection> widgetSignals;
  // The menu is open because this view said so.
  bool openHere = false;
};
