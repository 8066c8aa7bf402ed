#include "platform/gtk/StatusItemView.h"

#include "platform/appkit/NSMenu.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/gtk/GtkInit.h"
#include "platform/gtk/ThermometerIcon.h"

namespace {

constexpr const char* itemName = "Pyrelle";
// The sizes panels draw items at. Most hosts pick the nearest pixmap, but xfce4-panel takes the
// largest and scales it down, which blurs the digits: so nothing larger than its usual 22 px.
constexpr int iconSizesPx[] = {16, 22};

std::string trimmed(const std::string& title) {
  const std::size_t first = title.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : title.substr(first);
}

std::string toolTipOf(const std::string& title) {
  return title.empty() ? itemName : std::string(itemName) + ": " + title;
}

std::vector<TitleIcon> drawnIcons(const std::string& title) {
  std::vector<TitleIcon> icons;
  for (const int size : iconSizesPx)
    icons.push_back(drawTitleIcon(title.empty() ? "--" : title, size));
  return icons;
}

GSourcePtr startTimer(std::chrono::milliseconds delay, GSourceFunc due, gpointer self) {
  GSourcePtr timer(g_timeout_source_new(static_cast<guint>(delay.count())));
  g_source_set_callback(timer.get(), due, self, nullptr);
  g_source_attach(timer.get(), nullptr);
  return timer;
}

GDBusConnection* sessionBus() {
  GErrorOut error;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error.out());
  if (bus == nullptr) NSLog("Panel: no session bus (" + error.message() + "); using a tray icon");
  return bus;
}

}  // namespace

StatusItemView::StatusItemView(NSStatusItem& shownItem, unsigned itemNumber, Timing delays)
    : item(shownItem),
      number(itemNumber),
      menuPath(itemNumber == 1 ? "/MenuBar" : "/MenuBar/" + std::to_string(itemNumber)),
      timing(delays),
      setting(
          parseTitleSetting(NSUserDefaults::standardUserDefaults().stringForKey("title", "Panel"))),
      bus(sessionBus()) {
  armUnseenTimer();
  item.setObserver(this);
  if (!bus) {
    trayTimer = startTimer(std::chrono::milliseconds(0), trayDue, this);
    return;
  }
  menuExport = std::make_unique<MenuExport>(item.menu(), menuPath, timing.menuClosingGuard);
  StatusNotifierItem::Callbacks callbacks;
  callbacks.named = [this] {
    // Registered by object path, as hosts then know the item by the calling connection at once
    // (GNOME Shell's extension resolves a bus name first, and meanwhile may find the item a
    // second time by its own search).
    WatcherClient::Listener& listener = *this;
    watcher = std::make_unique<WatcherClient>(bus.get(), exported->objectPath(), listener);
  };
  callbacks.menuRequested = [this](int /*x*/, int /*y*/) { popUpMenu(nullptr); };
  exported =
      std::make_unique<StatusNotifierItem>(bus.get(), number, menuPath, std::move(callbacks));
  exported->setIconThemePath(thermometerThemePath());
  // Not on the bus after all: the tray icon is all there is.
  if (!exported->isExported()) trayTimer = startTimer(std::chrono::milliseconds(0), trayDue, this);
}

StatusItemView::~StatusItemView() { item.setObserver(nullptr); }

void StatusItemView::statusItemTitleDidChange(NSStatusItem& /*item*/) { showTitle(); }

void StatusItemView::statusItemMenuDidChange(NSStatusItem& /*item*/) {
  popup.reset();
  if (!bus) return;
  // One dbusmenu object at a time holds the path.
  menuExport.reset();
  menuExport = std::make_unique<MenuExport>(item.menu(), menuPath, timing.menuClosingGuard);
}

// The panel highlights the item while its menu is open wherever the desktop can.
void StatusItemView::statusItemHighlightModeDidChange(NSStatusItem& /*item*/) {}

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
  if (!tray && !trayTimer) trayTimer = startTimer(timing.trayDelay, trayDue, this);
  if (!tray || !tray->isEmbedded()) armUnseenTimer();
}

void StatusItemView::showTitle() {
  const std::string title = trimmed(item.title());
  _presentation = titlePresentation(setting, hostProcess);
  if (tray) tray->show(title, toolTipOf(title));
  // Nothing reads the exported item while no watcher hosts it: it is brought up to date (and
  // any icon drawn) when one appears, before the item registers with it.
  if (!exported || !hostProcess) return;
  if (_presentation == TitlePresentation::Label) {
    // The label alone follows the title: one signal per change.
    exported->setIcon(thermometerIconName, {});
    exported->setToolTip(itemName);
    exported->setLabel(title);
    return;
  }
  exported->setLabel("");
  exported->setIcon("", drawnIcons(title));
  exported->setToolTip(toolTipOf(title));
}

void StatusItemView::popUpMenu(GtkStatusIcon* near) {
  if (!item.menu() || !ensureGtkInitialised()) return;
  if (popup && popup->isShown()) return;
  popup = std::make_unique<MenuView>(item.menu());
  popup->popUp(near);
}

void StatusItemView::trayEmbeddingChanged() {
  if (tray && tray->isEmbedded()) {
    unseenTimer.reset();
    return;
  }
  if (!registered) armUnseenTimer();
}

void StatusItemView::armUnseenTimer() {
  if (!unseenTimer) unseenTimer = startTimer(timing.unseenDelay, unseenDue, this);
}

gboolean StatusItemView::trayDue(gpointer self) {
  auto* view = static_cast<StatusItemView*>(self);
  view->trayTimer.reset();
  if (view->registered || view->tray || !ensureGtkInitialised()) return G_SOURCE_REMOVE;
  TrayIcon::Callbacks callbacks;
  callbacks.menuRequested = [view] { view->popUpMenu(view->tray->statusIcon()); };
  callbacks.embeddingChanged = [view] { view->trayEmbeddingChanged(); };
  view->tray = std::make_unique<TrayIcon>(std::move(callbacks));
  view->showTitle();
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
