#include "platform/gtk/MenuView.h"

MenuView::MenuView(std::shared_ptr<NSMenu> shownMenu)
    : menu(std::move(shownMenu)), widget(ownWidget(gtk_menu_new())) {
  for (const auto& item : menu->items()) {
    GtkWidget* entry = item->isSeparatorItem()
                           ? gtk_separator_menu_item_new()
                           : gtk_menu_item_new_with_label(item->title().c_str());
    gtk_widget_set_sensitive(entry, item->isEnabled());
    // The view holds the menu, and the menu its entries: the entry outlives its handler.
    if (!item->isSeparatorItem()) {
      g_signal_connect(entry, "activate", G_CALLBACK(activated), item.get());
    }
    gtk_widget_show(entry);
    gtk_menu_shell_append(GTK_MENU_SHELL(widget.get()), entry);
  }
  widgetSignals.emplace_back(widget.get(), "show", G_CALLBACK(shown), this);
  widgetSignals.emplace_back(widget.get(), "hide", G_CALLBACK(hidden), this);
}

MenuView::~MenuView() {
  widgetSignals.clear();
  if (openHere) menu->menuDidClose();
}

void MenuView::popUp(GtkStatusIcon* icon) {
  // GTK's deprecated pop-up is the one that places a menu at the pointer without an input event
  // of ours (the click came over D-Bus) and beside a tray icon.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_menu_popup(gtkMenu(), nullptr, nullptr, icon ? gtk_status_icon_position_menu : nullptr, icon,
                 0, gtk_get_current_event_time());
  G_GNUC_END_IGNORE_DEPRECATIONS
}

void MenuView::activated(GtkMenuItem* /*entry*/, gpointer item) {
  static_cast<NSMenuItem*>(item)->userChoose();
}

void MenuView::shown(GtkWidget* /*widget*/, gpointer self) {
  auto* view = static_cast<MenuView*>(self);
  if (view->menu->isOpen()) return;
  view->openHere = true;
  view->menu->menuWillOpen();
}

void MenuView::hidden(GtkWidget* /*widget*/, gpointer self) {
  auto* view = static_cast<MenuView*>(self);
  if (!view->openHere) return;
  view->openHere = false;
  view->menu->menuDidClose();
}
