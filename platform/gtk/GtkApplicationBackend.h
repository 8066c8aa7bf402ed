#pragma once
// The application on a Linux desktop, through GTK: the status items as AppIndicators in the
// panel, the preferences window from the interface file, the About dialog; the GLib main loop
// drives the run loop.

#include <memory>

#include "platform/appkit/ApplicationBackend.h"

class AboutPanel;
class GLibRunLoopDriver;
class PreferencesView;
class StatusBarView;
class TerminationSignals;

class GtkApplicationBackend final : public ApplicationBackend {
 public:
  GtkApplicationBackend();
  ~GtkApplicationBackend() override;
  GtkApplicationBackend(const GtkApplicationBackend&) = delete;
  GtkApplicationBackend& operator=(const GtkApplicationBackend&) = delete;

  // Opens the display. Without one: a line on standard error, and 1.
  int start(int& argc, char**& argv) override;
  void interfaceLoaded(NSMainInterface& objects) override;
  std::shared_ptr<RunLoopDriver> runLoopDriver() override;
  void activateIgnoringOtherApps(bool flag) override;
  void orderFrontStandardAboutPanel() override;

  // nullptr before start() / interfaceLoaded(), or when the interface file could not be loaded.
  StatusBarView* statusBarViewForTesting() const { return statusBar.get(); }
  PreferencesView* preferencesViewForTesting() const { return preferences.get(); }
  AboutPanel* aboutPanelForTesting() const { return about.get(); }

 private:
  std::unique_ptr<AboutPanel> about;
  std::unique_ptr<PreferencesView> preferences;
  std::unique_ptr<StatusBarView> statusBar;
  std::unique_ptr<TerminationSignals> terminationSignals;
};
