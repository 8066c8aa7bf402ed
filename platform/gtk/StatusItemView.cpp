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

StatusItemView::StatusItemView(NSStatusItem& shownItem, const std::string& id,
                               std::string desktops)
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
  // The indicator holds on to the menu it was given; an empty one stands in for none.
  GtkMenu* shown = nullptr;
  if (item.menu()) {
    auto view = std::make_unique<MenuView>(item.menu());
    shown = view->gtkMenu();
    app_indicator_set_menu(indicator.get(), shown);
    menuView = std::move(view);
  } else {
    if (!emptyMenu) emptyMenu = ownWidget(gtk_menu_new());
    app_indicator_set_menu(indicator.get(), GTK_MENU(emptyMenu.get()));
    menuView.reset();
  }
  if (!menuView) return;
  DbusmenuServer* server = nullptr;
  DbusmenuMenuitem* root = nullptr;
  g_object_get(indicator.get(), "dbus-menu-server", &server, nullptr);
  if (server != nullptr) g_object_get(server, "root-node", &root, nullptr);
  menuView->trackExportedMenu(root);
  if (root != nullptr) g_object_unref(root);
  if (server != nullptr) g_object_unref(server);
}

// The panel highlights the item while its menu is open wherever the desktop can.
void StatusItemView::statusItemHighlightModeDidChange(NSStatusItem& /*item*/) {}

void StatusItemView::showTitle() {
  const std::string title = trimmed(item.title());
  pyrelleIndicatorSetTooltip(indicator.get(), title.empty() ? "Pyrelle" : "Pyrelle: " + title);
  _presentation = files ? titlePresentation(registered, currentDesktops) : TitlePresentation::Label;

  if (_presentation == TitlePresentation::Label || title.empty()) {
    const std::string label = _presentation == TitlePresentation::Label ? item.title() : "";
    app_indicator_set_label(indicator.get(), label.c_str(), label.empty() ? "" : labelGuide);
    setIcon(thermometer);
    return;
  }
  app_indicator_set_label(indicator.get(), "", "");
  if (drawnTitle != item.title() || drawnIcon.empty()) {
    drawnIcon = files->writeTitleIcon(item.title());
    drawnTitle = item.title();
  }
  setIcon(drawnIcon.empty() ? thermometer : drawnIcon);
}

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
