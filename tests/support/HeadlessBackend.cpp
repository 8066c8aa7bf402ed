#include "tests/support/HeadlessBackend.h"

#include "platform/foundation/NSRunLoop.h"

namespace {

// Runs the test's session in place of waiting for events.
class SessionDriver final : public RunLoopDriver {
 public:
  SessionDriver(std::function<void()> scripted, std::shared_ptr<HeadlessBackend::Events> events)
      : session(std::move(scripted)), log(std::move(events)) {}

  void run() override {
    log->push_back("run");
    if (session) session();
  }
  void stop() override { log->push_back("stop"); }
  void timersChanged() override {}

 private:
  std::function<void()> session;
  std::shared_ptr<HeadlessBackend::Events> log;
};

}  // namespace

HeadlessBackend::HeadlessBackend() : HeadlessBackend(Options{}) {}

HeadlessBackend::HeadlessBackend(Options given) : options(std::move(given)) {}

int HeadlessBackend::start(int& /*argc*/, char**& /*argv*/) {
  log->push_back("start");
  return options.startStatus;
}

void HeadlessBackend::interfaceLoaded(NSMainInterface& /*objects*/) {
  log->push_back("interface loaded");
}

std::shared_ptr<RunLoopDriver> HeadlessBackend::runLoopDriver() {
  return std::make_shared<SessionDriver>(options.session, log);
}
