#pragma once
// A backend without a desktop, for tests: it records what the application asks of the desktop
// and runs a scripted session instead of waiting for events. NSCreateApplicationBackend() in
// this library makes one with the default options: it starts, and the run ends at once.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/ApplicationBackend.h"
#include "platform/appkit/NSWindow.h"

class HeadlessBackend final : public ApplicationBackend, private NSWindowObserver {
 public:
  struct Options {
    // Non-zero: start() fails with this status.
    int startStatus = 0;
    // true: start() finds the application running already and hands the launch to it.
    bool runningElsewhere = false;
    // The run: called once when the run loop runs (the test advances its clock, fires timers,
    // chooses entries, terminates...). The run ends when it returns. Empty: ends at once.
    std::function<void()> session;
  };
  using Events = std::vector<std::string>;

  HeadlessBackend();
  explicit HeadlessBackend(Options chosen);
  ~HeadlessBackend() override;

  // Shared so that a test can read them after NSApplicationMain released the backend. In order:
  // "start", "interface loaded", "run", "stop" (terminate during the run), "activate",
  // "about", "window front", "window out".
  std::shared_ptr<const Events> events() const { return log; }

  int start(int& argc, char**& argv) override;
  bool handedToRunningInstance() const override { return options.runningElsewhere; }
  void interfaceLoaded(NSMainInterface& objects) override;
  std::shared_ptr<RunLoopDriver> runLoopDriver() override;
  void activateIgnoringOtherApps(bool flag) override;
  void orderFrontStandardAboutPanel() override;

 private:
  void windowDidOrderFront(NSWindow& window) override;
  void windowDidOrderOut(NSWindow& window) override;

  Options options;
  std::shared_ptr<Events> log = std::make_shared<Events>();
  NSWindow* window = nullptr;
};
