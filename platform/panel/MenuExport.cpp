#include "platform/panel/MenuExport.h"

#include <libdbusmenu-glib/client.h>

#include <cstring>

MenuExport::MenuExport(std::shared_ptr<NSMenu> shownMenu, const std::string& objectPath,
                       OpenChanged onOpenChanged)
    : menu(std::move(shownMenu)),
      openChanged(std::move(onOpenChanged)),
      server(dbusmenu_server_new(objectPath.c_str())),
      root(dbusmenu_menuitem_new()) {
  dbusmenu_menuitem_property_set(root.get(), DBUSMENU_MENUITEM_PROP_CHILD_DISPLAY,
                                 DBUSMENU_MENUITEM_CHILD_DISPLAY_SUBMENU);
  rootEventHandler =
      g_signal_connect(root.get(), DBUSMENU_MENUITEM_SIGNAL_EVENT, G_CALLBACK(rootEvent), this);
  if (menu) {
    for (std::size_t index = 0; index < menu->items().size(); ++index) {
      menuDidAddItem(*menu, *menu->items()[index], index);
    }
    menu->setObserver(this);
  }
  dbusmenu_server_set_root(server.get(), root.get());
}

MenuExport::~MenuExport() {
  if (menu) menu->setObserver(nullptr);
  g_signal_handler_disconnect(root.get(), rootEventHandler);
  // The entries' handlers point at the menu's entries, which may outlive this export.
  for (DbusmenuMenuitem* entry : entries) {
    g_signal_handlers_disconnect_matched(entry, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                         reinterpret_cast<gpointer>(entryActivated), nullptr);
  }
}

void MenuExport::menuDidAddItem(NSMenu& /*menu*/, NSMenuItem& item, std::size_t index) {
  DbusmenuMenuitem* entry = dbusmenu_menuitem_new();
  if (item.isSeparatorItem()) {
    dbusmenu_menuitem_property_set(entry, DBUSMENU_MENUITEM_PROP_TYPE,
                                   DBUSMENU_CLIENT_TYPES_SEPARATOR);
  } else {
    dbusmenu_menuitem_property_set(entry, DBUSMENU_MENUITEM_PROP_LABEL, item.title().c_str());
    g_signal_connect(entry, DBUSMENU_MENUITEM_SIGNAL_ITEM_ACTIVATED, G_CALLBACK(entryActivated),
                     &item);
  }
  dbusmenu_menuitem_property_set_bool(entry, DBUSMENU_MENUITEM_PROP_ENABLED, item.isEnabled());
  dbusmenu_menuitem_child_add_position(root.get(), entry, static_cast<guint>(index));
  // The root holds the entry now.
  g_object_unref(entry);
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index), entry);
}

void MenuExport::menuItemDidChange(NSMenu& /*menu*/, NSMenuItem& item) {
  const auto& items = menu->items();
  for (std::size_t index = 0; index < items.size() && index < entries.size(); ++index) {
    if (items[index].get() != &item) continue;
    if (!item.isSeparatorItem()) {
      dbusmenu_menuitem_property_set(entries[index], DBUSMENU_MENUITEM_PROP_LABEL,
                                     item.title().c_str());
    }
    dbusmenu_menuitem_property_set_bool(entries[index], DBUSMENU_MENUITEM_PROP_ENABLED,
                                        item.isEnabled());
    return;
  }
}

gboolean MenuExport::rootEvent(DbusmenuMenuitem* /*root*/, const char* name, GVariant* /*data*/,
                               guint /*timestamp*/, gpointer self) {
  auto* exported = static_cast<MenuExport*>(self);
  if (!exported->openChanged) return FALSE;
  if (std::strcmp(name, DBUSMENU_MENUITEM_EVENT_OPENED) == 0) exported->openChanged(true);
  if (std::strcmp(name, DBUSMENU_MENUITEM_EVENT_CLOSED) == 0) exported->openChanged(false);
  // Not handled here: the item's own handling goes on.
  return FALSE;
}

void MenuExport::entryActivated(DbusmenuMenuitem* /*entry*/, guint /*timestamp*/, gpointer item) {
  static_cast<NSMenuItem*>(item)->userChoose();
}
