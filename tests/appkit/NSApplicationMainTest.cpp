#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSLog.h"
#include "tests/support/HeadlessBackend.h"

namespace {

using Events = std::vector<std::string>;

// Everything this test's application did, in order.
std::shared_ptr<Events> timeline;

struct TestDelegate : NSApplicationDelegate {
  explicit TestDelegate(NSMainInterface& loaded) : objects(loaded) {}
  // The interface objects are still there; the backend is already gone.
  ~TestDelegate() override {
    timeline->push_back(objects.window.isVisible() ? "released, window shown" : "released");
  }
  void applicationDidFinishLaunching() override { timeline->push_back("did finish launching"); }
  NSMainInterface& objects;
};

// NSApplicationMain's result; `events` then holds the backend's record.
int runApplication(HeadlessBackend::Options options, std::shared_ptr<const Events>& events) {
  timeline = std::make_shared<Events>();
  auto backend = std::make_unique<HeadlessBackend>(std::move(options));
  events = backend->events();
  char name[] = "pyrelle";
  char* argv[] = {name, nullptr};
  return NSApplicationMain(1, argv, std::move(backend), [](NSMainInterface& objects) {
    timeline->push_back("interface loaded");
    return std::make_unique<TestDelegate>(objects);
  });
}

TEST(NSApplicationMainTest, StartsLoadsLaunchesRunsAndReturnsZeroWhenTerminated) {
  const auto session = [] {
    timeline->push_back("running");
    NSApp().terminate(nullptr);
    EXPECT_FALSE(NSApp().isRunning());
  };
  std::shared_ptr<const Events> events;
  EXPECT_EQ(runApplication({.session = session}, events), 0);
  EXPECT_EQ(*events, (Events{"start", "interface loaded", "run", "stop"}));
  EXPECT_EQ(*timeline,
            (Events{"interface loaded", "did finish launching", "running", "released"}));
  EXPECT_EQ(NSApp().delegate(), nullptr);
}

// A backend that cannot start ends the run with its status; one that handed the launch to the
// instance already running ends it with 0. Either way nothing is loaded, launched or logged.
TEST(NSApplicationMainTest, ALaunchThatDoesNotRunEndsAtOnceWithNothingElse) {
  for (const bool elsewhere : {false, true}) {
    LogCaptureForTesting log;
    std::shared_ptr<const Events> events;
    const HeadlessBackend::Options options = {.startStatus = elsewhere ? 0 : 1,
                                              .runningElsewhere = elsewhere,
                                              .session = [] { ADD_FAILURE(); }};
    EXPECT_EQ(runApplication(options, events), elsewhere ? 0 : 1);
    EXPECT_EQ(*events, (Events{"start"}));
    EXPECT_TRUE(timeline->empty());
    EXPECT_TRUE(log.lines().empty());
  }
}

}  // namespace
