#pragma once
// The application on a Linux desktop: one instance per session (a later launch shows the running
// one's preferences window), the status items in the panel, the preferences window and the About
// dialog, each built with GTK only when first shown; the GLib main loop drives the run loop.

#include <memory>

#include "platform/appkit/ApplicationBackend.h"

class AboutPanel;
class ApplicationInstance;
class PreferencesView;
class StatusBarView;
class TerminationSignals;

class GtkApplicationBackend final : public ApplicationBackend {
 public:
  GtkApplicationBackend();
  ~GtkApplicationBackend() override;
  GtkApplicationBackend(const GtkApplicationBackend&) = delete;
  GtkApplicationBackend& operator=(const GtkApplicationBackend&) = delete;

  // Without a display named in the environment: a line on standard error, and 1. Otherwise
  // claims the application id on the session bus, or hands the launch to the instance that
  // holds it (1, said on standard error, when that one does not answer). Opens no display.
  int start(int& argc, char**& argv) override;
  bool handedToRunningInstance() const override;
  void interfaceLoaded(NSMainInterface& objects) override;
  std::shared_ptr<RunLoopDriver> runLoopDriver() override;
  void activateIgnoringOtherApps(bool flag) override;
  void orderFrontStandardAboutPanel() override;

  // nullptr before start() / interfaceLoaded(); the About panel also until first shown.
  StatusBarView* statusBarViewForTesting() const { return statusBar.get(); }
  PreferencesView* preferencesViewForTesting() const { return preferences.get(); }
  AboutPanel* aboutPanelForTesting() const { return about.get(); }

 private:
  std::unique_ptr<ApplicationInstance> instance;
  std::unique_ptr<AboutPanel> about;
  std::unique_ptr<PreferencesView> preferences;
  std::unique_ptr<StatusBarView> statusBar;
  std::unique_ptr<TerminationSignals> terminationSignals;
};
