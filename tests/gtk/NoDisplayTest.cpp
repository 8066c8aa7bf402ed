#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSMainInterface.h"

namespace {

class NothingToLaunch : public NSApplicationDelegate {
 public:
  void applicationDidFinishLaunching() override { NSApp().terminate(nullptr); }
};

}  // namespace

// The program's interface, for NSApplicationMain in these tests.
std::unique_ptr<NSApplicationDelegate> NSLoadMainInterface(NSMainInterface& /*objects*/) {
  return std::make_unique<NothingToLaunch>();
}

namespace {

[[noreturn]] void runWithoutDisplay() {
  g_unsetenv("DISPLAY");
  g_unsetenv("WAYLAND_DISPLAY");
  char name[] = "pyrelle";
  char* argv[] = {name, nullptr};
  std::exit(NSApplicationMain(1, argv));
}

// Started outside any desktop session, the program says so in one line and exits with 1.
TEST(NoDisplayTest, SaysSoInOneLineAndExitsWithStatusOne) {
  EXPECT_EXIT(runWithoutDisplay(), ::testing::ExitedWithCode(1),
              "^pyrelle: cannot open a display[^\n]*\n$");
}

}  // namespace
