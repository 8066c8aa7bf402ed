#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSLog.h"
#include "tests/support/HeadlessBackend.h"

namespace {

using Events = std::vector<std::string>;

struct TestDelegate : NSApplicationDelegate {
  explicit TestDelegate(Events& record) : launches(record) {}
  void applicationDidFinishLaunching() override { launches.push_back("did finish launching"); }
  Events& launches;
};

// A run that starts loads the interface, launches, runs and ends with 0 once terminated. A
// backend that cannot start ends the run with its status; one that handed the launch to the
// instance already running ends it with 0: either way nothing is loaded, launched or logged.
TEST(NSApplicationMainTest, ALaunchRunsOnlyOnceTheBackendStarts) {
  const struct {
    int startStatus;
    bool runningElsewhere;
    int result;
    Events backend;
  } cases[] = {{0, false, 0, {"start", "interface loaded", "run", "stop"}},
               {1, false, 1, {"start"}},
               {0, true, 0, {"start"}}};
  for (const auto& c : cases) {
    LogCaptureForTesting log;
    Events launches;
    auto backend = std::make_unique<HeadlessBackend>(HeadlessBackend::Options{
        .startStatus = c.startStatus,
        .runningElsewhere = c.runningElsewhere,
        .session = [] { NSApp().terminate(nullptr); }});
    const std::shared_ptr<const Events> events = backend->events();
    char name[] = "pyrelle";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(NSApplicationMain(1, argv, std::move(backend),
                                [&](NSMainInterface&) {
                                  return std::make_unique<TestDelegate>(launches);
                                }),
              c.result);
    EXPECT_EQ(*events, c.backend);
    EXPECT_EQ(launches.size(), c.backend.size() > 1 ? 1u : 0u);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(NSApp().delegate(), nullptr);
  }
}

}  // namespace
