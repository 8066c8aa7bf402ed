#pragma once
// Shows one status item in the desktop's panel, end to end. On the session bus it is a
// StatusNotifierItem of our own with its menu over dbusmenu, registered with whichever process
// owns the StatusNotifierWatcher, again whenever that owner changes. The title goes into the
// item's label where that host shows labels, else it is drawn into the icon (TitlePresentation.h,
// TitleLook.h); the tooltip carries it too. Where no watcher exists the item falls back to an
// XEmbed tray icon, and drops it when a watcher comes back. A click that reaches the item itself
// (Activate, the tray icon) opens our own pop-up menu. The tray icon and the pop-up come from the
// toolkit, loaded only when one is needed. When nothing shows the item for a while, the log says
// what to enable.

#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/appkit/NSStatusItem.h"
#include "platform/foundation/GLibPtr.h"
#include "platform/panel/MenuExport.h"
#include "platform/panel/MenuOpenState.h"
#include "platform/panel/MenuRequestLimits.h"
#include "platform/panel/PanelToolkit.h"
#include "platform/panel/StatusNotifierItem.h"
#include "platform/panel/TitlePresentation.h"
#include "platform/panel/WatcherClient.h"

class StatusItemView final : private NSStatusItemObserver, private WatcherClient::Listener {
 public:
  struct Timing {
    // How long the item waits for a watcher before it shows the tray icon instead: a panel that
    // restarts owns the watcher's name again well within it.
    std::chrono::milliseconds trayDelay{1500};
    // How long the item may go unseen (no watcher took it, no tray embedded it) before a log line
    // says so; and how long once a watcher or tray that showed it went, which a restarting panel
    // (xfce4-panel -r takes about 7.5 s) comes back within.
    std::chrono::milliseconds unseenDelay{5000};
    std::chrono::milliseconds unseenAfterHostDelay{15000};
    // A registration that holds this long forgives the watcher's earlier drops of the item.
    std::chrono::milliseconds dropsForgiven{30000};
    // A menu said to be open but never said to close would hold the refresh forever; this long
    // after it opened it counts as closed.
    std::chrono::milliseconds menuClosingGuard{60000};
  };

  struct Context {
    Timing timing;
    // The tray icon and the pop-up menu; nullptr from it: neither can be shown.
    PanelToolkitSource toolkit;
    // A host handed over a token to activate our windows with (xdg-activation).
    std::function<void(const std::string& token)> activationToken;
    // The session bus; nullptr when there is none to use: the tray icon is all there is.
    GDBusConnection* bus = nullptr;
  };

  // `number` tells the process's items apart on the bus (1 for the first).
  StatusItemView(NSStatusItem& item, unsigned number, Context context);
  ~StatusItemView() override;
  StatusItemView(const StatusItemView&) = delete;
  StatusItemView& operator=(const StatusItemView&) = delete;

  TitlePresentation presentation() const { return _presentation; }
  // A StatusNotifierWatcher accepted the item.
  bool isRegistered() const { return registered; }

  TrayIconView* trayIconForTesting() const { return tray.get(); }
  PopUpMenuView* popUpMenuForTesting() const { return popup.get(); }
  MenuExport* menuExportForTesting() const { return menuExport.get(); }

 private:
  void statusItemTitleDidChange(NSStatusItem& item) override;
  void statusItemMenuDidChange(NSStatusItem& item) override;
  void watcherAppeared(const std::string& process) override;
  void itemRegistered() override;
  void watcherGone() override;

  void exportMenu();
  void showTitle();
  void popUpMenu();
  void showTrayIcon();
  void trayEmbeddingChanged();
  void armUnseenTimer(std::chrono::milliseconds delay);
  PanelToolkit* toolkit() const;
  static gboolean trayDue(gpointer self);
  static gboolean unseenDue(gpointer self);

  NSStatusItem& item;
  const unsigned number;
  // Where the item's menu is exported.
  const std::string menuPath;
  const Context context;
  const TitleSetting setting;
  TitlePresentation _presentation = TitlePresentation::Icon;
  // The watcher's program while a watcher hosts the item.
  std::optional<std::string> hostProcess;
  bool registered = false;
  MenuOpenState menuState;
  GObjectPtr<GDBusConnection> bus;
  std::unique_ptr<MenuRequestLimits> menuLimits;
  // The item's IconThemePath: where the label's icons are, unless installed.
  const std::string iconFolder;
  // The program's own copy of its full-colour icon, for hosts given it by path; "" for none.
  const std::string applicationIconFile;
  std::unique_ptr<MenuExport> menuExport;
  std::unique_ptr<StatusNotifierItem> exported;
  std::unique_ptr<WatcherClient> watcher;
  std::unique_ptr<TrayIconView> tray;
  std::unique_ptr<PopUpMenuView> popup;
  // Declared last, so they go first and never fire into a half-destroyed view.
  GSourcePtr trayTimer;
  GSourcePtr unseenTimer;
};
