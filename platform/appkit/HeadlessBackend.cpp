#include "platform/appkit/HeadlessBackend.h"

#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSRunLoop.h"

namespace {

// Runs the test's session in place of waiting for events.
class SessionDriver final : public RunLoopDriver {
 public:
  SessionDriver(std::function<void()> script, std::shared_ptr<HeadlessBackend::Events> events)
      : session(std::move(script)), log(std::move(events)) {}

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

HeadlessBackend::HeadlessBackend(Options chosen) : options(std::move(chosen)) {}

HeadlessBackend::~HeadlessBackend() {
  if (window != nullptr) window->setObserver(nullptr);
}

int HeadlessBackend::start(int& /*argc*/, char**& /*argv*/) {
  log->push_back("start");
  return options.startStatus;
}

void HeadlessBackend::interfaceLoaded(NSMainInterface& objects) {
  log->push_back("interface loaded");
  window = &objects.window;
  window->setObserver(this);
}

std::shared_ptr<RunLoopDriver> HeadlessBackend::runLoopDriver() {
  return std::make_shared<SessionDriver>(options.session, log);
}

void HeadlessBackend::activateIgnoringOtherApps(bool /*flag*/) { log->push_back("activate"); }

void HeadlessBackend::orderFrontStandardAboutPanel() { log->push_back("about"); }

void HeadlessBackend::windowDidOrderFront(NSWindow& /*window*/) { log->push_back("window front"); }

void HeadlessBackend::windowDidOrderOut(NSWindow& /*window*/) { log->push_back("window out"); }

std::unique_ptr<ApplicationBackend> NSCreateApplicationBackend() {
  return std::make_unique<HeadlessBackend>();
}
