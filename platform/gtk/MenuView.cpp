#include "platform/gtk/MenuView.h"

MenuView::MenuView(const std::shared_ptr<NSMenu>& menu, PanelToolkit::MenuShown onShown)
    : items(menu->items()), shown(std::move(onShown)), widget(ownWidget(gtk_menu_new())) {
  for (const auto& item : items) {
    GtkWidget* entry = item->isSeparatorItem()
                           ? gtk_separator_menu_item_new()
                           : gtk_menu_item_new_with_label(item->title().c_str());
    gtk_widget_set_sensitive(entry, item->isEnabled());
    // The view holds the entries: each outlives its handler.
    if (!item->isSeparatorItem()) {
      g_signal_connect(entry, "activate", G_CALLBACK(activated), item.get());
    }
    gtk_widget_show(entry);
    gtk_menu_shell_append(GTK_MENU_SHELL(widget.get()), entry);
  }
  widgetSignals.emplace_back(widget.get(), "show", G_CALLBACK(visibilityChanged), this);
  widgetSignals.emplace_back(widget.get(), "hide", G_CALLBACK(visibilityChanged), this);
}

MenuView::~MenuView() {
  const bool wasShown = isShown();
  widgetSignals.clear();
  if (wasShown && shown) shown(false);
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

void MenuView::visibilityChanged(GtkWidget* widget, gpointer self) {
  auto* view = static_cast<MenuView*>(self);
  if (view->shown) view->shown(gtk_widget_get_visible(widget));
}
