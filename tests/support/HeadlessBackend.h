#pragma once
// A backend without a desktop, for tests: it runs a scripted session instead of waiting for
// events, and records the steps of the run. With the default options it starts, and the run
// ends at once.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/ApplicationBackend.h"

class HeadlessBackend final : public ApplicationBackend {
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
  explicit HeadlessBackend(Options given);

  // In order: "start", "interface loaded", "run", "stop" (terminate during the run). Shared,
  // so that a test can read them after NSApplicationMain released the backend.
  std::shared_ptr<const Events> events() const { return log; }

  int start(int& argc, char**& argv) override;
  void interfaceLoaded(NSMainInterface& objects) override;
  std::shared_ptr<RunLoopDriver> runLoopDriver() override;
  void activateIgnoringOtherApps(bool /*flag*/) override {}
  void orderFrontStandardAboutPanel() override {}
  bool handedToRunningInstance() const override { return options.runningElsewhere; }

 private:
  Options options;
  std::shared_ptr<Events> log = std::make_shared<Events>();
};
