#include "platform/gtk/StatusItemView.h"

#include <libdbusmenu-glib/server.h>

#include "platform/appkit/NSMenu.h"
#include "platform/gtk/PyrelleIndicator.h"

namespace {

constexpr const char* iconName = "pyrelle";
// The widest title the label is expected to show, so the panel keeps its width as it changes.
constexpr const char* labelGuide = "-00 °F";

std::string trimmed(const std::string& title) {
  const std::size_t first = title.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : title.substr(first);
}

}  // namespace

StatusItemView::StatusItemView(NSStatusItem& shownItem, const std::string& id, std::string desktops)
    : item(shownItem), currentDesktops(std::move(desktops)), files(IconFiles::create()) {
  // An installed icon follows the user's icon theme; from the build folder, use the file.
  const bool installed = gtk_icon_theme_has_icon(gtk_icon_theme_get_default(), iconName);
  if (!installed && files) thermometer = files->thermometer();
  if (thermometer.empty()) thermometer = iconName;

  indicator.reset(pyrelleIndicatorNew(id, thermometer));
  shownIcon = thermometer;
  registration = SignalConnection(indicator.get(), APP_INDICATOR_SIGNAL_CONNECTION_CHANGED,
                                  G_CALLBACK(connectionChanged), this);
  statusItemMenuDidChange(item);
  showTitle();
  app_indicator_set_status(indicator.get(), APP_INDICATOR_STATUS_ACTIVE);
  item.setObserver(this);
}

StatusItemView::~StatusItemView() { item.setObserver(nullptr); }

void StatusItemView::statusItemTitleDidChange(NSStatusItem& /*item*/) { showTitle(); }

void StatusItemView::statusItemMenuDidChange(NSStatusItem& /*item*/) {
  // The indicator holds on to the menu it was given until it gets the next one, so the old view
  // goes only after that; an empty menu stands in for none.
  if (!item.menu()) {
    if (!emptyMenu) emptyMenu = ownWidget(gtk_menu_new());
    app_indicator_set_menu(indicator.get(), GTK_MENU(emptyMenu.get()));
    menuView.reset();
    return;
  }
  auto view = std::make_unique<MenuView>(item.menu());
  app_indicator_set_menu(indicator.get(), view->gtkMenu());
  menuView = std::move(view);
  menuView->trackExportedMenu(exportedMenuRoot().get());
}

GObjectPtr<DbusmenuMenuitem> StatusItemView::exportedMenuRoot() const {
  DbusmenuServer* server = nullptr;
  g_object_get(indicator.get(), "dbus-menu-server", &server, nullptr);
  GObjectPtr<DbusmenuServer> heldServer(server);
  DbusmenuMenuitem* root = nullptr;
  if (server != nullptr) g_object_get(server, "root-node", &root, nullptr);
  return GObjectPtr<DbusmenuMenuitem>(root);
}

// The panel highlights the item while its menu is open wherever the desktop can.
void StatusItemView::statusItemHighlightModeDidChange(NSStatusItem& /*item*/) {}

void StatusItemView::showTitle() {
  const std::string title = trimmed(item.title());
  pyrelleIndicatorSetTooltip(indicator.get(), title.empty() ? "Pyrelle" : "Pyrelle: " + title);
  _presentation = files ? titlePresentation(registered, currentDesktops) : TitlePresentation::Label;

  // Where the label is not shown the title goes into the icon; should drawing it fail, the
  // label is still the better place for it.
  std::string drawn;
  if (_presentation == TitlePresentation::Icon && !title.empty()) drawn = iconShowing(item.title());
  const bool inIcon = _presentation == TitlePresentation::Icon && (title.empty() || !drawn.empty());
  const std::string label = inIcon ? "" : item.title();
  app_indicator_set_label(indicator.get(), label.c_str(), label.empty() ? "" : labelGuide);
  setIcon(drawn.empty() ? thermometer : drawn);
}

std::string StatusItemView::iconShowing(const std::string& title) {
  if (title != drawnTitle || drawnIcon.empty()) {
    drawnIcon = files->writeTitleIcon(title);
    drawnTitle = title;
  }
  return drawnIcon;
}

// Icons go by absolute path, which panels and the fallback tray icon load as they are. (An
// icon theme path with plain names would be the StatusNotifierItem way, but with one set, the
// library reads past the end of GTK's icon search path when it falls back to the tray icon.)
void StatusItemView::setIcon(const std::string& icon) {
  if (icon == shownIcon) return;
  shownIcon = icon;
  app_indicator_set_icon_full(indicator.get(), icon.c_str(), "Pyrelle");
}

void StatusItemView::connectionChanged(AppIndicator* /*indicator*/, gboolean registered,
                                       gpointer self) {
  auto* view = static_cast<StatusItemView*>(self);
  view->registered = registered;
  view->showTitle();
}
