#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/appkit/HeadlessBackend.h"
#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"

namespace {

using Events = std::vector<std::string>;

// Everything this test's application did, and what the backend recorded, in one timeline.
std::shared_ptr<Events> timeline;
// What the delegate does when launching has finished (the test's part of the launch).
std::function<void()> onLaunch;
// The objects of the current run's interface.
NSMainInterface* loadedObjects = nullptr;

class TestDelegate : public NSApplicationDelegate {
 public:
  explicit TestDelegate(NSMainInterface& objects) : objects(objects) {}
  ~TestDelegate() override {
    // The interface objects are still there; the backend is already gone.
    timeline->push_back("delegate released, window " +
                        std::string(objects.window.isVisible() ? "shown" : "hidden"));
    objects.window.orderOut(nullptr);
  }
  void applicationDidFinishLaunching() override {
    timeline->push_back("did finish launching");
    if (onLaunch) onLaunch();
  }
  void quit() { NSApp().terminate(nullptr); }
  void units(NSSegmentedCell& sender) {
    timeline->push_back("units " + std::to_string(sender.selectedSegment()));
  }

 private:
  NSMainInterface& objects;
};

class NSApplicationMainTest : public ::testing::Test {
 protected:
  NSApplicationMainTest() { timeline = std::make_shared<Events>(); }
  ~NSApplicationMainTest() override {
    onLaunch = nullptr;
    NSRunLoop::mainRunLoop().resetForTesting();
  }

  // Runs NSApplicationMain with a recording backend and returns its result; `events` then
  // holds the backend's record.
  int runApplication(HeadlessBackend::Options options) {
    auto backend = std::make_unique<HeadlessBackend>(std::move(options));
    events = backend->events();
    char name[] = "pyrelle";
    char* argv[] = {name, nullptr};
    return NSApplicationMain(1, argv, std::move(backend));
  }

  std::shared_ptr<const Events> events;
};

}  // namespace

std::unique_ptr<NSApplicationDelegate> NSLoadMainInterface(NSMainInterface& objects) {
  timeline->push_back("interface loaded");
  loadedObjects = &objects;
  auto delegate = std::make_unique<TestDelegate>(objects);
  objects.unitsControl.setTarget(delegate.get());
  objects.unitsControl.setAction(&TestDelegate::units);
  return delegate;
}

namespace {

TEST_F(NSApplicationMainTest, StartsLoadsLaunchesRunsAndReturnsZeroWhenTerminated) {
  int result = runApplication({.session = [] {
    timeline->push_back("running");
    EXPECT_TRUE(NSApp().isRunning());
    static_cast<TestDelegate*>(NSApp().delegate())->quit();
    EXPECT_FALSE(NSApp().isRunning());
  }});

  EXPECT_EQ(result, 0);
  EXPECT_EQ(*events, (Events{"start", "interface loaded", "run", "stop"}));
  EXPECT_EQ(*timeline, (Events{"interface loaded", "did finish launching", "running",
                               "delegate released, window hidden"}));
  EXPECT_EQ(NSApp().delegate(), nullptr);
  EXPECT_FALSE(NSApp().isRunning());
}

TEST_F(NSApplicationMainTest, ABackendThatCannotStartEndsItWithItsStatusAndNothingElse) {
  LogCaptureForTesting log;
  int result = runApplication({.startStatus = 1, .session = [] { ADD_FAILURE(); }});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(*events, (Events{"start"}));
  EXPECT_TRUE(timeline->empty());
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(NSApplicationMainTest, TerminatingWhileLaunchingNeverStartsTheRun) {
  onLaunch = [] { NSApp().terminate(nullptr); };
  EXPECT_EQ(runApplication({.session = [] { ADD_FAILURE(); }}), 0);
  EXPECT_EQ(*events, (Events{"start", "interface loaded"}));
}

TEST_F(NSApplicationMainTest, ApplicationRequestsReachTheDesktopDuringTheRunOnly) {
  NSApp().activateIgnoringOtherApps(true);
  NSApp().terminate(nullptr);  // nothing to end

  runApplication({.session = [] {
    NSApp().activateIgnoringOtherApps(true);
    NSApp().orderFrontStandardAboutPanel(NSApp().delegate());
  }});
  NSApp().orderFrontStandardAboutPanel(nullptr);

  EXPECT_EQ(*events, (Events{"start", "interface loaded", "run", "activate", "about"}));
}

TEST_F(NSApplicationMainTest, TheViewHearsOfTheWindowAndTheUsersChangesReachTheDelegate) {
  runApplication({.session = [] {
    NSMainInterface& objects = *loadedObjects;
    objects.unitsControl.setSelectedSegment(1);
    objects.unitsControl.userSelectSegment(0);
    objects.window.makeKeyAndOrderFront(nullptr);
    objects.window.userClose();
    objects.window.makeKeyAndOrderFront(nullptr);
  }});

  EXPECT_EQ(*events, (Events{"start", "interface loaded", "run", "window front", "window front"}));
  // The delegate's release hides the window after the backend let go of it: no "window out".
  EXPECT_EQ(*timeline, (Events{"interface loaded", "did finish launching", "units 0",
                               "delegate released, window shown"}));
}

TEST_F(NSApplicationMainTest, ANestedRunIsRefused) {
  LogCaptureForTesting log;
  int nested = -1;
  // Also once the outer run was asked to end: it has not returned yet.
  runApplication({.session = [&] {
    NSApp().terminate(nullptr);
    nested = NSApplicationMain(0, nullptr);
  }});
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(log.lines(), (Events{"NSApplicationMain: the application is already running"}));
}

TEST_F(NSApplicationMainTest, TheBuildsBackendStartsAndEndsTheRunAtOnce) {
  EXPECT_EQ(NSApplicationMain(0, nullptr), 0);
  EXPECT_EQ(*timeline, (Events{"interface loaded", "did finish launching",
                               "delegate released, window hidden"}));
}

}  // namespace
