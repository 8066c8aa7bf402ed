#pragma once
// The application on a Linux desktop: one instance per session (a later launch shows the running
// one's preferences window), the status items in the panel, and the GLib main loop driving the
// run loop, all with GIO alone. The preferences window, the About dialog, the tray icon and our
// own pop-up menu come from the toolkit, loaded the first time one of them is needed.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/ApplicationBackend.h"
#include "platform/appkit/NSWindow.h"
#include "platform/desktop/DesktopToolkit.h"
#include "platform/panel/StatusItemView.h"

class ApplicationInstance;
class StatusBarView;
class TerminationSignals;

class DesktopApplicationBackend final : public ApplicationBackend, private NSWindowObserver {
 public:
  // Makes the toolkit from the toolkit's own command-line options; nullptr when it cannot.
  using ToolkitLoader =
      std::function<std::unique_ptr<DesktopToolkit>(const std::vector<std::string>& arguments)>;

  explicit DesktopApplicationBackend(ToolkitLoader loader, StatusItemView::Timing timing = {});
  ~DesktopApplicationBackend() override;
  DesktopApplicationBackend(const DesktopApplicationBackend&) = delete;
  DesktopApplicationBackend& operator=(const DesktopApplicationBackend&) = delete;

  // Without a display named in the environment: a line on standard error, and 1. Otherwise
  // claims the application id on the session bus, or hands the launch to the instance that
  // holds it (1, said on standard error, when that one does not answer). A session bus that
  // does not answer within 10 s is not used (logged): no check for another instance, and the
  // item in the tray. Opens no display; keeps the options left in argv for the toolkit.
  int start(int& argc, char**& argv) override;
  bool handedToRunningInstance() const override;
  void interfaceLoaded(NSMainInterface& objects) override;
  std::shared_ptr<RunLoopDriver> runLoopDriver() override;
  void activateIgnoringOtherApps(bool flag) override;
  void orderFrontStandardAboutPanel() override;

  // nullptr until first needed, or when it could not be loaded.
  DesktopToolkit* toolkitForTesting() const { return loaded.get(); }

 private:
  void windowDidOrderFront(NSWindow& window) override;
  // Loads the toolkit on the first call; nullptr (logged once) when it cannot be loaded.
  DesktopToolkit* toolkit();
  // The token a host or a later launch handed over, once.
  std::string takeActivationToken();

  ToolkitLoader loader;
  StatusItemView::Timing timing;
  std::vector<std::string> toolkitArguments;
  NSMainInterface* interface = nullptr;
  std::string activationToken;
  bool loadTried = false;
  std::unique_ptr<DesktopToolkit> loaded;
  // The session bus; nullptr when there is none or it did not answer at start.
  GObjectPtr<GDBusConnection> bus;
  std::unique_ptr<ApplicationInstance> instance;
  std::unique_ptr<StatusBarView> statusBar;
  std::unique_ptr<TerminationSignals> terminationSignals;
};
