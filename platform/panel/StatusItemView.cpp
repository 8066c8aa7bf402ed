#include "platform/panel/StatusItemView.h"

#include "platform/appkit/NSMenu.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/panel/PanelIconFolder.h"
#include "platform/panel/TitleLook.h"

namespace {

GSourcePtr startTimer(std::chrono::milliseconds delay, GSourceFunc due, gpointer self) {
  GSourcePtr timer(g_timeout_source_new(static_cast<guint>(delay.count())));
  g_source_set_callback(timer.get(), due, self, nullptr);
  g_source_attach(timer.get(), nullptr);
  return timer;
}

// "<folder>/<name>.svg" where the folder holds it; "" otherwise.
std::string iconFileIn(const std::string& folder, const std::string& name) {
  if (folder.empty()) return {};
  std::string file = folder + "/" + name + ".svg";
  return g_file_test(file.c_str(), G_FILE_TEST_EXISTS) ? file : std::string();
}

// The session's integer scale, as GTK reads it: what the hosts that draw the largest pixmap
// multiply their size by. 1 where it is unset or not one.
int sessionScale() {
  const char* value = g_getenv("GDK_SCALE");
  const gint64 scale = value != nullptr ? g_ascii_strtoll(value, nullptr, 10) : 1;
  return scale >= 1 && scale <= 4 ? static_cast<int>(scale) : 1;
}

}  // namespace

StatusItemView::StatusItemView(NSStatusItem& shownItem, unsigned itemNumber, Context itemContext)
    : item(shownItem),
      number(itemNumber),
      menuPath(itemNumber == 1 ? "/MenuBar" : "/MenuBar/" + std::to_string(itemNumber)),
      context(std::move(itemContext)),
      setting(
          parseTitleSetting(NSUserDefaults::standardUserDefaults().stringForKey("title", "Panel"))),
      // Our own menu stuck on screen is taken down with the guard, as a host's is forgotten.
      menuState(context.timing.menuClosingGuard, [this] { popup.reset(); }),
      bus(context.bus != nullptr ? G_DBUS_CONNECTION(g_object_ref(context.bus)) : nullptr),
      iconFolder(bus ? panelIconFolder() : std::string()),
      applicationIconFile(iconFileIn(iconFolder, applicationIconName())) {
  armUnseenTimer(context.timing.unseenDelay);
  item.setObserver(this);
  menuState.setMenu(item.menu());
  if (!bus) {
    trayTimer = startTimer(std::chrono::milliseconds(0), trayDue, this);
    return;
  }
  menuLimits = std::make_unique<MenuRequestLimits>(bus.get(), menuPath);
  exportMenu();
  StatusNotifierItem::Callbacks callbacks;
  callbacks.named = [this] {
    // Registered by object path, as hosts then know the item by the calling connection at once
    // (GNOME Shell's extension resolves a bus name first, and meanwhile may find the item a
    // second time by its own search).
    WatcherClient::Listener& listener = *this;
    watcher = std::make_unique<WatcherClient>(bus.get(), exported->objectPath(), listener,
                                              context.timing.dropsForgiven);
  };
  callbacks.menuRequested = [this](int /*x*/, int /*y*/) { popUpMenu(); };
  callbacks.activationToken = context.activationToken;
  exported =
      std::make_unique<StatusNotifierItem>(bus.get(), number, menuPath, std::move(callbacks));
  exported->setIconThemePath(iconFolder);
  // Not on the bus after all: the tray icon is all there is.
  if (!exported->isExported()) trayTimer = startTimer(std::chrono::milliseconds(0), trayDue, this);
}

StatusItemView::~StatusItemView() { item.setObserver(nullptr); }

void StatusItemView::statusItemTitleDidChange(NSStatusItem& /*item*/) { showTitle(); }

void StatusItemView::statusItemMenuDidChange(NSStatusItem& /*item*/) {
  popup.reset();
  menuState.setMenu(item.menu());
  if (bus) exportMenu();
}

void StatusItemView::exportMenu() {
  // One dbusmenu object at a time holds the path.
  menuExport.reset();
  menuExport = std::make_unique<MenuExport>(item.menu(), menuPath, [this](bool open) {
    if (open) menuState.opened();
    if (!open) menuState.closed();
  });
}

void StatusItemView::watcherAppeared(const std::string& process) {
  hostProcess = process;
  trayTimer.reset();
  showTitle();
}

void StatusItemView::itemRegistered() {
  registered = true;
  unseenTimer.reset();
  // A menu shown beside the tray icon is placed by it.
  if (tray) popup.reset();
  tray.reset();
}

void StatusItemView::watcherGone() {
  hostProcess.reset();
  registered = false;
  if (!tray && !trayTimer) trayTimer = startTimer(context.timing.trayDelay, trayDue, this);
  if (!tray || !tray->isEmbedded()) armUnseenTimer(context.timing.unseenAfterHostDelay);
}

void StatusItemView::showTitle() {
  const std::string& title = item.title();
  _presentation = titlePresentation(setting, hostProcess);
  if (tray) tray->show(drawnTitle(title), toolTipFor(title));
  // Nothing reads the exported item while no watcher hosts it: it is brought up to date (and
  // any icon drawn) when one appears, before the item registers with it.
  if (!exported || !hostProcess) return;
  const ItemLook look =
      itemLookFor(_presentation, panelHostOf(*hostProcess), sessionScale(), title);
  // The application's icon goes by path where that is the program's own copy.
  const bool byPath = look.iconByPath && !applicationIconFile.empty();
  // Each setter signals only a change: where the label shows, a new title costs one signal.
  exported->setIcon(byPath ? applicationIconFile : look.iconName,
                    drawTitleIcons(title, look.pixmapSizesPx));
  exported->setToolTip(look.toolTip);
  exported->setLabel(look.label, look.labelGuide);
}

PanelToolkit* StatusItemView::toolkit() const {
  return context.toolkit ? context.toolkit() : nullptr;
}

void StatusItemView::popUpMenu() {
  if (!item.menu() || (popup && popup->isShown())) return;
  PanelToolkit* shownBy = toolkit();
  if (shownBy == nullptr) return;
  popup.reset();
  popup = shownBy->popUpMenu(item.menu(), tray.get(), [this](bool shown) {
    if (shown) menuState.opened();
    if (!shown) menuState.closed();
  });
}

void StatusItemView::showTrayIcon() {
  PanelToolkit* shownBy = toolkit();
  if (shownBy == nullptr) return;
  TrayIconView::Callbacks callbacks;
  callbacks.menuRequested = [this] { popUpMenu(); };
  callbacks.embeddingChanged = [this] { trayEmbeddingChanged(); };
  tray = shownBy->makeTrayIcon(std::move(callbacks));
  if (tray) showTitle();
}

void StatusItemView::trayEmbeddingChanged() {
  if (tray && tray->isEmbedded()) {
    unseenTimer.reset();
    return;
  }
  if (!registered) armUnseenTimer(context.timing.unseenAfterHostDelay);
}

void StatusItemView::armUnseenTimer(std::chrono::milliseconds delay) {
  if (!unseenTimer) unseenTimer = startTimer(delay, unseenDue, this);
}

gboolean StatusItemView::trayDue(gpointer self) {
  auto* view = static_cast<StatusItemView*>(self);
  view->trayTimer.reset();
  if (!view->registered && !view->tray) view->showTrayIcon();
  return G_SOURCE_REMOVE;
}

gboolean StatusItemView::unseenDue(gpointer self) {
  auto* view = static_cast<StatusItemView*>(self);
  view->unseenTimer.reset();
  if (view->registered || (view->tray && view->tray->isEmbedded())) return G_SOURCE_REMOVE;
  NSLog(
      "Panel: nothing shows Pyrelle: no StatusNotifierWatcher on the session bus took the item "
      "and no system tray embedded its icon. On GNOME, enable the \"AppIndicator and "
      "KStatusNotifierItem Support\" extension; elsewhere, add a status notifier or system tray "
      "to the panel. Pyrelle keeps running and shows up when one appears.");
  return G_SOURCE_REMOVE;
}
