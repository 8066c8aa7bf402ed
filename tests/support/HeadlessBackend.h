#pragma once
// A backend without a desktop, for tests: it starts, and runs a scripted session in place of
// waiting for events (the test advances its clock, fires timers, chooses entries, terminates...);
// the run ends when the session returns. (What NSApplicationMain makes of a backend that cannot
// start, or that hands the launch to a running instance, start_and_end.sh checks on the program.)

#include <functional>
#include <memory>

#include "platform/appkit/ApplicationBackend.h"
#include "platform/foundation/RunLoopDriver.h"

class HeadlessBackend final : public ApplicationBackend {
 public:
  explicit HeadlessBackend(std::function<void()> session)
      : driver(std::make_shared<SessionDriver>(std::move(session))) {}

  int start(int& /*argc*/, char**& /*argv*/) override { return 0; }
  void interfaceLoaded(NSMainInterface&) override {}
  std::shared_ptr<RunLoopDriver> runLoopDriver() override { return driver; }
  void activateIgnoringOtherApps(bool /*flag*/) override {}
  void orderFrontStandardAboutPanel() override {}
  bool handedToRunningInstance() const override { return false; }

 private:
  struct SessionDriver final : RunLoopDriver {
    explicit SessionDriver(std::function<void()> scripted) : session(std::move(scripted)) {}
    void run() override { session(); }
    void stop() override {}
    void timersChanged() override {}
    std::function<void()> session;
  };

  std::shared_ptr<SessionDriver> driver;
};
