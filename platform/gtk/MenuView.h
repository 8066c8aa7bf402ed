#pragma once
// The status item's menu as our own GtkMenu, for the XEmbed tray icon and for hosts that ask the
// item to show its menu (Activate, ContextMenu): one GtkMenuItem per entry of the NSMenu as it is
// when this view is made, disabled where the entry is, separators as dividing lines. Choosing an
// entry sends its action. Made afresh for each pop-up: entries only change while the menu is
// closed.

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/panel/PanelToolkit.h"

class MenuView final : public PopUpMenuView {
 public:
  // GTK must be initialised. `shown` hears when the menu appears and when it goes.
  MenuView(const std::shared_ptr<NSMenu>& menu, PanelToolkit::MenuShown shown);
  // Takes the menu off the screen.
  ~MenuView() override;
  MenuView(const MenuView&) = delete;
  MenuView& operator=(const MenuView&) = delete;

  // Shows the menu at the pointer, or below `icon` when given.
  void popUp(GtkStatusIcon* icon);
  bool isShown() const override { return gtk_widget_get_visible(widget.get()); }

  GtkMenu* gtkMenu() const { return GTK_MENU(widget.get()); }

 private:
  static void activated(GtkMenuItem* entry, gpointer item);
  static void visibilityChanged(GtkWidget* widget, gpointer self);

  // The entries the widgets' handlers point at.
  std::vector<std::shared_ptr<NSMenuItem>> items;
  PanelToolkit::MenuShown shown;
  OwnedWidget widget;
  std::vector<SignalConnection> widgetSignals;
};
