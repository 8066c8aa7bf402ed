#pragma once
// The desktop's windows, tray icon and pop-up menu with GTK 3: what this module gives the
// program through its one entry point (DesktopToolkit.h).

#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/DesktopToolkit.h"
#include "platform/gtk/AboutPanel.h"
#include "platform/gtk/PreferencesView.h"

class GtkToolkit final : public DesktopToolkit {
 public:
  // GTK initialised with `arguments`; nullptr when no display can be opened (logged).
  static std::unique_ptr<GtkToolkit> create(const std::vector<std::string>& arguments);
  GtkToolkit() = default;

  std::unique_ptr<TrayIconView> makeTrayIcon(TrayIconView::Callbacks callbacks) override;
  std::unique_ptr<PopUpMenuView> popUpMenu(const std::shared_ptr<NSMenu>& menu, TrayIconView* near,
                                           MenuShown shown) override;
  bool showPreferences(NSMainInterface& objects, const std::string& activationToken) override;
  void showAbout(const BundleInfo& info, const std::string& activationToken) override;

  // nullptr until first shown.
  PreferencesView* preferencesViewForTesting() const { return preferences.get(); }
  AboutPanel* aboutPanelForTesting() const { return about.get(); }

 private:
  std::unique_ptr<PreferencesView> preferences;
  std::unique_ptr<AboutPanel> about;
};
