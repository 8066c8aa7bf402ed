#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSLog.h"
#include "tests/support/HeadlessBackend.h"

namespace {

using Events = HeadlessBackend::Events;

struct TestDelegate : NSApplicationDelegate {
  explicit TestDelegate(std::shared_ptr<Events> record) : events(std::move(record)) {}
  void applicationDidFinishLaunching() override { events->push_back("did finish launching"); }
  std::shared_ptr<Events> events;
};

// A run that starts loads the interface, launches, runs and ends with 0 once terminated. A
// backend that cannot start ends the run with its status; one that handed the launch to the
// instance already running ends it with 0: either way nothing is loaded, launched or logged.
TEST(NSApplicationMainTest, ALaunchRunsOnlyOnceTheBackendStarts) {
  const struct {
    int startStatus;
    bool runningElsewhere;
    int result;
    Events events;
  } cases[] = {{0, false, 0, {"start", "interface loaded", "did finish launching", "run", "stop"}},
               {1, false, 1, {"start"}},
               {0, true, 0, {"start"}}};
  for (const auto& c : cases) {
    LogCaptureForTesting log;
    auto backend = std::make_unique<HeadlessBackend>(HeadlessBackend::Options{
        .startStatus = c.startStatus, .runningElsewhere = c.runningElsewhere, .session = [] {
          NSApp().terminate(nullptr);
        }});
    const std::shared_ptr<Events> events = backend->events;
    char name[] = "pyrelle";
    char* argv[] = {name, nullptr};
    const auto makeDelegate = [&](NSMainInterface&) {
      return std::make_unique<TestDelegate>(events);
    };
    EXPECT_EQ(NSApplicationMain(1, argv, std::move(backend), makeDelegate), c.result);
    EXPECT_EQ(*events, c.events);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(NSApp().delegate(), nullptr);
  }
}

}  // namespace
