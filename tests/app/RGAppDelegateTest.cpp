// The application as the user meets it, one run at a time, in a private home: settings and
// login items in a temporary config tree, a scripted "AppleSMC" service, the main run loop on a
// manual clock and a desktop without a screen. Each test acts from inside the run.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/MainInterface.h"
#include "app/RGAppDelegate.h"
#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSUserDefaults.h"
#include "tests/support/HeadlessBackend.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScopedAppleSMC.h"
#include "tests/support/TemporaryAutostart.h"

namespace {

using Lines = std::vector<std::string>;

RGAppDelegate& app() { return dynamic_cast<RGAppDelegate&>(*NSApp().delegate()); }
NSStatusItem& statusItem() { return *NSStatusBar::systemStatusBar().statusItems().at(0); }

// The settings as the delegate and its controls show them.
std::string controls() {
  return stringWithFormat(
      "%s %ld s: segment %d, field %d, slider %d, check box %d", app().farenheit() ? "°F" : "°C",
      static_cast<long>(app().refreshInterval()), app().tempUnitsCFselect()->selectedSegment(),
      app().refreshField()->intValue(), app().refreshSlider()->intValue(),
      app().automaticStartupCheckbox()->state());
}

// The menu top to bottom: "---" for a separator, " (disabled)" after an entry that is.
Lines menuEntries() {
  Lines entries;
  for (const auto& item : statusItem().menu()->items())
    entries.push_back(
        item->isSeparatorItem() ? "---" : item->title() + (item->isEnabled() ? "" : " (disabled)"));
  return entries;
}
// Chooses the entry titled `title`, as the user would.
void choose(const std::string& title) {
  const Lines entries = menuEntries();
  const auto index = std::ranges::find(entries, title) - entries.begin();
  EXPECT_TRUE(statusItem().menu()->items().at(static_cast<std::size_t>(index))->userChoose());
}

class ApplicationRun : public testing::Test {
 protected:
  ApplicationRun() {
    restartSettings();
    NSBundle::mainBundle().setBundlePathForTesting(bundlePath);
    NSRunLoop::mainRunLoop().resetForTesting();
    NSRunLoop::mainRunLoop().setClockForTesting(clock.function());
    service.setFanRpm("F0Ac", 1200);
    service.setFanRpm("F1Ac", 2400);
    service.setTemperature("TC0D", 45);
  }
  ~ApplicationRun() override {
    NSRunLoop::mainRunLoop().resetForTesting();
    NSBundle::mainBundle().setBundlePathForTesting(std::nullopt);
  }

  // The settings as the next start of the program finds them.
  void restartSettings() {
    NSUserDefaults::resetStandardUserDefaultsForTesting((home.root / "config").string());
  }
  NSUserDefaults& settings() { return NSUserDefaults::standardUserDefaults(); }

  // Runs the program until `session` returns or Quit ends the run; NSApplicationMain's result.
  int run(std::function<void()> session) {
    char name[] = "pyrelle", *argv[] = {name, nullptr};
    return NSApplicationMain(1, argv, std::make_unique<HeadlessBackend>(std::move(session)),
                             NSLoadMainInterface);
  }

  // Refresh passes so far: each samples three keys, as the hardware object's creation did.
  int passes() const { return service.keyInfoCalls() / 3 - 1; }
  // Lets `seconds` pass, firing timers as they fall due, as the desktop's loop would; then
  // passes().
  int passesAfter(double seconds) {
    for (int tenth = 0; tenth < static_cast<int>(seconds * 10 + 0.5); ++tenth) {
      clock.advance(std::chrono::milliseconds(100));
      NSRunLoop::mainRunLoop().fireDueTimers();
    }
    return passes();
  }

  TemporaryAutostart home;
  const std::string bundlePath = (home.root / "bin" / "pyrelle").string();
  ScopedAppleSMC smc;
  ScriptedSMCService& service = smc.service();
  ManualClock clock;
  LogCaptureForTesting log;
};

}  // namespace

TEST_F(ApplicationRun,
       TheControlsShowTheStoredSettingsAndTheLoginItemWhichPreferencesReopenAndClicksReread) {
  settings().setInteger(12, "refreshinterval");
  settings().setBool(true, "farenheit");
  restartSettings();
  home.write("pyrelle.desktop", entryWithExec(bundlePath));
  run([&] {
    EXPECT_EQ(controls(), "°F 12 s: segment 1, field 12, slider 12, check box 1");
    EXPECT_EQ(statusItem().title(), "113 °F");

    // Preferences... reads the login items again, and so does a second launch, which the
    // running program takes as a reopen and answers itself.
    std::filesystem::remove(home.autostart() / "pyrelle.desktop");  // removed elsewhere
    choose("Preferences...");
    EXPECT_EQ(app().automaticStartupCheckbox()->state(), NSOffState);
    home.write("pyrelle.desktop", entryWithExec(bundlePath));  // added elsewhere
    EXPECT_FALSE(NSApp().delegate()->applicationShouldHandleReopen());
    NSButton& box = *app().automaticStartupCheckbox();
    EXPECT_EQ(box.state(), NSOnState);

    // After each click the box shows what the login items hold; an addition that fails adds
    // nothing, and the box says so.
    box.userSetState(NSOffState);
    EXPECT_EQ(box.state(), NSOffState);
    EXPECT_FALSE(std::filesystem::exists(home.autostart() / "pyrelle.desktop"));
    box.userSetState(NSOnState);
    EXPECT_EQ(box.state(), NSOnState);
    EXPECT_TRUE(std::filesystem::exists(home.autostart() / "pyrelle.desktop"));
    std::filesystem::remove_all(home.autostart());
    std::ofstream(home.autostart()) << "a file where the folder belongs";
    box.userSetState(NSOnState);
    EXPECT_EQ(box.state(), NSOffState);
  });
}

// Quit ends the run with 0 and closes the connection, once.
TEST_F(ApplicationRun, TheMenuListsTheFansReadAtLaunchAboveTheActionsAndQuitEndsTheRun) {
  const int status = run([&] {
    EXPECT_EQ(menuEntries(), (Lines{"Fan 1: 1200 RPM (disabled)", "Fan 2: 2400 RPM (disabled)",
                                    "---", "Info...", "Preferences...", "---", "Quit"}));

    // A fan that reads nothing keeps its last title; its next reading shows again.
    service.removeKey("F0Ac");
    passesAfter(5);
    EXPECT_EQ(menuEntries().at(0), "Fan 1: 1200 RPM (disabled)");
    service.setFanRpm("F0Ac", 1300);
    passesAfter(5);
    EXPECT_EQ(menuEntries().at(0), "Fan 1: 1300 RPM (disabled)");
    choose("Quit");
    EXPECT_FALSE(NSApp().isRunning());
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(NSApp().delegate(), nullptr);  // released with the run, and let go of
  EXPECT_EQ(log.lines(), (Lines{"Application is not on the Login List.",
                                "Opening I/O connection.\n", "Closing I/O connection.\n"}));
  // Without an SMC there is no fan to list (the hardware's sentinel) and the title reads zero;
  // both the failed open and the close that then fails are logged.
  service.failOpen(kIOReturnNoDevice);
  log.clear();
  run([&] {
    EXPECT_EQ(menuEntries(), (Lines{"---", "Info...", "Preferences...", "---", "Quit"}));
    EXPECT_EQ(statusItem().title(), " 0 °C");
  });
  EXPECT_EQ(log.lines(),
            (Lines{"Application is not on the Login List.", "Error opening I/O connection.\n",
                   "Error while closing I/O connection.\n"}));
}

// One chain of timers: a new interval applies from the timer after the pending one, and the units
// action refreshes at once without starting a second chain.
TEST_F(ApplicationRun, ControlsChangeTheNextTimerButNeverAddAChain) {
  run([&] {
    EXPECT_EQ(passesAfter(4.9), 1);
    EXPECT_EQ(passesAfter(2.1), 2);  // 7 s
    app().refreshSlider()->userSetIntValue(10);
    EXPECT_EQ(passesAfter(3), 3);  // 10 s: the pending timer kept its time
    app().tempUnitsCFselect()->userSelectSegment(1);
    EXPECT_EQ(statusItem().title(), "113 °F");
    app().tempUnitsCFselect()->userSelectSegment(1);  // the unit in force: refreshed all the same
    EXPECT_EQ(passes(), 5);
    EXPECT_EQ(passesAfter(9.9), 5);
    EXPECT_EQ(passesAfter(0.1), 6);
    EXPECT_EQ(NSRunLoop::mainRunLoop().pendingTimerCount(), 1u);
  });
}

// The run loop bounds the timer; the line is said once however many passes run.
TEST_F(ApplicationRun, AnIntervalOutOfTheTimersRangeIsLoggedOnce) {
  const std::vector<std::pair<int, int>> cases = {{0, 1}, {-5, 1}, {86401, 86400}};
  for (const auto& [seconds, used] : cases) {
    settings().setInteger(seconds, "refreshinterval");
    restartSettings();
    log.clear();
    run([&] { passesAfter(3); });
    const std::string line = stringWithFormat(
        "Refresh interval of %d seconds is out of range; the title refreshes every %d seconds.",
        seconds, used);
    EXPECT_EQ(std::ranges::count(log.lines(), line), 1) << seconds;
  }
}
