#pragma once
// A backend without a desktop, for tests: it starts, and runs a scripted session instead of
// waiting for events. (What NSApplicationMain makes of a backend that cannot start, or that hands
// the launch to a running instance, start_and_end.sh checks on the program.)

#include <functional>
#include <memory>

#include "platform/appkit/ApplicationBackend.h"
#include "platform/foundation/RunLoopDriver.h"

class HeadlessBackend final : public ApplicationBackend {
 public:
  // `scripted` is called once when the run loop runs (the test advances its clock, fires timers,
  // chooses entries, terminates...); the run ends when it returns. Empty: the run ends at once.
  explicit HeadlessBackend(std::function<void()> scripted) : session(std::move(scripted)) {}

  int start(int& /*argc*/, char**& /*argv*/) override { return 0; }
  void interfaceLoaded(NSMainInterface&) override {}
  std::shared_ptr<RunLoopDriver> runLoopDriver() override {
    return std::make_shared<SessionDriver>(session);
  }
  void activateIgnoringOtherApps(bool /*flag*/) override {}
  void orderFrontStandardAboutPanel() override {}
  bool handedToRunningInstance() const override { return false; }

 private:
  // Runs the test's session in place of waiting for events.
  struct SessionDriver final : RunLoopDriver {
    explicit SessionDriver(std::function<void()> scripted) : session(std::move(scripted)) {}
    void run() override {
      if (session) session();
    }
    void stop() override {}
    void timersChanged() override {}
    std::function<void()> session;
  };

  std::function<void()> session;
};
