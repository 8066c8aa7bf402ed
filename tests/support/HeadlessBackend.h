#pragma once
// A backend without a desktop, for tests: it runs a scripted session instead of waiting for
// events, and records the steps of the run. With the default options it starts, and the run
// ends at once.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/ApplicationBackend.h"
#include "platform/foundation/RunLoopDriver.h"

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

  explicit HeadlessBackend(Options given) : options(std::move(given)) {}

  // In order: "start", "interface loaded", "run", "stop" (terminate during the run). Shared,
  // so that a test can read them after NSApplicationMain released the backend.
  const std::shared_ptr<Events> events = std::make_shared<Events>();

  int start(int& /*argc*/, char**& /*argv*/) override {
    events->push_back("start");
    return options.startStatus;
  }
  void interfaceLoaded(NSMainInterface&) override { events->push_back("interface loaded"); }
  std::shared_ptr<RunLoopDriver> runLoopDriver() override {
    return std::make_shared<SessionDriver>(options.session, events);
  }
  void activateIgnoringOtherApps(bool /*flag*/) override {}
  void orderFrontStandardAboutPanel() override {}
  bool handedToRunningInstance() const override { return options.runningElsewhere; }

 private:
  // Runs the test's session in place of waiting for events.
  struct SessionDriver final : RunLoopDriver {
    SessionDriver(std::function<void()> scripted, std::shared_ptr<Events> events)
        : session(std::move(scripted)), log(std::move(events)) {}
    void run() override {
      log->push_back("run");
      if (session) session();
    }
    void stop() override { log->push_back("stop"); }
    void timersChanged() override {}
    std::function<void()> session;
    std::shared_ptr<Events> log;
  };

  Options options;
};
