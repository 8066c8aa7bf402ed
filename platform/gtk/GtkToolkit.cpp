#include "platform/gtk/GtkToolkit.h"

#include "platform/gtk/GtkInit.h"
#include "platform/gtk/MenuView.h"
#include "platform/gtk/TrayIcon.h"

std::unique_ptr<GtkToolkit> GtkToolkit::create(const std::vector<std::string>& arguments) {
  if (!ensureGtkInitialised(arguments)) return nullptr;
  return std::make_unique<GtkToolkit>();
}

std::unique_ptr<TrayIconView> GtkToolkit::makeTrayIcon(TrayIconView::Callbacks callbacks) {
  return std::make_unique<TrayIcon>(std::move(callbacks));
}

std::unique_ptr<PopUpMenuView> GtkToolkit::popUpMenu(const std::shared_ptr<NSMenu>& menu,
                                                     TrayIconView* near, MenuShown shown) {
  auto view = std::make_unique<MenuView>(menu, std::move(shown));
  const auto* tray = dynamic_cast<TrayIcon*>(near);
  view->popUp(tray != nullptr ? tray->statusIcon() : nullptr);
  return view;
}

bool GtkToolkit::showPreferences(NSMainInterface& objects, const std::string& activationToken) {
  prepareForWindows();
  if (!preferences) preferences = std::make_unique<PreferencesView>(objects);
  return preferences->show(activationToken);
}

void GtkToolkit::showAbout(const BundleInfo& info, const std::string& activationToken) {
  prepareForWindows();
  if (!about) about = std::make_unique<AboutPanel>(info);
  about->show(activationToken);
}

// The module's entry point, looked up by name when the program loads it.
extern "C" __attribute__((visibility("default"))) void pyrelle_make_desktop_toolkit(
    const std::vector<std::string>* arguments, std::unique_ptr<DesktopToolkit>* made) {
  *made = GtkToolkit::create(*arguments);
}
