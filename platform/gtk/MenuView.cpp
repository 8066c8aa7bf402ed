#include "platform/gtk/MenuView.h"

#include <cstring>

#include "platform/foundation/NSLog.h"

namespace {

// A panel that said the menu opened but never says it closed would hold the refresh forever;
// after this long the menu counts as closed.
constexpr guint closingGuardSeconds = 60;

}  // namespace

MenuView::MenuView(std::shared_ptr<NSMenu> shownMenu)
    : menu(std::move(shownMenu)), widget(ownWidget(gtk_menu_new())) {
  for (std::size_t index = 0; index < menu->items().size(); ++index) {
    menuDidAddItem(*menu, *menu->items()[index], index);
  }
  widgetSignals.emplace_back(widget.get(), "show", G_CALLBACK(shown), this);
  widgetSignals.emplace_back(widget.get(), "hide", G_CALLBACK(hidden), this);
  menu->setObserver(this);
}

MenuView::~MenuView() {
  menu->setObserver(nullptr);
  disarmClosingGuard();
  if (openHere) menu->menuDidClose();
}

void MenuView::trackExportedMenu(DbusmenuMenuitem* root) {
  exportedSignals.clear();
  exportedRoot = holdSinking(root);
  if (!root) return;
  exportedSignals.emplace_back(root, DBUSMENU_MENUITEM_SIGNAL_ABOUT_TO_SHOW,
                               G_CALLBACK(exportedAboutToShow), this);
  exportedSignals.emplace_back(root, DBUSMENU_MENUITEM_SIGNAL_EVENT, G_CALLBACK(exportedEvent),
                               this);
}

void MenuView::menuDidAddItem(NSMenu& /*menu*/, NSMenuItem& item, std::size_t index) {
  GtkWidget* entry = item.isSeparatorItem() ? gtk_separator_menu_item_new()
                                            : gtk_menu_item_new_with_label(item.title().c_str());
  gtk_widget_set_sensitive(entry, item.isEnabled());
  if (!item.isSeparatorItem()) g_signal_connect(entry, "activate", G_CALLBACK(activated), &item);
  gtk_widget_show(entry);
  gtk_menu_shell_insert(GTK_MENU_SHELL(widget.get()), entry, static_cast<gint>(index));
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index), entry);
}

void MenuView::menuItemDidChange(NSMenu& /*menu*/, NSMenuItem& item) {
  const auto& items = menu->items();
  for (std::size_t index = 0; index < items.size() && index < entries.size(); ++index) {
    if (items[index].get() != &item) continue;
    if (!item.isSeparatorItem()) {
      gtk_menu_item_set_label(GTK_MENU_ITEM(entries[index]), item.title().c_str());
    }
    gtk_widget_set_sensitive(entries[index], item.isEnabled());
    return;
  }
}

void MenuView::opened() {
  if (menu->isOpen()) return;
  openHere = true;
  menu->menuWillOpen();
}

void MenuView::closed() {
  disarmClosingGuard();
  if (!openHere) return;
  openHere = false;
  menu->menuDidClose();
}

void MenuView::armClosingGuard() {
  disarmClosingGuard();
  closingGuard = g_timeout_add_seconds(closingGuardSeconds, closingGuardExpired, this);
}

void MenuView::disarmClosingGuard() {
  if (closingGuard != 0) g_source_remove(closingGuard);
  closingGuard = 0;
}

void MenuView::activated(GtkMenuItem* /*entry*/, gpointer item) {
  static_cast<NSMenuItem*>(item)->userChoose();
}

void MenuView::shown(GtkWidget* /*widget*/, gpointer self) {
  static_cast<MenuView*>(self)->opened();
}

void MenuView::hidden(GtkWidget* /*widget*/, gpointer self) {
  static_cast<MenuView*>(self)->closed();
}

gboolean MenuView::exportedAboutToShow(DbusmenuMenuitem* /*root*/, gpointer self) {
  auto* view = static_cast<MenuView*>(self);
  view->opened();
  view->armClosingGuard();
  return FALSE;
}

gboolean MenuView::exportedEvent(DbusmenuMenuitem* /*root*/, const char* name, GVariant* /*data*/,
                                 guint /*timestamp*/, gpointer self) {
  auto* view = static_cast<MenuView*>(self);
  if (std::strcmp(name, DBUSMENU_MENUITEM_EVENT_OPENED) == 0) {
    view->opened();
    view->armClosingGuard();
  }
  if (std::strcmp(name, DBUSMENU_MENUITEM_EVENT_CLOSED) == 0) view->closed();
  // Not handled here: the item's own handling (activation on "clicked") goes on.
  return FALSE;
}

gboolean MenuView::closingGuardExpired(gpointer self) {
  auto* view = static_cast<MenuView*>(self);
  view->closingGuard = 0;
  NSLog("Menu: the panel did not say that the menu closed; refreshing again");
  view->closed();
  return G_SOURCE_REMOVE;
}
