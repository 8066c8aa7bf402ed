#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSRunLoop.h"

namespace {

// What the test's application does once launched; by default it quits at once.
std::function<void()> onLaunch;

class TestDelegate : public NSApplicationDelegate {
 public:
  void applicationDidFinishLaunching() override {
    if (onLaunch) {
      onLaunch();
      return;
    }
    NSApp().terminate(nullptr);
  }
};

}  // namespace

// The program's interface, for NSApplicationMain in these tests.
std::unique_ptr<NSApplicationDelegate> NSLoadMainInterface(NSMainInterface& /*objects*/) {
  return std::make_unique<TestDelegate>();
}

namespace {

int runApplication() {
  char name[] = "pyrelle";
  char* argv[] = {name, nullptr};
  return NSApplicationMain(1, argv);
}

[[noreturn]] void runWithoutDisplay() {
  g_unsetenv("DISPLAY");
  g_unsetenv("WAYLAND_DISPLAY");
  std::exit(runApplication());
}

// Started outside any desktop session, the program says so in one line and exits with 1.
TEST(ApplicationMainTest, WithoutADisplaySaysSoInOneLineAndExitsWithStatusOne) {
  EXPECT_EXIT(runWithoutDisplay(), ::testing::ExitedWithCode(1),
              "^pyrelle: cannot open a display[^\n]*\n$");
}

// The GLib main loop runs the application: its timers fire, and Quit ends the run with 0.
TEST(ApplicationMainTest, GLibLoopFiresTimersUntilTerminated) {
  std::shared_ptr<NSStatusItem> item;
  int fired = 0;
  onLaunch = [&] {
    item = NSStatusBar::systemStatusBar().statusItemWithLength(NSVariableStatusItemLength);
    item->setTitle("45 °C");
    NSTimer::scheduledTimerWithTimeInterval(1.0, NSInvocation([&] {
                                              ++fired;
                                              NSApp().terminate(nullptr);
                                            }),
                                            false);
  };
  EXPECT_EQ(runApplication(), 0);
  EXPECT_EQ(fired, 1);
  onLaunch = nullptr;
  item.reset();
  NSRunLoop::mainRunLoop().resetForTesting();
}

}  // namespace
