#pragma once
// Shows one status item in the desktop's panel as an AppIndicator: the thermometer icon, the
// item's title as the indicator's label or drawn into the icon (see TitlePresentation.h), the
// title as the tooltip, and the item's menu (MenuView).

#include <libayatana-appindicator/app-indicator.h>
#include <libdbusmenu-glib/menuitem.h>

#include <memory>
#include <string>

#include "platform/appkit/NSStatusItem.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/IconFiles.h"
#include "platform/gtk/MenuView.h"
#include "platform/gtk/TitlePresentation.h"

class StatusItemView final : private NSStatusItemObserver {
 public:
  // `id` names the indicator on the session bus; `currentDesktops` is XDG_CURRENT_DESKTOP.
  StatusItemView(NSStatusItem& item, const std::string& id, std::string currentDesktops);
  ~StatusItemView() override;
  StatusItemView(const StatusItemView&) = delete;
  StatusItemView& operator=(const StatusItemView&) = delete;

  TitlePresentation presentation() const { return _presentation; }
  // Registered with a StatusNotifierWatcher (a panel shows the item through D-Bus), as the
  // indicator last said; false while it uses the fallback tray icon or has not registered yet.
  bool isRegistered() const { return registered; }

  AppIndicator* indicatorForTesting() const { return indicator.get(); }
  MenuView* menuViewForTesting() const { return menuView.get(); }

 private:
  void statusItemTitleDidChange(NSStatusItem& item) override;
  void statusItemMenuDidChange(NSStatusItem& item) override;
  void statusItemHighlightModeDidChange(NSStatusItem& item) override;

  // The root of the menu as the indicator exports it on the session bus; nullptr when none.
  GObjectPtr<DbusmenuMenuitem> exportedMenuRoot() const;
  void showTitle();
  // The icon file showing `title`, drawn when the title changed; empty when it cannot be drawn.
  std::string iconShowing(const std::string& title);
  // Shows `icon`: a file's absolute path, or a name in the icon theme.
  void setIcon(const std::string& icon);
  static void connectionChanged(AppIndicator* indicator, gboolean registered, gpointer self);

  NSStatusItem& item;
  std::string currentDesktops;
  std::unique_ptr<IconFiles> files;
  // The thermometer: its name in the icon theme where it is installed, else a file's path.
  std::string thermometer;
  // The icon as last given to the indicator.
  std::string shownIcon;
  // The title last drawn into an icon, and that icon's file.
  std::string drawnTitle;
  std::string drawnIcon;
  // From the indicator's "connection-changed" signal (its "connected" property can change before
  // the signal comes).
  bool registered = false;
  TitlePresentation _presentation = TitlePresentation::Icon;
  // Declared before the indicator: the indicator lets go of the GtkMenu before it is destroyed.
  std::unique_ptr<MenuView> menuView;
  OwnedWidget emptyMenu;
  GObjectPtr<AppIndicator> indicator;
  SignalConnection registration;
};
