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

class TestDelegate : public NSApplicationDelegate {
 public:
  explicit TestDelegate(NSMainInterface& loaded) : objects(loaded) {}
  ~TestDelegate() override {
    // The interface objects are still there; the backend is already gone.
    timeline->push_back("delegate released, window " +
                        std::string(objects.window.isVisible() ? "shown" : "hidden"));
  }
  void applicationDidFinishLaunching() override { timeline->push_back("did finish launching"); }
  void quit() { NSApp().terminate(nullptr); }

 private:
  NSMainInterface& objects;
};

// Runs NSApplicationMain with a recording backend and returns its result; `events` then holds
// the backend's record.
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
    static_cast<TestDelegate*>(NSApp().delegate())->quit();
    EXPECT_FALSE(NSApp().isRunning());
  };
  std::shared_ptr<const Events> events;
  EXPECT_EQ(runApplication({.session = session}, events), 0);
  EXPECT_EQ(*events, (Events{"start", "interface loaded", "run", "stop"}));
  EXPECT_EQ(*timeline, (Events{"interface loaded", "did finish launching", "running",
                               "delegate released, window hidden"}));
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
