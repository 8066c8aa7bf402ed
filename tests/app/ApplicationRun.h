#pragma once
// One run of the application as the user meets it, in a private home: settings and login items
// in a temporary config tree, a scripted "AppleSMC" service, the main run loop on a manual clock
// and a desktop without a screen. The test acts from inside the run.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/RGAppDelegate.h"
#include "platform/appkit/AppKit.h"
#include "platform/appkit/HeadlessBackend.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSUserDefaults.h"
#include "tests/doubles/ScriptedSMCService.h"
#include "tests/loginitems/TemporaryAutostart.h"

using Lines = std::vector<std::string>;

inline const std::string notOnList = "Application is not on the Login List.";
inline const std::string opening = "Opening I/O connection.\n";
inline const std::string closing = "Closing I/O connection.\n";

inline RGAppDelegate& app() { return dynamic_cast<RGAppDelegate&>(*NSApp().delegate()); }
inline NSStatusItem& statusItem() { return *NSStatusBar::systemStatusBar().statusItems().at(0); }

// The menu top to bottom: "---" for a separator, " (disabled)" after an entry that is.
inline Lines menuEntries() {
  Lines entries;
  for (const auto& item : statusItem().menu()->items()) {
    const std::string mark = item->isEnabled() ? "" : " (disabled)";
    entries.push_back(item->isSeparatorItem() ? "---" : item->title() + mark);
  }
  return entries;
}
// Chooses the entry titled `title`, as the user would.
inline void choose(const std::string& title) {
  for (const auto& item : statusItem().menu()->items()) {
    if (item->title() == title) {
      EXPECT_TRUE(item->userChoose()) << title;
      return;
    }
  }
  ADD_FAILURE() << "no entry " << title;
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
  int run(std::function<void()> session = {}) {
    auto backend =
        std::make_unique<HeadlessBackend>(HeadlessBackend::Options{.session = std::move(session)});
    events = backend->events();
    char name[] = "pyrelle";
    char* argv[] = {name, nullptr};
    return NSApplicationMain(1, argv, std::move(backend));
  }

  // Lets `seconds` pass, firing timers as they fall due, as the desktop's loop would.
  void wait(double seconds) {
    for (int tenth = 0; tenth < static_cast<int>(seconds * 10 + 0.5); ++tenth) {
      clock.advance(std::chrono::milliseconds(100));
      NSRunLoop::mainRunLoop().fireDueTimers();
    }
  }
  // Refresh passes so far: each samples three keys, as the hardware object's creation did.
  int passes() const { return service.keyInfoCalls() / 3 - 1; }
  int passesAfter(double seconds) {
    wait(seconds);
    return passes();
  }

  TemporaryAutostart home;
  const std::string bundlePath = (home.root / "bin" / "pyrelle").string();
  ScopedAppleSMC smc;
  ScriptedSMCService& service = smc.service();
  ManualClock clock;
  LogCaptureForTesting log;
  std::shared_ptr<const HeadlessBackend::Events> events;
};
